#include "ops/RenameInBatch.h"

#include "cmdfile/Prompter.h"
#include "cmdfile/TextCase.h"
#include "ops/Texts.h"
#include "writer/RebuildOperations.h"

#include <set>
#include <vector>

namespace vocabrella::ops {

Outcome RenameGroupChange::checkMarked() {
    if (newName_.empty() || newName_ == texts::EnterNewGroup) return refuse(std::string(texts::NoNewGroup));
    const auto& old = selection_.group;
    const bool anyGroup = old == names::AllGroups;
    oldGroup_ = old;
    const auto left = narrowMarks(ws_.store(), [&](const UserRow& row) {
        if (row.Type == "L" || !(anyGroup || sameIgnoringCase(row.owner, old))) return false;
        // The file's rename matches the Group as the file spells it.
        if (!anyGroup) oldGroup_ = row.owner;
        return true;
    });
    if (left == 0) {
        if (!anyGroup && !ws_.store().firstRowOfGroup(old)) return refuse(std::string(texts::NoSuchGroup) + old);
        return refuseNothingToDo();
    }
    bool moves = false;
    ws_.store().forEachFlagged([&](const UserRow& row) {
        moves = row.owner != newName_;
        return !moves;
    });
    if (!moves) return refuse(std::string(texts::NothingChangedSameName), newName_);
    return checkNoControlCharacter(ws_, newName_, texts::ControlCharacterInGroup, newName_);
}

void RenameGroupChange::write() {
    ws_.prompter().status(texts::RenamingGroup);
    RenameGroup(ws_.env(), oldGroup_, newName_);
}

Outcome RenameGroupChange::finish() {
    ws_.prompter().status("");
    return ended(Outcome::done(std::string(texts::GroupRenamed),
                               selection_.group + std::string(texts::GroupArrow) + newName_));
}

std::string RenameProgramChange::withoutExe(std::string name) {
    if (name.size() >= texts::ExeSuffix.size() &&
        foldCase(std::string_view(name).substr(name.size() - texts::ExeSuffix.size())) == texts::ExeSuffix)
        name.resize(name.size() - texts::ExeSuffix.size());
    return name;
}

Outcome RenameProgramChange::checkMarked() {
    if (newName_ == texts::EnterNewProgram) return refuse(std::string(texts::NoNewProgram));
    newName_ = withoutExe(std::move(newName_));
    if (newName_.empty()) return refuse(std::string(texts::NoNewProgram));
    if ((selection_.scope == BatchScope::Everything || selection_.scope == BatchScope::CurrentGroup) &&
        ws_.productionOpen())
        return refuse(std::string(texts::ProductionRenameProgram));
    const auto& old = selection_.program;
    if (names::isGlobalProgram(old)) return refuse(std::string(texts::GlobalCommandsHaveNoProgram));
    // Whatever the scope option marked, only the commands of the program being renamed change.
    const auto left = narrowMarks(ws_.store(), [&](const UserRow& row) {
        return row.Type != "L" && sameIgnoringCase(row.menu, old);
    });
    if (left == 0) {
        if (!ws_.store().hasProgram(old)) return refuse(std::string(texts::NoSuchProgram) + old);
        return refuseNothingToDo();
    }
    // Programs are told apart without letter case, as the store keeps them.
    if (sameIgnoringCase(newName_, old)) return refuse(std::string(texts::NothingChangedSameName), newName_);
    return refuseRepeatedNames();
}

Outcome RenameProgramChange::refuseRepeatedNames() {
    // A command keeps its scope and name: one the new program has there already would be there twice.
    const auto repeated = ws_.store().markedNamesTakenIn(newName_);
    if (repeated.empty()) return Outcome::done();
    constexpr std::size_t kNamed = 5;
    std::string text(texts::RenameRepeatsNames);
    for (std::size_t i = 0; i < repeated.size() && i < kNamed; ++i) (text += i ? ", " : "") += "\"" + repeated[i] + "\"";
    if (repeated.size() > kNamed)
        text += std::string(texts::AndMoreStart) + std::to_string(repeated.size() - kNamed) + std::string(texts::AndMoreEnd);
    return refuse(std::move(text), newName_);
}

void RenameProgramChange::write() {
    ws_.prompter().status(texts::RenamingProgram);
    RenameProgramOperation op(newName_);
    runRebuild(ws_.env(), op);
}

Outcome RenameProgramChange::finish() {
    ws_.prompter().status("");
    return ended(Outcome::done(std::string(texts::ProgramRenamed)));
}

std::string RenameGroupChange::describe() const {
    if (selection_.group == names::AllGroups) return std::string(texts::DescribeMoveToGroup) + inQuotes(newName_);
    return std::string(texts::DescribeRenameGroup) + inQuotes(selection_.group) + std::string(texts::DescribeTo) +
           inQuotes(newName_);
}

std::string RenameProgramChange::describe() const {
    return std::string(texts::DescribeRenameProgram) + inQuotes(selection_.program) + std::string(texts::DescribeTo) +
           inQuotes(newName_);
}

} // namespace vocabrella::ops
