#include "ui/CheckCommandsDialog.h"

#include "ops/Texts.h"
#include "ui/Texts.h"

#include <QApplication>
#include <QDialogButtonBox>
#include <QHeaderView>
#include <QLabel>
#include <QProgressDialog>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace vocabrella::ui {
namespace {

QString qs(std::string_view s) { return QString::fromUtf8(s.data(), static_cast<qsizetype>(s.size())); }

// A check of more steps than this (two for each command, one for each LIST) shows its
// progress at once; a smaller one after this many milliseconds.
constexpr std::size_t kBigCheck = 6000;
constexpr int kMomentMs = 600;
// How often the check stops to paint and to hear Cancel.
constexpr qint64 kLookEveryMs = 40;

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

namespace vocabrella::ui {

CheckProgress::CheckProgress(QWidget* parent) : dialog_(new QProgressDialog(parent)) {
    dialog_->setObjectName(QStringLiteral("checkprogress"));
    dialog_->setWindowTitle(qs(texts::CheckCaption));
    dialog_->setAccessibleName(qs(texts::CheckProgressName));
    dialog_->setLabelText(qs(texts::CheckProgressLabel));
    dialog_->setCancelButtonText(qs(texts::CheckCancel));
    dialog_->setWindowModality(Qt::WindowModal);
    dialog_->setAutoReset(false);
    dialog_->setAutoClose(false);
    // Shown by advance() alone, not by the dialog's own timer.
    dialog_->reset();
    sinceStart_.start();
}

CheckProgress::~CheckProgress() { delete dialog_; }

bool CheckProgress::advance(std::size_t done, std::size_t total) {
    if (sinceLook_.isValid() && sinceLook_.elapsed() < kLookEveryMs) return !dialog_->wasCanceled();
    sinceLook_.start();
    if (!dialog_->isVisible() && (total > kBigCheck || sinceStart_.elapsed() > kMomentMs)) {
        dialog_->show();
        dialog_->raise();
    }
    if (dialog_->isVisible()) {
        // In thousandths: a file's steps may be more than a progress bar counts.
        dialog_->setMaximum(1000);
        dialog_->setValue(total == 0 ? 0 : static_cast<int>(1000.0 * static_cast<double>(done) / static_cast<double>(total)));
    }
    // Until the dialog shows, no event is handled at all: a timer that waits for what the check
    // ends in (its findings) must not run in the middle of it.
    if (dialog_->isVisible()) QCoreApplication::processEvents();
    return !dialog_->wasCanceled();
}

} // namespace vocabrella::ui
