#include "ops/RenameInBatch.h"

#include "cmdfile/Prompter.h"
#include "cmdfile/TextCase.h"
#include "writer/RebuildOperations.h"

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
    if (left > 0) return Outcome::done();
    if (!anyGroup && !ws_.store().firstRowOfGroup(old)) return refuse(std::string(texts::NoSuchGroup) + old);
    return refuseNothingToDo();
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
    if (left > 0) return Outcome::done();
    if (!ws_.store().hasProgram(old)) return refuse(std::string(texts::NoSuchProgram) + old);
    return refuseNothingToDo();
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

} // namespace vocabrella::ops
