#include "Command.h"

#include "CliPrompter.h"
#include "cmdfile/Errors.h"
#include "cmdfile/Format.h"

#include <fstream>
#include <iostream>
#include <sstream>

namespace vocabrella::cli {

CLI::App* Command::add(CLI::App& app) {
    verb_ = app.add_subcommand(name_, description_);
    if (needsFile()) verb_->add_option("FILE", file_, "Command file")->required();
    options(*verb_);
    return verb_;
}

int report(const ops::Outcome& outcome, std::string_view doneText) {
    switch (outcome.kind) {
    case ops::Outcome::Kind::Done:
        std::cout << doneText << '\n';
        return 0;
    case ops::Outcome::Kind::Declined: std::cerr << "Nothing was changed.\n"; return 1;
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
    std::ifstream in(fromFile, std::ios::binary);
    if (!in) throw Refusal("Cannot read " + fromFile);
    std::ostringstream content;
    content << in.rdbuf();
    return withCrLf(content.str());
}

std::vector<std::unique_ptr<Command>> allCommands() {
    std::vector<std::unique_ptr<Command>> commands;
    // Reading.
    commands.push_back(makeInfo());
    commands.push_back(makeList());
    commands.push_back(makeShow());
    // One command or LIST.
    commands.push_back(makeSetBody());
    commands.push_back(makeRename());
    commands.push_back(makeNewCommand());
    commands.push_back(makeNewList());
    commands.push_back(makeChangeKind());
    commands.push_back(makeClone());
    // The running program.
    commands.push_back(makeStatus());
    commands.push_back(makeBackup());
    commands.push_back(makeRollback());
    return commands;
}

} // namespace vocabrella::cli
