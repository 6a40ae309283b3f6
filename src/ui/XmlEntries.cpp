// The File menu's entries for Dragon's MyCommands XML: the window asks for the file (and, for an
// import, whether it goes into a new command file or the open one) and shows what the operation
// says.
#include "ui/FileActions.h"

#include "cmdfile/Prompter.h"
#include "cmdfile/Reader.h"
#include "ops/ExportXml.h"
#include "ops/ImportXmlIntoFile.h"
#include "ops/ImportXmlToNewFile.h"
#include "ops/Workspace.h"
#include "shell/Application.h"
#include "shell/Session.h"
#include "ui/CommandLists.h"
#include "ui/Form1.h"
#include "ui/Texts.h"
#include "cmdfile/System.h"

#include <QDir>
#include <QFileDialog>

namespace vocabrella::ui {
namespace fs = std::filesystem;

namespace {

QString qs(std::string_view s) { return QString::fromUtf8(s.data(), static_cast<qsizetype>(s.size())); }

std::optional<fs::path> askForFile(QWidget* parent, std::string_view title, std::string_view filter,
                                   const char* suffix, const fs::path& start, bool forSaving) {
    QFileDialog dialog(parent, qs(title), qs(os::pathText(start.parent_path())));
    dialog.setNameFilters(qs(filter).split(QStringLiteral(";;")));
    dialog.setDefaultSuffix(QString::fromLatin1(suffix));
    if (start.has_filename()) dialog.selectFile(qs(os::pathText(start.filename())));
    if (forSaving) {
        dialog.setAcceptMode(QFileDialog::AcceptSave);
        // The operation asks before it writes over a file.
        dialog.setOption(QFileDialog::DontConfirmOverwrite);
    } else {
        dialog.setFileMode(QFileDialog::ExistingFile);
    }
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return std::nullopt;
    return os::pathFrom(dialog.selectedFiles().front().toStdString());
}

std::optional<fs::path> askForXml(QWidget* parent, std::string_view title, const fs::path& start, bool forSaving) {
    return askForFile(parent, title, texts::XmlDialogFilter, "xml", start, forSaving);
}

} // namespace

void FileActions::importXml() {
    if (!ctx_.fileOpen()) return;
    const fs::path start = os::pathFrom(QDir::homePath().toStdString()) / "";
    const auto chosen = ctx_.hooks.chooseFileToOpen ? ctx_.hooks.chooseFileToOpen(start)
                                                : askForXml(window(), texts::ImportXmlDialogTitle, start, false);
    if (!chosen) return;
    const fs::path openFile = ctx_.session.reader().file().path;
    auto& prompter = ctx_.session.prompter();
    const int where = prompter.choice(std::string(texts::ImportXmlWhereStart) + chosen->string() +
                                          std::string(texts::ImportXmlWhereEnd) + os::pathText(openFile),
                                      texts::ImportXmlWhereTitle,
                                      {std::string(texts::ImportXmlNewFile), std::string(texts::ImportXmlOpenFile)});
    if (where == 0) {
        // A command file of its own, in the newest layout and the XML's language; the open file
        // stays as it is.
        const fs::path proposed = chosen->parent_path() / chosen->stem().concat(".dat");
        const auto target = ctx_.hooks.chooseFileToSave ? ctx_.hooks.chooseFileToSave(proposed)
                                                    : askForFile(window(), texts::ImportXmlNewFileTitle,
                                                                 texts::OpenDialogFilter, "dat", proposed, true);
        if (!target) return;
        const auto outcome = ops::ImportXmlToNewFile(prompter, *chosen, *target, {}, {}, openFile).run();
        if (!outcome.isDone()) return; // a refusal has been told already
        if (prompter.yesNo(outcome.text + "\r\n\r\n" + std::string(texts::ImportXmlOpenNow), outcome.title))
            openNoDialog(*target);
        return;
    }
    if (where != 1) return;
    // Into the open file: the operation asks about each command the file has already.
    ops::Workspace ws(ctx_.app, ctx_.clock);
    const auto outcome = ops::ImportXmlIntoFile(ws, *chosen, ops::XmlDuplicates::Ask).run();
    if (!outcome.isDone()) return; // a refusal has been told already
    prompter.message(outcome.text, outcome.title);
    ctx_.lists->refreshAfterChange();
}

void FileActions::exportXml() {
    if (!ctx_.fileOpen()) return;
    const auto commandFile = ctx_.session.reader().file().path;
    const fs::path start = commandFile.parent_path() / commandFile.stem().concat(".xml");
    const auto chosen = ctx_.hooks.chooseFileToSave ? ctx_.hooks.chooseFileToSave(start)
                                                : askForXml(window(), texts::ExportXmlDialogTitle, start, true);
    if (!chosen) return;
    ops::Workspace ws(ctx_.app, ctx_.clock);
    const auto outcome = ops::ExportXml(ws, ops::BatchSelection{}, *chosen).run();
    if (outcome.isDone()) ctx_.session.prompter().message(outcome.text, outcome.title);
}

} // namespace vocabrella::ui
