#include "shell/platform/EventFile.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace vocabrella::platform::eventfile {
namespace fs = std::filesystem;

void appendLine(const fs::path& file, const std::string& line) {
    const int fd = ::open(file.c_str(), O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC, 0644);
    if (fd < 0) throw fs::filesystem_error("Cannot open", file, std::error_code(errno, std::generic_category()));
    ::flock(fd, LOCK_EX);
    const auto written = ::write(fd, line.data(), line.size());
    const int error = errno;
    ::close(fd);
    if (written != static_cast<ssize_t>(line.size()))
        throw fs::filesystem_error("Cannot write", file, std::error_code(written < 0 ? error : EIO, std::generic_category()));
}

End endOf(const fs::path& file) {
    struct stat st {};
    if (::stat(file.c_str(), &st) != 0) return {};
    return {true, static_cast<std::uintmax_t>(st.st_size), st.st_ino};
}

bool readAdded(const fs::path& file, std::uintmax_t& offset, std::uintmax_t& identity, std::string& added) {
    const int fd = ::open(file.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) return false;
    struct stat st {};
    if (::fstat(fd, &st) != 0) {
        ::close(fd);
        return false;
    }
    const auto size = static_cast<std::uintmax_t>(st.st_size);
    if (st.st_ino != identity || size < offset) {
        offset = 0;
        identity = st.st_ino;
    }
    if (size > offset) {
        added.resize(static_cast<std::size_t>(size - offset));
        const auto n = ::pread(fd, added.data(), added.size(), static_cast<off_t>(offset));
        added.resize(n > 0 ? static_cast<std::size_t>(n) : 0);
    }
    ::close(fd);
    return true;
}

} // namespace vocabrella::platform::eventfile
