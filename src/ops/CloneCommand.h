#pragma once

#include "ops/Change.h"

#include <string>

namespace vocabrella::ops {

// A copy of a command or LIST under a new name, in the same place, with the same content.
class CloneCommand final : public ChangeOfOne {
public:
    CloneCommand(Workspace& ws, Place place, std::string sourceName, std::string newName)
        : ChangeOfOne(ws, std::move(place), std::move(sourceName)), newName_(std::move(newName)) {}

protected:
    Outcome check() override;
    void write() override;
    bool newListWritten() const override { return isList_; }
    Outcome finish() override { return Outcome::done(); }

private:
    std::string newName_;
    bool isList_ = false;
    NewCommandRecord record_;
};

// The body of a row as the user edits it: KEYS bodies of other files and LIST items are stored
// with their backslashes doubled.
std::string bodyForEditing(const UserRow& row);

} // namespace vocabrella::ops
