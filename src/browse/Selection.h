#pragma once

#include "cmdfile/Store.h"

#include <array>
#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

// What is shown of the store: the chosen program, scope and group, the View filter and the
// follow views, as the main window chooses them.
namespace vocabrella::browse {

// The eight type entries of the View menu, in menu order, with their type codes.
enum class ViewType { Keys, Scripts, Lists, Text, Plain, Recorder, Steps, Advanced };
inline constexpr std::size_t kViewTypeCount = 8;
inline constexpr std::array<char, kViewTypeCount> kViewTypeCodes{'K', 'S', 'L', 'T', 'P', 'R', 'X', 'A'};

// The display name of a type code ("KEYS", "LIST" ...); empty for an unknown code.
std::string_view typeName(std::string_view typeCode);

// The check marks of the View menu.
struct ViewFilter {
    std::array<bool, kViewTypeCount> types{true, true, true, true, true, true, true, true};
    bool all = true;
    bool mapped = true, notMapped = true; // shown checked, filter nothing
    bool followCommand = false, followList = false;

    bool& type(ViewType t) { return types[static_cast<std::size_t>(t)]; }
    bool type(ViewType t) const { return types[static_cast<std::size_t>(t)]; }
    bool allTypes() const;
};

// A program and scope pair (the context in which a tab's list was filled).
struct Place {
    std::string program, scope;
};

struct Selection {
    std::string program{"Global Commands"};
    std::string scope{"Global Commands"};
    std::string group{"All groups"};
    int groupIndex = 0;     // position of the chosen group in the Group menu
    bool allGroups = true;  // "All groups" is chosen: no group filter
    std::string command;    // the command or LIST last shown

    ViewFilter view;
    std::string followedCommand;
    std::vector<std::string> followedTokens; // the followed command's name, tokenized
    std::string followedListReference;       // "<" + name + ">"
    std::string followedListName;

    Place commandsTab, listsTab;
    bool listsStale = true;
    std::string listToSelect; // the LIST the LISTs tab selects when it is filled next
    bool recentlyCreatedStale = true, recentlyModifiedStale = true;
    int findMatchStart = 0, findMatchLength = 0; // characters, in the body as shown
    bool programsChanged = false, scopesChanged = false;

    // The View and Group filter for one row.
    bool IsRowShown(const CommandStore::RowView& row) const;
};

// Whether the two fill the Commands list alike: the same place, filters and command to select.
bool fillsCommandListAlike(const Selection& a, const Selection& b);

// A menu caption counts as numbered when it contains digits, a blank, "-" and a blank
// ("[0-9]+\s-\s" anywhere); the name is then the text after its first "-", trimmed.
std::string StripMenuNumber(std::string_view caption);
// Caption of menu entry position (0-based) once numbered.
std::string numberedCaption(int position, std::string_view caption);

// The LIST names a command name refers to as <name>, in order; at most 20, further ones ignored.
std::vector<std::string> ExtractListNames(std::string_view name);
inline constexpr std::size_t kMaxListNames = 20;
// The name in text pieces and bracketed references (brackets kept); at most 30 tokens.
std::vector<std::string> Tokenize(std::string_view name);
inline constexpr std::size_t kMaxTokens = 30;
// Whether some bracketed token names the row.
bool TokenPresent(const std::vector<std::string>& tokens, std::string_view rowName);

// Names compare as the store compares them: without regard to ASCII case.
bool sameName(std::string_view a, std::string_view b);
bool containsName(std::string_view text, std::string_view part);

} // namespace vocabrella::browse
