// Commands for the builder in a line: the places tests put them in, and the LIST names Dragon
// writes after a command's name.
#pragma once

#include "CommandFileBuilder.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace vocabrella::testsupport {

// The LIST names a command's name refers to ("open <app>" refers to app), in order: the names
// Dragon writes after a command's name.
std::vector<CountedText> referencedLists(std::string_view name);

inline constexpr std::string_view kEmptyScript = "Sub Main\r\nEnd Sub\r\n";

// A command of the global commands with its kind and body (the text of kinds 1, 4, 16 and 17)
// and nothing else: no LIST names after its name, whatever the name refers to.
BuiltCommand bareCommand(std::string name, std::uint8_t kind = kKindAdvancedScript,
                         std::string text = "Sub Main\r\nEnd Sub");
// The same, naming the LISTs its name refers to, as Dragon writes it.
BuiltCommand globalCommand(std::string name, std::uint8_t kind = kKindAdvancedScript,
                           std::string text = std::string(kEmptyScript), std::string group = {});
// The command moved into the application scope of a program, which needs its description and
// company; or into a window of the program, known by its title and class.
BuiltCommand inProgram(BuiltCommand command, std::string module, std::string description = "A program",
                       std::string company = "A maker");
BuiltCommand inWindow(BuiltCommand command, std::string module, std::string title,
                      std::string windowClass = "MainClass");

} // namespace vocabrella::testsupport
