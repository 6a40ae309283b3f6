#pragma once

#include "ops/BatchSelection.h"

#include <filesystem>
#include <memory>
#include <string>
#include <string_view>

namespace vocabrella {
class Report;
}

namespace vocabrella::ops {

// Writes the chosen commands and LISTs as a report (the command list or the spreadsheet) into a
// file, in Windows-1252, replaced atomically. The open command file is only read; every mark
// is cleared afterwards, whatever happened.
class WriteReport {
public:
    WriteReport(Workspace& ws, BatchSelection selection, std::filesystem::path target, const Report& report);
    // The report of this format: "txt" (the command list) or "csv" (the spreadsheet).
    WriteReport(Workspace& ws, BatchSelection selection, std::filesystem::path target, std::string_view format);
    ~WriteReport();

    Outcome run();
    // How many rows the report holds, once written.
    std::size_t rows() const { return rows_; }

private:
    Workspace& ws_;
    BatchSelection selection_;
    std::filesystem::path target_;
    std::unique_ptr<Report> owned_;
    const Report* report_ = nullptr; // nothing for a format there is no report of
    std::size_t rows_ = 0;
};

// The folder proposed for reports and exports: the one last written to (kept in the store),
// else the home folder.
std::filesystem::path exportFolder(Workspace& ws);
// Keeps the folder of a file just written as the next proposal.
void rememberExportFolder(Workspace& ws, const std::filesystem::path& written);

} // namespace vocabrella::ops
