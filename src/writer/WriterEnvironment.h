#pragma once

#include "cmdfile/AtomicFile.h"

#include <cstdint>
#include <filesystem>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace vocabrella {

class CommandFileReader;
class CommandStore;
class Prompter;
class Trace;
struct LoadedFile;

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
// The command file as it is now, read into memory the loaded file keeps for the purpose and
// gets back when done.
class CommandFileOnDisk {
public:
    explicit CommandFileOnDisk(const WriterEnvironment& env);
    ~CommandFileOnDisk();
    CommandFileOnDisk(const CommandFileOnDisk&) = delete;
    CommandFileOnDisk& operator=(const CommandFileOnDisk&) = delete;
    const FileSnapshot& snapshot() const { return snapshot_; }

private:
    LoadedFile& file_;
    FileSnapshot snapshot_;
};

// CommitRewrite with the store's matching change made alongside, in a transaction of its own:
// while the file waits for the disk, the store does its work. The new file is put in place only
// once the store's change is made, and the store's change is committed only once the new file is
// in place; when either fails, file and store are left as they were and the error goes on.
void CommitRewrite(const WriterEnvironment& env, std::string_view traceText, const FileSnapshot& previous,
                   std::vector<std::uint8_t> bytes, const std::function<void(CommandStore&)>& storeChange);

// Empty storage to build the next version in: the memory of the image the last commit
// replaced, when there is one.
std::vector<std::uint8_t> storageForNewVersion(const WriterEnvironment& env);

// Text checks made before anything is written. Each throws Refusal with the user's message.
std::string encodeForFile(std::string_view utf8);         // no Windows-1252 form
std::string encodeName(std::string_view utf8);            // also: no byte below 32
void checkListReferences(std::string_view name, std::size_t most);

} // namespace vocabrella
