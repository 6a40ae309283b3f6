#pragma once

#include "ops/Change.h"

#include <string>

namespace vocabrella::ops {

// A new LIST of "Global Commands", with its items one per line. Dragon is not asked to reload:
// a LIST means nothing to it until a command uses it.
class NewList final : public Change {
public:
    std::string describe() const override;
    NewList(Workspace& ws, std::string name, std::string items)
        : Change(ws), name_(std::move(name)), items_(std::move(items)) {}

    // The checks of the name alone, made when the name is given.
    static Outcome checkName(Workspace& ws, std::string_view name);

protected:
    Outcome check() override;
    void write() override;
    bool newListWritten() const override { return true; }
    Outcome finish() override { return Outcome::done(); }

private:
    std::string name_, items_;
};

} // namespace vocabrella::ops
