#include "Command.h"

#include "cmdfile/System.h"

#include "CliPrompter.h"
#include "cmdfile/AtomicFile.h"
#include "cmdfile/Errors.h"
#include "cmdfile/Format.h"
#include "cmdfile/TextCase.h"
#include "ops/Texts.h"

#include <fstream>
#include <ostream>
#include <sstream>

namespace vocabrella::cli {

CLI::App* Command::add(CLI::App& app) {
    verb_ = app.add_subcommand(name_, description_);
    if (needsFile()) verb_->add_option("FILE", file_, "Command file")->required();
    options(*verb_);
    return verb_;
}

int report(const Streams& io, const ops::Outcome& outcome, std::string_view doneText) {
    switch (outcome.kind) {
    case ops::Outcome::Kind::Done:
        io.out << doneText << '\n';
        return 0;
    case ops::Outcome::Kind::Declined: io.err << "Nothing was changed.\n"; return 1;
    case ops::Outcome::Kind::Refused:
    case ops::Outcome::Kind::Failed: return 1;
    }
    return 1;
}

void PlaceOptions::add(CLI::App& verb) {
    verb.add_option("--program", program, "Program (default: Global Commands)");
    verb.add_option("--scope", scope, "Scope (default: Application-specific, or Global Commands)");
}

ops::Place PlaceOptions::place() const {
    ops::Place p;
    p.program = program.empty() ? std::string(names::GlobalCommands) : program;
    if (!scope.empty()) p.scope = scope;
    else p.scope = names::isGlobalProgram(p.program) ? names::GlobalCommands : names::ApplicationSpecific;
    return p;
}

namespace {

// Text typed here has LF line ends; bodies keep CR LF.
std::string withCrLf(std::string_view text) {
    std::string out;
    out.reserve(text.size() + text.size() / 16);
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\n' && (i == 0 || text[i - 1] != '\r')) out.push_back('\r');
        out.push_back(text[i]);
    }
    return out;
}

} // namespace

void BodyOptions::add(CLI::App& verb, const std::string& what, bool required) {
    auto* t = verb.add_option("--text", text, "The " + what);
    auto* f = verb.add_option("--from-file", fromFile, "Read the " + what + " from a file");
    t->excludes(f);
    if (required) {
        auto* group = verb.add_option_group("body");
        group->add_option(t);
        group->add_option(f);
        group->require_option(1);
    }
}

std::string BodyOptions::body() const {
    if (fromFile.empty()) return withCrLf(text);
    // A folder, a pipe or a device is refused as such, not read as an empty body.
    std::vector<std::uint8_t> bytes;
    try {
        bytes = readFileBytes(os::pathFrom(fromFile));
    } catch (const std::filesystem::filesystem_error&) {
        throw Refusal("Cannot read " + fromFile);
    }
    return withCrLf(std::string(bytes.begin(), bytes.end()));
}

int Command::error(const Streams&, CliPrompter& prompter, const std::string& text, const std::string& title) {
    prompter.message(text, title);
    return 1;
}

std::string BodyOptions::keptAt() const {
    return fromFile.empty() ? std::string(ops::texts::BodyKeptInCommandLine) : fromFile;
}

void SelectionOptions::add(CLI::App& verb, bool withProgram) {
    verb.add_flag("--everything", everything, "Every command");
    if (withProgram) verb.add_option("--program", program, "The commands of this program");
    verb.add_option("--scope", scope, "The commands of this scope (of --program, or Global Commands)");
    verb.add_option("--group", group, "The commands of this group");
    verb.add_option("--name", names, "This command of --program and --scope (repeatable)");
}

ops::BatchSelection SelectionOptions::selection(ops::BatchScope fallback) const {
    ops::BatchSelection s;
    PlaceOptions place{program, scope};
    const auto p = place.place();
    s.program = p.program;
    s.state = p.scope;
    if (!group.empty()) s.group = group;
    s.picked = names;
    if (everything) s.scope = ops::BatchScope::Everything;
    else if (!names.empty()) s.scope = ops::BatchScope::PickAndChoose;
    else if (!scope.empty()) s.scope = ops::BatchScope::CurrentScope;
    else if (!program.empty()) s.scope = ops::BatchScope::CurrentApp;
    else if (!group.empty()) s.scope = ops::BatchScope::CurrentGroup;
    else s.scope = fallback;
    if (!group.empty() && s.scope != ops::BatchScope::CurrentGroup) {
        const std::string g = group;
        s.isRowShown = [g](const CommandStore::RowHead& row) { return sameIgnoringCase(row.owner, g); };
    }
    return s;
}

int selectionMissing(const Streams& io) {
    io.err << "Choose the commands: --everything, --program, --scope, --group or --name\n";
    return 1;
}

std::vector<std::unique_ptr<Command>> allCommands() {
    std::vector<std::unique_ptr<Command>> commands;
    // Reading.
    commands.push_back(makeInfo());
    commands.push_back(makeList());
    commands.push_back(makeShow());
    commands.push_back(makeCheck());
    commands.push_back(makeDiff());
    // One command or LIST.
    commands.push_back(makeSetBody());
    commands.push_back(makeRename());
    commands.push_back(makeNewCommand());
    commands.push_back(makeNewList());
    commands.push_back(makeChangeKind());
    commands.push_back(makeClone());
    // Many commands, or the whole file.
    commands.push_back(makeDelete());
    commands.push_back(makeDeleteList());
    commands.push_back(makeRenameGroup());
    commands.push_back(makeRenameProgram());
    commands.push_back(makeReplace());
    commands.push_back(makeConvertKeys());
    commands.push_back(makeConvertVersion());
    commands.push_back(makeConvertLanguage());
    commands.push_back(makeRewrite());
    // The history of changes.
    commands.push_back(makeHistory());
    commands.push_back(makeUndo());
    commands.push_back(makeRedo());
    // Outputs.
    commands.push_back(makeDvc());
    commands.push_back(makeExport());
    commands.push_back(makeReport());
    commands.push_back(makeImportXml());
    commands.push_back(makeExportXml());
    // The running program.
    commands.push_back(makeStatus());
    commands.push_back(makeBackup());
    commands.push_back(makeRollback());
    return commands;
}

} // namespace vocabrella::cli
