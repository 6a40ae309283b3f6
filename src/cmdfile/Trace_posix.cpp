#include "cmdfile/Trace.h"

#include "cmdfile/TimeText.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <string>

namespace vocabrella {

Trace::~Trace() { close(); }

Trace::OpenResult Trace::open(const std::filesystem::path& path, std::chrono::system_clock::time_point now) {
    close();
    const int fd = ::open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0644);
    if (fd < 0) return OpenResult::Failed;
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        ::close(fd);
        return OpenResult::Locked;
    }
    // Only after taking the lock may the file be truncated: the running instance owns it.
    std::error_code ec;
    const auto written = std::filesystem::last_write_time(path, ec);
    const bool today = !ec && dayStamp(toSystemTime(written)) == dayStamp(now);
    if (!today && ::ftruncate(fd, 0) != 0) {
        ::close(fd);
        return OpenResult::Failed;
    }
    ::lseek(fd, 0, SEEK_END);
    fd_ = fd;
    path_ = path;
    return OpenResult::Opened;
}

void Trace::Tracy(std::string_view first, std::string_view second, std::string_view third) {
    if (fd_ < 0) return;
    std::string line;
    line.reserve(first.size() + second.size() + third.size() + 4);
    line.append(first).append(" ").append(second).append(" ").append(third).append("\r\n");
    // A trace line that cannot be written is not worth stopping the program for.
    for (std::size_t done = 0; done < line.size();) {
        const auto n = ::write(fd_, line.data() + done, line.size() - done);
        if (n <= 0) break;
        done += static_cast<std::size_t>(n);
    }
}

void Trace::close() {
    if (fd_ >= 0) {
        ::close(fd_); // releases the lock
        fd_ = -1;
    }
}

} // namespace vocabrella
