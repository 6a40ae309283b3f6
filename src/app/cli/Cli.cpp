#include "Cli.h"

#include "CliPrompter.h"

#include "cmdfile/Clock.h"
#include "cmdfile/Errors.h"
#include "cmdfile/System.h"
#include "cmdfile/ScratchFolder.h"
#include "ops/Failures.h"
#include "ops/Workspace.h"
#include "shell/Application.h"
#include "shell/FileBackups.h"
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
constexpr std::string_view kBackupKept = "The file's backup of the day: ";
constexpr std::string_view kNothingKept =
    "No backup of the file was kept, and the change cannot be undone after this run: the home folder could not be made at ";

// The store, the trace and the work files of a run, one folder per command file, inside the home:
// runs on one file share the store as a cache, and no run empties the store of a window.
fs::path workFolder(const fs::path& home, const fs::path& file) {
    return home / "cli" / (file.empty() ? fs::path("speech-user") : FileBackups::folderOf(home, file).filename());
}

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
                   "Home folder (backups, history of changes, settings, store); default: the window's, "
                   "$VOCABRELLA_HOME or else the system's data folder");
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
    prompter.toTerminal = io.errIsTerminal;
    SystemClock clock;
    const auto root =
        platform::SimulatedDragon::rootFrom(dragonRoot.empty() ? std::nullopt : std::optional<fs::path>(os::pathFrom(dragonRoot)));
    // The same home as the window's, made on first use; only --home names another. A home that
    // cannot be made leaves the run one of its own, which goes with it: nothing is kept then.
    std::unique_ptr<RunHome> temporary;
    std::string homeProblem;
    fs::path home =
        HomeFolder::resolve(homeOption.empty() ? std::nullopt : std::optional<fs::path>(os::pathFrom(homeOption)));
    if (homeOption.empty()) {
        try {
            if (HomeFolder::prepare(home) == HomeFolder::State::StoreMissing)
                homeProblem = std::string(texts::StoreMissing);
        } catch (const std::exception& e) {
            homeProblem = e.what();
        }
        if (!homeProblem.empty()) {
            temporary = makeHome();
            home = temporary->home();
        }
    }
    // Where a change's backup went, or that none was kept, when that is not the usual place.
    const auto tellBackup = [&](ops::Workspace& workspace) {
        if (!workspace.lastBackup()) return;
        if (temporary)
            io.err << shownOn(io.errIsTerminal, std::string(kNothingKept) + os::pathText(HomeFolder::resolve(std::nullopt)) +
                                                    " (" + forTerminal(homeProblem) + ")")
                   << '\n';
        else if (!homeOption.empty())
            io.err << shownOn(io.errIsTerminal, std::string(kBackupKept) + os::pathText(*workspace.lastBackup())) << '\n';
    };

    try {
        if (!command->opensCommandFile()) return command->executeAlone(io, prompter);
        const fs::path file = os::pathFrom(command->file());
        const auto dragon = platform::chooseDragon(root);
        std::optional<Session> plainSession;
        std::unique_ptr<Application> program;
        Session* session = nullptr;
        if (dragon.present) {
            // The program's own start-up: discovery, the day's backup, the speech user's file.
            program = std::make_unique<Application>(StartupOptions{home, {}, false, workFolder(home, file)},
                                                    *dragon.dragon, prompter, clock);
            if (!program->load()) return 1;
            session = &program->session();
            if (!file.empty() && fs::weakly_canonical(fs::absolute(file)) != fs::weakly_canonical(program->commandFile()) &&
                !program->FileOpenNoDialog(file))
                return 1;
        } else {
            if (command->needsDragon()) throw Refusal(std::string(kNeedsDragon));
            session = &plainSession.emplace(home, workFolder(home, file), prompter, clock);
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
        tellBackup(*workspace);
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
