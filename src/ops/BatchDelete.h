#pragma once

#include "ops/BatchChange.h"

namespace vocabrella::ops {

// Deletes the marked commands, and with them the LISTs they used that no remaining command
// uses (after a question naming them). A LIST is deleted on its own (DeleteList), never as a
// side effect of a pick.
class BatchDelete final : public BatchChange {
public:
    std::string describe() const override;
    using BatchChange::BatchChange;
    std::int64_t commands() const { return commands_; }

protected:
    Outcome checkMarked() override;
    // Names the LISTs that go with the commands, when any do.
    Outcome confirm() override;
    void write() override;
    Outcome finish() override;

private:
    std::int64_t commands_ = 0;
};

} // namespace vocabrella::ops
