#include "Command.h"

#include "ops/ConvertFile.h"

namespace vocabrella::cli {
namespace {

class ConvertVersion final : public Command {
public:
    ConvertVersion() : Command("convert-version", "Rebuild the file in the layout of another Dragon version") {}

    int execute(Runtime& rt) override {
        ops::ConvertVersion convert(rt.workspace, to_);
        const auto outcome = convert.run();
        return report(rt.io, outcome, outcome.text);
    }

protected:
    void options(CLI::App& verb) override {
        verb.add_option("--to", to_, "6.0, 6.1, 7.x or 8/9")->required()->check(CLI::IsMember({"6.0", "6.1", "7.x", "8/9"}));
    }

private:
    std::string to_;
};

} // namespace

std::unique_ptr<Command> makeConvertVersion() { return std::make_unique<ConvertVersion>(); }

} // namespace vocabrella::cli
