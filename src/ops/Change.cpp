#include "ops/Change.h"

#include "cmdfile/AtomicFile.h"
#include "cmdfile/Errors.h"
#include "cmdfile/FileLock.h"
#include "cmdfile/Prompter.h"
#include "ops/Failures.h"
#include "ops/Texts.h"

#include <optional>

namespace vocabrella::ops {

Outcome Change::refuse(std::string text, std::string title) {
    ws_.prompter().message(text, title);
    return Outcome::refused(std::move(text), std::move(title));
}

Outcome ChangeOfOne::find() {
    auto found = findCommand(ws_, place_, name_);
    row_ = std::move(found.row);
    return found.outcome;
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
        {
            CommandFileLock lock(ws_.commandFile(), ws_.clock());
            refuseUnlessWritable(ws_.commandFile());
            if (ws_.changedOnDisk())
                if (auto o = changedOnDisk(); !o.isDone()) return o;
            ws_.backup();
            write();
        }
        ws_.SaveAndReload(newListWritten());
        return finish();
    }, {});
}

} // namespace vocabrella::ops
