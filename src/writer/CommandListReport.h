#pragma once

#include "writer/Report.h"

namespace vocabrella {

// The command list ("txt"): each command's name on a line of its own, under a header of its
// program and scope (an empty line, program, blank, scope, an empty line) that is repeated
// whenever the program or the scope changes from one row to the next.
class CommandListReport final : public Report {
public:
    std::string_view mode() const override { return "txt"; }
    std::string text(const std::vector<UserRow>& rows) const override;
};

} // namespace vocabrella
