#include "ui/PlaceMenus.h"

#include "ops/Names.h"
#include "shell/Session.h"
#include "shell/Settings.h"
#include "ui/CommandLists.h"
#include "ui/CommandPane.h"
#include "ui/Form1.h"
#include "ui/Texts.h"
#include "ui/WindowText.h"

#include <cstdlib>

namespace vocabrella::ui {
namespace {

std::size_t slot(DynamicMenu which) { return static_cast<std::size_t>(which); }

} // namespace

PlaceMenus::PlaceMenus(WindowContext& ctx, QMenuBar* bar) : QObject(bar), ctx_(ctx) {
    menus_[slot(DynamicMenu::Program)] = addMenu(bar, "appcommand", texts::ProgramMenu);
    menus_[slot(DynamicMenu::Scope)] = addMenu(bar, "statecommand", texts::ScopeMenu);
    for (auto which : {DynamicMenu::Program, DynamicMenu::Scope})
        connect(menu(which), &QMenu::aboutToShow, this, [this, which] { numberMenu(which); });
}

void PlaceMenus::addGroupMenu(QMenuBar* bar) {
    menus_[slot(DynamicMenu::Group)] = addMenu(bar, "groupcommand", texts::GroupMenu);
    connect(menu(DynamicMenu::Group), &QMenu::aboutToShow, this, [this] { numberMenu(DynamicMenu::Group); });
}

QMenu* PlaceMenus::menu(DynamicMenu which) const { return menus_[slot(which)]; }

std::vector<QAction*> PlaceMenus::entries(QMenu* m) const {
    std::vector<QAction*> out;
    for (auto* a : m->actions())
        if (a->property(kEntryName).isValid()) out.push_back(a);
    return out;
}

std::string PlaceMenus::entryName(QMenu* m, int index) const {
    const auto all = entries(m);
    if (index < 0 || index >= static_cast<int>(all.size())) return {};
    return str(all[static_cast<std::size_t>(index)]->property(kEntryName).toString());
}

void PlaceMenus::setEntries(DynamicMenu which, const char* name, const std::vector<std::string>& names) {
    QMenu* m = menu(which);
    for (auto* a : entries(m)) {
        m->removeAction(a);
        a->deleteLater();
    }
    const bool group = which == DynamicMenu::Group;
    for (std::size_t i = 0; i < names.size(); ++i) {
        auto* a = new QAction(captionOf(names[i]), m);
        a->setObjectName(QString::fromLatin1(name));
        // The name is kept beside the caption: numbering changes only the caption, and a name
        // that itself looks numbered ("Book1 - Sheet") is still found.
        a->setProperty(kEntryName, qs(names[i]));
        a->setProperty("index", static_cast<int>(i));
        if (group && names[i] == "-") a->setSeparator(true);
        else if (group) a->setCheckable(true);
        m->addAction(a);
        const int index = static_cast<int>(i);
        connect(a, &QAction::triggered, this, [this, which, index] {
            ctx_.window.guarded([&] {
                if (which == DynamicMenu::Program) chooseProgram(index);
                else if (which == DynamicMenu::Scope) chooseScope(index);
                else chooseGroup(index);
            });
        });
    }
    numbered_[slot(which)] = false;
}

void PlaceMenus::buildProgramMenu() {
    std::vector<std::string> programs;
    if (ctx_.fileOpen()) {
        programs = ctx_.browser.programEntries();
        // A file without a single row still has the program the window shows.
        if (programs.empty()) programs.emplace_back(names::GlobalCommands);
    }
    setEntries(DynamicMenu::Program, "appdynamic", programs);
    auto& selection = ctx_.selection;
    if (selection.allGroups) {
        // The group filter may have been dropped for want of programs.
        const auto groups = entries(menu(DynamicMenu::Group));
        for (auto* a : groups) a->setChecked(false);
        if (!groups.empty()) {
            groups.back()->setChecked(true);
            selection.groupIndex = static_cast<int>(groups.size()) - 1;
        }
    }
    if (!programs.empty()) announceBuilt(DynamicMenu::Program, static_cast<int>(programs.size()));
}

void PlaceMenus::buildScopeMenu(const std::string& program) {
    auto scopes = ctx_.browser.scopeEntries(program);
    if (scopes.empty() && ctx_.fileOpen()) scopes.emplace_back(names::GlobalCommands);
    setEntries(DynamicMenu::Scope, "statedynamic", scopes);
    announceBuilt(DynamicMenu::Scope, static_cast<int>(scopes.size()));
}

void PlaceMenus::buildGroupMenu() {
    const std::string remembered = ctx_.selection.group;
    std::vector<std::string> groups;
    if (ctx_.fileOpen()) groups = ctx_.browser.groupEntries();
    groups.emplace_back("-");
    groups.emplace_back(names::AllGroups);
    setEntries(DynamicMenu::Group, "groupdynamic", groups);
    const int groupCount = static_cast<int>(groups.size()) - 1;
    for (int i = 0; i <= groupCount; ++i)
        if (groups[static_cast<std::size_t>(i)] != "-" && groups[static_cast<std::size_t>(i)] == remembered) {
            chooseGroup(i);
            break;
        }
    announceBuilt(DynamicMenu::Group, groupCount);
}

void PlaceMenus::announceBuilt(DynamicMenu which, int words) {
    if (ctx_.settings.options().numberMenus && ctx_.hooks.menus && quiet_ == 0) ctx_.hooks.menus->menuBuilt(which, words);
}

void PlaceMenus::numberMenu(DynamicMenu which) {
    ctx_.window.guarded([&] {
        if (!ctx_.settings.options().numberMenus) return;
        const auto all = entries(menu(which));
        if (all.empty()) return;
        const int count = static_cast<int>(all.size());
        const int numberedCount = which == DynamicMenu::Group ? count - 1 : count; // "All groups" stays as it is
        if (!numbered_[slot(which)]) {
            for (int i = 0; i < numberedCount; ++i) {
                auto* a = all[static_cast<std::size_t>(i)];
                if (a->isSeparator()) continue;
                a->setText(qs(numberedCaption(i, str(captionOf(str(a->property(kEntryName).toString()))))));
            }
            numbered_[slot(which)] = true;
        }
        if (ctx_.hooks.menus) ctx_.hooks.menus->menuOpened(which, which == DynamicMenu::Group ? count - 1 : count);
    });
}

void PlaceMenus::chooseProgram(int index, bool firstScope) {
    if (!ctx_.fileOpen()) return;
    QMenu* scopeMenu = menu(DynamicMenu::Scope);
    const std::string name = entryName(menu(DynamicMenu::Program), index);
    if (name.empty() || !ctx_.browser.programExists(name)) return; // a program no longer in the store
    ctx_.selection.program = name;
    ctx_.pane->showProgram(name);
    buildScopeMenu(name);
    const auto scopes = entries(scopeMenu);
    if (name == names::GlobalCommands && !scopes.empty() && entryName(scopeMenu, 0) == names::Asleep) {
        // The sleeping commands sort first; the global scope is what the user wants to see.
        int global = 0;
        for (int i = 0; i < static_cast<int>(scopes.size()); ++i)
            if (entryName(scopeMenu, i) == names::GlobalCommands) global = i;
        chooseScope(global);
        return;
    }
    if (firstScope) chooseScope(0);
}

void PlaceMenus::chooseScope(int index) {
    if (!ctx_.fileOpen()) {
        ctx_.lists->fillCommandList();
        return;
    }
    const auto& info = ctx_.session.reader().file().info;
    if (info.commandCount == 0 && info.listCount == 0) {
        ctx_.lists->showNoCommands(); // an empty file: no scope to choose, nothing of another file to keep
        return;
    }
    QMenu* scopeMenu = menu(DynamicMenu::Scope);
    if (index < 0 || index >= static_cast<int>(entries(scopeMenu).size())) return;
    const std::string name = entryName(scopeMenu, index);
    ctx_.selection.listsStale = true;
    ctx_.selection.scope = name;
    ctx_.pane->showScope(name);
    ctx_.lists->fillCommandListIfScopeHasRows();
}

void PlaceMenus::chooseGroup(int index) {
    QMenu* groupMenu = menu(DynamicMenu::Group);
    const auto all = entries(groupMenu);
    const int entry = std::abs(index);
    if (entry >= static_cast<int>(all.size()) || all[static_cast<std::size_t>(entry)]->isSeparator()) return;
    for (auto* a : all) a->setChecked(false);
    all[static_cast<std::size_t>(entry)]->setChecked(true);
    auto& selection = ctx_.selection;
    selection.groupIndex = entry;
    selection.group = entryName(groupMenu, entry);
    const int groupCount = static_cast<int>(all.size()) - 1;
    if (entry == groupCount) {
        selection.allGroups = true;
    } else {
        selection.allGroups = false;
        if (const auto place = ctx_.browser.firstPlaceOfGroup(selection.group)) {
            selection.program = place->program;
            selection.scope = place->scope;
        }
    }
    if (selection.group == names::UserDefined || selection.group == names::ListGroup)
        selection.program = selection.scope = std::string(names::GlobalCommands);
    selection.programsChanged = true;
    ctx_.lists->reset(-1);
}

int PlaceMenus::indexOf(DynamicMenu which, const std::string& name) const {
    QMenu* m = menu(which);
    const int count = static_cast<int>(entries(m).size());
    int found = 0;
    for (int i = 0; i < count; ++i)
        if (sameName(entryName(m, i), name)) found = i;
    return found;
}

int PlaceMenus::entryCount(DynamicMenu which) const { return static_cast<int>(entries(menu(which)).size()); }

bool PlaceMenus::isSeparator(DynamicMenu which, int index) const {
    const auto all = entries(menu(which));
    return index >= 0 && index < static_cast<int>(all.size()) && all[static_cast<std::size_t>(index)]->isSeparator();
}

void PlaceMenus::trigger(DynamicMenu which, int index) {
    const auto all = entries(menu(which));
    if (index < 0 || index >= static_cast<int>(all.size())) return;
    all[static_cast<std::size_t>(index)]->trigger();
}

} // namespace vocabrella::ui
