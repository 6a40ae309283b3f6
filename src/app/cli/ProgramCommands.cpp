#include "CliPrompter.h"
#include "Commands.h"

#include "cmdfile/Errors.h"
#include "shell/Application.h"

#include <iostream>

namespace vocabrella::cli {

void Runtime::afterWrite() {
    if (application) application->SaveAndReload();
    else session.FileRefresh();
}

void Runtime::beforeWrite() {
    if (!application) return;
    application->RefreshIfChanged(true);
    application->RollBackCheck(false);
}

namespace {

Application& requireApplication(Runtime& rt) {
    if (!rt.application) throw Refusal("This needs a Dragon installation: --dragon-root DIR or $DRAGON_ROOT");
    return *rt.application;
}

} // namespace

void addProgramCommands(CLI::App& app, std::vector<Command>& commands) {
    auto* status = app.add_subcommand("status", "Start as the program does and tell the speech user and the counts");
    commands.push_back({status, [](Runtime& rt, CliPrompter&) {
                            auto& program = requireApplication(rt);
                            const auto& info = rt.session.reader().file().info;
                            std::cout << "Speech user: " << program.displayedUserName() << '\n'
                                      << "Command file: " << program.commandFile().string() << '\n'
                                      << "Commands: " << info.commandCount << '\n'
                                      << "LISTs: " << info.listCount << '\n';
                            return 0;
                        },
                        false, false});

    auto* backup = app.add_subcommand("backup", "Take a backup of the speech user's command file now");
    commands.push_back({backup, [](Runtime& rt, CliPrompter&) {
                            requireApplication(rt).rollbackset();
                            return 0;
                        },
                        false, false});

    auto target = std::make_shared<std::string>();
    auto list = std::make_shared<bool>(false);
    auto* rollback = app.add_subcommand("rollback", "List this month's backups, or restore one");
    rollback->add_flag("--list", *list, "List the backups that can be restored");
    rollback->add_option("BACKUPFILE", *target, "The backup to restore (as listed)");
    commands.push_back({rollback, [target, list](Runtime& rt, CliPrompter&) {
                            auto& program = requireApplication(rt);
                            if (*list || target->empty()) {
                                for (const auto& entry : program.RollBackListBuild()) std::cout << entry << '\n';
                                return 0;
                            }
                            if (!program.restore(*target)) return 1;
                            std::cout << "Restored " << *target << '\n';
                            return 0;
                        },
                        false, false});
}

} // namespace vocabrella::cli
