#pragma once

#include "ops/Change.h"

#include <optional>
#include <string>

namespace vocabrella::ops {

// What the copy takes other than the source: each field left unset is the source's. A LIST
// takes only its items (the body).
struct CloneEdits {
    std::optional<std::string> body, description, group;
};

// A copy of a command or LIST under a new name, in the same place, with the same content or
// with the edits made to it before it was written.
class CloneCommand final : public ChangeOfOne {
public:
    std::string describe() const override;
    CloneCommand(Workspace& ws, Place place, std::string sourceName, std::string newName, CloneEdits edits = {})
        : ChangeOfOne(ws, std::move(place), std::move(sourceName)), newName_(std::move(newName)),
          edits_(std::move(edits)) {}

    // The checks made when the new name is given, before the copy is edited: the source is
    // there and the name is free and allowed. A refusal has been told.
    static Outcome checkName(Workspace& ws, Place place, std::string sourceName, std::string newName);

protected:
    Outcome check() override;
    void write() override;
    bool newListWritten() const override { return isList_; }
    Outcome finish() override { return Outcome::done(); }

private:
    std::string newName_;
    CloneEdits edits_;
    bool isList_ = false;
    NewCommandRecord record_;
};

// The body of a row as the user edits it: KEYS bodies of other files and LIST items are stored
// with their backslashes doubled.
std::string bodyForEditing(const UserRow& row);

} // namespace vocabrella::ops
