#include "Command.h"

#include "ops/Rewrite.h"

namespace vocabrella::cli {
namespace {

class Rewrite final : public Command {
public:
    Rewrite() : Command("rewrite", "Rebuild the file record by record, changing nothing") {}

    int execute(Runtime& rt) override {
        ops::Rewrite rewrite(rt.workspace);
        const auto outcome = rewrite.run();
        const auto& r = rewrite.result();
        return report(rt.io, outcome, "Rewritten: " + std::to_string(r.commands) + " commands, " + std::to_string(r.lists) +
                                   " LISTs");
    }

protected:
    void options(CLI::App&) override {}
};

} // namespace

std::unique_ptr<Command> makeRewrite() { return std::make_unique<Rewrite>(); }

} // namespace vocabrella::cli
