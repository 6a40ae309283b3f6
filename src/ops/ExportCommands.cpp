#include "ops/ExportCommands.h"

#include "cmdfile/Clock.h"
#include "cmdfile/Errors.h"
#include "cmdfile/Prompter.h"
#include "cmdfile/RowMarks.h"
#include "ops/Change.h"
#include "ops/Failures.h"
#include "ops/OutputTarget.h"
#include "ops/Workspace.h"
#include "shell/ChangeHistory.h"
#include "shell/FileBackups.h"
#include "shell/Session.h"
#include "writer/Texts.h"

#include <algorithm>
#include "cmdfile/System.h"

namespace vocabrella::ops {
namespace fs = std::filesystem;

Outcome ExportCommands::checkTarget() {
    // The target as typed first: the open file is refused in any spelling.
    if (auto o = checkOutputTarget(ws_, target_, ExistingOutput::CallerDecides, vocabrella::texts::ExportToSelf);
        !o.isDone())
        return o;
    const auto normal = normaliseExportPath(target_);
    target_ = normal.path;
    if (normal.datAppended) {
        if (!ws_.prompter().okCancel(vocabrella::texts::AppendingDat, os::pathText(target_))) return Outcome::declined();
        return checkOutputTarget(ws_, target_, ExistingOutput::CallerDecides, vocabrella::texts::ExportToSelf);
    }
    return Outcome::done();
}

TargetKeeping ExportCommands::keepingOfTarget() {
    TargetKeeping keeping;
    keeping.backup = [this] { ws_.keptBackup(FileBackups::takeDaily(ws_.session().home(), target_, ws_.clock())); };
    keeping.record = [this](std::span<const std::uint8_t> before, std::span<const std::uint8_t> after) {
        const std::string description =
            std::string(whenExists_ == ExistingTarget::Append ? texts::DescribeExportAppend : texts::DescribeExportReplace) +
            inQuotes(os::pathText(ws_.commandFile().filename()));
        keepInHistoryOf(ws_, target_, [&](ChangeHistory& history) {
            if (!std::equal(before.begin(), before.end(), after.begin(), after.end()))
                history.record(description, ws_.clock().now(), before, after);
        });
    };
    return keeping;
}

Outcome ExportCommands::run() {
    auto& store = ws_.store();
    return translatingFailures(ws_, [&]() -> Outcome {
        if (ws_.changedOnDisk()) {
            ws_.FileRefresh();
            ws_.prompter().message(texts::ModifiedMeanwhile, {});
            return Outcome::refused(std::string(texts::ModifiedMeanwhile)).because(Outcome::Reason::FileChangedMeanwhile);
        }
        const RowMarks marks(store);
        auto marked = markSelection(ws_, selection_);
        if (!marked.outcome.isDone()) return marked.outcome;
        if (narrowMarks(store, [](const UserRow& row) { return row.Type != "L"; }) == 0) {
            ws_.prompter().message(texts::NoMacros, texts::NoMacrosTitle);
            return Outcome::refused(std::string(texts::NoMacros), std::string(texts::NoMacrosTitle));
        }
        if (auto o = checkTarget(); !o.isDone()) return o;
        if (whenExists_ != ExistingTarget::Ask && fs::exists(target_) &&
            !ws_.prompter().yesNo(whenExists_ == ExistingTarget::Append ? texts::ExportAppendExisting
                                                                        : texts::ExportReplaceExisting,
                                  os::pathText(target_)))
            return Outcome::declined();
        const auto env = ws_.env(); // the exporter keeps a reference to it
        ExportToCommandFile exporter(env, target_, whenExists_, &ws_.clock());
        exporter.keeping(keepingOfTarget());
        result_ = exporter.run();
        switch (result_.outcome) {
        case ExportOutcome::Done:
            return Outcome::done(std::string(texts::ExportCompleted), os::pathText(target_));
        case ExportOutcome::Cancelled: return Outcome::declined();
        case ExportOutcome::Refused: return Outcome::refused({}, os::pathText(target_));
        }
        return Outcome::refused({});
    });
}

} // namespace vocabrella::ops
