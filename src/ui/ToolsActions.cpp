#include "ui/ToolsActions.h"

#include "cmdfile/Prompter.h"
#include "ops/CheckCommands.h"
#include "ops/ConvertFile.h"
#include "ops/ConvertKeys.h"
#include "ops/Texts.h"
#include "ops/Workspace.h"
#include "shell/Application.h"
#include "shell/Session.h"
#include "shell/Settings.h"
#include "ui/BatchDialog.h"
#include "ui/CheckCommandsDialog.h"
#include "ui/CommandLists.h"
#include "ui/Dialogs.h"
#include "ui/FileActions.h"
#include "ui/Form1.h"
#include "ui/Texts.h"
#include "ui/ToolsDialogs.h"
#include "ui/WindowText.h"

namespace vocabrella::ui {
namespace {

// The help page of each mode of the batch dialog, for F1.
int batchHelp(BatchMode mode) {
    switch (mode) {
    case BatchMode::Export: return kHelpBatchExport;
    case BatchMode::RenameGroup: return kHelpBatchRenameGroup;
    case BatchMode::RenameProgram: return kHelpBatchRenameProgram;
    case BatchMode::Delete: return kHelpBatchDelete;
    case BatchMode::KeysToPlain: return kHelpBatchKeysToPlain;
    case BatchMode::KeysToSendKeys: return kHelpBatchKeysToSendKeys;
    case BatchMode::KeysToDragonKeys: return kHelpBatchKeysToDragonKeys;
    case BatchMode::Replace: break;
    }
    return kHelpBatchReplace;
}

} // namespace

ToolsActions::ToolsActions(WindowContext& ctx, QMenuBar* bar) : QObject(bar), ctx_(ctx) {
    toolsMenu_ = addMenu(bar, "toolsmenu", texts::ToolsMenu);
    const auto tool = [&](const char* name, std::string_view caption, auto handler) {
        connect(addEntry(toolsMenu_, name, caption), &QAction::triggered, this,
                [this, handler] { ctx_.window.guarded(handler); });
    };
    const auto batchOf = [this](void (ToolsActions::*handler)(BatchMode), BatchMode mode) {
        return [this, handler, mode] { (this->*handler)(mode); };
    };
    tool("toolsexport", texts::ToolsExport, batchOf(&ToolsActions::batch, BatchMode::Export));
    tool("toolsrenamegroup", texts::ToolsRenameGroup, batchOf(&ToolsActions::batch, BatchMode::RenameGroup));
    tool("toolsrenameprogram", texts::ToolsRenameProgram, batchOf(&ToolsActions::batch, BatchMode::RenameProgram));
    tool("toolsDelete", texts::ToolsDelete, batchOf(&ToolsActions::batch, BatchMode::Delete));
    tool("toolsreplace", texts::ToolsReplace, batchOf(&ToolsActions::batch, BatchMode::Replace));
    toolsMenu_->addSeparator();
    tool("toolsdvc2plain", texts::ToolsKeys2Plain, batchOf(&ToolsActions::convertKeys, BatchMode::KeysToPlain));
    tool("toolsdvc2vba", texts::ToolsKeys2Vba, batchOf(&ToolsActions::convertKeys, BatchMode::KeysToSendKeys));
    tool("toolsdvc2sdk", texts::ToolsKeys2Sdk, batchOf(&ToolsActions::convertKeys, BatchMode::KeysToDragonKeys));
    toolsMenu_->addSeparator();
    const auto version = [this](std::string_view target) {
        return [this, target] { convertVersion(std::string(target)); };
    };
    tool("toolsconvert260", texts::ToolsConvert60, version(texts::Version60));
    tool("toolsconvert261", texts::ToolsConvert61, version(texts::Version61));
    tool("toolsconvert270", texts::ToolsConvert70, version(texts::Version70));
    tool("toolsconvert280", texts::ToolsConvert80, version(texts::Version80));
    tool("toolslanguage", texts::ToolsLanguage, [this] { convertLanguage(); });
    toolsMenu_->addSeparator();
    tool("toolscheck", texts::ToolsCheck, [this] { check(); });
}

// Dragon may have written the file since it was read: then the window shows it anew first.
void ToolsActions::refreshIfChanged() {
    if (ctx_.app.RefreshIfChanged(true)) ctx_.lists->refreshAfterChange();
}

void ToolsActions::runBatchDialog(BatchMode mode) {
    ops::Workspace ws(ctx_.app, ctx_.clock);
    BatchDialog dialog(ws, mode, ctx_.selection, ctx_.app.home(), &ctx_.window);
    installHelpKey(&dialog, *ctx_.help, batchHelp(mode));
    dialog.exec();
    dialog.rethrowPending();
    if (const auto& group = dialog.currentGroup()) {
        ctx_.selection.group = *group;
        ctx_.selection.allGroups = *group == names::AllGroups;
    }
    if (dialog.changedFile()) {
        ctx_.prompter().status("");
        ctx_.lists->refreshAfterChange();
    }
    if (const auto& exported = dialog.openExported()) ctx_.files->openNoDialog(*exported);
}

void ToolsActions::batch(BatchMode mode) {
    if (!ctx_.fileOpen()) return;
    refreshIfChanged();
    runBatchDialog(mode);
}

void ToolsActions::convertKeys(BatchMode mode) {
    if (!ctx_.fileOpen()) return;
    using Mode = ops::ConvertKeys::Mode;
    const Mode keysMode = mode == BatchMode::KeysToPlain      ? Mode::PlainText
                          : mode == BatchMode::KeysToSendKeys ? Mode::SendKeys
                                                              : Mode::SendDragonKeys;
    {
        ops::Workspace ws(ctx_.app, ctx_.clock);
        if (!ops::ConvertKeys::offered(ws, keysMode).isDone()) return;
    }
    refreshIfChanged();
    if (keysMode != Mode::SendDragonKeys && !ctx_.settings.options().noConvertKeysHelp) {
        KeysHelpDialog offer(&ctx_.window);
        installHelpKey(&offer, *ctx_.help, kHelpKeysConversion);
        const bool wanted = offer.exec() == QDialog::Accepted;
        if (offer.dontShowAgain()) ctx_.settings.setNoConvertKeysHelp();
        if (wanted) ctx_.help->Show(kHelpKeysConversion);
    }
    runBatchDialog(mode);
}

void ToolsActions::convertVersion(const std::string& target) {
    if (!ctx_.fileOpen()) return;
    refreshIfChanged();
    ops::Workspace ws(ctx_.app, ctx_.clock);
    const auto outcome = ops::ConvertVersion(ws, target).run();
    if (!outcome.isDone()) return;
    ctx_.prompter().status("");
    ctx_.prompter().message(outcome.text, outcome.title);
    ctx_.files->openNoDialog(ctx_.app.commandFile());
}

void ToolsActions::convertLanguage() {
    if (!ctx_.fileOpen()) return;
    ops::Workspace ws(ctx_.app, ctx_.clock);
    if (!ops::ConvertLanguage::offered(ws).isDone()) return; // refused before the dialog shows anything
    LanguageDialog dialog(ws, &ctx_.window);
    installHelpKey(&dialog, *ctx_.help, kHelpConvertLanguage);
    dialog.exec();
    if (dialog.converted()) ctx_.files->openNoDialog(ctx_.app.commandFile());
}

void ToolsActions::check() {
    if (!ctx_.fileOpen()) return;
    ops::Workspace ws(ctx_.app, ctx_.clock);
    const auto result = [&] {
        CheckProgress progress(&ctx_.window);
        return ops::CheckCommands(ws).run(&progress);
    }();
    if (result.reread) ctx_.lists->refreshAfterChange();
    if (result.cancelled) {
        ctx_.prompter().status(texts::CheckCancelled);
        return;
    }
    if (result.findings.empty()) {
        std::string text(texts::CheckNoFindings);
        if (result.scriptsWithoutDragon > 0)
            text += "\r\n" + std::string(ops::texts::ScriptsWithoutDragonStart) + std::to_string(result.scriptsWithoutDragon) +
                    std::string(texts::CheckScriptsNeedDragon);
        ctx_.prompter().message(text, texts::CheckCaption);
        return;
    }
    CheckCommandsDialog dialog(result, &ctx_.window);
    installHelpKey(&dialog, *ctx_.help, kHelpCheckCommands);
    dialog.exec();
    if (const auto chosen = dialog.chosen()) {
        const auto& f = result.findings[*chosen];
        ctx_.lists->goToCommand(f.program, f.scope, f.name, f.isList);
    }
}

} // namespace vocabrella::ui
