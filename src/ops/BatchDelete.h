#pragma once

#include "ops/BatchChange.h"

namespace vocabrella::ops {

// Deletes the marked commands, and with them every LIST no remaining command uses. A LIST is
// deleted on its own (DeleteList), never as a side effect of a pick.
class BatchDelete final : public BatchChange {
public:
    using BatchChange::BatchChange;
    std::int64_t commands() const { return commands_; }

protected:
    Outcome checkMarked() override;
    void write() override;
    Outcome finish() override;

private:
    std::int64_t commands_ = 0;
};

} // namespace vocabrella::ops
