#pragma once

#include "cmdfile/Store.h"

#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace vocabrella {

// A printable or saved list of commands. Each kind of report is one class: its mode names it and
// is the extension of its file; its text is made of rows given in the order of the store's index
// name (globalsort, program, scope, name). Texts are UTF-8 with CR LF line ends.
class Report {
public:
    virtual ~Report() = default;
    virtual std::string_view mode() const = 0;
    virtual std::string text(const std::vector<UserRow>& rows) const = 0;
};

// The report of a mode ("txt", "csv"); nullptr for any other mode.
std::unique_ptr<Report> reportFor(std::string_view mode);

// Rows put in the order of the index name.
void sortInNameOrder(std::vector<UserRow>& rows);

} // namespace vocabrella
