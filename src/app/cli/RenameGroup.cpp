#include "Command.h"

#include "ops/RenameInBatch.h"

namespace vocabrella::cli {
namespace {

class RenameGroup final : public Command {
public:
    RenameGroup() : Command("rename-group", "Move the chosen commands of group OLD into group NEW") {}

    int execute(Runtime& rt) override {
        auto selection = selection_.selection(ops::BatchScope::CurrentGroup);
        selection.group = oldName_;
        selection.isRowShown = nullptr; // the rename itself keeps to group OLD
        ops::RenameGroupChange rename(rt.workspace, std::move(selection), newName_);
        const auto outcome = rename.run();
        return report(rt.io, outcome, outcome.text + ": " + outcome.title);
    }

protected:
    void options(CLI::App& verb) override {
        verb.add_option("OLD", oldName_, "Group (\"All groups\" for any)")->required();
        verb.add_option("NEW", newName_, "New group")->required();
        selection_.add(verb);
    }

private:
    std::string oldName_, newName_;
    SelectionOptions selection_;
};

} // namespace

std::unique_ptr<Command> makeRenameGroup() { return std::make_unique<RenameGroup>(); }

} // namespace vocabrella::cli
