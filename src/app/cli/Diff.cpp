#include "CliPrompter.h"
#include "Command.h"

#include "ops/CompareFiles.h"
#include "ops/Texts.h"
#include "shell/HomeFolder.h"
#include "cmdfile/System.h"

#include <nlohmann/json.hpp>

#include <ostream>

namespace vocabrella::cli {
namespace {

using Json = nlohmann::ordered_json;

std::string dumped(const Json& j) { return j.dump(2, ' ', false, Json::error_handler_t::replace); }

Json entryJson(const ops::ComparedEntry& e) {
    return Json{{"kind", e.kind == ops::EntryKind::List ? "list" : "command"},
                {"program", e.program},
                {"scope", e.scope},
                {"name", e.name},
                {"type", e.type}};
}

Json fileJson(const ops::ComparedFile& f) {
    return Json{{"file", os::pathText(f.path)}, {"version", f.versionName}, {"language", f.language}};
}

Json comparisonJson(const ops::FileComparison& c) {
    Json out{{"equal", c.equal()},
             {"a", fileJson(c.first)},
             {"b", fileJson(c.second)},
             {"versionDiffers", c.versionDiffers()},
             {"languageDiffers", c.languageDiffers()}};
    auto& added = out["added"] = Json::array();
    for (const auto& e : c.added) added.push_back(entryJson(e));
    auto& removed = out["removed"] = Json::array();
    for (const auto& e : c.removed) removed.push_back(entryJson(e));
    auto& changed = out["changed"] = Json::array();
    for (const auto& change : c.changed) {
        auto entry = entryJson(change.entry);
        auto& fields = entry["fields"] = Json::array();
        auto& details = entry["changes"] = Json::object();
        for (const auto& f : change.fields) {
            fields.push_back(f.field);
            details[f.field] = Json{{"before", forTerminal(f.before)}, {"after", forTerminal(f.after)}};
            if (!f.diff.empty()) details[f.field]["diff"] = f.diff;
        }
        changed.push_back(std::move(entry));
    }
    auto& conversion = out["conversion"] = Json::object();
    auto& states = conversion["statesDropped"] = Json::array();
    for (const auto& e : c.conversion.statesDropped) states.push_back(entryJson(e));
    auto& scripts = conversion["scriptsRewritten"] = Json::array();
    for (const auto& e : c.conversion.scriptsRewritten) scripts.push_back(entryJson(e));
    return out;
}

class Diff final : public Command {
public:
    Diff()
        : Command("diff", "Tell the commands and LISTs added, removed and changed from command file A to B; "
                          "exit 0 when they are the same, 1 when they differ, 2 when a file cannot be read") {}

    bool needsFile() const override { return false; }
    // Two plain files, read on their own: no Dragon, no speech user's file.
    bool opensCommandFile() const override { return false; }

    int executeAlone(const Streams& io, CliPrompter& prompter) override {
        try {
            const auto comparison = ops::CompareFiles(HomeFolder::shippedDataFolder()).run(first_, second_);
            if (json_) io.out << dumped(comparisonJson(comparison)) << '\n';
            else io.out << shownOn(io.outIsTerminal, forTerminal(ops::comparisonText(comparison, ops::diffWords()))) << '\n';
            return comparison.equal() ? 0 : 1;
        } catch (const ops::CompareError& e) {
            if (json_) io.out << dumped(Json{{"error", e.what()}, {"file", os::pathText(e.file())}}) << '\n';
            prompter.message(std::string(ops::texts::CompareCannotRead) + e.what(), os::pathText(e.file()));
            return 2;
        }
    }

    int execute(Runtime&) override { return 1; }

protected:
    void options(CLI::App& verb) override {
        verb.add_option("A", first_, "The first command file")->required();
        verb.add_option("B", second_, "The second command file")->required();
        verb.add_flag("--json", json_, "Print one JSON object: the files, and arrays added, removed and changed "
                                       "(an object with \"error\" and \"file\" when a file cannot be read; exit 2)");
    }

private:
    std::string first_, second_;
    bool json_ = false;
};

} // namespace

std::unique_ptr<Command> makeDiff() { return std::make_unique<Diff>(); }

} // namespace vocabrella::cli
