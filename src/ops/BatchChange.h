#pragma once

#include "cmdfile/RowMarks.h"
#include "ops/BatchSelection.h"

#include <optional>
#include "ops/Change.h"

namespace vocabrella::ops {

// A change of the rows a batch selection marks. The marks are set by the checks (so a file read
// anew is marked anew) and cleared whenever the change stops or ends. A file changed behind the
// program's back stops the operation: the marks no longer describe it.
class BatchChange : public Change {
public:
    BatchChange(Workspace& ws, BatchSelection selection) : Change(ws), selection_(std::move(selection)) {}
    const BatchSelection& selection() const { return selection_; }

protected:
    // After the rows are marked: the operation's own checks. The marks may be narrowed here.
    virtual Outcome checkMarked() { return Outcome::done(); }
    // The refusal when no marked row is of use to the operation.
    Outcome refuseNothingToDo();
    // The end of the change: no mark is left behind.
    Outcome ended(Outcome outcome);

    std::int64_t marked_ = 0;
    BatchSelection selection_;
    // The marks of the rows acted on, from the checks to the end of the change.
    std::optional<RowMarks> marks_;

private:
    Outcome check() final;
    Outcome changedOnDisk() final;
};

} // namespace vocabrella::ops
