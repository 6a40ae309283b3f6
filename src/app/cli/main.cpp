#include "CliPrompter.h"

#include "cmdfile/Clock.h"
#include "cmdfile/Errors.h"
#include "cmdfile/Format.h"
#include "shell/HomeFolder.h"
#include "shell/Properties.h"
#include "shell/Session.h"
#include "shell/Texts.h"

#include <CLI/CLI.hpp>
#include <nlohmann/json.hpp>

#include <cstdlib>
#include <iostream>
#include <sstream>
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

struct Filters {
    std::string program, scope, group;
    std::vector<std::string> types;

    bool accepts(const UserRow& row) const {
        const auto same = [](std::string_view a, std::string_view b) {
            return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
                       return std::tolower(static_cast<unsigned char>(x)) == std::tolower(static_cast<unsigned char>(y));
                   });
        };
        if (!program.empty() && !same(row.menu, program)) return false;
        if (!scope.empty() && !same(row.state, scope)) return false;
        if (!group.empty() && !same(row.owner, group)) return false;
        if (!types.empty() && std::find(types.begin(), types.end(), row.Type) == types.end()) return false;
        return true;
    }
};

nlohmann::ordered_json rowJson(const UserRow& row, CommandStore& store) {
    nlohmann::ordered_json states = nlohmann::ordered_json::array();
    std::istringstream ids(row.states);
    for (std::string id; std::getline(ids, id, ',');)
        if (!id.empty())
            if (auto name = store.stateName(std::stoll(id))) states.push_back(*name);
    return {{"ID", row.ID},
            {"menu", row.menu},
            {"state", row.state},
            {"name", row.name},
            {"Type", row.Type},
            {"scope", row.scope},
            {"owner", row.owner},
            {"lists", row.lists},
            {"offset", row.offset},
            {"offsetbody", row.offsetbody},
            {"description", row.description},
            {"states", states},
            {"graphicsize", row.graphicsize},
            {"encrypted", row.encrypted},
            {"dupe", row.dupe},
            {"script", row.script}};
}

// Opens the file into the session's store; false (after saying why) when it cannot be read.
bool openFile(Session& session, const fs::path& file) {
    const auto outcome = session.open(file);
    if (!outcome.success) {
        session.prompter().message(std::string(texts::ParseProblem) + "\r\n" + outcome.problem,
                                   fs::weakly_canonical(fs::absolute(file)).string());
        return false;
    }
    return true;
}

int run(int argc, char** argv) {
    CLI::App app{"Vocabrella command line: reads and changes Dragon command files"};
    app.require_subcommand(1);
    std::string homeOption;
    app.add_option("--home", homeOption, "Home folder (store, logs, settings); default: a temporary folder");

    std::string file;
    Filters filters;
    std::string typeList;
    bool json = false;
    std::string commandName;

    auto* info = app.add_subcommand("info", "Print the properties of a command file");
    info->add_option("FILE", file, "Command file")->required();

    auto* list = app.add_subcommand("list", "List the commands and LISTs of a command file");
    list->add_option("FILE", file, "Command file")->required();
    list->add_option("--program", filters.program, "Only this program");
    list->add_option("--scope", filters.scope, "Only this scope");
    list->add_option("--group", filters.group, "Only this group");
    list->add_option("--type", typeList, "Only these Type codes, comma-separated (K,S,T,P,R,X,A,L)");
    list->add_flag("--json", json, "Print one JSON array");

    auto* show = app.add_subcommand("show", "Print the body of one command or LIST");
    show->add_option("FILE", file, "Command file")->required();
    show->add_option("NAME", commandName, "Command or LIST name")->required();
    show->add_option("--program", filters.program, "Program (default: Global Commands)");
    show->add_option("--scope", filters.scope, "Scope (default: the program's Application-specific scope, or Global Commands)");

    CLI11_PARSE(app, argc, argv);

    cli::CliPrompter prompter(std::cerr);
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
        if (!openFile(session, file)) return 1;
        if (*info) {
            std::cout << cli::forTerminal(propertiesText(fs::weakly_canonical(fs::absolute(file)), session.reader().file().info)) << '\n';
            return 0;
        }
        if (*list) {
            std::stringstream types(typeList);
            for (std::string t; std::getline(types, t, ',');)
                if (!t.empty()) filters.types.push_back(t);
            bool first = true;
            if (json) std::cout << '[';
            session.store().forEachUser([&](const UserRow& row) {
                if (!filters.accepts(row)) return true;
                if (json) {
                    std::cout << (first ? "\n" : ",\n") << rowJson(row, session.store()).dump();
                } else {
                    std::cout << row.ID << '\t' << row.Type << '\t' << row.menu << '\t' << row.state << '\t' << row.owner
                              << '\t' << row.name << '\n';
                }
                first = false;
                return true;
            });
            if (json) std::cout << (first ? "]\n" : "\n]\n");
            return 0;
        }
        if (*show) {
            std::string program = filters.program.empty() ? std::string(names::GlobalCommands) : filters.program;
            std::string scope = filters.scope;
            if (scope.empty())
                scope = names::isGlobalProgram(program) ? std::string(names::GlobalCommands)
                                                        : std::string(names::ApplicationSpecific);
            const auto row = session.store().findUser(program, scope, commandName);
            if (!row) {
                std::cerr << "No command or LIST \"" << commandName << "\" in " << program << " / " << scope << '\n';
                return 1;
            }
            std::cout << row->script;
            if (!row->script.empty() && row->script.back() != '\n') std::cout << '\n';
            return 0;
        }
    } catch (const EndProgram& end) {
        return end.exitCode();
    } catch (const StoreError& e) {
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
