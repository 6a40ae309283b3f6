#pragma once

#include "ops/Change.h"
#include "ops/Names.h"

#include <string>

namespace vocabrella::ops {

// Deletes one command of a place, after the user's yes.
class DeleteCommand final : public Change {
public:
    DeleteCommand(Workspace& ws, Place place, std::string name)
        : Change(ws), place_(std::move(place)), name_(std::move(name)) {}

protected:
    Outcome check() override;
    Outcome confirm() override;
    void write() override;
    Outcome finish() override { return Outcome::done(); }

private:
    Place place_;
    std::string name_;
    std::optional<UserRow> row_;
};

// Deletes a LIST, after the user's yes and, when commands use it, a second one. The commands
// keep their references; Dragon no longer hears them.
class DeleteList final : public Change {
public:
    DeleteList(Workspace& ws, std::string name) : Change(ws), name_(std::move(name)) {}

protected:
    Outcome check() override;
    Outcome confirm() override;
    void write() override;
    Outcome finish() override { return Outcome::done(); }

private:
    std::string name_;
    std::optional<UserRow> row_;
};

} // namespace vocabrella::ops
