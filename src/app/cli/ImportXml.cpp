#include "CliPrompter.h"
#include "cmdfile/System.h"
#include "Command.h"

#include "ops/ImportXmlIntoFile.h"
#include "ops/ImportXmlToNewFile.h"

#include <ostream>

namespace vocabrella::cli {
namespace {

class ImportXml final : public Command {
public:
    ImportXml()
        : Command("import-xml", "Make a command file from Dragon's MyCommands XML (-o), or add its commands to one (--into)") {}

    bool needsFile() const override { return false; }
    const std::string& file() const override { return into_; }
    bool opensCommandFile() const override { return !into_.empty(); }

    // A new command file: no command file is open.
    int executeAlone(const Streams& io, CliPrompter& prompter) override {
        ops::ImportXmlToNewFile importer(prompter, os::pathFrom(xml_), os::pathFrom(output_), version_, language_);
        const auto outcome = importer.run();
        return report(io, outcome, outcome.text);
    }

    int execute(Runtime& rt) override {
        if (!duplicates_.empty() && duplicates_ != "yes" && duplicates_ != "no") {
            rt.io.err << "--duplicates takes yes or no, not " << duplicates_ << "\n";
            return 1;
        }
        const auto answer = duplicates_.empty()    ? ops::XmlDuplicates::Ask
                            : duplicates_ == "yes" ? ops::XmlDuplicates::Replace
                                                   : ops::XmlDuplicates::Keep;
        ops::ImportXmlIntoFile importer(rt.workspace, os::pathFrom(xml_), answer);
        const auto outcome = importer.run();
        if (outcome.kind == ops::Outcome::Kind::Declined && duplicates_.empty())
            rt.io.err << "Commands the file has already: answer with --duplicates yes or no\n";
        return report(rt.io, outcome, outcome.text);
    }

protected:
    void options(CLI::App& verb) override {
        verb.add_option("XML", xml_, "Dragon's MyCommands XML file (UTF-16 or UTF-8)")->required();
        auto* output = verb.add_option("-o,--output", output_, "The new command file to make");
        auto* into = verb.add_option("--into", into_, "The command file to add the commands to")->excludes(output);
        auto* target = verb.add_option_group("target");
        target->add_option(output);
        target->add_option(into);
        target->require_option(1);
        verb.add_option("--version", version_, "Version of the new file: 6.0, 6.1, 7.x, 8/9 or 10 (default 10)")
            ->excludes(into);
        verb.add_option("--language", language_,
                        "Language of the new file: an identifier such as 0x809, or a name (default: the XML's)")
            ->excludes(into);
        verb.add_option("--duplicates", duplicates_, "Commands the file has already: yes (replace them) or no (keep them)")
            ->excludes(output);
    }

private:
    std::string xml_, output_, into_, version_, language_, duplicates_;
};

} // namespace

std::unique_ptr<Command> makeImportXml() { return std::make_unique<ImportXml>(); }

} // namespace vocabrella::cli
