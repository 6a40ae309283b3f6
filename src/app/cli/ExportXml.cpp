#include "Command.h"
#include "cmdfile/System.h"

#include "ops/ExportXml.h"

namespace vocabrella::cli {
namespace {

class ExportXml final : public Command {
public:
    ExportXml() : Command("export-xml", "Write the chosen commands, with the LISTs they use, as Dragon's MyCommands XML") {}

    int execute(Runtime& rt) override {
        if (!selection_.given()) return selectionMissing(rt.io);
        ops::ExportXml exporter(rt.workspace, selection_.selection(), os::pathFrom(output_));
        const auto outcome = exporter.run();
        return report(rt.io, outcome, outcome.text);
    }

protected:
    void options(CLI::App& verb) override {
        verb.add_option("-o,--output", output_, "XML file to write")->required();
        selection_.add(verb);
    }

private:
    std::string output_;
    SelectionOptions selection_;
};

} // namespace

std::unique_ptr<Command> makeExportXml() { return std::make_unique<ExportXml>(); }

} // namespace vocabrella::cli
