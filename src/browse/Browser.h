#pragma once

#include "cmdfile/Store.h"
#include "ops/AllowedChanges.h"
#include "browse/Selection.h"

#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace vocabrella {
struct LoadedFile;
}

// The store side of browsing: what the menus and lists hold under the current selection, and
// what is shown of one row. The window renders these; the command line prints them.
namespace vocabrella::browse {

// One line of the Recently Created or Recently Modified list and the entry behind it (the line
// does not carry the scope).
struct RecentEntry {
    std::string line, program, scope, name;
};

// Column (1-based) at which the program is written on a recent line.
inline constexpr std::size_t kRecentProgramColumn = 50;
inline constexpr std::size_t kRecentlyCreatedLimit = 75;

// Name, then the program from column 50 on, so that a fixed-pitch font lines the programs up.
std::string recentLine(std::string_view name, std::string_view program);

class Browser {
public:
    Browser(CommandStore& store, Selection& selection) : store_(store), selection_(selection) {}

    // Program menu: "Global Commands" first, then the others in ascending order. With a group
    // chosen, only the programs of that group; a group that has none falls back to "All groups".
    std::vector<std::string> programEntries();
    // Scope menu of a program (limited to the chosen group, if any).
    std::vector<std::string> scopeEntries(std::string_view program);
    // Group menu: the groups of the commands (LISTs define none); the window adds the separator
    // and "All groups".
    std::vector<std::string> groupEntries();
    bool programExists(std::string_view program);

    // The Commands list of the current program and scope, each name handed to add as it is
    // read, in the order of the index name; false when the scope has no row at all. It writes
    // nothing, so that it can run over a second connection to the store: usedLists receives
    // the LISTs the shown names use, for ShowUsedLists.
    bool ReadCommandList(const std::function<void(std::string_view)>& add, std::vector<std::string>& usedLists);
    // Every LIST the shown commands use is made visible in the scope: a global LIST missing
    // there is copied in, and with a group chosen the LIST joins that group.
    void ShowUsedLists(const std::vector<std::string>& usedLists);
    // Both: the names collected, nothing when the scope has no row at all.
    std::optional<std::vector<std::string>> FillCommandList();
    // The LISTs list: for any scope but the global one, the LISTs the given commands use, in
    // order of first use; for the global scope, every global LIST.
    std::vector<std::string> FillListsList(const std::vector<std::string>& commandNames);
    // Rows added most recently, newest first, before the LIST section; at most 75.
    std::vector<RecentEntry> recentlyCreated();
    // Entries program TAB scope TAB name; malformed ones are left out.
    std::vector<RecentEntry> recentlyModified(const std::vector<std::string>& entries);

    std::optional<UserRow> entry(std::string_view program, std::string_view scope, std::string_view name);
    // Program and scope of the group's first row in the order of the index name.
    std::optional<Place> firstPlaceOfGroup(std::string_view group);
    // Where a file opens: the program and scope of its first row, the global commands when
    // it has no command.
    Place firstPlace(bool fileHasCommands);
private:
    // The group of the Group menu, unless "All groups" is chosen.
    std::optional<std::string> chosenGroup() const;

    CommandStore& store_;
    Selection& selection_;
};

// What the body display shows for a row, and which editing entries it allows.
struct BodyDisplay {
    std::string text; // CR LF line ends, as stored
    std::string description;
    std::string activeStates; // the state names, separated by commas
    bool showGraphic = false;
    ops::AllowedChanges allowed;
};

// The names of the states a command is active in, in the order of its state IDs.
std::vector<std::string> stateNames(const UserRow& row, CommandStore& store);

// languageName: the open file's language (which decides the conversion to advanced script).
BodyDisplay ShowBody(const UserRow& row, CommandStore& store, std::string_view languageName);

// The formatted part (RTF bytes) of a Text & Graphics row, read from the loaded file image at
// the row's offsetbody. Throws FormatError when the image holds no such part there.
std::string formattedPart(const LoadedFile& file, const UserRow& row);

} // namespace vocabrella::browse
