#include "ops/Change.h"

#include "cmdfile/AtomicFile.h"
#include "cmdfile/Clock.h"
#include "cmdfile/Errors.h"
#include "cmdfile/FileLock.h"
#include "cmdfile/Prompter.h"
#include "cmdfile/Reader.h"
#include "ops/Failures.h"
#include "ops/Texts.h"
#include "shell/ChangeHistory.h"
#include "shell/Session.h"
#include "cmdfile/System.h"

#include <algorithm>
#include <optional>

namespace vocabrella::ops {

Outcome Change::refuse(std::string text, std::string title) {
    ws_.prompter().message(text, title);
    return Outcome::refused(std::move(text), std::move(title));
}

Outcome Change::refuse(NotAllowed why) {
    return refuse(std::move(why.text), std::move(why.title)).because(Outcome::Reason::NotAllowed);
}

AllowedChanges Change::allowedFor(const UserRow& row) {
    return allowedChanges(row, ws_.env().reader.file().info.languageName);
}

Outcome ChangeOfOne::find() {
    auto found = findCommand(ws_, place_, name_);
    row_ = std::move(found.row);
    return found.outcome;
}

std::string inQuotes(std::string_view name) { return "\"" + std::string(name) + "\""; }

void Change::keepInHistory(ChangeHistory& history, std::span<const std::uint8_t> before,
                           std::span<const std::uint8_t> after) {
    // A change that left every byte as it was has nothing to undo.
    if (std::equal(before.begin(), before.end(), after.begin(), after.end())) return;
    history.record(describe(), ws_.clock().now(), before, after);
}

bool keepInHistoryOf(Workspace& ws, const std::filesystem::path& file, const std::function<void(ChangeHistory&)>& keep) {
    try {
        // Nothing is made through a link: not the history's folder, not its lock.
        if (const auto aside = ChangeHistory::setAsideLinkedFolders(ws.session().home(), file); !aside.empty())
            ws.prompter().message(aside, os::pathText(file));
        // Two programs that change one file take their turns at its history too.
        const auto list = ChangeHistory::listOf(ws.session().home(), file);
        std::filesystem::create_directories(list.parent_path());
        CommandFileLock lock(list, ws.clock());
        ChangeHistory history(ws.session().home(), file);
        if (!history.problem().empty()) ws.prompter().message(history.problem(), os::pathText(file));
        keep(history);
        return true;
    } catch (const std::exception& e) {
        ws.prompter().message(std::string(texts::HistoryNotKept) + e.what(), os::pathText(file));
        return false;
    }
}

bool Change::recordInHistory(std::span<const std::uint8_t> before, std::span<const std::uint8_t> after) {
    return keepInHistoryOf(ws_, ws_.commandFile(), [&](ChangeHistory& history) { keepInHistory(history, before, after); });
}

Outcome Change::storeBehind(const StoreError& e, bool keptForUndo) {
    ws_.session().trace().Tracy(texts::trace::StoreBehind, e.what());
    // The store must not pass for a copy of the file: the next start reads the file afresh. This
    // may fail as the store did; the store's own record of the file is then the old one anyway.
    try {
        auto p = ws_.store().parameters();
        p.mycmdstime.reset();
        ws_.store().setParameters(p);
    } catch (const std::exception&) {
    }
    std::string text = std::string(texts::StoreBehindStart) + e.what() + std::string(texts::StoreBehindMiddle) +
                       std::string(keptForUndo ? texts::StoreBehindUndo : texts::StoreBehindNoUndo) +
                       std::string(texts::StoreBehindAdvice) + os::pathText(ws_.session().home()) +
                       std::string(texts::StoreBehindEnd);
    ws_.prompter().message(text, os::pathText(ws_.commandFile()));
    return Outcome::failed(std::move(text), os::pathText(ws_.commandFile()));
}

Outcome Change::changedOnDisk() {
    ws_.FileRefresh();
    return check();
}

Outcome Change::run() {
    return translatingFailures(ws_, [&]() -> Outcome {
        if (ws_.commandFile().empty()) return refuse(std::string(texts::NoFileOpen));
        if (auto o = check(); !o.isDone()) return o;
        if (auto o = confirm(); !o.isDone()) return o;
        bool kept = false;
        {
            CommandFileLock lock(ws_.commandFile(), ws_.clock());
            refuseUnlessWritable(ws_.commandFile());
            if (ws_.changedOnDisk())
                if (auto o = changedOnDisk(); !o.isDone()) return o;
            ws_.backup();
            const auto before = readFileBytes(ws_.commandFile());
            try {
                write();
            } catch (const StoreError& e) {
                // The file is put in place only once the store's change is made, but the store
                // may still fail after it (its commit): then the file holds the change.
                auto now = readFileBytes(ws_.commandFile());
                if (now == before) throw;
                return storeBehind(e, recordInHistory(before, now));
            }
            // Recorded while the lock is held: the history's "after" is exactly what this change
            // wrote, never what another program (Dragon, a second Vocabrella) wrote after it.
            kept = recordInHistory(before, readFileBytes(ws_.commandFile()));
        }
        try {
            ws_.SaveAndReload(newListWritten());
        } catch (const StoreError& e) {
            return storeBehind(e, kept);
        }
        return finish();
    }, {});
}

} // namespace vocabrella::ops
