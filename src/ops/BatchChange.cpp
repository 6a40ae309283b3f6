#include "ops/BatchChange.h"

#include "cmdfile/Prompter.h"

namespace vocabrella::ops {

Outcome BatchChange::check() {
    auto marked = markSelection(ws_, selection_);
    if (!marked.outcome.isDone()) return marked.outcome;
    marked_ = marked.rows;
    auto outcome = checkMarked();
    if (!outcome.isDone()) ws_.store().clearFlags();
    return outcome;
}

Outcome BatchChange::changedOnDisk() {
    ws_.FileRefresh();
    ws_.store().clearFlags();
    return refuse(std::string(texts::ModifiedMeanwhile));
}

Outcome BatchChange::refuseNothingToDo() { return refuse(std::string(texts::NoMacros), std::string(texts::NoMacrosTitle)); }

Outcome BatchChange::ended(Outcome outcome) {
    ws_.store().clearFlags();
    return outcome;
}

} // namespace vocabrella::ops
