#include "ui/CommandLists.h"

#include "ops/Names.h"
#include "shell/Session.h"
#include "shell/Settings.h"
#include "ui/CommandPane.h"
#include "ui/Finder.h"
#include "ui/Form1.h"
#include "ui/NameList.h"
#include "ui/PlaceMenus.h"
#include "ui/Texts.h"
#include "ui/ViewMenu.h"
#include "ui/WindowText.h"

#include <QTabBar>
#include <QTabWidget>

namespace vocabrella::ui {

CommandLists::CommandLists(WindowContext& ctx, QWidget* parent) : QObject(parent), ctx_(ctx) {
    tabs_ = new QTabWidget(parent);
    tabs_->setObjectName(QStringLiteral("SSTab1"));
    static constexpr const char* kListNames[4] = {"List1", "List2", "List3", "List4"};
    static constexpr std::string_view kTabCaptions[4] = {texts::TabCommands, texts::TabLists, texts::TabRecentlyCreated,
                                                         texts::TabRecentlyModified};
    for (std::size_t i = 0; i < lists_.size(); ++i) {
        auto* list = new NameList(tabs_);
        list->setObjectName(QString::fromLatin1(kListNames[i]));
        tabs_->addTab(list, qs(kTabCaptions[i]));
        lists_[i] = list;
        const int number = static_cast<int>(i) + 1;
        connect(list, &NameList::currentRowChanged, this, [this, number] {
            ctx_.window.guarded([&] {
                switch (number) {
                case 1: showSelectedEntry(1); break;
                case 2: showLists(); break;
                default: showRecent(number - 1); break;
                }
            });
        });
    }
    connect(tabs_, &QTabWidget::currentChanged, this, [this](int tab) { ctx_.window.guarded([&] { tabChosen(tab); }); });
    connect(tabs_->tabBar(), &QTabBar::tabBarClicked, this, [this](int tab) {
        ctx_.selection.findMatchLength = 0;
        if (tab >= 0 && tab < 4) list(tab)->setFocus();
    });
}

int CommandLists::currentTab() const { return tabs_->currentIndex(); }

void CommandLists::applyFonts(const QFont& proportional, const QFont& fixed) {
    list(Commands)->setFont(proportional);
    list(Lists)->setFont(proportional);
    list(RecentlyCreated)->setFont(fixed);
    list(RecentlyModified)->setFont(fixed);
}

void CommandLists::setListsEnabled(bool on) {
    for (auto* l : lists_) l->setEnabled(on);
}

QStringList CommandLists::commandNames() const { return commandsEmpty_ ? QStringList() : list(Commands)->lines(); }

void CommandLists::fillList(NameList* list, const std::vector<std::string>& lines) {
    const QSignalBlocker block(list);
    list->setLines(lines);
}

void CommandLists::fillList(NameList* list, QStringList lines) {
    const QSignalBlocker block(list);
    list->setLines(std::move(lines));
}

void CommandLists::selectRow(NameList* list, int row) {
    const QSignalBlocker block(list);
    list->setCurrentRow(row);
}

// --- the window anew ------------------------------------------------------------------------------

void CommandLists::reset(int tab) {
    auto& selection = ctx_.selection;
    if (selection.programsChanged) {
        ctx_.places->buildProgramMenu();
        selection.programsChanged = false;
    }
    if (selection.scopesChanged) {
        ctx_.places->buildScopeMenu(selection.program);
        selection.scopesChanged = false;
    }
    ctx_.pane->showEditClosed();
    setListsEnabled(true);
    ctx_.window.setMenusEnabled(true);
    ctx_.edit.end();

    // The scope is chosen here, by name, not as the program's first.
    ctx_.places->chooseProgram(ctx_.places->indexOf(DynamicMenu::Program, selection.program), false);
    ctx_.places->chooseScope(ctx_.places->indexOf(DynamicMenu::Scope, selection.scope));

    if (tab == -1) {
        selection.findMatchLength = 0;
        selection.listsStale = true;
    } else if (tab >= 0 && tab < 4) {
        tabs_->setCurrentIndex(tab);
    }
}

void CommandLists::refreshAfterChange() {
    ctx_.window.setCaption();
    auto& selection = ctx_.selection;
    selection.recentlyCreatedStale = selection.recentlyModifiedStale = selection.listsStale = true;
    ctx_.places->buildProgramMenu();
    ctx_.places->buildGroupMenu();
    reset(-1);
}

void CommandLists::fillCommandList() {
    if (!ctx_.fileOpen()) {
        showCommandNames({});
        return;
    }
    showCommandNames(readCommandNames().value_or(CommandNames{}));
}

void CommandLists::fillCommandListIfScopeHasRows() {
    if (auto names = readCommandNames()) showCommandNames(std::move(*names));
}

void CommandLists::showNoCommands() { showCommandNames({}); }

std::optional<CommandNames> CommandLists::readCommandNames() {
    if (auto ahead = ctx_.namesAhead.take(ctx_.session.store(), ctx_.selection)) {
        if (!ahead->scopeHasRows) return std::nullopt;
        ctx_.browser.ShowUsedLists(ahead->usedLists);
        return std::move(ahead->commands);
    }
    CommandNames read;
    std::vector<std::string> usedLists;
    if (!ui::readCommandNames(ctx_.browser, ctx_.selection.command, read, usedLists)) return std::nullopt;
    ctx_.browser.ShowUsedLists(usedLists);
    return read;
}

void CommandLists::showCommandNames(CommandNames read) {
    auto& selection = ctx_.selection;
    selection.commandsTab = selection.listsTab = {selection.program, selection.scope};
    NameList* commands = list(Commands);
    if (!ctx_.fileOpen()) {
        fillList(commands, {std::string(texts::NothingToShow)});
        commandsEmpty_ = true;
        ctx_.pane->showNoFile();
        return;
    }
    commandsEmpty_ = read.names.empty();
    if (commandsEmpty_) read.names.append(qs(texts::NothingToShow));
    fillList(commands, std::move(read.names));
    if (read.selected >= 0) {
        selectRow(commands, read.selected);
        showSelectedEntry(1);
    } else {
        selectRow(commands, 0);
        showSelectedEntry(1);
        const QSignalBlocker block(tabs_);
        tabs_->setCurrentIndex(Commands);
    }
    if (currentTab() == RecentlyCreated || currentTab() == RecentlyModified) showRecent(currentTab());
    if (selection.findMatchLength > 0) ctx_.pane->focusBody();
    else commands->setFocus();
}

// --- the tabs --------------------------------------------------------------------------------------

void CommandLists::showCommands() { showSelectedEntry(1); }

void CommandLists::showLists() {
    auto& selection = ctx_.selection;
    NameList* lists = list(Lists);
    if (selection.listsStale) {
        selection.listsTab = {selection.program, selection.scope};
        std::vector<std::string> commands;
        for (const auto& name : commandNames()) commands.push_back(str(name));
        auto names = ctx_.browser.FillListsList(commands);
        if (names.empty()) names.emplace_back(texts::NothingToShow);
        fillList(lists, names);
        selection.listsStale = false;
        int row = 0;
        for (int i = 0; i < static_cast<int>(names.size()); ++i)
            if (!selection.listToSelect.empty() && sameName(names[static_cast<std::size_t>(i)], selection.listToSelect))
                row = i;
        selectRow(lists, row);
    }
    selection.listToSelect.clear();
    showSelectedEntry(2);
    lists->setEnabled(true);
}

void CommandLists::showRecent(int tab) {
    auto& selection = ctx_.selection;
    const bool created = tab == RecentlyCreated;
    NameList* recent = list(tab);
    bool& stale = created ? selection.recentlyCreatedStale : selection.recentlyModifiedStale;
    if (stale || recent->count() == 0) {
        auto& entries = created ? recentlyCreated_ : recentlyModified_;
        entries = created ? ctx_.browser.recentlyCreated() : ctx_.browser.recentlyModified(ctx_.settings.recentlyModified());
        if (entries.empty())
            entries.push_back({std::string(texts::NothingToShow), selection.program, selection.scope,
                               std::string(texts::NothingToShow)});
        std::vector<std::string> lines;
        for (const auto& e : entries) lines.push_back(e.line);
        fillList(recent, lines);
        stale = false;
        selectRow(recent, 0);
    }
    showSelectedEntry(tab + 1);
}

void CommandLists::tabChosen(int tab) {
    if (!ctx_.edit.idle()) return;
    auto& selection = ctx_.selection;
    switch (tab) {
    case Commands:
        selection.program = selection.commandsTab.program;
        selection.scope = selection.commandsTab.scope;
        showCommands();
        break;
    case Lists:
        selection.program = selection.listsTab.program;
        selection.scope = selection.listsTab.scope;
        showLists();
        break;
    case RecentlyCreated:
    case RecentlyModified: showRecent(tab); break;
    default: return;
    }
    if (tab <= Lists && selection.findMatchLength > 0) ctx_.pane->focusBody();
    else list(tab)->setFocus();
}

void CommandLists::showTab(int tab) {
    if (ctx_.window.refusedWhileEditing()) return;
    ctx_.selection.findMatchLength = 0;
    if (currentTab() == tab) tabChosen(tab);
    else tabs_->setCurrentIndex(tab);
}

// --- the shown entry ---------------------------------------------------------------------------------

void CommandLists::showSelectedEntry(int number) {
    ctx_.pane->showBodyBox();
    if (ctx_.edit.creating() || number < 1 || number > 4) return;
    NameList* widget = list(number - 1);
    const int row = widget->currentRow();
    if (row < 0) return;
    auto& selection = ctx_.selection;
    std::string name, program = selection.program, scope = selection.scope;
    if (number <= 2) {
        name = str(widget->item(row)->text());
    } else {
        const auto& entries = number == 3 ? recentlyCreated_ : recentlyModified_;
        if (row >= static_cast<int>(entries.size())) return;
        const auto& e = entries[static_cast<std::size_t>(row)];
        name = e.name;
        program = selection.program = e.program;
        scope = selection.scope = e.scope;
    }
    selection.command = name;
    if (const auto found = ctx_.browser.entry(program, scope, name)) ctx_.pane->showEntry(*found, program, scope);
    else ctx_.pane->showMissing(name);
}

void CommandLists::showHit(const FindHit& hit) {
    auto& selection = ctx_.selection;
    selection.program = hit.program;
    selection.scope = hit.scope;
    selection.command = hit.name;
    selection.findMatchStart = hit.matchStart;
    selection.findMatchLength = hit.matchLength;
    if (hit.type != "L") {
        reset(Commands);
        return;
    }
    selection.listsTab = {hit.program, hit.scope};
    selection.listToSelect = hit.name;
    selection.listsStale = true;
    const bool onListsTab = currentTab() == Lists;
    reset(Lists);
    if (onListsTab) tabChosen(Lists); // the tab did not change, so it was not filled again
}

CommandLists::ShownEntry CommandLists::shownEntry() const {
    const auto& selection = ctx_.selection;
    return {currentTab(), selection.program, selection.scope, selection.command};
}

void CommandLists::showAgain(const ShownEntry& entry) {
    auto& selection = ctx_.selection;
    selection.program = entry.program;
    selection.scope = entry.scope;
    selection.command = entry.name;
    if (entry.tab == Lists) {
        selection.listsTab = {entry.program, entry.scope};
        selection.listToSelect = entry.name;
    }
    selection.recentlyCreatedStale = selection.recentlyModifiedStale = true;
    reset(-1);
    if (entry.tab < 0 || entry.tab > 3) return;
    showTab(entry.tab);
    if (entry.tab < 2) return;
    // The recent lists hold entries of every place: the one with this place and name.
    const auto& entries = entry.tab == RecentlyCreated ? recentlyCreated_ : recentlyModified_;
    for (std::size_t i = 0; i < entries.size(); ++i)
        if (sameName(entries[i].name, entry.name) && sameName(entries[i].program, entry.program) &&
            sameName(entries[i].scope, entry.scope)) {
            selectRow(list(entry.tab), static_cast<int>(i));
            showSelectedEntry(entry.tab + 1);
            break;
        }
}

void CommandLists::showPendingName(int tab, const std::string& name) {
    NameList* pending = list(tab);
    const QSignalBlocker block(pending);
    if (commandsEmpty_ && tab == Commands) pending->clear(); // "Nothing to show" gives way to the new name
    pending->addLine(qs(name));
    pending->setCurrentRow(pending->count() - 1);
}

bool CommandLists::goToCommand(const std::string& program, const std::string& scope, const std::string& name,
                               bool isList) {
    const auto shown = [&] {
        NameList* l = list(isList ? Lists : Commands);
        return l->currentItem() && sameName(str(l->currentItem()->text()), name);
    };
    const auto go = [&] {
        auto& selection = ctx_.selection;
        selection.program = program;
        selection.scope = scope;
        selection.command = name;
        selection.group = std::string(names::AllGroups); // a group filter must not hide it
        refreshAfterChange();
        showTab(isList ? Lists : Commands);
        if (!isList) return;
        if (const int row = list(Lists)->rowOf(qs(name), Qt::CaseInsensitive); row >= 0)
            list(Lists)->setCurrentRow(row);
    };
    go();
    if (shown()) return true;
    ctx_.view->showAll(); // the view hid its kind: every kind is shown again
    go();
    return shown();
}

} // namespace vocabrella::ui
