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

void Change::recordInHistory(std::span<const std::uint8_t> before) {
    try {
        const auto after = readFileBytes(ws_.commandFile());
        // Two programs that change one file take their turns at its history too.
        const auto list = ChangeHistory::listOf(ws_.session().home(), ws_.commandFile());
        std::filesystem::create_directories(list.parent_path());
        CommandFileLock lock(list, ws_.clock());
        ChangeHistory history(ws_.session().home(), ws_.commandFile());
        if (!history.problem().empty()) ws_.prompter().message(history.problem(), os::pathText(ws_.commandFile()));
        keepInHistory(history, before, after);
    } catch (const std::exception& e) {
        ws_.prompter().message(std::string(texts::HistoryNotKept) + e.what(), os::pathText(ws_.commandFile()));
    }
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
        std::vector<std::uint8_t> before;
        {
            CommandFileLock lock(ws_.commandFile(), ws_.clock());
            refuseUnlessWritable(ws_.commandFile());
            if (ws_.changedOnDisk())
                if (auto o = changedOnDisk(); !o.isDone()) return o;
            ws_.backup();
            before = readFileBytes(ws_.commandFile());
            write();
        }
        // The history holds the file as Dragon left it: its reload may write the file again.
        ws_.SaveAndReload(newListWritten());
        recordInHistory(before);
        return finish();
    }, {});
}

} // namespace vocabrella::ops
