#pragma once

#include "cmdfile/Store.h"
#include "browse/Selection.h"

#include <cstdint>
#include <optional>
#include <string>

// The search behind Find, Find Again and Find Previous: one field of every row the View and
// Group filter lets through, in the order of the store's index name (global rows first, then by
// program, scope and name). Plain logic over the store, so that it can be tested without widgets.
namespace vocabrella::browse {

enum class FindField { Scope, Name, Body };

struct FindQuery {
    std::string text;
    FindField field = FindField::Name;
    bool matchCase = false;
};

struct FindHit {
    std::string program, scope, name, type;
    // For a body hit: where the text matched in the body as the body box shows it (line ends as
    // single characters), in characters of the box. 0 and 0 for the other fields.
    int matchStart = 0, matchLength = 0;
};

class Finder {
public:
    // The row the next Find Again or Find Previous starts from: the row the window shows.
    void setCurrent(const UserRow& row);

    // From the first row.
    std::optional<FindHit> first(CommandStore& store, const FindQuery& query, const Selection& selection);
    // From the row after the current one. Without a match the current row stays.
    std::optional<FindHit> next(CommandStore& store, const FindQuery& query, const Selection& selection);
    // From the row before the current one. Without a match the search stands before the first
    // row, so that a following Find Again starts at the top.
    std::optional<FindHit> previous(CommandStore& store, const FindQuery& query, const Selection& selection);

private:
    std::optional<FindHit> walk(CommandStore& store, const std::optional<CommandStore::NameKey>& from, bool backward,
                                const FindQuery& query, const Selection& selection);

    std::optional<CommandStore::NameKey> current_; // nothing: before the first row
};

} // namespace vocabrella::browse
