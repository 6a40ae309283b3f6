#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace vocabrella::ops {

// The two script languages of command bodies: legacy scripts (type "S"), statement lists without
// procedures, and advanced scripts (type "A"), a Basic dialect whose Sub Main runs.
enum class ScriptKind { Legacy, Advanced };

// The script kind of a type code, or nullopt for bodies that are no script.
std::optional<ScriptKind> scriptKindOf(std::string_view typeCode);

// One fault of a script: its 1-based line and what is wrong there.
struct ScriptFault {
    int line = 0;
    std::string what;
    bool operator==(const ScriptFault&) const = default;
};

// This program's own check of a script, for when Dragon's is not at hand (and always for
// advanced scripts, which Dragon's check does not cover). It reads the text the way the
// Basic of the scripts does: letter case ignored, lines ended by LF or CR LF, " _" at a line's
// end continuing it on the next, ":" between statements, comments after "'" or "Rem".
// It finds:
// - strings not closed on their line, ")" without "(" and "(" not closed in a statement;
// - blocks that are not closed or closed by the wrong word (Sub, Function, Property, If with
//   ElseIf and Else, For/Next, Do/Loop, While/Wend, Select Case, With, Type, Enum), If and
//   ElseIf without Then, Exit For/Do/Sub/Function outside its block;
// - in a legacy script, a line that does not begin with a command name;
// - in an advanced script, no Sub Main, or a statement outside every Sub and Function;
// - a built-in command (SendKeys, Wait, HeardWord, MsgBox, ...) given too few or too many
//   arguments, unless the script defines a procedure of that name;
// - in a literal string of keys sent by SendKeys, SendDragonKeys or SendSystemKeys, unbalanced
//   braces and names in braces that are no key.
// Names it does not know are the script's own procedures and variables, never a fault; what a
// statement means when it runs (types, whether a variable holds keys) is not checked.
// The faults come in the order of their lines.
std::vector<ScriptFault> checkScript(std::string_view script, ScriptKind kind);

// The fault of a text of keys in key notation ({Ctrl+c}, {Enter}, {Left 5}, +{F11}), or empty.
std::string keysFault(std::string_view keys);

} // namespace vocabrella::ops
