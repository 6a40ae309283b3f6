#pragma once

#include "cmdfile/Store.h"

#include <CLI/CLI.hpp>

#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace vocabrella {
class Application;
class Session;
}

namespace vocabrella::cli {

class CliPrompter;

// Where a command of the command line acts: the program and scope of one command or LIST.
struct Place {
    std::string program;
    std::string scope;
    // "Global Commands" by default; a program's scope defaults to "Application-specific".
    std::string resolvedProgram() const;
    std::string resolvedScope() const;
};

// The rows a batch operation acts on.
struct Selection {
    bool everything = false;
    std::string program, scope, group;
    std::vector<std::string> names;
    void addOptions(CLI::App& command);
    CommandStore::RowSelection rows() const;
    bool empty() const { return !everything && program.empty() && scope.empty() && group.empty() && names.empty(); }
};

// What a subcommand works with: the open file's session and, with a Dragon installation, the
// running program that saves through Dragon's reload.
struct Runtime {
    Session& session;
    Application* application = nullptr;
    // After a change written into the file: the store reads it again, and Dragon takes the
    // speech user's own file up again.
    void afterWrite();
    // Before a change: a file Dragon changed meanwhile is read again; the day's backup is taken.
    void beforeWrite();
};

// One subcommand: its options are filled by CLI11, then run() acts on the open file.
struct Command {
    CLI::App* app = nullptr;
    std::function<int(Runtime&, CliPrompter&)> run;
    bool writes = false;    // changes the file: checked for Dragon's edits and backed up first
    bool needsFile = true;
};

// The file every subcommand acts on.
struct CommonArguments {
    std::string file;
};

void addReadCommands(CLI::App& app, CommonArguments& common, std::vector<Command>& commands);
void addWriteCommands(CLI::App& app, CommonArguments& common, std::vector<Command>& commands);
void addProgramCommands(CLI::App& app, std::vector<Command>& commands);

// The store's row for a name in a place, or nullopt after saying so on standard error.
std::optional<UserRow> findRow(Session& session, const std::string& name, const Place& place);

} // namespace vocabrella::cli
