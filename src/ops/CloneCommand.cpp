#include "ops/CloneCommand.h"

#include "cmdfile/Format.h"
#include "cmdfile/TextCase.h"
#include "shell/platform/DragonFiles.h"
#include "ops/SaveChanges.h"
#include "ops/Texts.h"
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

Outcome CloneCommand::checkName(Workspace& ws, Place place, std::string sourceName, std::string newName) {
    CloneCommand clone(ws, std::move(place), std::move(sourceName), std::move(newName));
    return clone.check();
}

Outcome CloneCommand::check() {
    if (auto o = find(); !o.isDone()) return o;
    const UserRow& source = *row_;
    if (!allowedFor(source).clone) return refuse(whyNotCloned(source));
    isList_ = source.Type == "L";
    if (isList_) {
        if (auto o = checkNewListName(ws_, newName_); !o.isDone()) return o;
        record_.name = newName_;
        record_.typeCode.assign(1, 'L'); // (a literal here trips a false -Wrestrict of GCC 12)
        record_.body = edits_.body.value_or(bodyForEditing(source));
        // The copy takes the texts as the file has them; what the user typed is checked as typed.
        return checkBody(ws_, "L", record_.body, newName_, edits_.body.has_value());
    }
    if (auto o = checkNewCommandName(ws_, place_, newName_); !o.isDone()) return o;
    auto created = CheckCreatePlace(ws_, place_, name_);
    if (!created.outcome.isDone()) return created.outcome;
    record_ = std::move(created.header);
    record_.name = newName_;
    record_.typeCode = source.Type;
    record_.body = edits_.body.value_or(bodyForEditing(source));
    record_.description = edits_.description.value_or(source.description);
    record_.group = edits_.group.value_or(source.owner);
    if (record_.group.empty()) record_.group = std::string(names::UserDefined);
    if (edits_.description) {
        if (auto o = checkNoControlCharacter(ws_, *edits_.description, texts::ControlCharacterInDescription, newName_);
            !o.isDone())
            return o;
    }
    if (edits_.group) {
        if (auto o = checkNoControlCharacter(ws_, *edits_.group, texts::ControlCharacterInGroup, newName_); !o.isDone())
            return o;
    }
    return checkBody(ws_, record_.typeCode, record_.body, newName_, edits_.body.has_value());
}

void CloneCommand::write() {
    CommandFileUpdater updater(ws_.env());
    if (isList_) updater.UpdateNewList(record_.name, record_.body);
    else updater.UpdateNewCommand(record_);
    ws_.MRUUpdate(place_.program, place_.scope, newName_, isList_, false);
}

std::string CloneCommand::describe() const {
    return std::string(texts::DescribeClone) + inQuotes(name_) + std::string(texts::DescribeCloneAs) + inQuotes(newName_);
}

} // namespace vocabrella::ops
