#include "CliPrompter.h"
#include "Command.h"

#include "cmdfile/Clock.h"
#include "cmdfile/Errors.h"
#include "ops/Failures.h"
#include "ops/Workspace.h"
#include "shell/Application.h"
#include "shell/HomeFolder.h"
#include "shell/Session.h"
#include "shell/Texts.h"
#include "shell/platform/SimulatedDragon.h"

#include <CLI/CLI.hpp>

#include <atomic>
#include <csignal>
#include <cstdlib>
#include <iostream>
#include <pthread.h>
#include <thread>
#include <unistd.h>

namespace fs = std::filesystem;
using namespace vocabrella;

namespace {

constexpr std::string_view kNeedsDragon = "This needs a Dragon installation: --dragon-root DIR or $DRAGON_ROOT";

// A home folder for this run only. It is removed on the way out, also when the run is ended by
// SIGINT, SIGTERM or SIGPIPE: a thread of its own waits for those signals, which every other
// thread blocks.
class TemporaryHome {
public:
    TemporaryHome() {
        std::string pattern = (fs::temp_directory_path() / "vocabrella-XXXXXX").string();
        if (!::mkdtemp(pattern.data())) throw std::runtime_error("Cannot create a temporary folder");
        base_ = pattern;
        sigemptyset(&signals_);
        for (const int s : {SIGINT, SIGTERM, SIGPIPE, SIGUSR1}) sigaddset(&signals_, s);
        pthread_sigmask(SIG_BLOCK, &signals_, nullptr);
        watcher_ = std::thread([this] {
            int received = 0;
            while (sigwait(&signals_, &received) == 0) {
                if (received == SIGUSR1 && finished_) return;
                if (received == SIGUSR1) continue;
                std::error_code ec;
                fs::remove_all(base_, ec);
                ::_exit(128 + received);
            }
        });
    }
    ~TemporaryHome() {
        finished_ = true;
        ::kill(::getpid(), SIGUSR1);
        watcher_.join();
        std::error_code ec;
        fs::remove_all(base_, ec);
    }
    TemporaryHome(const TemporaryHome&) = delete;
    TemporaryHome& operator=(const TemporaryHome&) = delete;
    fs::path home() const { return base_ / "home"; }

private:
    fs::path base_;
    sigset_t signals_{};
    std::atomic<bool> finished_{false};
    std::thread watcher_;
};

int run(int argc, char** argv) {
    CLI::App app{"Vocabrella command line: reads and changes Dragon command files"};
    app.require_subcommand(1);
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
        platform::SimulatedDragon::rootFrom(dragonRoot.empty() ? std::nullopt : std::optional<fs::path>(dragonRoot));
    std::optional<TemporaryHome> temporary;
    fs::path home;
    if (homeOption.empty() && !std::getenv("VOCABRELLA_HOME") && !root) {
        temporary.emplace();
        home = temporary->home();
    } else {
        home = HomeFolder::resolve(homeOption.empty() ? std::nullopt : std::optional<fs::path>(homeOption));
    }

    try {
        if (!command->opensCommandFile()) return command->executeAlone(prompter);
        platform::SimulatedDragon dragon(root);
        std::optional<Session> plainSession;
        std::unique_ptr<Application> program;
        Session* session = nullptr;
        if (root) {
            // The program's own start-up: discovery, the day's backup, the speech user's file.
            program = std::make_unique<Application>(StartupOptions{home, {}}, dragon, prompter, clock);
            if (!program->load()) return 1;
            session = &program->session();
            if (!command->file().empty() &&
                fs::weakly_canonical(fs::absolute(command->file())) != fs::weakly_canonical(program->commandFile()) &&
                !program->FileOpenNoDialog(command->file()))
                return 1;
        } else {
            if (command->needsDragon()) throw Refusal(std::string(kNeedsDragon));
            session = &plainSession.emplace(home, prompter, clock);
            const auto outcome = session->open(command->file());
            if (!outcome.success)
                return command->error(prompter, std::string(texts::ParseProblem) + "\r\n" + outcome.problem,
                                      fs::weakly_canonical(fs::absolute(command->file())).string());
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
    } catch (...) {
        ops::FailureHandling handling;
        handling.commandFile = command->file();
        const auto failure = ops::failureOf(std::current_exception(), nullptr, handling);
        if (!failure) throw;
        return command->error(prompter, failure->text, failure->title);
    }
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
