#include "Command.h"

#include "ops/ConvertCommand.h"

namespace vocabrella::cli {
namespace {

class ChangeKind final : public Command {
public:
    ChangeKind() : Command("change-kind", "Turn a KEYS command into plain text (P) or an advanced script (A)") {}

    int execute(Runtime& rt) override {
        const std::string done = "\"" + name_ + "\" is now of Type " + to_;
        if (to_ == "P") {
            ops::ConvertToPlainText convert(rt.workspace, place_.place(), name_);
            return report(rt.io, convert.run(), done);
        }
        ops::ConvertToAdvancedScript convert(rt.workspace, place_.place(), name_);
        return report(rt.io, convert.run(), done);
    }

protected:
    void options(CLI::App& verb) override {
        verb.add_option("NAME", name_, "Command name")->required();
        verb.add_option("--to", to_, "P or A")->required()->check(CLI::IsMember({"P", "A"}));
        place_.add(verb);
    }

private:
    std::string name_, to_;
    PlaceOptions place_;
};

} // namespace

std::unique_ptr<Command> makeChangeKind() { return std::make_unique<ChangeKind>(); }

} // namespace vocabrella::cli
