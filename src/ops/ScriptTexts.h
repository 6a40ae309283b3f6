#pragma once

#include <string_view>

// What the script checker says about a line, each text in one place.
namespace vocabrella::ops::texts::script {

inline constexpr std::string_view UnclosedString = "Missing closing quotation mark";
inline constexpr std::string_view UnexpectedParen = "Unexpected ')'";
inline constexpr std::string_view MissingParen = "Missing ')'";
inline constexpr std::string_view NoCommandName = "Expected a command name at the start of the line";
inline constexpr std::string_view BadStatementStart = "A statement cannot begin with ";
inline constexpr std::string_view ContinuationAtEnd = "A line continuation \" _\" with no line after it";

// Blocks: "If without End If", "Next without For".
inline constexpr std::string_view Without = " without ";
inline constexpr std::string_view MissingThen = " without Then";
inline constexpr std::string_view SecondElse = "A second Else in one If";
inline constexpr std::string_view ElseIfAfterElse = "ElseIf after Else";
inline constexpr std::string_view SelectWithoutCase = "Select without Case";
inline constexpr std::string_view UnknownEnd = "Not a block to end: ";
inline constexpr std::string_view ExitOutside = " outside any ";
inline constexpr std::string_view NoMain = "No Sub Main: an advanced script runs its Sub Main";
inline constexpr std::string_view OutsideProcedure = "A statement outside any Sub or Function";

// Built-in commands: "Wait takes 1 argument, not 2".
inline constexpr std::string_view Takes = " takes ";
inline constexpr std::string_view NoArguments = "no arguments";
inline constexpr std::string_view OneArgument = "1 argument";
inline constexpr std::string_view Arguments = " arguments";
inline constexpr std::string_view ArgumentsTo = " to ";
inline constexpr std::string_view ArgumentsAtLeast = "at least ";
inline constexpr std::string_view Not = ", not ";

// Key notation inside the keys a command sends.
inline constexpr std::string_view UnknownKey = "Unknown key name in the keys: ";
inline constexpr std::string_view EmptyBraces = "Empty braces {} in the keys";
inline constexpr std::string_view UnclosedBrace = "A \"{\" without its \"}\" in the keys";
inline constexpr std::string_view StrayBrace = "A \"}\" without its \"{\" in the keys (a closing brace is typed as {}})";

} // namespace vocabrella::ops::texts::script
