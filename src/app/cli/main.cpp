#include "CliPrompter.h"
#include "Commands.h"

#include "cmdfile/Clock.h"
#include "cmdfile/Errors.h"
#include "shell/Application.h"
#include "shell/HomeFolder.h"
#include "shell/Session.h"
#include "shell/Texts.h"

#include <CLI/CLI.hpp>

#include <cstdlib>
#include <iostream>
#include <unistd.h>

namespace fs = std::filesystem;
using namespace vocabrella;

namespace {

// A home folder for this run only, removed on the way out.
class TemporaryHome {
public:
    TemporaryHome() {
        std::string pattern = (fs::temp_directory_path() / "vocabrella-XXXXXX").string();
        if (!::mkdtemp(pattern.data())) throw std::runtime_error("Cannot create a temporary folder");
        base_ = pattern;
    }
    ~TemporaryHome() {
        std::error_code ec;
        fs::remove_all(base_, ec);
    }
    fs::path home() const { return base_ / "home"; }

private:
    fs::path base_;
};

int run(int argc, char** argv) {
    CLI::App app{"Vocabrella command line: reads and changes Dragon command files"};
    app.require_subcommand(1);
    std::string homeOption, dragonRoot;
    bool yes = false;
    app.add_option("--home", homeOption, "Home folder (store, logs, settings); default: a temporary folder");
    app.add_option("--dragon-root", dragonRoot,
                   "The Dragon installation (default $DRAGON_ROOT): changes to the speech user's own file are "
                   "saved through Dragon's reload");
    app.add_flag("--yes", yes, "Answer yes (OK) to the questions an operation asks");

    cli::CommonArguments common;
    std::vector<cli::Command> commands;
    cli::addReadCommands(app, common, commands);
    cli::addWriteCommands(app, common, commands);
    cli::addProgramCommands(app, commands);
    CLI11_PARSE(app, argc, argv);

    cli::CliPrompter prompter(std::cerr);
    prompter.answerYes = yes;
    SystemClock clock;
    std::optional<TemporaryHome> temporary;
    fs::path home;
    if (homeOption.empty() && !std::getenv("VOCABRELLA_HOME")) {
        temporary.emplace();
        home = temporary->home();
    } else {
        home = HomeFolder::resolve(homeOption.empty() ? std::nullopt : std::optional<fs::path>(homeOption));
    }

    const cli::Command* command = nullptr;
    for (const auto& c : commands)
        if (c.app->parsed()) command = &c;
    try {
        const auto root = platform::SimulatedDragon::rootFrom(dragonRoot.empty() ? std::nullopt
                                                                               : std::optional<fs::path>(dragonRoot));
        std::optional<Session> plainSession;
        std::unique_ptr<Application> program;
        Session* session = nullptr;
        if (root) {
            // The program's own start-up: discovery, the day's backup, the speech user's file.
            program = std::make_unique<Application>(StartupOptions{home, root, {}}, prompter, clock);
            if (!program->load()) return 1;
            session = &program->session();
            if (command->needsFile && !common.file.empty() &&
                fs::weakly_canonical(fs::absolute(common.file)) != fs::weakly_canonical(program->commandFile()) &&
                !program->FileOpenNoDialog(common.file))
                return 1;
        } else {
            if (!command->needsFile) throw Refusal("This needs a Dragon installation: --dragon-root DIR or $DRAGON_ROOT");
            session = &plainSession.emplace(home, prompter, clock);
            const auto outcome = session->open(common.file);
            if (!outcome.success) {
                prompter.message(std::string(texts::ParseProblem) + "\r\n" + outcome.problem,
                                 fs::weakly_canonical(fs::absolute(common.file)).string());
                return 1;
            }
        }
        cli::Runtime runtime{*session, program.get()};
        if (command->writes) runtime.beforeWrite();
        const int status = command->run(runtime, prompter);
        if (program) program->shutdown();
        return status;
    } catch (const EndProgram& end) {
        return end.exitCode();
    } catch (const Refusal& refusal) {
        prompter.message(refusal.what(), refusal.title());
        return 1;
    } catch (const FormatError& e) {
        std::cerr << common.file << ": " << e.what() << '\n';
        return 1;
    } catch (const StoreError& e) {
        std::cerr << e.what() << '\n';
        return 1;
    } catch (const fs::filesystem_error& e) {
        std::cerr << e.what() << '\n';
        return 1;
    }
    return 0;
}

} // namespace

int main(int argc, char** argv) {
    try {
        return run(argc, argv);
    } catch (const std::exception& e) {
        std::cerr << e.what() << '\n';
        return 1;
    }
}
