#include "cmdfile/FileLock.h"

#include "cmdfile/Clock.h"
#include "cmdfile/Errors.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace vocabrella {

CommandFileLock::CommandFileLock(const std::filesystem::path& commandFile, Clock& clock,
                                 std::chrono::milliseconds patience) {
    // The folder is locked, not the file: the file is replaced by a rename.
    fd_ = ::open(commandFile.parent_path().c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd_ < 0) throw Refusal("Cannot lock " + commandFile.string());
    for (auto waited = std::chrono::milliseconds(0);; waited += std::chrono::milliseconds(50)) {
        if (::flock(fd_, LOCK_EX | LOCK_NB) == 0) return;
        if (waited >= patience) {
            ::close(fd_);
            throw Refusal("Another program is changing this command file; try again in a moment.",
                          commandFile.string());
        }
        clock.sleep(std::chrono::milliseconds(50));
    }
}

CommandFileLock::~CommandFileLock() {
    if (fd_ >= 0) ::close(fd_);
}

void refuseUnlessWritable(const std::filesystem::path& commandFile) {
    struct stat st {};
    if (::stat(commandFile.c_str(), &st) != 0) return;
    if ((st.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0 || ::access(commandFile.c_str(), W_OK) != 0)
        throw Refusal("This command file is read-only: it cannot be changed.", commandFile.string());
}

} // namespace vocabrella
