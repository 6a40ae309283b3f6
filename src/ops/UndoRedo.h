#pragma once

#include "ops/Change.h"
#include "shell/ChangeHistory.h"

#include <optional>
#include <string>
#include <vector>

namespace vocabrella::ops {

// One step through the open file's history of changes: back (Undo puts the file back as it
// was before the newest change) or forward (Redo makes the newest undone change again). The
// step is taken only while the file is still exactly the version the history expects; when
// Dragon or another program changed it since, it is refused and the file left alone. A step is
// a change like any other (lock, backup, atomic write, reload), except that it adds nothing to
// the history: it moves through it.
class HistoryStep : public Change {
public:
    enum class Direction { Back, Forward };
    // "Undo Rename "a" to "b"", once the step was checked.
    std::string describe() const override;

protected:
    HistoryStep(Workspace& ws, Direction direction) : Change(ws), direction_(direction) {}
    Outcome check() override;
    void write() override;
    Outcome finish() override;
    void keepInHistory(ChangeHistory& history, std::span<const std::uint8_t> before,
                       std::span<const std::uint8_t> after) override;

private:
    bool back() const { return direction_ == Direction::Back; }
    // The version the file must be for the step, and the one it becomes.
    const std::string& expected() const { return back() ? entry_->after : entry_->before; }
    std::uint64_t expectedSize() const { return back() ? entry_->afterSize : entry_->beforeSize; }
    bool isExpected(std::span<const std::uint8_t> bytes) const;
    std::string changedSince() const;

    Direction direction_;
    std::optional<HistoryEntry> entry_;
    std::vector<std::uint8_t> restored_;
};

class Undo final : public HistoryStep {
public:
    explicit Undo(Workspace& ws) : HistoryStep(ws, Direction::Back) {}
};

class Redo final : public HistoryStep {
public:
    explicit Redo(Workspace& ws) : HistoryStep(ws, Direction::Forward) {}
};

// The open file's history as the Edit menu and the command line show it.
struct HistoryView {
    std::string problem;               // set when the history could not be read in full
                                       // (entries holds what could be read)
    std::vector<HistoryEntry> entries; // oldest first
    std::size_t position = 0;          // entries before it are made, from it on undone
    // Whether the file is still the version the next Undo (or, with nothing to undo, the next
    // Redo) starts from; false also when there is neither.
    bool fileAsExpected = false;
    const HistoryEntry* undoable() const { return position > 0 ? &entries[position - 1] : nullptr; }
    const HistoryEntry* redoable() const { return position < entries.size() ? &entries[position] : nullptr; }
};
// Reads the history without telling anything; a file that cannot be read is not as expected.
// Without checkFile the file is not read (fileAsExpected stays false).
HistoryView historyOf(Workspace& ws, bool checkFile = true);

} // namespace vocabrella::ops
