#include "Cli.h"

#include "ProcessEdges.h"

#include <iostream>
#include <memory>
#include <string>
#include <vector>

namespace fs = std::filesystem;
using namespace vocabrella;

namespace {

// The home folder of a run given none, removed also when the user ends the run.
class SignalSafeHome final : public cli::RunHome {
public:
    fs::path home() const override { return home_.home(); }

private:
    cli::TemporaryHome home_;
};

} // namespace

int main(int argc, char** argv) {
    try {
        cli::prepareStandardStreams();
        const cli::Arguments arguments(argc, argv);
        const std::vector<std::string> args(arguments.values() + 1, arguments.values() + arguments.count());
        return cli::runCli(args, {std::cout, std::cerr, cli::standardOutputIsTerminal(), cli::standardErrorIsTerminal()},
                            [] { return std::make_unique<SignalSafeHome>(); });
    } catch (const std::exception& e) {
        std::cerr << e.what() << '\n';
        return 1;
    }
}
