#pragma once

#include "ops/BatchSelection.h"
#include "ops/Names.h"
#include "ops/Outcome.h"

#include <CLI/CLI.hpp>

#include <iosfwd>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace vocabrella {
class Application;
class Session;
namespace ops {
class Workspace;
}
} // namespace vocabrella

namespace vocabrella::cli {

class CliPrompter;

// Where a verb writes: what it prints as its result to out, the rest to err. The program passes
// its standard output and error, and whether each is a terminal: text for a terminal shows its
// control characters escaped, so that a body cannot retitle or reprogram the terminal.
struct Streams {
    std::ostream& out;
    std::ostream& err;
    bool outIsTerminal = false;
    bool errIsTerminal = false;
};

// What a verb works with once its file is open: the session, the running program when Dragon
// is installed, the workspace the changes go through, and where it writes.
struct Runtime {
    Session& session;
    Application* application;
    ops::Workspace& workspace;
    CliPrompter& prompter;
    Streams io;
};

// One verb of the command line: it adds its options, then does its work and gives the exit
// code. A verb holds no rule of its own: it gathers the options, calls the core and reports.
class Command {
public:
    Command(std::string name, std::string description) : name_(std::move(name)), description_(std::move(description)) {}
    virtual ~Command() = default;
    Command(const Command&) = delete;
    Command& operator=(const Command&) = delete;

    CLI::App* add(CLI::App& app);
    bool chosen() const { return verb_ && verb_->parsed(); }
    // The command file the verb works on; empty for the speech user's own.
    virtual const std::string& file() const { return file_; }
    // Verbs about the running program act on the speech user's file, not on a FILE argument.
    virtual bool needsFile() const { return true; }
    // A verb that makes a new file works without any command file open (executeAlone).
    virtual bool opensCommandFile() const { return true; }
    virtual int executeAlone(const Streams&, CliPrompter&) { return 1; }
    virtual bool needsDragon() const { return false; }
    virtual int execute(Runtime& rt) = 0;
    // An error that ended the verb before its work was done (the file could not be opened or
    // read): tells it and gives the exit code, 1 unless the verb keeps 1 for something else.
    virtual int error(const Streams& io, CliPrompter& prompter, const std::string& text, const std::string& title);

protected:
    virtual void options(CLI::App& verb) = 0;

private:
    std::string name_, description_;
    std::string file_;
    CLI::App* verb_ = nullptr;
};

// Exit 0 after printing what was done when the change was made; 1 otherwise, when the reason
// has been told already (and nothing is printed as done).
int report(const Streams& io, const ops::Outcome& outcome, std::string_view doneText);

// --program and --scope: "Global Commands" by default; a program's scope "Application-specific".
struct PlaceOptions {
    std::string program, scope;
    void add(CLI::App& verb);
    ops::Place place() const;
};

// A body given as --text or --from-file; bodies keep CR LF line ends.
struct BodyOptions {
    std::string text, fromFile;
    void add(CLI::App& verb, const std::string& what, bool required);
    std::string body() const;
    // Where the body given stays when it was not written: the file, or the command line.
    std::string keptAt() const;
};

// --everything, --program, --scope, --group and --name (repeatable): the batch dialog's scope
// options. Names are picked in the program and scope given; a Group given beside a program or
// scope narrows them as the window's Group filter does.
struct SelectionOptions {
    bool everything = false;
    std::string program, scope, group;
    std::vector<std::string> names;
    void add(CLI::App& verb, bool withProgram = true);
    bool given() const { return everything || !program.empty() || !scope.empty() || !group.empty() || !names.empty(); }
    // The selection; `fallback` when no option was given.
    ops::BatchSelection selection(ops::BatchScope fallback = ops::BatchScope::Everything) const;
};

// Says which options choose the commands, for a verb given none; returns the exit code.
int selectionMissing(const Streams& io);

// Every verb, in the order of the help text.
std::vector<std::unique_ptr<Command>> allCommands();

std::unique_ptr<Command> makeInfo();
std::unique_ptr<Command> makeList();
std::unique_ptr<Command> makeShow();
std::unique_ptr<Command> makeCheck();
std::unique_ptr<Command> makeDiff();
std::unique_ptr<Command> makeSetBody();
std::unique_ptr<Command> makeRename();
std::unique_ptr<Command> makeNewCommand();
std::unique_ptr<Command> makeNewList();
std::unique_ptr<Command> makeChangeKind();
std::unique_ptr<Command> makeClone();
std::unique_ptr<Command> makeDelete();
std::unique_ptr<Command> makeDeleteList();
std::unique_ptr<Command> makeRenameGroup();
std::unique_ptr<Command> makeRenameProgram();
std::unique_ptr<Command> makeReplace();
std::unique_ptr<Command> makeConvertKeys();
std::unique_ptr<Command> makeConvertVersion();
std::unique_ptr<Command> makeConvertLanguage();
std::unique_ptr<Command> makeDvc();
std::unique_ptr<Command> makeExport();
std::unique_ptr<Command> makeReport();
std::unique_ptr<Command> makeImportXml();
std::unique_ptr<Command> makeExportXml();
std::unique_ptr<Command> makeRewrite();
std::unique_ptr<Command> makeHistory();
std::unique_ptr<Command> makeUndo();
std::unique_ptr<Command> makeRedo();
std::unique_ptr<Command> makeStatus();
std::unique_ptr<Command> makeBackup();
std::unique_ptr<Command> makeRollback();

} // namespace vocabrella::cli
