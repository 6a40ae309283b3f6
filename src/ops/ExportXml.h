#pragma once

#include "cmdfile/AtomicFile.h"
#include "ops/BatchSelection.h"
#include "ops/Outcome.h"

#include <filesystem>
#include <string>
#include <vector>

namespace vocabrella::ops {

class Workspace;

// Writes the chosen commands, with the LISTs they use, as a MyCommands XML file for Dragon's
// command browser. The open command file is only read. The outcome names the commands written
// in a form only this program reads back and those that could not be written.
class ExportXml {
public:
    ExportXml(Workspace& ws, BatchSelection selection, std::filesystem::path target)
        : ws_(ws), selection_(std::move(selection)), target_(std::move(target)) {}

    Outcome run();
    std::size_t commands() const { return commands_; }
    std::size_t lists() const { return lists_; }
    const std::vector<std::string>& ownForm() const { return ownForm_; }
    const std::vector<std::string>& leftOut() const { return leftOut_; }

private:
    Outcome write(const FileVersion& seen);

    Workspace& ws_;
    BatchSelection selection_;
    std::filesystem::path target_;
    std::size_t commands_ = 0, lists_ = 0;
    std::vector<std::string> ownForm_, leftOut_;
};

} // namespace vocabrella::ops
