#include "Command.h"

#include "CliPrompter.h"
#include "ops/CheckCommands.h"
#include "ops/Texts.h"

#include <nlohmann/json.hpp>

#include <ostream>

namespace vocabrella::cli {
namespace {

class Check final : public Command {
public:
    Check() : Command("check", "Look a command file over: missing, unused and badly named LISTs, names twice "
                               "in a scope, faulty scripts, empty bodies, commands that answer to the same words; exit 1 with "
                               "findings, 2 when the file cannot be read") {}

    int execute(Runtime& rt) override {
        const auto result = ops::CheckCommands(rt.workspace).run();
        if (json_) {
            auto array = nlohmann::ordered_json::array();
            for (const auto& f : result.findings)
                array.push_back({{"kind", f.kind},
                                 {"program", f.program},
                                 {"scope", f.scope},
                                 {"name", f.name},
                                 {"detail", f.detail}});
            rt.io.out << array.dump(2, ' ', false, nlohmann::ordered_json::error_handler_t::replace) << '\n';
        } else {
            for (const auto& f : result.findings)
                rt.io.out << f.kind << '\t' << f.program << '\t' << f.scope << '\t' << f.name << '\t' << f.detail
                          << '\n';
            if (result.findings.empty()) rt.io.out << "No findings\n";
        }
        if (result.scriptsWithoutDragon > 0)
            rt.io.err << ops::texts::ScriptsWithoutDragonStart << result.scriptsWithoutDragon
                      << ops::texts::ScriptsWithoutDragonEnd << '\n';
        return result.findings.empty() ? 0 : 1;
    }

    // 1 means findings: a file that could not be looked at is 2, and a JSON reader gets an
    // object with the error instead of the array.
    int error(const Streams& io, CliPrompter& prompter, const std::string& text, const std::string& title) override {
        if (json_) {
            nlohmann::ordered_json object{{"error", forTerminal(text)}, {"file", title.empty() ? file() : title}};
            io.out << object.dump(2, ' ', false, nlohmann::ordered_json::error_handler_t::replace) << '\n';
        }
        prompter.message(text, title);
        return 2;
    }

protected:
    void options(CLI::App& verb) override {
        verb.add_flag("--json", json_, "Print one JSON array of findings (an object with \"error\" when the file "
                                       "cannot be read; exit 2)");
    }

private:
    bool json_ = false;
};

} // namespace

std::unique_ptr<Command> makeCheck() { return std::make_unique<Check>(); }

} // namespace vocabrella::cli
