#pragma once

#include <cstdint>
#include <filesystem>
#include <string_view>
#include <vector>

namespace vocabrella {

namespace texts {
// The command files the program ships in its home folder.
inline constexpr std::string_view PlacerFile = "placer.dat";
inline constexpr std::string_view VocGlobalFile = "vocglobal.dat";
inline constexpr std::string_view VocGlobal64File = "vocglobal64bit.dat";
// The second of the program's own commands (the first is OwnCommand).
inline constexpr std::string_view OwnLocalCommand = "local vocabrella";
} // namespace texts

// The fast save hands this file to Dragon's merge tool only to make Dragon take the user's file
// up again: no commands, no LISTs, so the merge adds nothing. Version code 7, English; the fast
// save puts the speaker's language into it before each use.
std::vector<std::uint8_t> placerCommandFile();

// The program's own two commands (OwnCommand, OwnLocalCommand): global advanced scripts that
// start the program, the first on the global commands, the second on the application in front (an empty command
// line makes start-up use the calling window). Version code 7, English; the import adjusts the
// language byte to the speaker's.
std::vector<std::uint8_t> vocglobalCommandFile();

// Writes placer.dat, vocglobal.dat and vocglobal64bit.dat (the same commands: there is one build
// of the program here) into the folder, each replaced atomically.
void writeShippedFiles(const std::filesystem::path& folder);

} // namespace vocabrella
