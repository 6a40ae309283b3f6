#include "ops/WriteDvcFile.h"

#include "cmdfile/DvcWriter.h"
#include "cmdfile/Errors.h"
#include "cmdfile/Prompter.h"
#include "cmdfile/RowMarks.h"
#include "ops/Failures.h"
#include "ops/BatchChange.h"
#include "ops/OutputTarget.h"
#include "ops/Workspace.h"

namespace vocabrella::ops {

Outcome WriteDvcFile::run() {
    auto& store = ws_.store();
    const auto refuse = [&](std::string text, std::string title) {
        ws_.prompter().message(text, title);
        return Outcome::refused(std::move(text), std::move(title));
    };
    return translatingFailures(ws_, [&]() -> Outcome {
        const RowMarks marks(store);
        auto marked = markSelection(ws_, selection_, texts::NothingSelectedToExport);
        if (!marked.outcome.isDone()) return marked.outcome;
        // DVC knows KEYS, scripts and LISTs only.
        if (!pseudo_ && narrowMarks(store, [](const UserRow& row) {
                return row.Type == "K" || row.Type == "S" || row.Type == "L";
            }) == 0)
            return refuse(std::string(texts::NoDvcCommands), std::string(texts::NoDvcCommandsTitle));
        const auto seen = FileVersion::of(target_);
        if (auto o = checkOutputTarget(ws_, target_); !o.isDone()) return o;
        WriteDvc(store, target_, seen);
        return Outcome::done();
    });
}

} // namespace vocabrella::ops
