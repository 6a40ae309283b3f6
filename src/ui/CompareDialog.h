#pragma once

#include <QDialog>

class QLabel;
class QPlainTextEdit;

namespace vocabrella::ui {

// The differences between two command files, or what a restore would change: a heading (the
// files, or the restore's question) and the differences in a fixed-pitch box. It either only
// shows them ("&Close") or asks to go on (OK and Cancel).
class CompareDialog : public QDialog {
    Q_OBJECT
public:
    CompareDialog(const QString& title, const QString& heading, const QString& differences, bool asks,
                  QWidget* parent = nullptr);

    QString heading() const;
    QString differences() const;

private:
    QLabel* heading_;
    QPlainTextEdit* differences_;
};

} // namespace vocabrella::ui
