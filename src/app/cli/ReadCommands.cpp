#include "CliPrompter.h"
#include "Commands.h"

#include "cmdfile/Format.h"
#include "shell/Properties.h"
#include "shell/Session.h"

#include <nlohmann/json.hpp>

#include <iostream>
#include <sstream>

namespace vocabrella::cli {
namespace fs = std::filesystem;

std::string Place::resolvedProgram() const { return program.empty() ? std::string(names::GlobalCommands) : program; }

std::string Place::resolvedScope() const {
    if (!scope.empty()) return scope;
    return names::isGlobalProgram(resolvedProgram()) ? std::string(names::GlobalCommands)
                                                     : std::string(names::ApplicationSpecific);
}

std::optional<UserRow> findRow(Session& session, const std::string& name, const Place& place) {
    auto row = session.store().findUser(place.resolvedProgram(), place.resolvedScope(), name);
    if (!row) {
        std::cerr << "No command or LIST \"" << name << "\" in " << place.resolvedProgram() << " / "
                  << place.resolvedScope() << '\n';
    }
    return row;
}

namespace {

bool sameText(std::string_view a, std::string_view b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return std::tolower(static_cast<unsigned char>(x)) == std::tolower(static_cast<unsigned char>(y));
           });
}

struct ListFilters {
    std::string program, scope, group, types;
    bool json = false;

    bool accepts(const UserRow& row, const std::vector<std::string>& typeList) const {
        if (!program.empty() && !sameText(row.menu, program)) return false;
        if (!scope.empty() && !sameText(row.state, scope)) return false;
        if (!group.empty() && !sameText(row.owner, group)) return false;
        if (!typeList.empty() && std::find(typeList.begin(), typeList.end(), row.Type) == typeList.end()) return false;
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

} // namespace

void addReadCommands(CLI::App& app, CommonArguments& common, std::vector<Command>& commands) {
    auto* info = app.add_subcommand("info", "Print the properties of a command file");
    info->add_option("FILE", common.file, "Command file")->required();
    commands.push_back({info, [](Runtime& rt, CliPrompter&) {
                                Session& session = rt.session;
                            std::cout << forTerminal(propertiesText(session.reader().file().path,
                                                                    session.reader().file().info))
                                      << '\n';
                            return 0;
                        }});

    auto filters = std::make_shared<ListFilters>();
    auto* list = app.add_subcommand("list", "List the commands and LISTs of a command file");
    list->add_option("FILE", common.file, "Command file")->required();
    list->add_option("--program", filters->program, "Only this program");
    list->add_option("--scope", filters->scope, "Only this scope");
    list->add_option("--group", filters->group, "Only this group");
    list->add_option("--type", filters->types, "Only these Type codes, comma-separated (K,S,T,P,R,X,A,L)");
    list->add_flag("--json", filters->json, "Print one JSON array");
    commands.push_back({list, [filters](Runtime& rt, CliPrompter&) {
                                Session& session = rt.session;
                            std::vector<std::string> types;
                            std::stringstream in(filters->types);
                            for (std::string t; std::getline(in, t, ',');)
                                if (!t.empty()) types.push_back(t);
                            bool first = true;
                            if (filters->json) std::cout << '[';
                            session.store().forEachUser([&](const UserRow& row) {
                                if (!filters->accepts(row, types)) return true;
                                if (filters->json) {
                                    std::cout << (first ? "\n" : ",\n") << rowJson(row, session.store()).dump();
                                } else {
                                    std::cout << row.ID << '\t' << row.Type << '\t' << row.menu << '\t' << row.state
                                              << '\t' << row.owner << '\t' << row.name << '\n';
                                }
                                first = false;
                                return true;
                            });
                            if (filters->json) std::cout << (first ? "]\n" : "\n]\n");
                            return 0;
                        }});

    auto place = std::make_shared<Place>();
    auto name = std::make_shared<std::string>();
    auto* show = app.add_subcommand("show", "Print the body of one command or LIST");
    show->add_option("FILE", common.file, "Command file")->required();
    show->add_option("NAME", *name, "Command or LIST name")->required();
    show->add_option("--program", place->program, "Program (default: Global Commands)");
    show->add_option("--scope", place->scope, "Scope (default: Application-specific, or Global Commands)");
    commands.push_back({show, [place, name](Runtime& rt, CliPrompter&) {
                                Session& session = rt.session;
                            const auto row = findRow(session, *name, *place);
                            if (!row) return 1;
                            std::cout << row->script;
                            if (!row->script.empty() && row->script.back() != '\n') std::cout << '\n';
                            return 0;
                        }});
}

} // namespace vocabrella::cli
