#include "CliPrompter.h"
#include "cmdfile/System.h"
#include "Command.h"

#include "ops/ExportCommands.h"

namespace vocabrella::cli {
namespace {

class Export final : public Command {
public:
    Export() : Command("export", "Export the chosen commands, with the LISTs they use, into another command file") {}

    int execute(Runtime& rt) override {
        if (!selection_.given()) return selectionMissing(rt.io);
        // The answer to "Overwrite?" for every command the target holds already: yes or no to all.
        if (!duplicates_.empty()) rt.prompter.chosenButton = duplicates_ == "yes" ? 2 : 3;
        const auto when = append_ ? ExistingTarget::Append : overwrite_ ? ExistingTarget::Overwrite : ExistingTarget::Ask;
        ops::ExportCommands exporter(rt.workspace, selection_.selection(), os::pathFrom(target_), when);
        const auto outcome = exporter.run();
        const auto& r = exporter.result();
        return report(rt.io, outcome, outcome.text + ": " + std::to_string(r.exported) + " commands and " +
                                   std::to_string(r.listsAdded) + " LISTs written to " + os::pathText(exporter.target()) +
                                   " (" + std::to_string(r.commands) + " commands, " + std::to_string(r.lists) +
                                   " LISTs in the file)");
    }

protected:
    void options(CLI::App& verb) override {
        verb.add_option("--to", target_, "Target command file (.dat is added after --yes when missing)")->required();
        auto* append = verb.add_flag("--append", append_, "Append to an existing target");
        verb.add_flag("--overwrite", overwrite_, "Replace an existing target")->excludes(append);
        verb.add_option("--duplicates", duplicates_, "Commands the target has already: yes (replace them) or no (keep them)")
            ->check(CLI::IsMember({"yes", "no"}));
        selection_.add(verb);
    }

private:
    std::string target_, duplicates_;
    bool append_ = false, overwrite_ = false;
    SelectionOptions selection_;
};

} // namespace

std::unique_ptr<Command> makeExport() { return std::make_unique<Export>(); }

} // namespace vocabrella::cli
