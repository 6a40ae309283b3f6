#include "ops/DeleteCommand.h"

#include "cmdfile/Format.h"
#include "cmdfile/Prompter.h"
#include "cmdfile/RowMarks.h"
#include "ops/Texts.h"
#include "writer/RebuildOperations.h"
#include "writer/Updater.h"

namespace vocabrella::ops {

namespace {

bool confirmDelete(Workspace& ws, const UserRow& row) {
    const auto what = row.Type == "L" ? texts::ListQuestion : texts::CommandQuestion;
    return ws.prompter().yesNo(std::string(texts::DeleteThis) + std::string(what), row.name);
}

} // namespace

Outcome DeleteCommand::check() {
    row_ = ws_.store().findUser(place_.program, place_.scope, name_);
    if (!row_) return refuse(std::string(texts::DeleteFileError), name_);
    if (row_->Type == "L") return refuse(std::string(texts::ListIsNoCommand), name_);
    return Outcome::done();
}

Outcome DeleteCommand::confirm() {
    const auto id = row_->ID;
    const auto lists = ListsLeavingWith(ws_.store(), [id](const CommandStore::RowMark& m) { return m.ID == id; });
    std::string question = std::string(texts::DeleteThis) + std::string(texts::CommandQuestion);
    if (!lists.empty()) question += std::string(texts::ListsGoWithIt) + joinedNames(lists);
    return ws_.prompter().yesNo(question, row_->name) ? Outcome::done() : Outcome::declined();
}

void DeleteCommand::write() {
    ws_.prompter().status(texts::OperationInProgress);
    auto& store = ws_.store();
    const RowMarks marks(store, true);
    store.setFlag(row_->ID, true);
    DeleteMarked(ws_.env());
}

Outcome DeleteList::check() {
    row_ = ws_.store().findUser(place_.program, place_.scope, name_);
    if (typed_ && !row_) return refuse(std::string(texts::NoSuchList), name_);
    if (typed_ && row_->Type != "L") return refuse(std::string(texts::CommandIsNoList), name_);
    if (!row_ || row_->Type != "L") return refuse(std::string(texts::DeleteFileError), name_);
    return Outcome::done();
}

Outcome DeleteList::confirm() {
    if (!confirmDelete(ws_, *row_) || !ConfirmListInUse(ws_, *row_, texts::VerbDelete)) return Outcome::declined();
    return Outcome::done();
}

void DeleteList::write() {
    ws_.prompter().status(texts::OperationInProgress);
    CommandFileUpdater(ws_.env()).UpdateDeleteList(row_->ID);
}

std::string DeleteCommand::describe() const { return std::string(texts::DescribeDelete) + inQuotes(name_); }

std::string DeleteList::describe() const { return std::string(texts::DescribeDeleteList) + inQuotes(name_); }

} // namespace vocabrella::ops
