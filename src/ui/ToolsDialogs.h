#pragma once

#include <QDialog>

#include <string>

class QCheckBox;
class QListWidget;

namespace vocabrella::ops {
class Workspace;
}

namespace vocabrella::ui {

// over, "Overwrite?": a command being exported is in the export file already. The buttons and
// the keys y, n, s, o and c (or Escape) answer; answer() is the index of the prompter's choice:
// 0 yes, 1 no, 2 yes to all, 3 no to all, -1 cancel the export.
class OverDialog : public QDialog {
    Q_OBJECT
public:
    OverDialog(const std::string& target, const std::string& command, const std::string& source,
               QWidget* parent = nullptr);
    int answer() const { return answer_; }

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    void answerWith(int answer);
    int answer_ = -1;
};

// overwrite, "Choose action below": the export file exists. answer(): 0 overwrite, 1 append,
// -1 cancel (also Escape).
class OverwriteDialog : public QDialog {
    Q_OBJECT
public:
    explicit OverwriteDialog(const std::string& target, QWidget* parent = nullptr);
    int answer() const { return answer_; }

private:
    int answer_ = -1;
};

// The offer of the help page before a KEYS conversion. "Yes" accepts, "No Thanks" rejects; the
// check box is read on closing.
class KeysHelpDialog : public QDialog {
    Q_OBJECT
public:
    explicit KeysHelpDialog(QWidget* parent = nullptr);
    bool dontShowAgain() const;

private:
    QCheckBox* check_;
};

// "Convert Language of .dat file": writes another language into the open file's header. The
// window shows it only for a file that is not the speech user's own.
class LanguageDialog : public QDialog {
    Q_OBJECT
public:
    LanguageDialog(ops::Workspace& ws, QWidget* parent = nullptr);
    // "&Convert" as its click runs it.
    void Convert_Click();
    // The file was converted (and is to be opened again).
    bool converted() const { return converted_; }

private:
    ops::Workspace& ws_;
    QListWidget* list_;
    bool converted_ = false;
};

} // namespace vocabrella::ui
