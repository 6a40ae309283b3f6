#include "ops/RenameCommand.h"

#include "cmdfile/Prompter.h"
#include "ops/Texts.h"
#include "writer/Updater.h"

namespace vocabrella::ops {

Outcome RenameCommand::check() {
    if (auto o = find(); !o.isDone()) return o;
    if (newName_.empty()) return refuse(std::string(texts::EmptyName));
    const bool sameDescription = !description_ || *description_ == row_->description;
    const bool sameGroup = !group_ || *group_ == row_->owner;
    if (newName_ == row_->name && sameDescription && sameGroup)
        return refuse(std::string(texts::NothingChangedSameName), newName_);
    if (description_)
        if (auto o = checkNoControlCharacter(ws_, *description_, texts::ControlCharacterInDescription, newName_);
            !o.isDone())
            return o;
    if (group_)
        if (auto o = checkNoControlCharacter(ws_, *group_, texts::ControlCharacterInGroup, newName_); !o.isDone())
            return o;
    if (const auto existing = ws_.store().findUser(place_.program, place_.scope, newName_);
        existing && existing->ID != row_->ID)
        return refuse(newName_ + std::string(texts::AlreadyExistsSuffix), std::string(texts::MustDeleteFirst));
    if (newName_ == row_->name) return Outcome::done(); // the name stays: only the description or group change
    // LIST names keep to Dragon's alphabet however they are given, renames included.
    if (row_->Type == "L") return checkNewListName(ws_, newName_, row_->ID);
    return checkNewCommandName(ws_, place_, newName_, row_->ID);
}

Outcome RenameCommand::confirm() {
    if (row_->Type == "L" && !ConfirmListInUse(ws_, *row_, texts::VerbRename)) return Outcome::declined();
    return Outcome::done();
}

void RenameCommand::write() {
    CommandFileUpdater(ws_.env())
        .UpdateFirstThings(row_->ID, newName_, description_.value_or(row_->description), group_.value_or(row_->owner));
    ws_.MRUUpdate(place_.program, place_.scope, newName_, row_->Type == "L", false);
}

std::string RenameCommand::describe() const {
    return std::string(texts::DescribeRename) + inQuotes(name_) + std::string(texts::DescribeTo) + inQuotes(newName_);
}

} // namespace vocabrella::ops
