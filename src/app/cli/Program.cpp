#include "CliPrompter.h"
#include "Command.h"

#include "cmdfile/Reader.h"
#include "ops/CompareFiles.h"
#include "shell/Application.h"
#include "shell/Session.h"
#include "cmdfile/System.h"

#include <ostream>

// The verbs about the running program: they start as the window does, against the speech user's
// own file.
namespace vocabrella::cli {
namespace {

class Status final : public Command {
public:
    Status() : Command("status", "Start as the program does and tell the speech user and the counts") {}
    bool needsFile() const override { return false; }
    bool needsDragon() const override { return true; }

    int execute(Runtime& rt) override {
        const auto& info = rt.session.reader().file().info;
        rt.io.out << "Speech user: " << rt.application->displayedUserName() << '\n'
                  << "Command file: " << os::pathText(rt.application->commandFile()) << '\n'
                  << "Commands: " << info.commandCount << '\n'
                  << "LISTs: " << info.listCount << '\n';
        return 0;
    }

protected:
    void options(CLI::App&) override {}
};

class Backup final : public Command {
public:
    Backup() : Command("backup", "Take a backup of the speech user's command file now") {}
    bool needsFile() const override { return false; }
    bool needsDragon() const override { return true; }

    int execute(Runtime& rt) override {
        rt.application->rollbackset();
        return 0;
    }

protected:
    void options(CLI::App&) override {}
};

class Rollback final : public Command {
public:
    Rollback() : Command("rollback", "List this month's backups, or restore one of them") {}
    bool needsFile() const override { return false; }
    bool needsDragon() const override { return true; }

    int execute(Runtime& rt) override {
        auto& program = *rt.application;
        if (list_ || entry_.empty()) {
            for (const auto& entry : program.RollBackListBuild()) rt.io.out << entry << '\n';
            return 0;
        }
        // What the restore would change: told before the question, or alone with --preview.
        if (preview_) {
            const auto backup = program.backupOf(entry_);
            if (!backup) return 1;
            rt.io.out << forTerminal(ops::restorePreview(*backup, program.restoreTarget(), rt.session.home())) << '\n';
            return 0;
        }
        const auto preview = [&](const std::filesystem::path& backup, const std::filesystem::path& current) {
            return ops::restorePreview(backup, current, rt.session.home());
        };
        if (!program.restore(entry_, preview)) return 1;
        rt.io.out << "Restored " << entry_ << '\n';
        return 0;
    }

protected:
    void options(CLI::App& verb) override {
        verb.add_flag("--list", list_, "List the backups that can be restored");
        verb.add_option("BACKUP", entry_, "The backup to restore, as listed");
        verb.add_flag("--preview", preview_, "Only tell what restoring BACKUP would change; nothing is restored");
    }

private:
    bool list_ = false;
    bool preview_ = false;
    std::string entry_;
};

} // namespace

std::unique_ptr<Command> makeStatus() { return std::make_unique<Status>(); }
std::unique_ptr<Command> makeBackup() { return std::make_unique<Backup>(); }
std::unique_ptr<Command> makeRollback() { return std::make_unique<Rollback>(); }

} // namespace vocabrella::cli
