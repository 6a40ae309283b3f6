#include "ui/NameList.h"

#include <QItemSelectionModel>
#include <QStringListModel>

namespace vocabrella::ui {

NameList::NameList(QWidget* parent) : QListView(parent), model_(new QStringListModel(this)) {
    setModel(model_);
    setEditTriggers(QAbstractItemView::NoEditTriggers); // the lines are names to choose, not to edit here
    setUniformItemSizes(true);                          // keeps a list of 50,000 names quick to lay out
    // Relayed, so that a QSignalBlocker on the list silences it as it would a QListWidget's.
    connect(selectionModel(), &QItemSelectionModel::currentRowChanged, this,
            [this](const QModelIndex& current) { emit currentRowChanged(current.isValid() ? current.row() : -1); });
}

void NameList::setLines(const std::vector<std::string>& lines) {
    QStringList texts;
    texts.reserve(static_cast<qsizetype>(lines.size()));
    for (const auto& line : lines) texts.append(QString::fromUtf8(line.data(), static_cast<qsizetype>(line.size())));
    setLines(std::move(texts));
}

void NameList::setLines(QStringList lines) { model_->setStringList(std::move(lines)); }

void NameList::addLine(const QString& line) {
    const int row = model_->rowCount();
    model_->insertRows(row, 1);
    model_->setData(model_->index(row), line);
}

void NameList::clear() { model_->setStringList({}); }

QStringList NameList::lines() const { return model_->stringList(); }

int NameList::count() const { return model_->rowCount(); }

int NameList::currentRow() const {
    const QModelIndex current = currentIndex();
    return current.isValid() ? current.row() : -1;
}

void NameList::setCurrentRow(int row) { setCurrentIndex(model_->index(row)); }

std::optional<NameList::Line> NameList::item(int row) const {
    if (row < 0 || row >= count()) return std::nullopt;
    return Line(model_->index(row).data().toString());
}

std::optional<NameList::Line> NameList::currentItem() const { return item(currentRow()); }

int NameList::rowOf(const QString& line, Qt::CaseSensitivity cs) const {
    const QStringList all = model_->stringList();
    for (int row = 0; row < all.size(); ++row)
        if (all[row].compare(line, cs) == 0) return row;
    return -1;
}

} // namespace vocabrella::ui
