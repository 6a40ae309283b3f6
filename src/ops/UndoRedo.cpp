#include "ops/UndoRedo.h"

#include "cmdfile/AtomicFile.h"
#include "cmdfile/Errors.h"
#include "cmdfile/Sha256.h"
#include "ops/Texts.h"
#include "shell/Session.h"
#include "writer/WriterEnvironment.h"
#include "cmdfile/System.h"

namespace vocabrella::ops {

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
    ChangeHistory history(ws_.session().home(), file);
    if (!history.problem().empty()) return refuse(history.problem(), os::pathText(file));
    const HistoryEntry* entry = back() ? history.undoable() : history.redoable();
    if (!entry) return refuse(std::string(back() ? texts::NothingToUndo : texts::NothingToRedo), os::pathText(file));
    entry_ = *entry;
    if (!isExpected(readFileBytes(file))) return refuse(changedSince(), os::pathText(file));
    auto bytes = back() ? history.version(entry_->before, entry_->beforeSize)
                        : history.version(entry_->after, entry_->afterSize);
    if (!bytes)
        return refuse(std::string(texts::VersionLostStart) +
                          std::string(back() ? texts::VersionLostBefore : texts::VersionLostAfter) +
                          entry_->description + std::string(texts::VersionLostEnd),
                      os::pathText(file));
    restored_ = std::move(*bytes);
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
    view.entries = history.entries();
    view.position = history.position();
    const HistoryEntry* next = view.undoable();
    const bool undo = next != nullptr;
    if (!next) next = view.redoable();
    if (!next || !checkFile) return view;
    try {
        const auto bytes = readFileBytes(file);
        const auto& digest = undo ? next->after : next->before;
        const auto size = undo ? next->afterSize : next->beforeSize;
        view.fileAsExpected = bytes.size() == size && sha256Hex(bytes) == digest;
    } catch (const std::exception&) {
        view.fileAsExpected = false;
    }
    return view;
}

} // namespace vocabrella::ops
