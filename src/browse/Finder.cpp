#include "browse/Finder.h"

#include "cmdfile/TextCase.h"

#include <algorithm>
#include <functional>

namespace vocabrella::browse {
namespace {

struct FoldedHash {
    std::size_t operator()(char c) const { return static_cast<unsigned char>(asciiLower(c)); }
};
struct FoldedEqual {
    bool operator()(char a, char b) const { return asciiLower(a) == asciiLower(b); }
};

// Characters as the body box counts them: without carriage returns, in UTF-16 units.
int boxLength(std::string_view utf8) {
    return static_cast<int>(utf16Length(utf8) - static_cast<std::size_t>(std::count(utf8.begin(), utf8.end(), '\r')));
}

// Where the text occurs in the field: the byte offset, or nothing. Most fields are decided on
// their bytes; a search without regard to case through text outside ASCII folds the letters a
// command file can hold.
using FoldedSearcher = std::boyer_moore_horspool_searcher<std::string_view::const_iterator, FoldedHash, FoldedEqual>;

std::optional<std::size_t> occurrence(std::string_view field, const FindQuery& query, bool asciiQuery,
                                      const FoldedSearcher& searcher) {
    const std::string_view wanted = query.text;
    if (query.matchCase) { // UTF-8 matches byte for byte exactly where it matches character for character
        const auto at = field.find(wanted);
        return at == std::string_view::npos ? std::nullopt : std::optional<std::size_t>(at);
    }
    if (asciiQuery && isAscii(field)) {
        const auto at = std::search(field.begin(), field.end(), searcher);
        return at == field.end() ? std::nullopt : std::optional<std::size_t>(at - field.begin());
    }
    const auto at = findIgnoringCase(field, wanted);
    return at == std::string_view::npos ? std::nullopt : std::optional<std::size_t>(at);
}

// The order of the store's index name: global rows first, then program, scope and name without
// regard to ASCII case (as the store's NOCASE columns compare), then ID.
int compareFolded(std::string_view a, std::string_view b) {
    const std::size_t n = std::min(a.size(), b.size());
    for (std::size_t i = 0; i < n; ++i) {
        const auto x = static_cast<unsigned char>(asciiLower(a[i])), y = static_cast<unsigned char>(asciiLower(b[i]));
        if (x != y) return x < y ? -1 : 1;
    }
    return a.size() == b.size() ? 0 : a.size() < b.size() ? -1 : 1;
}

bool before(const CommandStore::FindRow& row, const CommandStore::NameKey& key) {
    if (const int c = row.globalsort.compare(key.globalsort)) return c < 0;
    if (const int c = compareFolded(row.menu, key.menu)) return c < 0;
    if (const int c = compareFolded(row.state, key.state)) return c < 0;
    if (const int c = compareFolded(row.name, key.name)) return c < 0;
    return row.ID < key.ID;
}

bool after(const CommandStore::FindRow& row, const CommandStore::NameKey& key) {
    if (const int c = row.globalsort.compare(key.globalsort)) return c > 0;
    if (const int c = compareFolded(row.menu, key.menu)) return c > 0;
    if (const int c = compareFolded(row.state, key.state)) return c > 0;
    if (const int c = compareFolded(row.name, key.name)) return c > 0;
    return row.ID > key.ID;
}

CommandStore::NameKey keyOf(const CommandStore::FindRow& row) {
    return {row.globalsort, row.menu, row.state, row.name, row.ID};
}

CommandStore::FindColumn columnOf(FindField field) {
    switch (field) {
    case FindField::Scope: return CommandStore::FindColumn::State;
    case FindField::Body: return CommandStore::FindColumn::Script;
    case FindField::Name: break;
    }
    return CommandStore::FindColumn::Name;
}

} // namespace

void Finder::setCurrent(const UserRow& row) { current_ = CommandStore::NameKey{row.globalsort, row.menu, row.state, row.name, row.ID}; }

std::optional<FindHit> Finder::walk(CommandStore& store, const std::optional<CommandStore::NameKey>& from, bool backward,
                                    const FindQuery& query, const Selection& selection) {
    const bool asciiQuery = isAscii(query.text);
    const std::string_view wanted = query.text;
    const FoldedSearcher searcher(wanted.begin(), wanted.end());
    std::optional<FindHit> hit;
    std::optional<CommandStore::NameKey> hitKey;
    const auto matches = [&](const CommandStore::FindRow& row) {
        if (!selection.IsRowShown({row.ID, row.name, row.Type, row.owner})) return false;
        const auto at = occurrence(row.text, query, asciiQuery, searcher);
        if (!at) return false;
        hit = FindHit{row.menu, row.state, row.name, row.Type, 0, 0};
        if (query.field == FindField::Body) {
            hit->matchStart = boxLength(row.text.substr(0, *at));
            hit->matchLength = static_cast<int>(utf16Length(query.text));
        }
        hitKey = keyOf(row);
        return true;
    };
    if (query.field != FindField::Body) {
        // Names and scopes are in the index itself: walked in its order, the first match ends it.
        store.walkInNameOrder(from, backward, columnOf(query.field),
                              [&](const CommandStore::FindRow& row) { return !matches(row); });
    } else {
        // Bodies lie in the table, in the order the rows were added: read in that order, each page
        // once, keeping the match nearest the start in the order of the index.
        store.walkInFileOrder(CommandStore::FindColumn::Script, [&](const CommandStore::FindRow& row) {
            if (from && !(backward ? before(row, *from) : after(row, *from))) return true;
            if (hitKey && !(backward ? after(row, *hitKey) : before(row, *hitKey))) return true;
            matches(row);
            return true;
        });
    }
    if (hitKey) current_ = std::move(hitKey);
    return hit;
}

std::optional<FindHit> Finder::first(CommandStore& store, const FindQuery& query, const Selection& selection) {
    return walk(store, std::nullopt, false, query, selection);
}

std::optional<FindHit> Finder::next(CommandStore& store, const FindQuery& query, const Selection& selection) {
    return walk(store, current_, false, query, selection);
}

std::optional<FindHit> Finder::previous(CommandStore& store, const FindQuery& query, const Selection& selection) {
    if (!current_) return std::nullopt;
    auto hit = walk(store, current_, true, query, selection);
    if (!hit) current_.reset();
    return hit;
}

} // namespace vocabrella::browse
