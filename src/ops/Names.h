#pragma once

#include "ops/Outcome.h"
#include "cmdfile/Store.h"
#include "writer/RecordEncoder.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace vocabrella {
} // namespace vocabrella

namespace vocabrella::ops {

class Workspace;

// A program and scope of the store, as the window's selection names them.
struct Place {
    std::string program;
    std::string scope;
};

inline Place globalPlace() { return {"Global Commands", "Global Commands"}; }

// The rules every new or renamed name follows, however it is given.

// A command name new to the scope whose LIST references all exist: the LISTs it uses are
// marked (after every mark was cleared), a global LIST being copied into the scope first.
// `except` is the row being renamed, which may keep its own name.
Outcome checkNewCommandName(Workspace& ws, const Place& place, std::string_view name, std::int64_t except = 0);

// Why Dragon could not read a command name's brackets (an unpaired "<", ">", "[" or "]", a pair
// with nothing between, a bracket inside a LIST reference, optional words inside optional
// words), or that the name is nothing but blanks; nothing for a name it reads.
std::optional<std::string_view> namePatternProblem(std::string_view name);
// The words a name puts in square brackets (its optional words), in their order.
std::vector<std::string_view> optionalWords(std::string_view name);

// Whether a text holds a control character other than tab, carriage return and line feed,
// which neither Dragon's XML nor this program's readers take.
bool hasControlCharacter(std::string_view text);
// Refuses (text `refusal`, titled `title`) a text holding such a character.
Outcome checkNoControlCharacter(Workspace& ws, std::string_view text, std::string_view refusal, std::string_view title);

// A LIST name of Dragon's alphabet that no LIST or global command has yet.
Outcome checkNewListName(Workspace& ws, std::string_view name, std::int64_t except = 0);
bool isListName(std::string_view name);

// With the LIST in use by commands, asks whether to go on (verb: "Rename" or "Delete").
bool ConfirmListInUse(Workspace& ws, const UserRow& list, std::string_view verb);

// The header a new command of the place takes over: that of the command on show (or, when none
// is named, of the first command of the place). Outside "Global Commands" a place without
// commands is refused; the first global command of a file is created after OK.
struct CreatePlace {
    Outcome outcome;
    NewCommandRecord header; // program, scope and the identity strings of the program
};
CreatePlace CheckCreatePlace(Workspace& ws, const Place& place, std::string_view shownCommand,
                             bool askFirstGlobal = true);

// Names one after another, separated by ", ".
std::string joinedNames(const std::vector<std::string>& names);

// The store row of a command or LIST, or the refusal naming what was looked for.
struct FoundRow {
    Outcome outcome;
    std::optional<UserRow> row;
};
FoundRow findCommand(Workspace& ws, const Place& place, std::string_view name);

} // namespace vocabrella::ops
