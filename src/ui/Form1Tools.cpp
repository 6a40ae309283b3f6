// The "&Tools" menu of the main window: the batch operations, the KEYS conversions, and the
// conversions of the whole file to another version or language.

#include "ui/Form1.h"

#include "cmdfile/Prompter.h"
#include "ops/ConvertFile.h"
#include "ops/ConvertKeys.h"
#include "ops/Workspace.h"
#include "shell/Application.h"
#include "shell/Session.h"
#include "shell/Settings.h"
#include "ui/BatchDialog.h"
#include "ui/Dialogs.h"
#include "ui/ToolsDialogs.h"

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

void Form1::runBatchDialog(BatchMode mode) {
    ops::Workspace ws(app_, clock_);
    BatchDialog dialog(ws, mode, selection_, app_.home(), this);
    installHelpKey(&dialog, *help_, batchHelp(mode));
    dialog.exec();
    dialog.rethrowPending();
    if (const auto& group = dialog.currentGroup()) {
        selection_.group = *group;
        selection_.allGroups = *group == names::AllGroups;
    }
    if (dialog.changedFile()) {
        session_.prompter().status("");
        refreshAfterChange();
    }
    if (const auto& exported = dialog.openExported()) FileOpenNoDialog(*exported);
}

void Form1::toolsBatch_Click(BatchMode mode) {
    if (!fileOpen()) return;
    if (app_.RefreshIfChanged(true)) refreshAfterChange();
    runBatchDialog(mode);
}

void Form1::toolsKeys_Click(BatchMode mode) {
    if (!fileOpen()) return;
    using Mode = ops::ConvertKeys::Mode;
    const Mode keysMode = mode == BatchMode::KeysToPlain      ? Mode::PlainText
                          : mode == BatchMode::KeysToSendKeys ? Mode::SendKeys
                                                              : Mode::SendDragonKeys;
    {
        ops::Workspace ws(app_, clock_);
        if (!ops::ConvertKeys::offered(ws, keysMode).isDone()) return;
    }
    if (app_.RefreshIfChanged(true)) refreshAfterChange();
    if (keysMode != Mode::SendDragonKeys && !settings_.options().noConvertKeysHelp) {
        KeysHelpDialog offer(this);
        installHelpKey(&offer, *help_, kHelpKeysConversion);
        const bool wanted = offer.exec() == QDialog::Accepted;
        if (offer.dontShowAgain()) settings_.setNoConvertKeysHelp();
        if (wanted) help_->Show(kHelpKeysConversion);
    }
    runBatchDialog(mode);
}

void Form1::toolsconvert_Click(const std::string& target) {
    if (!fileOpen()) return;
    if (app_.RefreshIfChanged(true)) refreshAfterChange();
    ops::Workspace ws(app_, clock_);
    const auto outcome = ops::ConvertVersion(ws, target).run();
    if (!outcome.isDone()) return;
    session_.prompter().status("");
    session_.prompter().message(outcome.text, outcome.title);
    FileOpenNoDialog(app_.commandFile());
}

void Form1::toolslanguage_Click() {
    if (!fileOpen()) return;
    ops::Workspace ws(app_, clock_);
    if (!ops::ConvertLanguage::offered(ws).isDone()) return; // refused before the dialog shows anything
    LanguageDialog dialog(ws, this);
    installHelpKey(&dialog, *help_, kHelpConvertLanguage);
    dialog.exec();
    if (dialog.converted()) FileOpenNoDialog(app_.commandFile());
}

} // namespace vocabrella::ui
