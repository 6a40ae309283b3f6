#include "ui/CheckCommandsDialog.h"

#include "ops/Texts.h"
#include "ui/Texts.h"

#include <QDialogButtonBox>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace vocabrella::ui {
namespace {

QString qs(std::string_view s) { return QString::fromUtf8(s.data(), static_cast<qsizetype>(s.size())); }

} // namespace

CheckCommandsDialog::CheckCommandsDialog(const ops::CheckCommands::Result& result, QWidget* parent)
    : QDialog(parent) {
    setObjectName(QStringLiteral("CheckCommandsDialog"));
    setWindowTitle(qs(texts::CheckCaption));

    auto* summary = new QLabel(this);
    summary->setObjectName(QStringLiteral("summary"));
    QString text = qs(texts::CheckFindingsStart) + QString::number(result.findings.size()) + qs(texts::CheckFindingsEnd);
    if (result.scriptsWithoutDragon > 0)
        text += QStringLiteral("\n") + qs(ops::texts::ScriptsWithoutDragonStart) +
                QString::number(result.scriptsWithoutDragon) + qs(texts::CheckScriptsNeedDragon);
    summary->setText(text);

    findings_ = new QTreeWidget(this);
    findings_->setObjectName(QStringLiteral("findings"));
    findings_->setRootIsDecorated(false);
    findings_->setUniformRowHeights(true);
    findings_->setHeaderLabels({qs(texts::CheckColumnKind), qs(texts::CheckColumnProgram), qs(texts::CheckColumnScope),
                                qs(texts::CheckColumnName), qs(texts::CheckColumnDetail)});
    QList<QTreeWidgetItem*> rows;
    for (const auto& f : result.findings)
        rows.append(new QTreeWidgetItem(QStringList{qs(f.kind), qs(f.program), qs(f.scope), qs(f.name), qs(f.detail)}));
    findings_->addTopLevelItems(rows);
    for (int column = 0; column < 4; ++column) findings_->resizeColumnToContents(column);
    if (!rows.isEmpty()) findings_->setCurrentItem(rows.front());
    connect(findings_, &QTreeWidget::itemDoubleClicked, this, [this] { goTo(); });

    auto* buttons = new QDialogButtonBox(this);
    auto* go = buttons->addButton(qs(texts::CheckGoTo), QDialogButtonBox::AcceptRole);
    go->setObjectName(QStringLiteral("goto"));
    go->setEnabled(!rows.isEmpty());
    auto* close = buttons->addButton(qs(texts::CheckClose), QDialogButtonBox::RejectRole);
    close->setObjectName(QStringLiteral("close"));
    connect(go, &QPushButton::clicked, this, [this] { goTo(); });
    connect(close, &QPushButton::clicked, this, &QDialog::reject);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(summary);
    layout->addWidget(findings_, 1);
    layout->addWidget(buttons);
    resize(900, 400);
}

void CheckCommandsDialog::goTo() {
    const int row = findings_->indexOfTopLevelItem(findings_->currentItem());
    if (row < 0) return;
    chosen_ = static_cast<std::size_t>(row);
    accept();
}

} // namespace vocabrella::ui
