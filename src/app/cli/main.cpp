#include "CliPrompter.h"
#include "Command.h"

#include "cmdfile/Clock.h"
#include "cmdfile/Errors.h"
#include "ops/Workspace.h"
#include "shell/Application.h"
#include "shell/HomeFolder.h"
#include "shell/Session.h"
#include "shell/Texts.h"
#include "shell/platform/SimulatedDragon.h"

#include <CLI/CLI.hpp>

#include "ProcessEdges.h"

#include "cmdfile/System.h"

#include <cstdlib>
#include <iostream>

namespace fs = std::filesystem;
using namespace vocabrella;

namespace {

constexpr std::string_view kNeedsDragon = "This needs a Dragon installation: --dragon-root DIR or $DRAGON_ROOT";

int run(int argc, const char* const* argv) {
    CLI::App app{"Vocabrella command line: reads and changes Dragon command files"};
    app.require_subcommand(1);
    // Options begin with "-" on every system: on Windows "/" would otherwise start one too, and
    // a path given as /folder/file would be taken for an option.
    app.allow_windows_style_options(false);
    std::string homeOption, dragonRoot;
    bool yes = false;
    app.add_option("--home", homeOption,
                   "Home folder (store, logs, settings, backups); default: $VOCABRELLA_HOME, with a Dragon "
                   "installation the program's own, else a temporary folder");
    app.add_option("--dragon-root", dragonRoot,
                   "The Dragon installation (default $DRAGON_ROOT): changes to the speech user's own file are "
                   "backed up and saved through Dragon's reload");
    app.add_flag("--yes", yes, "Answer yes (OK) to the questions an operation asks");

    auto commands = cli::allCommands();
    for (auto& c : commands) c->add(app);
    CLI11_PARSE(app, argc, argv);
    cli::Command* command = nullptr;
    for (auto& c : commands)
        if (c->chosen()) command = c.get();

    cli::CliPrompter prompter(std::cerr);
    prompter.answerYes = yes;
    SystemClock clock;
    const auto root =
        platform::SimulatedDragon::rootFrom(dragonRoot.empty() ? std::nullopt
                                                            : std::optional<fs::path>(os::pathFrom(dragonRoot)));
    std::optional<cli::TemporaryHome> temporary;
    fs::path home;
    if (homeOption.empty() && os::environment("VOCABRELLA_HOME").empty() && !root) {
        temporary.emplace();
        home = temporary->home();
    } else {
        home = HomeFolder::resolve(homeOption.empty() ? std::nullopt : std::optional<fs::path>(os::pathFrom(homeOption)));
    }

    try {
        if (!command->opensCommandFile()) return command->executeAlone(prompter);
        const fs::path file = os::pathFrom(command->file());
        platform::SimulatedDragon dragon(root);
        std::optional<Session> plainSession;
        std::unique_ptr<Application> program;
        Session* session = nullptr;
        if (root) {
            // The program's own start-up: discovery, the day's backup, the speech user's file.
            program = std::make_unique<Application>(StartupOptions{home, {}}, dragon, prompter, clock);
            if (!program->load()) return 1;
            session = &program->session();
            if (!file.empty() && fs::weakly_canonical(fs::absolute(file)) != fs::weakly_canonical(program->commandFile()) &&
                !program->FileOpenNoDialog(file))
                return 1;
        } else {
            if (command->needsDragon()) throw Refusal(std::string(kNeedsDragon));
            session = &plainSession.emplace(home, prompter, clock);
            const auto outcome = session->open(file);
            if (!outcome.success)
                return command->error(prompter, std::string(texts::ParseProblem) + "\r\n" + outcome.problem,
                                      os::pathText(fs::weakly_canonical(fs::absolute(file))));
        }
        std::optional<ops::Workspace> workspace;
        if (program) workspace.emplace(*program, clock);
        else workspace.emplace(*session, clock);
        cli::Runtime runtime{*session, program.get(), *workspace, prompter};
        const int status = command->execute(runtime);
        if (program) program->shutdown();
        return status;
    } catch (const EndProgram& end) {
        return end.exitCode();
    } catch (const Refusal& refusal) {
        return command->error(prompter, refusal.what(), refusal.title());
    } catch (const FormatError& e) {
        return command->error(prompter, e.what(), command->file());
    } catch (const StoreError& e) {
        return command->error(prompter, e.what(), {});
    } catch (const fs::filesystem_error& e) {
        return command->error(prompter, e.what(), {});
    }
}

} // namespace

int main(int argc, char** argv) {
    try {
        cli::prepareStandardStreams();
        const cli::Arguments arguments(argc, argv);
        return run(arguments.count(), arguments.values());
    } catch (const std::exception& e) {
        std::cerr << e.what() << '\n';
        return 1;
    }
}
