#include "CliPrompter.h"
#include "Command.h"

#include <ostream>

namespace vocabrella::cli {
namespace {

class Show final : public Command {
public:
    Show() : Command("show", "Print the body of one command or LIST") {}

    int execute(Runtime& rt) override {
        const auto found = ops::findCommand(rt.workspace, place_.place(), name_);
        if (!found.row) return 1;
        const auto& script = found.row->script;
        rt.io.out << shownOn(rt.io.outIsTerminal, script);
        if (!script.empty() && script.back() != '\n') rt.io.out << '\n';
        return 0;
    }

protected:
    void options(CLI::App& verb) override {
        verb.add_option("NAME", name_, "Command or LIST name")->required();
        place_.add(verb);
    }

private:
    std::string name_;
    PlaceOptions place_;
};

} // namespace

std::unique_ptr<Command> makeShow() { return std::make_unique<Show>(); }

} // namespace vocabrella::cli
