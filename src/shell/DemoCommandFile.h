#pragma once

#include <cstdint>
#include <vector>

namespace vocabrella {

// The command file of the demo speech user (version code 7, English), the same bytes on every
// call: every kind of command (KEYS, SCRIPT, advanced script, plain text, text with a picture,
// step by step, macro recorder), global, application- and window-specific commands of several
// programs, sleeping commands, commands with states, several groups, LISTs that commands use,
// and one name given twice, as real users' files have.
std::vector<std::uint8_t> demoCommandFile();

} // namespace vocabrella
