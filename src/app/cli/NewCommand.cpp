#include "Command.h"

#include "ops/NewCommand.h"

namespace vocabrella::cli {
namespace {

class NewCommand final : public Command {
public:
    NewCommand() : Command("new-command", "Add a command beside the commands of a program and scope") {}

    int execute(Runtime& rt) override {
        request_.place = place_.place();
        request_.body = body_.body();
        ops::NewCommand create(rt.workspace, request_);
        return report(rt.io, create.run(), "Command \"" + request_.name + "\" added");
    }

protected:
    void options(CLI::App& verb) override {
        verb.add_option("NAME", request_.name, "Spoken name")->required();
        verb.add_option("--kind", request_.kind, "K (KEYS), S (SCRIPT), A (Advanced Script) or P (Plain Text)")
            ->required();
        place_.add(verb);
        verb.add_option("--like", request_.shownCommand,
                        "The command of that place whose record gives the new one its program header "
                        "(default: the first there)");
        verb.add_option("--group", request_.group, "Group (default: User-defined)");
        verb.add_option("--description", request_.description, "Description");
        body_.add(verb, "body", true);
    }

private:
    ops::NewCommandRequest request_;
    PlaceOptions place_;
    BodyOptions body_;
};

} // namespace

std::unique_ptr<Command> makeNewCommand() { return std::make_unique<NewCommand>(); }

} // namespace vocabrella::cli
