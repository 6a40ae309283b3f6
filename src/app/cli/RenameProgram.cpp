#include "Command.h"

#include "ops/RenameInBatch.h"

namespace vocabrella::cli {
namespace {

class RenameProgram final : public Command {
public:
    RenameProgram() : Command("rename-program", "Give the chosen commands of program OLD the program NEW") {}

    int execute(Runtime& rt) override {
        SelectionOptions chosen = selection_;
        chosen.program = oldName_;
        auto selection = chosen.selection(ops::BatchScope::CurrentApp);
        if (selection_.everything) selection.scope = ops::BatchScope::Everything;
        else if (selection_.scope.empty() && selection_.names.empty() && !selection_.group.empty())
            selection.scope = ops::BatchScope::CurrentGroup;
        ops::RenameProgramChange rename(rt.workspace, std::move(selection), newName_);
        const auto outcome = rename.run();
        return report(rt.io, outcome, outcome.text);
    }

protected:
    void options(CLI::App& verb) override {
        verb.add_option("OLD", oldName_, "Program")->required();
        verb.add_option("NEW", newName_, "New program (module name)")->required();
        selection_.add(verb, false);
    }

private:
    std::string oldName_, newName_;
    SelectionOptions selection_;
};

} // namespace

std::unique_ptr<Command> makeRenameProgram() { return std::make_unique<RenameProgram>(); }

} // namespace vocabrella::cli
