#include "ops/BatchDelete.h"

#include "cmdfile/Prompter.h"
#include "ops/Texts.h"
#include "writer/RebuildOperations.h"

namespace vocabrella::ops {

Outcome BatchDelete::checkMarked() {
    if (selection_.scope == BatchScope::PickAndChoose)
        for (const auto& name : selection_.picked)
            if (const auto row = ws_.store().findUser(selection_.program, selection_.state, name); row && row->Type == "L")
                return refuse(std::string(texts::ListInBatchDelete), name);
    // Marked LIST rows stand for no command record: what goes of them goes with their commands.
    commands_ = narrowMarks(ws_.store(), [](const UserRow& row) { return row.Type != "L"; });
    if (commands_ == 0) return refuseNothingToDo();
    return Outcome::done();
}

Outcome BatchDelete::confirm() {
    const auto lists = ListsLeavingWithMarked(ws_.store());
    if (lists.empty()) return Outcome::done();
    const std::string question =
        std::string(texts::ListsGoWithThem) + joinedNames(lists) + std::string(texts::DeleteThemAll);
    if (ws_.prompter().yesNo(question, texts::VerbDelete)) return Outcome::done();
    return ended(Outcome::declined());
}

void BatchDelete::write() {
    ws_.prompter().status(texts::Deleting);
    DeleteMarked(ws_.env());
}

Outcome BatchDelete::finish() {
    ws_.prompter().status("");
    return ended(Outcome::done(std::string(texts::DeletionCompleted)));
}

std::string BatchDelete::describe() const {
    return std::string(texts::DescribeDelete) + std::to_string(commands_) + std::string(texts::DescribeCommands);
}

} // namespace vocabrella::ops
