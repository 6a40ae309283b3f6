#include "Command.h"

#include "ops/RenameCommand.h"

#include <optional>

namespace vocabrella::cli {
namespace {

class Rename final : public Command {
public:
    Rename() : Command("rename", "Rename a command or a LIST (and change a command's description or group)") {}

    int execute(Runtime& rt) override {
        ops::RenameCommand rename(rt.workspace, place_.place(), oldName_, newName_, description_, group_);
        return report(rt.io, rename.run(), "\"" + oldName_ + "\" renamed to \"" + newName_ + "\"");
    }

protected:
    void options(CLI::App& verb) override {
        verb.add_option("OLD", oldName_, "Current name")->required();
        verb.add_option("NEW", newName_, "New name")->required();
        place_.add(verb);
        verb.add_option("--description", description_, "New description");
        verb.add_option("--group", group_, "New group");
    }

private:
    std::string oldName_, newName_;
    PlaceOptions place_;
    std::optional<std::string> description_, group_;
};

} // namespace

std::unique_ptr<Command> makeRename() { return std::make_unique<Rename>(); }

} // namespace vocabrella::cli
