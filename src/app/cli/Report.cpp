#include "Command.h"
#include "cmdfile/System.h"

#include "ops/WriteReport.h"

namespace vocabrella::cli {
namespace {

class ReportVerb final : public Command {
public:
    ReportVerb() : Command("report", "Write the chosen commands as a command list (txt) or a spreadsheet (csv)") {}

    int execute(Runtime& rt) override {
        ops::WriteReport writer(rt.workspace, selection_.selection(), os::pathFrom(output_), format_);
        const auto outcome = writer.run();
        return cli::report(rt.io, outcome, "Wrote " + std::to_string(writer.rows()) + " commands and LISTs to " + output_);
    }

protected:
    void options(CLI::App& verb) override {
        verb.add_option("--format", format_, "txt (command list) or csv (spreadsheet)")
            ->required()
            ->check(CLI::IsMember({"txt", "csv"}));
        verb.add_option("-o,--output", output_, "Report file to write")->required();
        selection_.add(verb);
    }

private:
    std::string format_, output_;
    SelectionOptions selection_;
};

} // namespace

std::unique_ptr<Command> makeReport() { return std::make_unique<ReportVerb>(); }

} // namespace vocabrella::cli
