#pragma once

#include "Command.h"

#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace vocabrella::cli {

// The home folder of a run that was given none (no --home, no $VOCABRELLA_HOME, no Dragon): made
// for the run and removed with everything in it when the object goes.
class RunHome {
public:
    virtual ~RunHome() = default;
    virtual std::filesystem::path home() const = 0;
};
using RunHomeMaker = std::function<std::unique_ptr<RunHome>()>;

// A folder under the system's temporary folder, removed when the run ends normally.
std::unique_ptr<RunHome> scratchRunHome();

// One run of the command line: the arguments without the program's name, what it prints and
// what it tells. Gives the exit code. The executable passes its standard streams and a home that
// is removed also when a signal ends the run.
int runCli(const std::vector<std::string>& args, const Streams& io, const RunHomeMaker& makeHome = scratchRunHome);

} // namespace vocabrella::cli
