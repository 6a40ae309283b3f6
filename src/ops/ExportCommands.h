#pragma once

#include "ops/BatchSelection.h"
#include "writer/Export.h"

#include <filesystem>

namespace vocabrella::ops {

// Exports the chosen commands, with the LISTs they use, into another command file: a new one,
// or an existing one that is replaced or appended to. The open command file is only read.
class ExportCommands {
public:
    ExportCommands(Workspace& ws, BatchSelection selection, std::filesystem::path target,
                   ExistingTarget whenExists = ExistingTarget::Ask)
        : ws_(ws), selection_(std::move(selection)), target_(std::move(target)), whenExists_(whenExists) {}

    // Done: "Export Operation Completed" titled with the target; the caller may then offer to
    // open it (texts::OpenExportedFile).
    Outcome run();
    // The target as written (".dat" appended when the user agreed).
    const std::filesystem::path& target() const { return target_; }
    const ExportResult& result() const { return result_; }

private:
    Outcome checkTarget();
    // The backup and the history of a target that exists.
    TargetKeeping keepingOfTarget();

    Workspace& ws_;
    BatchSelection selection_;
    std::filesystem::path target_;
    ExistingTarget whenExists_;
    ExportResult result_;
};

} // namespace vocabrella::ops
