#include "CliPrompter.h"
#include "Command.h"

#include "cmdfile/Reader.h"
#include "shell/Properties.h"
#include "shell/Session.h"

#include <ostream>

namespace vocabrella::cli {
namespace {

class Info final : public Command {
public:
    Info() : Command("info", "Print the properties of a command file") {}

    int execute(Runtime& rt) override {
        const auto& file = rt.session.reader().file();
        rt.io.out << forTerminal(propertiesText(file.path, file.info)) << '\n';
        return 0;
    }

protected:
    void options(CLI::App&) override {}
};

} // namespace

std::unique_ptr<Command> makeInfo() { return std::make_unique<Info>(); }

} // namespace vocabrella::cli
