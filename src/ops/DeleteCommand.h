#pragma once

#include "ops/Change.h"

#include <string>

namespace vocabrella::ops {

// Deletes one command of a place, after the user's yes.
class DeleteCommand final : public ChangeOfOne {
public:
    std::string describe() const override;
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
    std::string describe() const override;
    // typed: the name was typed, not picked from the LISTs on show; a name that is no LIST is
    // then told as such rather than as the vanished LIST of the window.
    DeleteList(Workspace& ws, std::string name, bool typed = false)
        : ChangeOfOne(ws, globalPlace(), std::move(name)), typed_(typed) {}

protected:
    Outcome check() override;
    Outcome confirm() override;
    void write() override;
    Outcome finish() override { return Outcome::done(); }

private:
    bool typed_;
};

} // namespace vocabrella::ops
