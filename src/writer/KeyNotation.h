#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace vocabrella {

class Prompter;

// Dragon's key notation ({ctrl+shift+F1}, {extins}, {tab 3}, {numlock}) turned into advanced
// scripts: SendKeys lines where the SendKeys notation (^ for Ctrl, {PgUp}) can say the same
// keys, SendDragonKeys lines where it cannot. Texts are UTF-8; scripts end their lines with
// CR LF. Each call is independent, so conversions may run on any thread.

// Makes sure the key patterns are usable; when they are not, tells the user (titled
// "vbscript.dll not found--needed for this operation") and returns false.
bool PrepareKeyPatterns(Prompter& prompter);

// The script for a KEYS text, or nullopt when the text cannot be converted: an opening brace
// without a closing one, text that is not UTF-8, or no usable key patterns. The caller keeps
// the KEYS command unchanged then.
std::optional<std::string> KeysToScript(std::string_view keys);

// The whole KEYS text in one SendDragonKeys statement; never fails.
std::string KeysToDragonKeysScript(std::string_view keys);

// Dragon key names in a brace token written the SendKeys way: modifiers become ^ + %, the
// extended and keypad keys get their SendKeys names (extins -> Ins, numkey5 -> Pad5,
// center -> Clear). Each name is replaced once, letter case ignored.
std::string sendKeysNames(std::string_view dragonText);

// A run of literal characters as SendKeys types it: its special characters
// (+ ^ % ~ ( ) [ ] { }) enclosed in braces, so "a+b" stays "a+b" instead of "aB".
std::string sendKeysLiteral(std::string_view text);

} // namespace vocabrella
