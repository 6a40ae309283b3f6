#include "Command.h"

#include "ops/ConvertKeys.h"

namespace vocabrella::cli {
namespace {

class ConvertKeys final : public Command {
public:
    ConvertKeys() : Command("convert-keys", "Convert the chosen KEYS commands to plain text or advanced scripts") {}

    int execute(Runtime& rt) override {
        if (!selection_.given()) return selectionMissing(rt.io);
        using Mode = ops::ConvertKeys::Mode;
        const auto mode = mode_ == "plain" ? Mode::PlainText : mode_ == "sendkeys" ? Mode::SendKeys : Mode::SendDragonKeys;
        ops::ConvertKeys convert(rt.workspace, selection_.selection(), mode);
        const auto outcome = convert.run();
        return report(rt.io, outcome, outcome.text + "\n" + std::to_string(convert.converted()) + " KEYS commands converted");
    }

protected:
    void options(CLI::App& verb) override {
        verb.add_option("--mode", mode_, "plain, sendkeys or dragonkeys")
            ->required()
            ->check(CLI::IsMember({"plain", "sendkeys", "dragonkeys"}));
        selection_.add(verb);
    }

private:
    std::string mode_;
    SelectionOptions selection_;
};

} // namespace

std::unique_ptr<Command> makeConvertKeys() { return std::make_unique<ConvertKeys>(); }

} // namespace vocabrella::cli
