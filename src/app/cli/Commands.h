#pragma once

#include "cmdfile/Store.h"

#include <CLI/CLI.hpp>

#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace vocabrella {
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

// One subcommand: its options are filled by CLI11, then run() acts on the open session.
struct Command {
    CLI::App* app = nullptr;
    std::function<int(Session&, CliPrompter&)> run;
};

// The file every subcommand acts on.
struct CommonArguments {
    std::string file;
};

void addReadCommands(CLI::App& app, CommonArguments& common, std::vector<Command>& commands);
void addWriteCommands(CLI::App& app, CommonArguments& common, std::vector<Command>& commands);

// The store's row for a name in a place, or nullopt after saying so on standard error.
std::optional<UserRow> findRow(Session& session, const std::string& name, const Place& place);

} // namespace vocabrella::cli
