#include "browse/Browser.h"

#include "ops/CloneCommand.h"
#include "ops/Names.h"

#include "cmdfile/Bytes.h"
#include "cmdfile/Format.h"
#include "cmdfile/Reader.h"
#include "cmdfile/TextCase.h"
#include "cmdfile/Texts.h"
#include "browse/Texts.h"

#include <algorithm>
#include <unordered_map>
#include <unordered_set>

namespace vocabrella::browse {
namespace {

using RowHead = CommandStore::RowHead;
using RowView = CommandStore::RowView;

// Byte length of the first n characters of UTF-8 text.
std::size_t prefixBytes(std::string_view utf8, std::size_t characters) {
    std::size_t i = 0;
    for (std::size_t n = 0; i < utf8.size() && n < characters; ++n) {
        ++i;
        while (i < utf8.size() && (static_cast<unsigned char>(utf8[i]) & 0xC0) == 0x80) ++i;
    }
    return i;
}

std::size_t characters(std::string_view utf8) {
    return static_cast<std::size_t>(std::count_if(utf8.begin(), utf8.end(), [](char c) {
        return (static_cast<unsigned char>(c) & 0xC0) != 0x80;
    }));
}

bool isGlobalPlace(std::string_view program, std::string_view scope) {
    return program == names::GlobalCommands && scope == names::GlobalCommands;
}

} // namespace

std::string recentLine(std::string_view name, std::string_view program) {
    // A longer name is cut, so that the program always stands in its column.
    std::string line(name.substr(0, prefixBytes(name, kRecentProgramColumn - 1)));
    line.append(kRecentProgramColumn - 1 - characters(line), ' ');
    line += program;
    return line;
}

std::vector<std::string> Browser::programEntries() {
    std::vector<std::string> programs;
    if (!selection_.allGroups && selection_.group != names::AllGroups) programs = store_.programsOfGroup(selection_.group);
    if (programs.empty()) {
        // With nothing of the group left, the group filter is dropped altogether.
        selection_.group = std::string(names::AllGroups);
        selection_.allGroups = true;
        programs = store_.distinctPrograms();
    }
    const auto global = std::find_if(programs.begin(), programs.end(),
                                     [](const std::string& p) { return names::isGlobalProgram(p); });
    if (global != programs.end()) std::rotate(programs.begin(), global, global + 1);
    return programs;
}

std::vector<std::string> Browser::scopeEntries(std::string_view program) {
    if (selection_.allGroups || selection_.group == names::AllGroups) return store_.scopesOfProgram(program);
    return store_.scopesOfProgram(program, selection_.group);
}

std::vector<std::string> Browser::groupEntries() {
    auto groups = store_.distinctGroups();
    std::erase_if(groups, [](const std::string& g) { return g.empty(); });
    return groups;
}

bool Browser::programExists(std::string_view program) { return store_.hasProgram(program); }

bool Browser::ReadCommandList(const std::function<void(std::string_view)>& add, std::vector<std::string>& used) {
    // One pass over the scope, handing on only the names the list shows: a scope of thousands
    // of commands is read as fast as the store hands out its rows.
    used.clear();
    const std::size_t rows = store_.visitRowsOfScope(
        selection_.program, selection_.scope,
        [&](const RowView& row) {
            if (!selection_.IsRowShown(row)) return true;
            if (row.name.find('<') != std::string_view::npos)
                for (auto& listName : ExtractListNames(row.name)) used.push_back(std::move(listName));
            if (row.Type != "L") add(row.name);
            return true;
        },
        CommandStore::ScopeOrder::ByName, CommandStore::ScopeRows::CommandsAndReferringLists);
    return rows != 0 || store_.hasScope(selection_.program, selection_.scope);
}

void Browser::ShowUsedLists(const std::vector<std::string>& used) {
    store_.showListsInScope(selection_.program, selection_.scope, used, chosenGroup());
}

std::optional<std::vector<std::string>> Browser::FillCommandList() {
    std::vector<std::string> names, used;
    if (!ReadCommandList([&names](std::string_view name) { names.emplace_back(name); }, used)) return std::nullopt;
    ShowUsedLists(used);
    return names;
}

std::vector<std::string> Browser::FillListsList(const std::vector<std::string>& commandNames) {
    std::vector<std::string> lists;
    const auto& context = selection_.listsTab;
    auto scopeLists = store_.listsOfScope(context.program, context.scope);
    if (!isGlobalPlace(context.program, context.scope)) {
        // The scope's LISTs by name, read once; of LISTs spelt alike the first added.
        std::unordered_map<std::string, const RowHead*> byName;
        for (const auto& row : scopeLists) byName.try_emplace(foldCase(row.name), &row);
        std::unordered_set<std::string> listed;
        for (const auto& command : commandNames)
            for (const auto& listName : ExtractListNames(command)) {
                auto key = foldCase(listName);
                const auto found = byName.find(key);
                if (found == byName.end() || !listed.insert(std::move(key)).second) continue;
                if (selection_.IsRowShown(*found->second)) lists.push_back(found->second->name);
            }
        return lists;
    }
    for (const auto& row : scopeLists)
        if (selection_.IsRowShown(row)) lists.push_back(row.name);
    return lists;
}

std::vector<RecentEntry> Browser::recentlyCreated() {
    const auto rows = store_.rowHeads();
    // The file's records come first and its LISTs after them: start with the last command
    // before the first LIST.
    const auto firstList = std::find_if(rows.begin(), rows.end(), [](const RowHead& r) { return r.Type == "L"; });
    std::vector<RecentEntry> entries;
    for (auto it = std::make_reverse_iterator(firstList); it != rows.rend() && entries.size() < kRecentlyCreatedLimit; ++it)
        if (selection_.IsRowShown(*it)) entries.push_back({recentLine(it->name, it->menu), it->menu, it->state, it->name});
    return entries;
}

std::vector<RecentEntry> Browser::recentlyModified(const std::vector<std::string>& entries) {
    std::vector<RecentEntry> out;
    for (const auto& entry : entries) {
        const auto tab1 = entry.find('\t');
        const auto tab2 = tab1 == std::string::npos ? tab1 : entry.find('\t', tab1 + 1);
        if (tab2 == std::string::npos || entry.find('\t', tab2 + 1) != std::string::npos) continue;
        RecentEntry e;
        e.program = entry.substr(0, tab1);
        e.scope = entry.substr(tab1 + 1, tab2 - tab1 - 1);
        e.name = entry.substr(tab2 + 1);
        e.line = recentLine(e.name, e.program);
        out.push_back(std::move(e));
    }
    return out;
}

std::optional<UserRow> Browser::entry(std::string_view program, std::string_view scope, std::string_view name) {
    return store_.findUser(program, scope, name);
}

std::optional<Place> Browser::firstPlaceOfGroup(std::string_view group) {
    const auto row = store_.firstRowOfGroup(group);
    if (!row) return std::nullopt;
    return Place{row->menu, row->state};
}

Place Browser::firstPlace(bool fileHasCommands) {
    if (fileHasCommands)
        if (auto first = store_.placeOfFirstRow()) return {std::move(first->first), std::move(first->second)};
    return {std::string(names::GlobalCommands), std::string(names::GlobalCommands)};
}

std::optional<std::string> Browser::chosenGroup() const {
    if (selection_.allGroups || selection_.group == names::AllGroups) return std::nullopt;
    return selection_.group;
}

std::vector<std::string> stateNames(const UserRow& row, CommandStore& store) {
    std::vector<std::string> names;
    std::string_view ids = row.states;
    while (!ids.empty()) {
        const auto comma = ids.find(',');
        const auto id = ids.substr(0, comma);
        ids = comma == std::string_view::npos ? std::string_view() : ids.substr(comma + 1);
        std::int64_t value = 0;
        bool number = !id.empty();
        for (char c : id) {
            if (c < '0' || c > '9') {
                number = false;
                break;
            }
            value = value * 10 + (c - '0');
        }
        if (!number) continue;
        if (auto name = store.stateName(value)) names.push_back(std::move(*name));
    }
    return names;
}

BodyDisplay ShowBody(const UserRow& row, CommandStore& store, std::string_view languageName) {
    BodyDisplay d;
    d.text = ops::bodyForEditing(row);
    d.description = row.description;

    for (const auto& name : stateNames(row, store)) (d.activeStates += d.activeStates.empty() ? "" : ",") += name;

    d.allowed = ops::allowedChanges(row, languageName);
    if (row.Type == "T") {
        d.text = std::string(texts::GraphicNotShownPrefix) + std::to_string(row.graphicsize) +
                 std::string(texts::GraphicNotShownSuffix) + "\r\n" + d.text;
        d.showGraphic = true;
    }
    if (row.encrypted) {
        d.text = std::string(vocabrella::texts::Encrypted);
        d.showGraphic = false; // an encrypted body is never decoded
    }
    return d;
}

std::string formattedPart(const LoadedFile& file, const UserRow& row) {
    ByteReader reader(file.bytes());
    reader.seekPosition(static_cast<std::uint32_t>(row.offsetbody));
    return std::string(reader.readCountedBytes("the formatted text"));
}

} // namespace vocabrella::browse
