#include "ops/CheckCommands.h"

#include "cmdfile/Format.h"
#include "cmdfile/RawRecord.h"
#include "cmdfile/Store.h"
#include "cmdfile/TextCase.h"
#include "ops/Conflicts.h"
#include "ops/Names.h"
#include "ops/Progress.h"
#include "ops/Texts.h"
#include "ops/Workspace.h"

#include <unordered_map>
#include <unordered_set>

namespace vocabrella::ops {
namespace {

// Rows the file holds: not the copies of global LISTs the window makes for other scopes.
bool fromFile(const UserRow& row) { return row.offset != 0 && !row.listcopy; }

bool isList(const UserRow& row) { return row.Type == "L"; }

// "Global Commands" in whatever language the file names it.
std::string placeKey(const UserRow& row, std::string_view name) {
    const auto place = [](const std::string& s) {
        return names::isGlobalProgram(s) ? std::string(names::GlobalCommands) : s;
    };
    return commandKey(place(row.menu), place(row.state), name);
}

// What a conflict finding says of the other command: its name, and its place when that is not
// this command's.
std::string conflictDetail(const UserRow& other, bool samePlace, const std::string& words) {
    std::string text = std::string(texts::CheckConflictStart) + "\"" + other.name + "\"";
    if (!samePlace) text += " (" + other.menu + ", " + other.state + ")";
    return text + std::string(texts::CheckConflictEnd) + "\"" + words + "\"";
}

// The search for conflicts as the first part of the check, the look at each record the rest;
// remembers whether it was told to stop.
class Parts : public Progress {
public:
    Parts(Progress* whole, std::size_t records) : whole_(whole), records_(records) {}
    bool advance(std::size_t done, std::size_t total) override {
        total_ = total;
        return tell(done);
    }
    bool record(std::size_t done) { return tell(total_ + done); }
    bool stopped() const { return stopped_; }

private:
    bool tell(std::size_t done) {
        if (whole_ && !stopped_ && !whole_->advance(done, total_ + records_)) stopped_ = true;
        return !stopped_;
    }
    Progress* whole_;
    std::size_t records_, total_ = 0;
    bool stopped_ = false;
};

} // namespace

CheckCommands::Result CheckCommands::run(Progress* progress) {
    Result result;
    if (ws_.changedOnDisk()) {
        ws_.FileRefresh();
        result.reread = true;
    }
    auto& store = ws_.store();

    // First the LISTs there are and the LISTs the commands name, both without letter case, as
    // the store finds them.
    // The commands and LISTs also go to the search for commands that answer to the same words.
    std::unordered_set<std::string> lists, referenced;
    ConflictFinder conflicts;
    std::vector<UserRow> heard; // the commands of the search, by their number there
    std::size_t records = 0;
    store.forEachUser([&](const UserRow& row) {
        if (!fromFile(row)) return true;
        ++records;
        if (isList(row)) {
            lists.insert(foldCase(row.name));
            conflicts.addList(row.name, row.script);
            return true;
        }
        for (const auto reference : listReferences(row.name)) referenced.insert(foldCase(reference));
        if (!namePatternProblem(row.name)) {
            conflicts.addCommand(placeKey(row, ""), names::isGlobalProgram(row.menu), row.name);
            UserRow kept;
            kept.ID = row.ID;
            kept.menu = row.menu;
            kept.state = row.state;
            kept.name = row.name;
            heard.push_back(std::move(kept));
        }
        return true;
    });
    // Told at the later command of each pair.
    Parts parts(progress, records);
    // Nothing found is told; that the file was read again still is.
    const auto cancelled = [&] {
        result.findings.clear();
        result.scriptsWithoutDragon = 0;
        result.cancelled = true;
        return result;
    };
    std::unordered_map<std::int64_t, std::vector<std::string>> conflictsOf;
    const auto found = conflicts.find(&parts);
    if (parts.stopped()) return cancelled();
    for (const auto& c : found) {
        const auto& first = heard[c.first];
        const auto& second = heard[c.second];
        conflictsOf[second.ID].push_back(
            conflictDetail(first, placeKey(first, "") == placeKey(second, ""), c.example));
    }

    std::unordered_map<std::string, std::string> seenCommands, seenLists; // key -> the first name
    const auto add = [&](std::string_view kind, const UserRow& row, std::string detail) {
        result.findings.push_back({std::string(kind), row.menu, row.state, row.name, std::move(detail), isList(row)});
    };
    std::size_t looked = 0;
    store.forEachUser([&](const UserRow& row) {
        if (!fromFile(row)) return true;
        if (!parts.record(looked++)) return false;
        auto& seen = isList(row) ? seenLists : seenCommands;
        if (const auto [first, isNew] = seen.try_emplace(placeKey(row, row.name), row.name); !isNew)
            add(finding::Duplicate, row,
                std::string(isList(row) ? texts::CheckDuplicateList : texts::CheckDuplicateCommand) + "\"" +
                    first->second + "\"");
        // Texts taken into the file as the user typed them; the other kinds' bodies are not text.
        if ((row.Type == "K" || row.Type == "S" || row.Type == "A" || row.Type == "P" || isList(row)) &&
            hasControlCharacter(row.script))
            add(finding::ControlCharacter, row, std::string(texts::ControlCharacterInBody));
        if (hasControlCharacter(row.description))
            add(finding::ControlCharacter, row, std::string(texts::ControlCharacterInDescription));
        if (hasControlCharacter(row.owner)) add(finding::ControlCharacter, row, std::string(texts::ControlCharacterInGroup));
        if (isList(row)) {
            if (!isListName(row.name)) add(finding::BadListName, row, std::string(texts::ListNameCharacters));
            if (!referenced.contains(foldCase(row.name))) add(finding::UnusedList, row, std::string(texts::CheckUnusedList));
            return true;
        }
        if (const auto problem = namePatternProblem(row.name)) {
            add(finding::BadName, row, std::string(*problem));
        } else {
            for (const auto word : optionalWords(row.name))
                if (lists.contains(foldCase(word))) {
                    add(finding::BadName, row, "[" + std::string(word) + "]" + std::string(texts::OptionalWordsNameAList));
                    break;
                }
        }
        std::unordered_set<std::string> told;
        for (const auto reference : listReferences(row.name))
            if (const auto key = foldCase(reference); !lists.contains(key) && told.insert(key).second)
                add(finding::MissingList, row, std::string(texts::CheckMissingList) + "<" + std::string(reference) + ">");
        // An encrypted body is Dragon's secret: whether it is empty is not for this program to see.
        if (row.script.empty() && row.graphicsize == 0 && !row.encrypted)
            add(finding::EmptyBody, row, std::string(texts::CheckEmptyBody));
        checkScript(row, result);
        if (const auto at = conflictsOf.find(row.ID); at != conflictsOf.end())
            for (auto& detail : at->second) add(finding::Conflict, row, std::move(detail));
        return true;
    });
    if (parts.stopped()) return cancelled();
    return result;
}

void CheckCommands::checkScript(const UserRow& row, Result& result) {
    if (row.encrypted || row.script.empty()) return;
    if (row.Type == "S" && !ws_.dragonAvailable()) ++result.scriptsWithoutDragon;
    for (const auto& fault : ws_.scriptFaults(row.Type, row.script))
        result.findings.push_back({std::string(finding::ScriptError), row.menu, row.state, row.name,
                                   std::string(texts::ScriptErrorAtLine) + std::to_string(fault.line) +
                                       (fault.what.empty() ? "" : ": " + fault.what),
                                   false});
}

} // namespace vocabrella::ops
