#include "ops/CloneCommand.h"

#include "cmdfile/Format.h"
#include "cmdfile/TextCase.h"
#include "shell/platform/DragonFiles.h"
#include "ops/SaveChanges.h"
#include "writer/Updater.h"

namespace vocabrella::ops {

std::string bodyForEditing(const UserRow& row) {
    const bool fromOtherFile = !sameIgnoringCase(row.filename, platform::dragonfiles::CommandFile);
    if (!(row.Type == "K" && fromOtherFile) && row.Type != "L") return row.script;
    std::string out;
    out.reserve(row.script.size());
    bool afterBackslash = false;
    for (const char c : row.script) {
        if (c == '\\' && afterBackslash) {
            afterBackslash = false; // the second of a doubled pair
            continue;
        }
        afterBackslash = c == '\\';
        out.push_back(c);
    }
    return out;
}

Outcome CloneCommand::check() {
    if (auto o = find(); !o.isDone()) return o;
    const UserRow& source = *row_;
    isList_ = source.Type == "L";
    if (isList_) {
        if (auto o = checkNewListName(ws_, newName_); !o.isDone()) return o;
        record_.name = newName_;
        record_.typeCode.assign(1, 'L'); // (a literal here trips a false -Wrestrict of GCC 12)
        record_.body = bodyForEditing(source);
        return checkBody(ws_, "L", record_.body, newName_, false);
    }
    if (auto o = checkNewCommandName(ws_, place_, newName_); !o.isDone()) return o;
    auto created = CheckCreatePlace(ws_, place_, name_);
    if (!created.outcome.isDone()) return created.outcome;
    record_ = std::move(created.header);
    record_.name = newName_;
    record_.typeCode = source.Type;
    record_.body = bodyForEditing(source);
    record_.description = source.description;
    record_.group = source.owner.empty() ? std::string(names::UserDefined) : source.owner;
    // The copy takes the texts as the file has them.
    return checkBody(ws_, record_.typeCode, record_.body, newName_, false);
}

void CloneCommand::write() {
    CommandFileUpdater updater(ws_.env());
    if (isList_) updater.UpdateNewList(record_.name, record_.body);
    else updater.UpdateNewCommand(record_);
    ws_.MRUUpdate(place_.program, place_.scope, newName_, isList_, false);
}

} // namespace vocabrella::ops
