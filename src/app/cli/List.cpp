#include "Command.h"

#include "browse/Browser.h"
#include "cmdfile/Format.h"
#include "cmdfile/Store.h"
#include "shell/Session.h"

#include <nlohmann/json.hpp>

#include <algorithm>
#include <optional>
#include <ostream>
#include <sstream>

namespace vocabrella::cli {
namespace {

nlohmann::ordered_json rowJson(const UserRow& row, CommandStore& store) {
    nlohmann::ordered_json states = nlohmann::ordered_json::array();
    for (auto& name : browse::stateNames(row, store)) states.push_back(std::move(name));
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

class List final : public Command {
public:
    List() : Command("list", "List the commands and LISTs of a command file") {}

    int execute(Runtime& rt) override {
        std::vector<std::string> types;
        std::stringstream in(types_);
        for (std::string t; std::getline(in, t, ',');)
            if (!t.empty()) types.push_back(t);
        auto& store = rt.session.store();
        bool first = true;
        if (json_) rt.io.out << '[';
        const auto given = [](const std::string& value) {
            return value.empty() ? std::nullopt : std::optional<std::string>(value);
        };
        store.forEachUser({given(program_), given(scope_), given(group_)}, [&](const UserRow& row) {
            if (!types.empty() && std::find(types.begin(), types.end(), row.Type) == types.end()) return true;
            if (json_) rt.io.out << (first ? "\n" : ",\n") << rowJson(row, store).dump();
            else
                rt.io.out << row.ID << '\t' << row.Type << '\t' << row.menu << '\t' << row.state << '\t' << row.owner
                          << '\t' << row.name << '\n';
            first = false;
            return true;
        });
        if (json_) rt.io.out << (first ? "]\n" : "\n]\n");
        return 0;
    }

protected:
    void options(CLI::App& verb) override {
        verb.add_option("--program", program_, "Only this program");
        verb.add_option("--scope", scope_, "Only this scope");
        verb.add_option("--group", group_, "Only this group");
        verb.add_option("--type", types_, "Only these Type codes, comma-separated (K,S,T,P,R,X,A,L)")
            ->check([](const std::string& value) -> std::string {
                std::stringstream in(value);
                for (std::string t; std::getline(in, t, ',');)
                    if (!t.empty() && typeDisplayName(t).empty()) return "unknown Type code " + t + " (K,S,T,P,R,X,A,L)";
                return {};
            });
        verb.add_flag("--json", json_, "Print one JSON array");
    }

private:
    std::string program_, scope_, group_, types_;
    bool json_ = false;
};

} // namespace

std::unique_ptr<Command> makeList() { return std::make_unique<List>(); }

} // namespace vocabrella::cli
