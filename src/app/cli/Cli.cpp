#include "Cli.h"

#include "CliPrompter.h"

#include "cmdfile/Clock.h"
#include "cmdfile/Errors.h"
#include "cmdfile/System.h"
#include "cmdfile/ScratchFolder.h"
#include "ops/Failures.h"
#include "ops/Workspace.h"
#include "shell/Application.h"
#include "shell/HomeFolder.h"
#include "shell/Session.h"
#include "shell/Texts.h"
#include "shell/platform/DragonChoice.h"
#include "shell/platform/SimulatedDragon.h"

#include <CLI/CLI.hpp>

#include <cstdlib>
#include <ostream>

namespace fs = std::filesystem;

namespace vocabrella::cli {
namespace {

constexpr std::string_view kNeedsDragon = "This needs a Dragon installation: --dragon-root DIR or $DRAGON_ROOT";

class ScratchRunHome final : public RunHome {
public:
    ScratchRunHome() : folder_("cli") {}
    fs::path home() const override { return folder_.path() / "home"; }

private:
    ScratchFolder folder_;
};

int run(const std::vector<std::string>& args, const Streams& io, const RunHomeMaker& makeHome) {
    CLI::App app{"Vocabrella command line: reads and changes Dragon command files", "vocabrella-cli"};
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

    auto commands = allCommands();
    for (auto& c : commands) c->add(app);
    // CLI11 takes the arguments last first.
    std::vector<std::string> reversed(args.rbegin(), args.rend());
    try {
        app.parse(reversed);
    } catch (const CLI::ParseError& e) {
        return app.exit(e, io.out, io.err);
    }
    Command* command = nullptr;
    for (auto& c : commands)
        if (c->chosen()) command = c.get();

    CliPrompter prompter(io.err);
    prompter.answerYes = yes;
    SystemClock clock;
    const auto root =
        platform::SimulatedDragon::rootFrom(dragonRoot.empty() ? std::nullopt : std::optional<fs::path>(os::pathFrom(dragonRoot)));
    std::unique_ptr<RunHome> temporary;
    fs::path home;
    // Beside Dragon the program keeps its own home; on files alone, one for this run unless named.
    if (homeOption.empty() && os::environment("VOCABRELLA_HOME").empty() && !root && !platform::dragonInstalled()) {
        temporary = makeHome();
        home = temporary->home();
    } else {
        home = HomeFolder::resolve(homeOption.empty() ? std::nullopt : std::optional<fs::path>(os::pathFrom(homeOption)));
    }

    try {
        if (!command->opensCommandFile()) return command->executeAlone(io, prompter);
        const fs::path file = os::pathFrom(command->file());
        const auto dragon = platform::chooseDragon(root);
        std::optional<Session> plainSession;
        std::unique_ptr<Application> program;
        Session* session = nullptr;
        if (dragon.present) {
            // The program's own start-up: discovery, the day's backup, the speech user's file.
            program = std::make_unique<Application>(StartupOptions{home, {}}, *dragon.dragon, prompter, clock);
            if (!program->load()) return 1;
            session = &program->session();
            if (!file.empty() && fs::weakly_canonical(fs::absolute(file)) != fs::weakly_canonical(program->commandFile()) &&
                !program->FileOpenNoDialog(file))
                return 1;
        } else {
            if (command->needsDragon()) throw Refusal(std::string(kNeedsDragon));
            session = &plainSession.emplace(home, prompter, clock);
            const auto outcome = session->open(file);
            if (!outcome.success) {
                // A file that could not be read at all has no parsing error to tell of.
                if (outcome.unread) return command->error(io, prompter, outcome.problem, {});
                return command->error(io, prompter, std::string(texts::ParseProblem) + "\r\n" + outcome.problem,
                                      os::pathText(fs::weakly_canonical(fs::absolute(file))));
            }
        }
        std::optional<ops::Workspace> workspace;
        if (program) workspace.emplace(*program, clock);
        else workspace.emplace(*session, clock);
        Runtime runtime{*session, program.get(), *workspace, prompter, io};
        const int status = command->execute(runtime);
        if (program) program->shutdown();
        return status;
    } catch (const EndProgram& end) {
        return end.exitCode();
    } catch (...) {
        ops::FailureHandling handling;
        handling.commandFile = command->file();
        const auto failure = ops::failureOf(std::current_exception(), nullptr, handling);
        if (!failure) throw;
        return command->error(io, prompter, failure->text, failure->title);
    }
}

} // namespace

std::unique_ptr<RunHome> scratchRunHome() { return std::make_unique<ScratchRunHome>(); }

int runCli(const std::vector<std::string>& args, const Streams& io, const RunHomeMaker& makeHome) {
    try {
        return run(args, io, makeHome);
    } catch (const std::exception& e) {
        io.err << e.what() << '\n';
        return 1;
    }
}

} // namespace vocabrella::cli
