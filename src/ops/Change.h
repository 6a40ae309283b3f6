#pragma once

#include "cmdfile/Store.h"
#include "ops/AllowedChanges.h"
#include "ops/Names.h"
#include "ops/Outcome.h"
#include "ops/Workspace.h"

#include <cstdint>
#include <filesystem>
#include <functional>
#include <optional>
#include <span>
#include <string>
#include <string_view>

namespace vocabrella {
class ChangeHistory;
}

namespace vocabrella::ops {

// One user-visible change of the open command file. Every change goes one road: its checks
// (nothing written; the refusal told through the prompter), its questions, then under the
// file's writer lock the "changed since read?" check (a file changed meanwhile is read again
// and checked again), the day's backup and the writer; then the reload.
class Change {
public:
    explicit Change(Workspace& workspace) : ws_(workspace) {}
    virtual ~Change() = default;
    Change(const Change&) = delete;
    Change& operator=(const Change&) = delete;

    Outcome run();
    // What the change is called in the history and in the Undo and Redo entries, such as
    // Rename "a" to "b". Asked once the change is made.
    virtual std::string describe() const = 0;

protected:
    // Validates the input against the store; runs again when the file had to be read anew.
    virtual Outcome check() = 0;
    // The questions asked before anything is written (once).
    virtual Outcome confirm() { return Outcome::done(); }
    // A file changed behind the program's back: by default it is read again and the change goes
    // on after its checks; the save of an edit refuses instead.
    virtual Outcome changedOnDisk();
    // Writes the change into the file (the writer keeps the store in step).
    virtual void write() = 0;
    // Whether Dragon is left alone after the write (a new LIST waits for its first command).
    virtual bool newListWritten() const { return false; }
    // After the reload: what is said of the change.
    virtual Outcome finish() = 0;
    // Right after the write, the file's lock still held: the change is added to the file's
    // history (the file as it was before the write, and as this change wrote it). Undo and Redo move through the history instead.
    virtual void keepInHistory(ChangeHistory& history, std::span<const std::uint8_t> before,
                               std::span<const std::uint8_t> after);

    // Tells the user and returns the refusal.
    Outcome refuse(std::string text, std::string title = {});
    // The same for a change the command or LIST does not allow.
    Outcome refuse(NotAllowed why);
    // What a row of the open file allows.
    AllowedChanges allowedFor(const UserRow& row);

    Workspace& ws_;

private:
    // The history's part of run(): a history that cannot be read or written is told, never
    // fatal; the change stays made. Whether the change was kept.
    bool recordInHistory(std::span<const std::uint8_t> before, std::span<const std::uint8_t> after);
    // The file holds the change but the store could not follow: said as it is, and the store
    // left to be read afresh from the file.
    Outcome storeBehind(const StoreError& e, bool keptForUndo);
};

// Keeps a change of a command file in its history, the history's own lock held. A history that
// cannot be read or written is told, never fatal. Whether the change was kept.
bool keepInHistoryOf(Workspace& ws, const std::filesystem::path& file, const std::function<void(ChangeHistory&)>& keep);

// A name as the descriptions of the changes show it: in double quotes.
std::string inQuotes(std::string_view name);

// A change of one command or LIST of a place, named by the user.
class ChangeOfOne : public Change {
protected:
    ChangeOfOne(Workspace& ws, Place place, std::string name)
        : Change(ws), place_(std::move(place)), name_(std::move(name)) {}
    // Looks the row up; refuses when it is not there.
    Outcome find();

    Place place_;
    std::string name_;
    std::optional<UserRow> row_;
};

} // namespace vocabrella::ops
