#include "cmdfile/FileLock.h"

#include "cmdfile/Clock.h"
#include "cmdfile/Errors.h"
#include "cmdfile/Texts.h"

#include <algorithm>
#include <cerrno>
#include <fcntl.h>
#include <string>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace vocabrella {
namespace fs = std::filesystem;
namespace {

// How often a waiting writer looks again.
constexpr std::chrono::milliseconds kPoll{50};

[[noreturn]] void refuse(const fs::path& commandFile, std::string_view why) {
    throw Refusal(commandFile.string() + ": " + std::string(why));
}

} // namespace

CommandFileLock::CommandFileLock(const fs::path& commandFile, Clock& clock, std::chrono::milliseconds patience) {
    const fs::path lockFile = lockFileOf(commandFile);
    // Read-only is enough for flock, so a writer of another account can lock it too.
    fd_ = ::open(lockFile.c_str(), O_RDONLY | O_CREAT | O_NOFOLLOW | O_CLOEXEC, 0644);
    if (fd_ < 0) {
        const int error = errno;
        if (error == EACCES || error == EPERM || error == EROFS) refuse(commandFile, texts::FolderNotWritable);
        throw fs::filesystem_error("Cannot open the lock file", lockFile, std::error_code(error, std::generic_category()));
    }
    ::fchmod(fd_, 0644); // against a narrow umask; fails harmlessly on another account's lock file

    const auto deadline = clock.now() + patience;
    while (::flock(fd_, LOCK_EX | LOCK_NB) != 0) {
        const int error = errno;
        if (error == EINTR) continue;
        const auto now = clock.now();
        if (error != EWOULDBLOCK || now >= deadline) {
            ::close(fd_);
            if (error != EWOULDBLOCK)
                throw fs::filesystem_error("Cannot lock", lockFile, std::error_code(error, std::generic_category()));
            refuse(commandFile, texts::WriterBusy);
        }
        clock.sleep(std::min(kPoll, std::chrono::ceil<std::chrono::milliseconds>(deadline - now)));
    }
}

CommandFileLock::~CommandFileLock() { ::close(fd_); }

} // namespace vocabrella
