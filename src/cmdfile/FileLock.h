#pragma once

#include <chrono>
#include <filesystem>

namespace vocabrella {

class Clock;

// Exclusive writer lock of one command file across processes: taken before the "changed since
// read?" check, held until the new file is in place.
class CommandFileLock {
public:
    // Waits up to `patience` for another writer to finish, then throws Refusal.
    CommandFileLock(const std::filesystem::path& commandFile, Clock& clock,
                    std::chrono::milliseconds patience = std::chrono::milliseconds(3000));
    ~CommandFileLock();
    CommandFileLock(const CommandFileLock&) = delete;
    CommandFileLock& operator=(const CommandFileLock&) = delete;

private:
    int fd_ = -1;
};

// Refuses (Refusal) a command file that may not be written.
void refuseUnlessWritable(const std::filesystem::path& commandFile);

} // namespace vocabrella
