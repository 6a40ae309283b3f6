#include "Command.h"

#include "ops/SearchReplace.h"

namespace vocabrella::cli {
namespace {

class Replace final : public Command {
public:
    Replace() : Command("replace", "Replace text in the bodies of the chosen commands (Replace All)") {}

    int execute(Runtime& rt) override {
        if (!selection_.given()) return selectionMissing(rt.io);
        ops::SearchReplace search(rt.workspace, selection_.selection());
        search.findText = find_;
        search.replaceWith = replacement_;
        search.matchCase = matchCase_;
        const auto outcome = search.replaceAll();
        return report(rt.io, outcome, outcome.text);
    }

protected:
    void options(CLI::App& verb) override {
        verb.add_option("FIND", find_, "Text to find")->required();
        verb.add_option("REPLACEMENT", replacement_, "Replacement")->required();
        verb.add_flag("--match-case", matchCase_, "Compare letter case too");
        selection_.add(verb);
    }

private:
    std::string find_, replacement_;
    bool matchCase_ = false;
    SelectionOptions selection_;
};

} // namespace

std::unique_ptr<Command> makeReplace() { return std::make_unique<Replace>(); }

} // namespace vocabrella::cli
