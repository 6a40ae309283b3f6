#pragma once

#include "cmdfile/Format.h"
#include "cmdfile/Store.h"
#include "ops/Outcome.h"
#include "ops/Texts.h"

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace vocabrella::ops {

class Workspace;

// The scope options of the batch dialog.
enum class BatchScope { Everything, CurrentGroup, CurrentApp, CurrentScope, PickAndChoose };

// The commands a batch operation acts on: a scope option, the window's current program, scope
// and Group, the names picked by hand, and the window's View and Group filter (none: every row).
struct BatchSelection {
    BatchScope scope = BatchScope::Everything;
    std::string program{names::GlobalCommands};
    std::string state{names::GlobalCommands};
    std::string group{names::AllGroups};
    std::vector<std::string> picked;
    std::function<bool(const CommandStore::RowHead&)> isRowShown;

    bool shows(const CommandStore::RowHead& row) const { return !isRowShown || isRowShown(row); }
};

// The count beside each scope option when the dialog opens: the commands (not LISTs) each
// option covers that the filter shows; "Pick and Choose" starts at 0. Leaves no row marked.
struct ScopeCounts {
    std::int64_t everything = 0, group = 0, app = 0, scope = 0, pick = 0;
};
ScopeCounts countScopes(CommandStore& store, const BatchSelection& selection);
// A count as its label shows it: right-aligned in 5 characters.
std::string countLabel(std::int64_t count);

// Clears the mark of every marked row the filter rejects and counts the rest.
std::int64_t CountMarked(CommandStore& store, const BatchSelection& selection);

// The action button: every mark cleared, the rows of the chosen option marked, then counted.
// Refused (and told) when nothing is picked (`nothingSelected`, titled with the current scope),
// when a program, Group or picked name does not exist, and when no row is left marked.
struct Marked {
    Outcome outcome;
    std::int64_t rows = 0;
};
Marked markSelection(Workspace& ws, const BatchSelection& selection,
                     std::string_view nothingSelected = texts::NothingSelected);

// Keeps the mark only on marked rows `keep` accepts; returns how many are left.
std::int64_t narrowMarks(CommandStore& store, const std::function<bool(const UserRow&)>& keep);

} // namespace vocabrella::ops
