#pragma once

#include "cmdfile/Store.h"
#include "cmdfile/Texts.h"

#include <exception>

namespace vocabrella {

// The marks ("flag") of the rows an operation on many rows acts on: the operation marks its
// rows, acts on the marked ones, and the marks go when it leaves the guard's scope, however it
// leaves (a return, a refusal, an exception). A failure to clear them then is kept in the
// store's trace, never thrown over the failure that may be on its way out; the next operation
// starts afresh anyway.
class RowMarks {
public:
    // fresh: the marks left by anything before are cleared first.
    explicit RowMarks(CommandStore& store, bool fresh = false) : store_(store) {
        if (fresh) store_.clearFlags();
    }
    ~RowMarks() {
        if (kept_) return;
        try {
            store_.clearFlags();
        } catch (const std::exception& e) {
            store_.traceFailure(texts::trace::ClearMarks, e.what());
        }
    }
    RowMarks(const RowMarks&) = delete;
    RowMarks& operator=(const RowMarks&) = delete;

    // The marks stay after all: they are handed on to the caller, whose guard clears them.
    void keep() { kept_ = true; }

private:
    CommandStore& store_;
    bool kept_ = false;
};

} // namespace vocabrella
