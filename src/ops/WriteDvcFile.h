#pragma once

#include "ops/BatchSelection.h"

#include <filesystem>

namespace vocabrella::ops {

// Writes the chosen commands and LISTs as DVC text: only KEYS, SCRIPT and LIST rows; in the
// pseudo DVC every kind, with its type name. The open command file is only read.
class WriteDvcFile {
public:
    WriteDvcFile(Workspace& ws, BatchSelection selection, std::filesystem::path target, bool pseudo)
        : ws_(ws), selection_(std::move(selection)), target_(std::move(target)), pseudo_(pseudo) {}

    Outcome run();

private:
    Workspace& ws_;
    BatchSelection selection_;
    std::filesystem::path target_;
    bool pseudo_;
};

} // namespace vocabrella::ops
