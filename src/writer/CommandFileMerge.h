#pragma once

#include <cstdint>
#include <filesystem>
#include <span>
#include <stdexcept>
#include <string>
#include <vector>

namespace vocabrella {

// What the merge tool does to make Dragon take a user's command file up: the commands and
// LISTs of a second command file (the template) are merged into the user's file.
//
// - A template command is added unless the user's file already holds one of the same program,
//   scope and name (letter case ignored, as the store compares them); the user's command is
//   kept as it is. Of template commands with the same key only the first is added.
// - A template LIST is added unless the user's file holds a LIST of that name; the user's LIST
//   keeps its own items (the user's file is the one being edited, the template only offers).
// - Records marked skipped are dead: skipped template records are not added, and a skipped
//   record in the user's file does not count as holding its name.
// - Added records are written in the layout of the user's file, whatever the template's
//   version; the user's header (version and language bytes included) and every record of the
//   user's file stay byte for byte. The template's language byte is not looked at: the program
//   patches the speaker's language into its templates, and commands merge the same either way.

struct MergeResult {
    std::uint32_t commandsAdded = 0;
    std::uint32_t listsAdded = 0;
};

// A file that cannot be merged: its message names the file and what is wrong.
class MergeError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// The user's file with the template merged in. Throws MergeError when either file cannot be
// read as a command file, when an encrypted command would need another layout, or when the
// result would hold more commands or LISTs than a file can count.
std::vector<std::uint8_t> mergeCommandFiles(std::span<const std::uint8_t> userFile,
                                            std::span<const std::uint8_t> templateFile, MergeResult* result = nullptr);

// Merges the template file into the user's file and replaces the user's file atomically, even
// when nothing was added: its modification time always changes, because that is how the
// program learns that Dragon has taken the file up. On any failure the user's file is left as
// it was and MergeError is thrown.
MergeResult mergeCommandFileInto(const std::filesystem::path& userFile, const std::filesystem::path& templateFile);

// Whether bytes read as a whole command file (header, every record, every LIST); throws
// MergeError naming `which` and what is wrong when they do not.
void checkCommandFile(std::span<const std::uint8_t> image, const std::string& which);

} // namespace vocabrella
