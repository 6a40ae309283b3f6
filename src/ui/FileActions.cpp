#include "ui/FileActions.h"

#include "cmdfile/Prompter.h"
#include "ops/CompareFiles.h"
#include "ops/Texts.h"
#include "ops/Workspace.h"
#include "ops/WriteReport.h"
#include "shell/Application.h"
#include "shell/Session.h"
#include "ui/CommandLists.h"
#include "ui/CommandPane.h"
#include "ui/CompareDialog.h"
#include "ui/FileWatch.h"
#include "ui/Form1.h"
#include "ui/PlaceMenus.h"
#include "ui/Printing.h"
#include "ui/ReportDialog.h"
#include "ui/Texts.h"
#include "ui/WindowText.h"
#include "cmdfile/System.h"

#include <QDir>
#include <QFileDialog>
#include <QPlainTextEdit>

#include <tuple>

namespace vocabrella::ui {
namespace fs = std::filesystem;

FileActions::FileActions(WindowContext& ctx, QMenuBar* bar) : QObject(bar), ctx_(ctx) {
    const auto on = [this](QAction* a, void (FileActions::*handler)()) {
        connect(a, &QAction::triggered, this, [this, handler] { ctx_.window.guarded([&] { (this->*handler)(); }); });
    };
    fileMenu_ = addMenu(bar, "filemenu", texts::FileMenu);
    on(addEntry(fileMenu_, "fileopen", texts::FileOpen), &FileActions::open);
    on(addEntry(fileMenu_, "filereload", texts::FileReload), &FileActions::reload);
    on(addEntry(fileMenu_, "filereset", texts::FileReset), &FileActions::resetDragonPath);
    on(addEntry(fileMenu_, "filepropertys", texts::FileProperties), &FileActions::properties);
    fileMenu_->addSeparator();
    const auto report = [&](const char* name, std::string_view caption, const char* mode) {
        connect(addEntry(fileMenu_, name, caption), &QAction::triggered, this,
                [this, mode] { ctx_.window.guarded([&] { exportReport(mode); }); });
    };
    report("Filereport", texts::FileReport, "txt");
    report("FileExcel", texts::FileExcel, "csv");
    report("filedvc", texts::FileDvc, "dvc");
    report("filepseudo", texts::FilePseudo, "pseudo");
    on(addEntry(fileMenu_, "fileimportxml", texts::FileImportXml), &FileActions::importXml);
    on(addEntry(fileMenu_, "fileexportxml", texts::FileExportXml), &FileActions::exportXml);
    on(addEntry(fileMenu_, "filecompare", texts::FileCompare), &FileActions::compare);
    fileMenu_->addSeparator();
    restoreMenu_ = fileMenu_->addMenu(qs(std::string(texts::RollbackPrefix) + std::string(texts::RollbackSuffix)));
    restoreMenu_->setObjectName(QStringLiteral("rollback"));
    restoreMenu_->menuAction()->setObjectName(QStringLiteral("rollback"));
    backupEntry_ = addEntry(fileMenu_, "rollbackset",
                            std::string(texts::RollbackSetPrefix) + std::string(texts::RollbackSetSuffix));
    on(backupEntry_, &FileActions::backUp);
    fileMenu_->addSeparator();
    connect(addEntry(fileMenu_, "fileexit", texts::FileExit), &QAction::triggered, &ctx_.window, &QWidget::close);
}

QWidget* FileActions::window() const { return &ctx_.window; }

void FileActions::addPrintMenu(QWidget* list) {
    auto* popup = new QMenu(window());
    popup->setObjectName(QStringLiteral("popup"));
    for (const auto& [name, caption] : {std::pair{"popupprint", texts::PopupPrint}, std::pair{"popupprint2", texts::PopupPrint2}})
        connect(addEntry(popup, name, caption), &QAction::triggered, this,
                [this] { ctx_.window.guarded([&] { printShown(); }); });
    list->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(list, &QWidget::customContextMenuRequested, this,
            [list, popup](const QPoint& at) { popup->popup(list->mapToGlobal(at)); });
}

void FileActions::showUser() {
    const std::string& name = ctx_.app.displayedUserName();
    restoreMenu_->setTitle(qs(std::string(texts::RollbackPrefix) + name + std::string(texts::RollbackSuffix)));
    backupEntry_->setText(qs(std::string(texts::RollbackSetPrefix) + name + std::string(texts::RollbackSetSuffix)));
    for (auto* a : restoreMenu_->actions()) {
        restoreMenu_->removeAction(a);
        a->deleteLater();
    }
    const auto& entries = ctx_.app.rollbackEntries();
    for (std::size_t i = 0; i < entries.size(); ++i) {
        auto* a = new QAction(captionOf(entries[i]), restoreMenu_);
        a->setObjectName(QStringLiteral("rollbackdynamic"));
        a->setProperty(kEntryName, qs(entries[i]));
        restoreMenu_->addAction(a);
        const int index = static_cast<int>(i);
        connect(a, &QAction::triggered, this, [this, index] { ctx_.window.guarded([&] { restore(index); }); });
    }
}

void FileActions::chooseFirstPlace() {
    auto place = ctx_.browser.firstPlace(ctx_.session.reader().file().info.commandCount >= 1);
    ctx_.selection.program = std::move(place.program);
    ctx_.selection.scope = std::move(place.scope);
}

void FileActions::showOpenedFile() {
    showFile(true);
    ctx_.window.showDragonAvailability();
}

void FileActions::showReadFile() { showFile(false); }

// The window made anew for the file just opened or read again; an opened file starts at its
// first program and scope, one read again stays where it was.
void FileActions::showFile(bool atFirstPlace) {
    auto& selection = ctx_.selection;
    ctx_.window.setCaption();
    showUser();
    selection.group = std::string(names::AllGroups);
    selection.allGroups = true;
    ctx_.places->buildProgramMenu();
    if (atFirstPlace) chooseFirstPlace();
    ctx_.window.applyOptions();
    selection.listsStale = selection.recentlyCreatedStale = selection.recentlyModifiedStale = true;
    ctx_.places->buildGroupMenu(); // chooses "All groups", which refreshes the window
    ctx_.watch->follow();
}

void FileActions::openNoDialog(const fs::path& requested) {
    if (ctx_.app.FileOpenNoDialog(requested)) showOpenedFile();
}

void FileActions::open() {
    // The dialog starts with the file opened last, or mycmds.dat in the user's home folder.
    const auto openfile = ctx_.session.store().parameters().openfile;
    const fs::path start = openfile && !openfile->empty()
                               ? os::pathFrom(*openfile)
                               : os::pathFrom(str(QDir::homePath())) / std::string(texts::DefaultOpenFile);
    std::optional<fs::path> chosen;
    if (ctx_.hooks.chooseFileToOpen) {
        chosen = ctx_.hooks.chooseFileToOpen(start);
    } else {
        QFileDialog dialog(window(), qs(texts::OpenDialogTitle), qs(os::pathText(start.parent_path())));
        dialog.setNameFilters(qs(texts::OpenDialogFilter).split(QStringLiteral(";;")));
        dialog.setDefaultSuffix(QStringLiteral("dat"));
        dialog.setFileMode(QFileDialog::ExistingFile);
        dialog.selectFile(qs(os::pathText(start.filename())));
        if (dialog.exec() == QDialog::Accepted && !dialog.selectedFiles().isEmpty())
            chosen = os::pathFrom(str(dialog.selectedFiles().front()));
    }
    if (chosen) openNoDialog(*chosen);
}

void FileActions::reload() {
    ctx_.app.filereload();
    showReadFile();
}

void FileActions::refresh() {
    ctx_.app.FileRefresh();
    ctx_.window.setCaption();
    ctx_.selection.recentlyModifiedStale = true;
    ctx_.places->buildProgramMenu();
    ctx_.places->buildGroupMenu();
    ctx_.lists->reset(-1);
}

void FileActions::properties() {
    if (!ctx_.fileOpen()) return;
    ctx_.prompter().table(ctx_.app.properties(), texts::PropertiesTitle);
}

void FileActions::resetDragonPath() { ctx_.app.filereset(); }

void FileActions::restore(int index) {
    const auto& entries = ctx_.app.rollbackEntries();
    if (index < 0 || index >= static_cast<int>(entries.size())) return;
    const std::string entry = entries[static_cast<std::size_t>(index)];
    // The question comes with what the backup holds that the file does not, and what goes.
    const auto preview = [this](const fs::path& backup, const fs::path& current) {
        return ops::restorePreview(backup, current, ctx_.session.home());
    };
    if (!ctx_.app.restore(entry, preview)) return;
    // The restored file may hold other programs and groups: start again from its first row.
    auto& selection = ctx_.selection;
    selection.group = std::string(names::AllGroups);
    selection.allGroups = true;
    ctx_.places->buildProgramMenu();
    chooseFirstPlace();
    selection.listsStale = selection.recentlyCreatedStale = selection.recentlyModifiedStale = true;
    ctx_.places->buildGroupMenu();
    ctx_.window.setCaption();
    showUser();
    ctx_.lists->reset(-1);
    ctx_.watch->follow();
}

void FileActions::backUp() {
    ctx_.app.rollbackset();
    showUser();
}

void FileActions::exportReport(const std::string& mode) {
    ops::Workspace ws(ctx_.app, ctx_.clock);
    ExportReportDialog dialog(ws, {mode, ctx_.selection, ctx_.lists->commandNames(), ctx_.hooks.choosePdfFile},
                              *ctx_.help, window());
    dialog.exec();
    ctx_.lists->reset(-1);
}

void FileActions::printShown() {
    namespace t = texts::report;
    const auto& selection = ctx_.selection;
    QStringList lines{qs(std::string(t::ProgramLine) + selection.program),
                      qs(std::string(t::ScopeLine) + selection.scope),
                      qs(std::string(t::CommandNameLine) + selection.command), QString()};
    lines << ctx_.pane->bodyBox()->toPlainText().split(QLatin1Char('\n'));
    PrintTarget target;
    target.printer = defaultPrinter();
    if (target.printer.isEmpty() && !installedPrinters().isEmpty()) target.printer = installedPrinters().front();
    if (target.printer.isEmpty()) {
        // No printer: the page goes into a PDF file named after the command.
        ops::Workspace ws(ctx_.app, ctx_.clock);
        QString stem = qs(selection.command);
        stem.replace(QLatin1Char('<'), QLatin1Char('[')).replace(QLatin1Char('>'), QLatin1Char(']'));
        stem.replace(QLatin1Char('/'), QLatin1Char('_'));
        const auto proposed = ops::exportFolder(ws) / (str(stem) + ".pdf");
        const auto pdf = ctx_.hooks.choosePdfFile ? ctx_.hooks.choosePdfFile(proposed) : askForPdfFile(window(), proposed);
        if (!pdf) return;
        target.pdfFile = *pdf;
    }
    const QString failed = printLines(lines, target);
    if (!failed.isEmpty()) ctx_.prompter().message(std::string(t::PrintFailed) + str(failed), {});
}

// "Compare with...": a command file chosen, its differences from the open file shown.
void FileActions::compare() {
    if (!ctx_.fileOpen()) return;
    const fs::path openFile = ctx_.session.reader().file().path;
    std::optional<fs::path> chosen;
    if (ctx_.hooks.chooseFileToOpen) {
        chosen = ctx_.hooks.chooseFileToOpen(openFile);
    } else {
        QFileDialog dialog(window(), widgetText(texts::CompareDialogTitle), QString::fromStdString(os::pathText(openFile.parent_path())));
        dialog.setNameFilters(widgetText(texts::OpenDialogFilter).split(QStringLiteral(";;")));
        dialog.setFileMode(QFileDialog::ExistingFile);
        if (dialog.exec() == QDialog::Accepted && !dialog.selectedFiles().isEmpty())
            chosen = os::pathFrom(dialog.selectedFiles().front().toStdString());
    }
    if (!chosen) return;
    try {
        const auto comparison = ops::CompareFiles(ctx_.session.home()).run(openFile, *chosen);
        const QString heading = widgetText(std::string(texts::CompareFirstFile) + os::pathText(comparison.first.path) + "\n" +
                                           std::string(texts::CompareSecondFile) + os::pathText(comparison.second.path));
        CompareDialog dialog(widgetText(std::string(texts::CompareWindowTitle) + os::pathText(chosen->filename())), heading,
                             widgetText(ops::comparisonText(comparison, ops::diffWords())), false, window());
        dialog.exec();
    } catch (const ops::CompareError& e) {
        ctx_.session.prompter().message(std::string(ops::texts::CompareCannotRead) + e.what(), os::pathText(e.file()));
    }
}

} // namespace vocabrella::ui
