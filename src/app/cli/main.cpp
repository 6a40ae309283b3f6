#include "CliPrompter.h"
#include "Commands.h"

#include "cmdfile/Clock.h"
#include "cmdfile/Errors.h"
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
    std::string homeOption;
    bool yes = false;
    app.add_option("--home", homeOption, "Home folder (store, logs, settings); default: a temporary folder");
    app.add_flag("--yes", yes, "Answer yes (OK) to the questions an operation asks");

    cli::CommonArguments common;
    std::vector<cli::Command> commands;
    cli::addReadCommands(app, common, commands);
    cli::addWriteCommands(app, common, commands);
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

    try {
        Session session(home, prompter, clock);
        const auto outcome = session.open(common.file);
        if (!outcome.success) {
            prompter.message(std::string(texts::ParseProblem) + "\r\n" + outcome.problem,
                             fs::weakly_canonical(fs::absolute(common.file)).string());
            return 1;
        }
        for (const auto& command : commands)
            if (command.app->parsed()) return command.run(session, prompter);
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
