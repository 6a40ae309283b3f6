#include "ops/UndoRedo.h"

#include "cmdfile/AtomicFile.h"
#include "cmdfile/Errors.h"
#include "cmdfile/FileLock.h"
#include "cmdfile/Prompter.h"
#include "cmdfile/Sha256.h"
#include "ops/Texts.h"
#include "shell/Session.h"
#include "writer/WriterEnvironment.h"
#include "cmdfile/System.h"

namespace vocabrella::ops {
namespace {

// The history with its position matching the file when a step wrote the file but was stopped
// before the history took it in; moved under the list's lock, as every writer of the history.
// Moving it puts aside what was damaged: problem says what was found.
ChangeHistory matchingHistory(Workspace& ws, std::span<const std::uint8_t> file, std::string& problem) {
    const auto& home = ws.session().home();
    ChangeHistory history(home, ws.commandFile());
    problem = history.problem();
    if (!history.positionFor(file)) return history;
    CommandFileLock lock(ChangeHistory::listOf(home, ws.commandFile()), ws.clock());
    ChangeHistory locked(home, ws.commandFile());
    problem = locked.problem();
    if (const auto position = locked.positionFor(file)) locked.moveTo(*position);
    return locked;
}

// Without reading the file: whether its size is the one an interrupted step leaves, and not the
// one the position expects.
bool mayBeInterrupted(const ChangeHistory& history, const std::filesystem::path& file) {
    std::error_code ec;
    const auto size = std::filesystem::file_size(file, ec);
    const HistoryEntry* undo = history.undoable();
    const HistoryEntry* redo = history.redoable();
    if (ec || (undo && undo->afterSize == size) || (redo && redo->beforeSize == size)) return false;
    return (undo && undo->beforeSize == size) || (redo && redo->afterSize == size);
}

} // namespace

std::string HistoryStep::describe() const {
    return std::string(back() ? texts::UndoPrefix : texts::RedoPrefix) + (entry_ ? entry_->description : "");
}

bool HistoryStep::isExpected(std::span<const std::uint8_t> bytes) const {
    return bytes.size() == expectedSize() && sha256Hex(bytes) == expected();
}

std::string HistoryStep::changedSince() const {
    return std::string(texts::ChangedSinceStart) + entry_->description +
           std::string(back() ? texts::ChangedSinceMade : texts::ChangedSinceUndone);
}

Outcome HistoryStep::check() {
    const auto& file = ws_.commandFile();
    const auto bytes = readFileBytes(file);
    std::string problem;
    const auto history = matchingHistory(ws_, bytes, problem);
    const HistoryEntry* entry = back() ? history.undoable() : history.redoable();
    if (!entry && !problem.empty()) return refuse(problem, os::pathText(file));
    // A history partly damaged still takes its readable steps; the damage is told when the step
    // is kept in it, or now when matching the file already put it aside.
    if (!problem.empty() && history.problem().empty()) ws_.prompter().message(problem, os::pathText(file));
    if (!entry) return refuse(std::string(back() ? texts::NothingToUndo : texts::NothingToRedo), os::pathText(file));
    entry_ = *entry;
    if (!isExpected(bytes)) return refuse(changedSince(), os::pathText(file));
    auto version = back() ? history.version(entry_->before, entry_->beforeSize)
                          : history.version(entry_->after, entry_->afterSize);
    if (!version)
        return refuse(std::string(texts::VersionLostStart) +
                          std::string(back() ? texts::VersionLostBefore : texts::VersionLostAfter) +
                          entry_->description + std::string(texts::VersionLostEnd),
                      os::pathText(file));
    restored_ = std::move(*version);
    return Outcome::done();
}

void HistoryStep::write() {
    const auto env = ws_.env();
    CommandFileOnDisk disk(env);
    // Checked again under the lock: nobody may have written the file since the check.
    if (!isExpected(disk.snapshot().bytes)) throw Refusal(changedSince(), os::pathText(ws_.commandFile()));
    CommitRewrite(env, back() ? "undo" : "redo", disk.snapshot(), std::move(restored_));
}

Outcome HistoryStep::finish() {
    return Outcome::done(std::string(back() ? texts::Undone : texts::Redone) + entry_->description);
}

void HistoryStep::keepInHistory(ChangeHistory& history, std::span<const std::uint8_t>,
                                std::span<const std::uint8_t>) {
    // The step is taken in the history only when it still holds the change this step took.
    const HistoryEntry* now = back() ? history.undoable() : history.redoable();
    if (!now || now->before != entry_->before || now->after != entry_->after) return;
    if (back()) history.undone();
    else history.redone();
}

HistoryView historyOf(Workspace& ws, bool checkFile) {
    HistoryView view;
    const auto& file = ws.commandFile();
    if (file.empty()) return view;
    ChangeHistory history(ws.session().home(), file);
    view.problem = history.problem();
    try {
        if (checkFile || mayBeInterrupted(history, file)) {
            const auto bytes = readFileBytes(file);
            history = matchingHistory(ws, bytes, view.problem);
            const HistoryEntry* undo = history.undoable();
            const HistoryEntry* next = undo ? undo : history.redoable();
            view.fileAsExpected = checkFile && next && bytes.size() == (undo ? next->afterSize : next->beforeSize) &&
                                  sha256Hex(bytes) == (undo ? next->after : next->before);
        }
    } catch (const std::exception&) {
        view.fileAsExpected = false; // a file that cannot be read is not as expected
    }
    view.entries = history.entries();
    view.position = history.position();
    return view;
}

} // namespace vocabrella::ops
