#include "ops/NewList.h"

#include "cmdfile/Prompter.h"
#include "ops/Names.h"
#include "ops/SaveChanges.h"
#include "ops/Texts.h"
#include "writer/Updater.h"

namespace vocabrella::ops {

Outcome NewList::checkName(Workspace& ws, std::string_view name) { return checkNewListName(ws, name); }

Outcome NewList::check() {
    if (auto o = checkNewListName(ws_, name_); !o.isDone()) return o;
    return checkBody(ws_, "L", items_, name_);
}

void NewList::write() {
    ws_.prompter().status(texts::OperationInProgress);
    CommandFileUpdater(ws_.env()).UpdateNewList(name_, items_);
    ws_.MRUUpdate({}, {}, name_, true, false);
}

std::string NewList::describe() const { return std::string(texts::DescribeNewList) + inQuotes(name_); }

} // namespace vocabrella::ops
