#pragma once

#include "writer/Report.h"

#include <string>
#include <string_view>

namespace vocabrella {

// The spreadsheet ("csv"): one line per row and no header line, seven fields: program, scope,
// Type letter, name, the first line of the body, Group, description. Every field is enclosed in
// double quotes with each double quote inside it doubled, so that any spreadsheet reads the
// fields back whole whatever they hold (quotes, commas, line breaks). A field beginning with "=",
// "+", "-", "@", a tab or a carriage return has an apostrophe put in front, which spreadsheets
// take as "this is text": none of them is worked out as a formula.
class SpreadsheetReport final : public Report {
public:
    std::string_view mode() const override { return "csv"; }
    std::string text(const std::vector<UserRow>& rows) const override;

    static std::string field(std::string_view value);
    // The body up to its first line break (CR LF); all of it when it has none.
    static std::string_view firstLine(std::string_view body);
};

} // namespace vocabrella
