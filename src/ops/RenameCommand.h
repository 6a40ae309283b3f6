#pragma once

#include "ops/Change.h"

#include <optional>
#include <string>

namespace vocabrella::ops {

// Renames a command or a LIST of a place; a command's description and group may change with it.
class RenameCommand final : public ChangeOfOne {
public:
    std::string describe() const override;
    RenameCommand(Workspace& ws, Place place, std::string oldName, std::string newName,
                  std::optional<std::string> description = {}, std::optional<std::string> group = {})
        : ChangeOfOne(ws, std::move(place), std::move(oldName)), newName_(std::move(newName)),
          description_(std::move(description)), group_(std::move(group)) {}

protected:
    Outcome check() override;
    Outcome confirm() override;
    void write() override;
    Outcome finish() override { return Outcome::done(); }

private:
    std::string newName_;
    std::optional<std::string> description_, group_;
};

} // namespace vocabrella::ops
