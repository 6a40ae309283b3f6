#pragma once

#include "ui/WindowContext.h"

#include <QObject>
#include <QStringList>

#include <array>
#include <optional>
#include <string>
#include <vector>

class QFont;
class QTabWidget;
class QWidget;

namespace vocabrella::ui {

struct FindHit;
class NameList;

// The four lists on their tabs (Commands, LISTs, Recently Created, Recently Modified) and what
// the window shows through them: the chosen place filled in, the selected entry shown, and the
// same entry shown again after a change.
class CommandLists final : public QObject {
    Q_OBJECT
public:
    enum Tab { Commands, Lists, RecentlyCreated, RecentlyModified };

    CommandLists(WindowContext& ctx, QWidget* parent);
    QTabWidget* tabs() const { return tabs_; }
    NameList* list(int tab) const { return lists_[static_cast<std::size_t>(tab)]; }
    int currentTab() const;
    void applyFonts(const QFont& proportional, const QFont& fixed);
    // Off while an edit is open.
    void setListsEnabled(bool on);
    // The Commands list shows no command, only the note that there is nothing to show.
    bool commandsEmpty() const { return commandsEmpty_; }
    QStringList commandNames() const;

    // The window anew from the selection: menus rebuilt where the selection says so, the edit
    // closed, program and scope chosen; tab -1 keeps the tab and clears a find's mark.
    void reset(int tab);
    // After a change was written and the store read again: the menus and lists anew, showing
    // the selection's command.
    void refreshAfterChange();
    // The Commands list with the names of the chosen scope; a scope without rows, like no file,
    // shows that there is nothing to show.
    void fillCommandList();
    // The same, but a scope without rows leaves the list as it was.
    void fillCommandListIfScopeHasRows();
    // The Commands list shows that there is nothing to show.
    void showNoCommands();
    // A tab chosen by number, as a click on it does; refused while an edit is open.
    void showTab(int tab);
    // The entry selected in a list (1 to 4) in the boxes below.
    void showSelectedEntry(int list);
    // A find's hit, on the Commands or the LISTs tab.
    void showHit(const FindHit& hit);
    // Shows the command (or, with isList, the LIST) of that program and scope, whatever group
    // or view hid it. False when the store has no such row.
    bool goToCommand(const std::string& program, const std::string& scope, const std::string& name, bool isList);

    // The entry on show: its tab, place and name, to be shown again after a refresh.
    struct ShownEntry {
        int tab = 0;
        std::string program, scope, name;
    };
    ShownEntry shownEntry() const;
    // The window refreshed on that tab with that entry selected (a name no longer there leaves
    // the tab's first entry selected).
    void showAgain(const ShownEntry& entry);
    // A name added to the list of a tab and selected, before it exists in the store.
    void showPendingName(int tab, const std::string& name);

private:
    // The names of the chosen scope; nothing when the scope has no row at all.
    std::optional<CommandNames> readCommandNames();
    void showCommandNames(CommandNames read);
    void fillList(NameList* list, const std::vector<std::string>& lines);
    void fillList(NameList* list, QStringList lines);
    void selectRow(NameList* list, int row);
    void tabChosen(int tab);
    void showCommands();
    void showLists();
    void showRecent(int tab);

    WindowContext& ctx_;
    QTabWidget* tabs_;
    std::array<NameList*, 4> lists_{};
    // Entries behind the recent lists, whose lines do not show the scope.
    std::vector<RecentEntry> recentlyCreated_, recentlyModified_;
    bool commandsEmpty_ = false;
};

} // namespace vocabrella::ui
