#pragma once

#include <QListView>
#include <QString>
#include <QStringList>

#include <optional>
#include <string>
#include <vector>

class QStringListModel;

namespace vocabrella::ui {

// A list of lines, one selected, read and chosen by row in the manner of QListWidget. It holds
// the lines themselves and no item per line, so that a scope of thousands of commands is
// filled in one move and only the rows in sight are ever drawn.
class NameList final : public QListView {
    Q_OBJECT
public:
    // One line of the list, as item() and currentItem() hand it out.
    class Line {
    public:
        explicit Line(QString text) : text_(std::move(text)) {}
        const QString& text() const { return text_; }

    private:
        QString text_;
    };

    explicit NameList(QWidget* parent = nullptr);

    // The lines anew, none selected.
    void setLines(const std::vector<std::string>& lines);
    void setLines(QStringList lines);
    void addLine(const QString& line);
    void clear();

    QStringList lines() const;
    int count() const;
    int currentRow() const;
    void setCurrentRow(int row);
    std::optional<Line> item(int row) const;
    std::optional<Line> currentItem() const;
    // The first row whose line is this one, with or without regard to letter case; -1 if none.
    int rowOf(const QString& line, Qt::CaseSensitivity cs) const;

signals:
    void currentRowChanged(int row);

private:
    QStringListModel* model_;
};

} // namespace vocabrella::ui
