#include "Command.h"
#include "cmdfile/System.h"

#include "ops/WriteDvcFile.h"

namespace vocabrella::cli {
namespace {

class Dvc final : public Command {
public:
    Dvc() : Command("dvc", "Write the chosen commands as DVC text (every command when none is chosen)") {}

    int execute(Runtime& rt) override {
        ops::WriteDvcFile dvc(rt.workspace, selection_.selection(), os::pathFrom(output_), pseudo_);
        return report(rt.io, dvc.run(), "Wrote " + output_);
    }

protected:
    void options(CLI::App& verb) override {
        verb.add_option("-o,--output", output_, "DVC file to write")->required();
        verb.add_flag("--pseudo", pseudo_, "Every kind of command, with its type name (pseudo DVC)");
        selection_.add(verb);
    }

private:
    std::string output_;
    bool pseudo_ = false;
    SelectionOptions selection_;
};

} // namespace

std::unique_ptr<Command> makeDvc() { return std::make_unique<Dvc>(); }

} // namespace vocabrella::cli
