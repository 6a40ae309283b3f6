#pragma once

#include <chrono>
#include <filesystem>

namespace vocabrella {

class Clock;

// Exclusive writer lock of one command file across processes: taken before the
// "changed since read?" check, held until the new file is in place.
//
// The lock is an flock on a lock file beside the command file ("." + name + ".lock"), not on
// the command file, whose inode every write replaces, nor on its folder: one lock per command
// file lets a change that writes two command files of one folder (an export) hold both, and
// folders cannot be locked on every file system. The lock file stays: removing it would let
// two writers lock two different files of the same name.
class CommandFileLock {
public:
    // Waits up to `patience` for another writer to finish, then throws Refusal with a clear message.
    CommandFileLock(const std::filesystem::path& commandFile, Clock& clock,
                    std::chrono::milliseconds patience = std::chrono::milliseconds(3000));
    ~CommandFileLock(); // releases
    CommandFileLock(const CommandFileLock&) = delete;
    CommandFileLock& operator=(const CommandFileLock&) = delete;

    static std::filesystem::path lockFileOf(const std::filesystem::path& commandFile);

private:
    int fd_ = -1;
};

} // namespace vocabrella
