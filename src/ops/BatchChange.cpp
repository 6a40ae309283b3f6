#include "ops/BatchChange.h"

#include "cmdfile/Prompter.h"

namespace vocabrella::ops {

Outcome BatchChange::check() {
    marks_.emplace(ws_.store());
    auto marked = markSelection(ws_, selection_);
    if (!marked.outcome.isDone()) return marked.outcome;
    marked_ = marked.rows;
    auto outcome = checkMarked();
    if (!outcome.isDone()) marks_.reset();
    return outcome;
}

Outcome BatchChange::changedOnDisk() {
    ws_.FileRefresh();
    marks_.reset();
    return refuse(std::string(texts::ModifiedMeanwhile)).because(Outcome::Reason::FileChangedMeanwhile);
}

Outcome BatchChange::refuseNothingToDo() { return refuse(std::string(texts::NoMacros), std::string(texts::NoMacrosTitle)); }

Outcome BatchChange::ended(Outcome outcome) {
    marks_.reset();
    return outcome;
}

} // namespace vocabrella::ops
