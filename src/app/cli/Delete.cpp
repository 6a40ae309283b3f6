#include "Command.h"

#include "ops/BatchDelete.h"

namespace vocabrella::cli {
namespace {

class Delete final : public Command {
public:
    Delete() : Command("delete", "Delete the chosen commands (and the LISTs only they used, after a question naming them)") {}

    int execute(Runtime& rt) override {
        if (!selection_.given()) return selectionMissing(rt.io);
        ops::BatchDelete del(rt.workspace, selection_.selection());
        const auto outcome = del.run();
        return report(rt.io, outcome, outcome.text);
    }

protected:
    void options(CLI::App& verb) override { selection_.add(verb); }

private:
    SelectionOptions selection_;
};

} // namespace

std::unique_ptr<Command> makeDelete() { return std::make_unique<Delete>(); }

} // namespace vocabrella::cli
