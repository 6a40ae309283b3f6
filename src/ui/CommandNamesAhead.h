#pragma once

#include "cmdfile/Store.h"
#include "ui/Browser.h"
#include "ui/Selection.h"

#include <QStringList>

#include <filesystem>
#include <future>
#include <optional>
#include <string>
#include <vector>

namespace vocabrella::ui {

// The names of the Commands list, and the row of the selection's command among them.
struct CommandNames {
    QStringList names;
    int selected = -1;
};

// Reads the Commands list of the browser's selection straight from the store's rows into the
// list's strings, finding the command on the way; false when the scope has no row at all. It
// writes nothing: the LISTs the names use are left in usedLists (see Browser::ShowUsedLists).
bool readCommandNames(Browser& browser, const std::string& command, CommandNames& read,
                      std::vector<std::string>& usedLists);

// The Commands list of the place a file opens at, read on a second thread over a second
// connection to the store while the window builds its controls and menus: on a large scope the
// reading is most of what the window's start waits for. It is taken only by a fill for the same
// selection, with the store written by nobody since; otherwise it is dropped and the list read as ever.
class CommandNamesAhead {
public:
    struct Names {
        Selection selection; // what was read: the selection given, at the file's first place
        CommandNames commands;
        std::vector<std::string> usedLists;
        bool scopeHasRows = false;
    };

    CommandNamesAhead() = default;
    CommandNamesAhead(const CommandNamesAhead&) = delete;
    CommandNamesAhead& operator=(const CommandNamesAhead&) = delete;
    ~CommandNamesAhead(); // waits for a reading still under way

    // Starts reading, for selection at the first place of the file (see Browser::firstPlace).
    void start(CommandStore& store, const Selection& selection, bool fileHasCommands);
    // The names read, when they are what a fill for selection would read now; once only.
    std::optional<Names> take(CommandStore& store, const Selection& selection);

private:
    std::future<Names> reading_;
    CommandStore::WriteMark started_;
};

} // namespace vocabrella::ui
