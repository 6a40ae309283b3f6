#include "ui/VocActions.h"

#include "cmdfile/Prompter.h"
#include "ops/CloneCommand.h"
#include "ops/ConvertCommand.h"
#include "ops/DebugWithBasic.h"
#include "ops/DeleteCommand.h"
#include "ops/NewCommand.h"
#include "ops/NewList.h"
#include "ops/RenameCommand.h"
#include "ops/Texts.h"
#include "ops/Workspace.h"
#include "shell/Application.h"
#include "shell/Session.h"
#include "ui/CommandLists.h"
#include "ui/CommandPane.h"
#include "ui/Form1.h"
#include "ui/NameList.h"
#include "ui/Texts.h"
#include "ui/WindowText.h"
#include "ui/WindowWait.h"

#include <QLabel>
#include <QPlainTextEdit>
#include <QSignalBlocker>
#include <QTabWidget>

namespace vocabrella::ui {

VocActions::VocActions(WindowContext& ctx, QMenuBar* bar, QAction* before) : QObject(bar), ctx_(ctx) {
    vocMenu_ = new QMenu(qs(texts::VocMenu), bar);
    vocMenu_->setObjectName(QStringLiteral("commandmenu"));
    vocMenu_->menuAction()->setObjectName(QStringLiteral("commandmenu"));
    bar->insertMenu(before, vocMenu_);

    const auto on = [this](QAction* a, void (VocActions::*handler)()) {
        connect(a, &QAction::triggered, this, [this, handler] { ctx_.window.guarded([&] { (this->*handler)(); }); });
    };
    const auto newEntry = [&](const char* name, std::string_view caption, const char* kind) {
        connect(addEntry(vocMenu_, name, caption), &QAction::triggered, this,
                [this, kind] { ctx_.window.guarded([&] { newCommand(kind); }); });
    };
    newEntry("commandnewkeys", texts::NewKeys, "K");
    newEntry("commandnewscript", texts::NewScript, "S");
    newEntry("commandnewadvanced", texts::NewAdvanced, "A");
    newEntry("commandnewplaintext", texts::NewPlainText, "P");
    on(addEntry(vocMenu_, "commandnewlist", texts::NewList), &VocActions::newList);
    vocMenu_->addSeparator();
    editEntry_ = addEntry(vocMenu_, "commandEdit", texts::CommandEdit, false);
    connect(editEntry_, &QAction::triggered, this, [this] {
        ctx_.window.guarded([&] {
            ctx_.pane->modify();
            ctx_.pane->focusBody();
        });
    });
    cloneEntry_ = addEntry(vocMenu_, "commandclone", texts::CommandClone, false);
    on(cloneEntry_, &VocActions::clone);
    deleteEntry_ = addEntry(vocMenu_, "commanddelete", texts::CommandDelete, false);
    on(deleteEntry_, &VocActions::remove);
    debugEntry_ = addEntry(vocMenu_, "CommandDebugBasic", texts::CommandDebugBasic, false);
    on(debugEntry_, &VocActions::debugWithBasic);
    renameEntry_ = addEntry(vocMenu_, "commandrename", texts::CommandRename, false);
    on(renameEntry_, &VocActions::rename);
    toPlainEntry_ = addEntry(vocMenu_, "commandconvert2Plain", texts::Convert2Plain, false);
    on(toPlainEntry_, &VocActions::convertToPlainText);
    toAdvancedEntry_ = addEntry(vocMenu_, "commandconvert2Advanced", texts::Convert2Advanced, false);
    on(toAdvancedEntry_, &VocActions::convertToAdvancedScript);
}

void VocActions::showAllowed(const BodyDisplay& body) {
    vocMenu_->menuAction()->setEnabled(true);
    const auto& allowed = body.allowed;
    toPlainEntry_->setEnabled(allowed.toPlainText);
    toAdvancedEntry_->setEnabled(allowed.toAdvancedScript);
    cloneEntry_->setEnabled(allowed.clone);
    debugEntry_->setEnabled(allowed.debugWithBasic && ctx_.window.dragonAvailable());
    renameEntry_->setEnabled(allowed.rename);
    deleteEntry_->setEnabled(allowed.remove);
    editEntry_->setEnabled(allowed.modify);
}

void VocActions::showMissing(bool gone) {
    for (auto* a : {cloneEntry_, renameEntry_, deleteEntry_, toPlainEntry_, toAdvancedEntry_, debugEntry_, editEntry_})
        a->setEnabled(false);
    if (gone) vocMenu_->menuAction()->setEnabled(false);
}

// Dragon may have written the file since it was read: then the window shows it anew first.
void VocActions::refreshIfChanged() {
    if (ctx_.app.RefreshIfChanged(true)) ctx_.lists->refreshAfterChange();
}

NewCommandForm::Lists VocActions::storeLists() {
    NewCommandForm::Lists lists;
    lists.names = ctx_.session.store().allListNames();
    lists.items = [this](const std::string& name) {
        const auto row = ctx_.browser.entry(names::GlobalCommands, names::GlobalCommands, name);
        return row ? ops::bodyForEditing(*row) : std::string();
    };
    return lists;
}

void VocActions::newCommand(const std::string& kind) {
    refreshIfChanged();
    ctx_.lists->showTab(CommandLists::Commands);
    NewCommandForm form(ctx_.selection.program, ctx_.selection.scope, storeLists(), &ctx_.window);
    installHelpKey(&form, *ctx_.help, kHelpNewCommand);
    form.exec();
    const std::string name = form.result();
    if (name.empty()) return;
    startNewCommand(kind, name, ops::newCommandBody(kind));
}

bool VocActions::startNewCommand(const std::string& kind, const std::string& name, const std::string& body) {
    ops::Workspace ws(ctx_.app, ctx_.clock);
    const ops::Place place{ctx_.selection.program, ctx_.selection.scope};
    const std::string shown = ctx_.selection.command;
    if (!ops::NewCommand::checkName(ws, {place, shown, kind, name, {}, {}, {}}).isDone()) return false;
    ctx_.window.statusLabel()->clear(); // the reminder to use a new LIST has been followed
    ctx_.pane->showNewKind(kind, true);
    ctx_.edit.startNew({place, shown, name, {}, CommandLists::Commands}, false, kind);
    ctx_.selection.command = name;
    ctx_.lists->showPendingName(CommandLists::Commands, name);
    ctx_.pane->showText(body);
    ctx_.pane->openBody();
    if (kind == "A") ctx_.pane->bodyBox()->moveCursor(QTextCursor::Down); // onto the empty middle line
    return true;
}

void VocActions::newList() {
    refreshIfChanged();
    const auto answer = ctx_.prompter().input(ops::texts::NewListPrompt, ops::texts::NewListTitle);
    if (!answer || answer->empty()) return;
    ops::Workspace ws(ctx_.app, ctx_.clock);
    if (!ops::NewList::checkName(ws, *answer).isDone()) return;
    {
        const QSignalBlocker block(ctx_.lists->tabs());
        ctx_.lists->tabs()->setCurrentIndex(CommandLists::Lists);
    }
    ctx_.selection.program = ctx_.selection.scope = std::string(names::GlobalCommands);
    ctx_.selection.command = *answer;
    ctx_.edit.startNew({ops::globalPlace(), {}, *answer, {}, CommandLists::Lists}, true, "L");
    ctx_.lists->showPendingName(CommandLists::Lists, *answer);
    ctx_.pane->showNewKind("L", false);
    ctx_.pane->showText({});
    ctx_.pane->openBody();
}

void VocActions::rename() {
    refreshIfChanged();
    if (!ctx_.pane->currentRow()) return;
    auto shown = ctx_.lists->shownEntry();
    const std::string old = ctx_.selection.command;
    const bool isList = ctx_.pane->shownType() == "L";
    const std::string prompt = std::string(texts::RenamePromptStart) +
                               std::string(isList ? texts::KindWordList : texts::KindWordCommand) +
                               std::string(texts::RenamePromptEnd);
    const auto answer = ctx_.prompter().input(prompt, ops::texts::RenamingTitle, old);
    if (!answer || answer->empty()) {
        ctx_.lists->showAgain(shown);
        return;
    }
    ops::Workspace ws(ctx_.app, ctx_.clock);
    const auto outcome = ops::RenameCommand(ws, {ctx_.selection.program, ctx_.selection.scope}, old, *answer).run();
    if (outcome.isDone()) shown.name = *answer;
    // Refused or declined, the file may still have been read again: the menus are rebuilt.
    ctx_.lists->refreshAfterChange();
    ctx_.lists->showAgain(shown);
}

void VocActions::clone() {
    refreshIfChanged();
    if (!ctx_.pane->currentRow()) return;
    const std::string source = ctx_.selection.command;
    const ops::Place place{ctx_.selection.program, ctx_.selection.scope};
    const bool isList = ctx_.pane->shownType() == "L";
    std::string name;
    if (isList) {
        const auto answer = ctx_.prompter().input(ops::texts::NewListPrompt, ops::texts::NewListTitle);
        if (!answer || answer->empty()) return;
        name = *answer;
    } else {
        NewCommandForm form(place.program, place.scope, storeLists(), &ctx_.window);
        installHelpKey(&form, *ctx_.help, kHelpNewCommand);
        form.exec();
        name = form.result();
        if (name.empty()) return;
    }
    ops::Workspace ws(ctx_.app, ctx_.clock);
    if (!ops::CloneCommand::checkName(ws, place, source, name).isDone()) return;
    // The copy is edited before it is written: the boxes keep the source's body, description
    // and group, and "Save Changes" writes it under the new name.
    const int tab = ctx_.lists->currentTab();
    ctx_.edit.startNew({place, source, name, source, tab}, isList, ctx_.pane->shownType());
    ctx_.selection.command = name;
    ctx_.lists->showPendingName(tab, name);
    ctx_.window.makeRoomForBody();
    ctx_.pane->openBody();
}

void VocActions::remove() {
    refreshIfChanged();
    const std::string name = ctx_.selection.command;
    const bool isList = ctx_.pane->currentRow() && ctx_.pane->shownType() == "L";
    const int tab = ctx_.lists->currentTab();
    // What is shown afterwards: the next command of the scope, else the scope's first.
    std::string next = name;
    if (!isList && tab == CommandLists::Commands) {
        NameList* commands = ctx_.lists->list(CommandLists::Commands);
        const int row = commands->currentRow();
        if (row >= 0 && row + 1 < commands->count()) next = str(commands->item(row + 1)->text());
    }
    ops::Workspace ws(ctx_.app, ctx_.clock);
    const auto outcome = isList ? ops::DeleteList(ws, name).run()
                                : ops::DeleteCommand(ws, {ctx_.selection.program, ctx_.selection.scope}, name).run();
    if (outcome.kind == ops::Outcome::Kind::Declined) return;
    if (outcome.isDone()) ctx_.selection.command = next;
    ctx_.lists->refreshAfterChange();
    if (tab == CommandLists::Lists) ctx_.lists->showTab(CommandLists::Lists);
}

void VocActions::convertToPlainText() {
    const auto row = ctx_.pane->currentRow();
    if (!row) return;
    ops::Workspace ws(ctx_.app, ctx_.clock);
    if (!ops::startConversion(ws, *row, ops::Conversion::ToPlainText).outcome.isDone()) return;
    ctx_.edit.convert(EditSession::Conversion::ToPlainText, "P");
    ctx_.pane->showNewKind("P", false);
    ctx_.pane->modify();
}

void VocActions::convertToAdvancedScript() {
    const auto row = ctx_.pane->currentRow();
    if (!row) return;
    ops::Workspace ws(ctx_.app, ctx_.clock);
    const auto started = ops::startConversion(ws, *row, ops::Conversion::ToAdvancedScript);
    if (!started.outcome.isDone()) return;
    ctx_.edit.convert(EditSession::Conversion::ToAdvancedScript, "A");
    ctx_.pane->showNewKind("A", false);
    ctx_.pane->showText(started.body);
    ctx_.pane->modify();
}

void VocActions::debugWithBasic() {
    if (!ctx_.window.dragonAvailable()) return;
    refreshIfChanged();
    const auto row = ctx_.pane->currentRow();
    if (!row) return;
    const auto shown = ctx_.session.store().userById(*row);
    if (!shown) return;
    WindowWait waits;
    ops::DebugWithBasic(ctx_.app.dragon(), ctx_.prompter(), waits)
        .run(*shown, ctx_.pane->bodyText(), static_cast<platform::WindowHandle>(ctx_.window.winId()));
}

} // namespace vocabrella::ui
