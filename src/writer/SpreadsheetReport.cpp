#include "writer/SpreadsheetReport.h"

namespace vocabrella {

std::string SpreadsheetReport::field(std::string_view value) {
    std::string out = "\"";
    // What a spreadsheet would work out as a formula stays text behind an apostrophe.
    if (!value.empty() && std::string_view("=+-@\t\r").find(value.front()) != std::string_view::npos) out += '\'';
    for (const char c : value) {
        if (c == '"') out += '"';
        out += c;
    }
    out += '"';
    return out;
}

std::string_view SpreadsheetReport::firstLine(std::string_view body) {
    const auto end = body.find("\r\n");
    return end == std::string_view::npos ? body : body.substr(0, end);
}

std::string SpreadsheetReport::text(const std::vector<UserRow>& rows) const {
    std::string out;
    for (const auto& row : rows) {
        out += field(row.menu) + ',' + field(row.state) + ',' + field(row.Type) + ',' + field(row.name) + ',' +
               field(firstLine(row.script)) + ',' + field(row.owner) + ',' + field(row.description) + "\r\n";
    }
    return out;
}

} // namespace vocabrella
