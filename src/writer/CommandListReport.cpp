#include "writer/CommandListReport.h"

namespace vocabrella {

std::string CommandListReport::text(const std::vector<UserRow>& rows) const {
    std::string out;
    const UserRow* previous = nullptr;
    for (const auto& row : rows) {
        if (!previous || previous->menu != row.menu || previous->state != row.state)
            out += "\r\n" + row.menu + " " + row.state + "\r\n\r\n";
        out += row.name + "\r\n";
        previous = &row;
    }
    return out;
}

} // namespace vocabrella
