#include "Command.h"

#include "ops/ConvertFile.h"

namespace vocabrella::cli {
namespace {

class ConvertLanguage final : public Command {
public:
    ConvertLanguage() : Command("convert-language", "Change the language recorded in the file's header") {}

    int execute(Runtime& rt) override {
        ops::ConvertLanguage convert(rt.workspace, to_);
        const auto outcome = convert.run();
        return report(rt.io, outcome, outcome.text);
    }

protected:
    void options(CLI::App& verb) override {
        verb.add_option("--to", to_, "Dutch, English, French, German or Spanish")
            ->required()
            ->check(CLI::IsMember({"Dutch", "English", "French", "German", "Spanish"}));
    }

private:
    std::string to_;
};

} // namespace

std::unique_ptr<Command> makeConvertLanguage() { return std::make_unique<ConvertLanguage>(); }

} // namespace vocabrella::cli
