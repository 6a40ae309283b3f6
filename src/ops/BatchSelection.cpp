#include "ops/BatchSelection.h"

#include "cmdfile/Prompter.h"
#include "cmdfile/RowMarks.h"
#include "cmdfile/TextCase.h"
#include "ops/Workspace.h"

#include <algorithm>

namespace vocabrella::ops {
namespace {

CommandStore::RowHead headOf(const UserRow& row) { return {row.ID, row.menu, row.state, row.name, row.Type, row.owner}; }

// The marks of one scope option, as the action button sets them (LISTs included).
std::int64_t markOption(CommandStore& store, const BatchSelection& s, BatchScope scope) {
    CommandStore::RowSelection rows;
    switch (scope) {
    case BatchScope::Everything: rows.everything = true; break;
    case BatchScope::CurrentGroup:
        if (s.group == names::AllGroups) rows.everything = true;
        else rows.group = s.group;
        break;
    case BatchScope::CurrentApp: rows.program = s.program; break;
    case BatchScope::CurrentScope:
        rows.program = s.program;
        rows.scope = s.state;
        break;
    case BatchScope::PickAndChoose: return 0; // the picked rows are marked one by one
    }
    return store.flagSelection(rows);
}

// Walks the marked rows; those `keep` rejects lose their mark.
std::int64_t keepMarked(CommandStore& store, const std::function<bool(const CommandStore::RowHead&)>& keep) {
    return narrowMarks(store, [&](const UserRow& row) { return keep(headOf(row)); });
}

bool groupExists(CommandStore& store, std::string_view group) {
    const auto groups = store.distinctGroups();
    return std::any_of(groups.begin(), groups.end(), [&](const std::string& g) { return sameIgnoringCase(g, group); });
}

Marked refused(Workspace& ws, std::string text, std::string title = {}) {
    ws.prompter().message(text, title);
    return {Outcome::refused(std::move(text), std::move(title)), 0};
}

Marked markRows(Workspace& ws, const BatchSelection& s, std::string_view nothingSelected);

} // namespace

std::string countLabel(std::int64_t count) {
    std::string number = std::to_string(count);
    return number.size() >= 5 ? number : std::string(5 - number.size(), ' ') + number;
}

std::int64_t CountMarked(CommandStore& store, const BatchSelection& selection) {
    return keepMarked(store, [&](const CommandStore::RowHead& row) { return selection.shows(row); });
}

ScopeCounts countScopes(CommandStore& store, const BatchSelection& selection) {
    const auto commandsShown = [&](const CommandStore::RowHead& row) { return row.Type != "L" && selection.shows(row); };
    ScopeCounts counts;
    const std::pair<BatchScope, std::int64_t*> options[] = {{BatchScope::Everything, &counts.everything},
                                                            {BatchScope::CurrentGroup, &counts.group},
                                                            {BatchScope::CurrentApp, &counts.app},
                                                            {BatchScope::CurrentScope, &counts.scope}};
    // The marks are the store's business only: one transaction, whose end leaves none set.
    CommandStore::Transaction t(store);
    {
        const RowMarks marks(store);
        for (const auto& [scope, count] : options) {
            markOption(store, selection, scope);
            *count = keepMarked(store, commandsShown);
        }
    }
    t.commit();
    return counts;
}

Marked markSelection(Workspace& ws, const BatchSelection& s, std::string_view nothingSelected) {
    auto& store = ws.store();
    // Marked in one transaction: a failure half-way leaves the marks as they were.
    CommandStore::Transaction t(store);
    // Marked afresh; a refusal leaves nothing marked, the rows marked go to the caller.
    RowMarks marks(store, true);
    auto marked = markRows(ws, s, nothingSelected);
    if (marked.outcome.isDone()) marks.keep();
    t.commit();
    return marked;
}

namespace {
Marked markRows(Workspace& ws, const BatchSelection& s, std::string_view nothingSelected) {
    auto& store = ws.store();
    switch (s.scope) {
    case BatchScope::PickAndChoose:
        if (s.picked.empty()) return refused(ws, std::string(nothingSelected), s.state);
        for (const auto& name : s.picked) {
            auto row = store.findUser(s.program, s.state, name);
            if (!row) return refused(ws, std::string(texts::NoSuchCommand), name);
            // A LIST shown in a scope stands for the global LIST, the one the file holds.
            if (row->listcopy) row = store.findUser(names::GlobalCommands, names::GlobalCommands, name);
            if (row) store.setFlag(row->ID, true);
        }
        break;
    case BatchScope::CurrentGroup:
        if (s.group != names::AllGroups && !groupExists(store, s.group))
            return refused(ws, std::string(texts::NoSuchGroup) + s.group);
        markOption(store, s, s.scope);
        break;
    case BatchScope::CurrentApp:
    case BatchScope::CurrentScope:
        if (!store.hasProgram(s.program)) return refused(ws, std::string(texts::NoSuchProgram) + s.program);
        markOption(store, s, s.scope);
        break;
    case BatchScope::Everything: markOption(store, s, s.scope); break;
    }
    const auto rows = CountMarked(store, s);
    if (rows == 0) return refused(ws, std::string(texts::NoMacros), std::string(texts::NoMacrosTitle));
    return {Outcome::done(), rows};
}
} // namespace

std::int64_t narrowMarks(CommandStore& store, const std::function<bool(const UserRow&)>& keep) {
    std::int64_t left = 0;
    std::vector<std::int64_t> dropped;
    store.forEachFlagged([&](const UserRow& row) {
        if (keep(row)) ++left;
        else dropped.push_back(row.ID);
        return true;
    });
    store.setFlags(dropped, false);
    return left;
}

} // namespace vocabrella::ops
