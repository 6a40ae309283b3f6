#include "writer/Report.h"

#include "writer/CommandListReport.h"
#include "writer/SpreadsheetReport.h"

#include <algorithm>
#include <tuple>

namespace vocabrella {

std::unique_ptr<Report> reportFor(std::string_view mode) {
    if (mode == "txt") return std::make_unique<CommandListReport>();
    if (mode == "csv") return std::make_unique<SpreadsheetReport>();
    return nullptr;
}

void sortInNameOrder(std::vector<UserRow>& rows) {
    // The store compares texts byte by byte, as std::string does.
    std::sort(rows.begin(), rows.end(), [](const UserRow& a, const UserRow& b) {
        return std::tie(a.globalsort, a.menu, a.state, a.name, a.ID) <
               std::tie(b.globalsort, b.menu, b.state, b.name, b.ID);
    });
}

} // namespace vocabrella
