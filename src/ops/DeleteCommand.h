#pragma once

#include "ops/Change.h"

#include <string>

namespace vocabrella::ops {

// Deletes one command of a place, after the user's yes.
class DeleteCommand final : public ChangeOfOne {
public:
    DeleteCommand(Workspace& ws, Place place, std::string name)
        : ChangeOfOne(ws, std::move(place), std::move(name)) {}

protected:
    Outcome check() override;
    Outcome confirm() override;
    void write() override;
    Outcome finish() override { return Outcome::done(); }
};

// Deletes a LIST, after the user's yes and, when commands use it, a second one. The commands
// keep their references; Dragon no longer hears them.
class DeleteList final : public ChangeOfOne {
public:
    DeleteList(Workspace& ws, std::string name) : ChangeOfOne(ws, globalPlace(), std::move(name)) {}

protected:
    Outcome check() override;
    Outcome confirm() override;
    void write() override;
    Outcome finish() override { return Outcome::done(); }
};

} // namespace vocabrella::ops
