// The File menu's entries for Dragon's MyCommands XML: the window asks for the file and shows
// what the operation says.
#include "ui/Form1.h"

#include "cmdfile/Prompter.h"
#include "cmdfile/Reader.h"
#include "ops/ExportXml.h"
#include "ops/ImportXmlIntoFile.h"
#include "ops/Workspace.h"
#include "shell/Session.h"
#include "ui/Texts.h"

#include <QDir>
#include <QFileDialog>

namespace vocabrella::ui {
namespace fs = std::filesystem;

namespace {

QString qs(std::string_view s) { return QString::fromUtf8(s.data(), static_cast<qsizetype>(s.size())); }

std::optional<fs::path> askForXml(QWidget* parent, std::string_view title, bool forSaving) {
    QFileDialog dialog(parent, qs(title), QDir::homePath());
    dialog.setNameFilters(qs(texts::XmlDialogFilter).split(QStringLiteral(";;")));
    dialog.setDefaultSuffix(QStringLiteral("xml"));
    if (forSaving) {
        dialog.setAcceptMode(QFileDialog::AcceptSave);
        // The operation asks before it writes over a file.
        dialog.setOption(QFileDialog::DontConfirmOverwrite);
    } else {
        dialog.setFileMode(QFileDialog::ExistingFile);
    }
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return std::nullopt;
    return fs::path(dialog.selectedFiles().front().toStdString());
}

} // namespace

void Form1::fileimportxml_Click() {
    if (!fileOpen()) return;
    const fs::path start = fs::path(QDir::homePath().toStdString());
    const auto chosen = hooks_.chooseFileToOpen ? hooks_.chooseFileToOpen(start)
                                                : askForXml(this, texts::ImportXmlDialogTitle, false);
    if (!chosen) return;
    ops::Workspace ws(app_, clock_);
    const auto outcome = ops::ImportXmlIntoFile(ws, *chosen).run();
    if (!outcome.isDone()) return; // a refusal has been told already
    session_.prompter().message(outcome.text, outcome.title);
    refreshAfterChange();
}

void Form1::fileexportxml_Click() {
    if (!fileOpen()) return;
    const auto commandFile = session_.reader().file().path;
    const fs::path start = commandFile.parent_path() / commandFile.stem().concat(".xml");
    const auto chosen = hooks_.chooseFileToSave ? hooks_.chooseFileToSave(start)
                                                : askForXml(this, texts::ExportXmlDialogTitle, true);
    if (!chosen) return;
    ops::Workspace ws(app_, clock_);
    const auto outcome = ops::ExportXml(ws, ops::BatchSelection{}, *chosen).run();
    if (outcome.isDone()) session_.prompter().message(outcome.text, outcome.title);
}

} // namespace vocabrella::ui
