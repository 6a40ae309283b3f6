#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace vocabrella {

class CommandFileReader;
class CommandStore;
class Prompter;
class Trace;
struct FileSnapshot;

// What every writer works with: the open file (through the reader that loaded it), the store
// that mirrors it, the trace, the prompter and the home folder for work files and logs.
struct WriterEnvironment {
    CommandStore& store;
    CommandFileReader& reader;
    Trace& trace;
    Prompter& prompter;
    std::filesystem::path homeFolder;

    const std::filesystem::path& commandFile() const;
    std::filesystem::path home(std::string_view name) const { return homeFolder / std::string(name); }
};

// Replaces the command file with new bytes as every writer does: the work file, then the
// previous file kept as savedat, then the command file itself, each replaced atomically. The
// reader's image becomes the new bytes.
void CommitRewrite(const WriterEnvironment& env, std::string_view traceText, const FileSnapshot& previous,
                   std::vector<std::uint8_t> bytes);

// Text checks made before anything is written. Each throws Refusal with the user's message.
std::string encodeForFile(std::string_view utf8);         // no Windows-1252 form
std::string encodeName(std::string_view utf8);            // also: no byte below 32
void checkListReferences(std::string_view name, std::size_t most);

} // namespace vocabrella
