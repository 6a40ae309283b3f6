#include "Command.h"

#include "ops/CloneCommand.h"

namespace vocabrella::cli {
namespace {

class Clone final : public Command {
public:
    Clone() : Command("clone", "Copy a command or LIST under a new name, in the same place") {}

    int execute(Runtime& rt) override {
        ops::CloneCommand clone(rt.workspace, place_.place(), source_, newName_);
        return report(rt.io, clone.run(), "\"" + source_ + "\" cloned as \"" + newName_ + "\"");
    }

protected:
    void options(CLI::App& verb) override {
        verb.add_option("NAME", source_, "Command or LIST to copy")->required();
        verb.add_option("NEW", newName_, "Name of the copy")->required();
        place_.add(verb);
    }

private:
    std::string source_, newName_;
    PlaceOptions place_;
};

} // namespace

std::unique_ptr<Command> makeClone() { return std::make_unique<Clone>(); }

} // namespace vocabrella::cli
