#pragma once

#include "ops/Change.h"
#include "ops/Names.h"

#include <string>

namespace vocabrella::ops {

// A copy of a command or LIST under a new name, in the same place, with the same content.
class CloneCommand final : public Change {
public:
    CloneCommand(Workspace& ws, Place place, std::string sourceName, std::string newName)
        : Change(ws), place_(std::move(place)), sourceName_(std::move(sourceName)), newName_(std::move(newName)) {}

protected:
    Outcome check() override;
    void write() override;
    bool newListWritten() const override { return isList_; }
    Outcome finish() override { return Outcome::done(); }

private:
    Place place_;
    std::string sourceName_, newName_;
    bool isList_ = false;
    NewCommandRecord record_;
};

// The body of a row as the user edits it: KEYS bodies of other files and LIST items are stored
// with their backslashes doubled.
std::string bodyForEditing(const UserRow& row);

} // namespace vocabrella::ops
