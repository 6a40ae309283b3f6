#pragma once

#include "ops/Change.h"
#include "ops/Names.h"

#include <optional>
#include <string>

namespace vocabrella::ops {

// Renames a command or a LIST of a place; a command's description and group may change with it.
class RenameCommand final : public Change {
public:
    RenameCommand(Workspace& ws, Place place, std::string oldName, std::string newName,
                  std::optional<std::string> description = {}, std::optional<std::string> group = {})
        : Change(ws), place_(std::move(place)), oldName_(std::move(oldName)), newName_(std::move(newName)),
          description_(std::move(description)), group_(std::move(group)) {}

protected:
    Outcome check() override;
    Outcome confirm() override;
    void write() override;
    Outcome finish() override { return Outcome::done(); }

private:
    Place place_;
    std::string oldName_, newName_;
    std::optional<std::string> description_, group_;
    std::optional<UserRow> row_;
};

} // namespace vocabrella::ops
