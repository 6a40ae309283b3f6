#include "shell/platform/EventChannel.h"

#include "shell/platform/DragonFiles.h"

#include <cerrno>
#include <fcntl.h>
#include <stdexcept>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace vocabrella::platform {
namespace fs = std::filesystem;

fs::path eventsFile(const fs::path& root) { return root / simulated::EventsFile; }

void appendEvent(const fs::path& root, const DragonEvent& event) {
    if (event.text.find_first_of("\r\n") != std::string::npos)
        throw std::invalid_argument("An event cannot hold a line break");
    std::string line(event.kind == DragonEvent::Kind::SpeakerChange ? simulated::SpeakerEvent : simulated::SayEvent);
    line.append("\t").append(event.text).append("\n");

    const fs::path file = eventsFile(root);
    const int fd = ::open(file.c_str(), O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC, 0644);
    if (fd < 0) throw fs::filesystem_error("Cannot open", file, std::error_code(errno, std::generic_category()));
    ::flock(fd, LOCK_EX);
    const auto written = ::write(fd, line.data(), line.size());
    const int error = errno;
    ::close(fd);
    if (written != static_cast<ssize_t>(line.size()))
        throw fs::filesystem_error("Cannot write", file, std::error_code(written < 0 ? error : EIO, std::generic_category()));
}

EventReader::EventReader(fs::path file) : file_(std::move(file)) {
    struct stat st {};
    if (::stat(file_.c_str(), &st) == 0) {
        offset_ = static_cast<std::uintmax_t>(st.st_size);
        inode_ = st.st_ino;
    }
}

std::vector<DragonEvent> EventReader::poll() {
    std::vector<DragonEvent> events;
    const int fd = ::open(file_.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) return events;
    struct stat st {};
    if (::fstat(fd, &st) != 0) {
        ::close(fd);
        return events;
    }
    const auto size = static_cast<std::uintmax_t>(st.st_size);
    if (st.st_ino != inode_ || size < offset_) {
        offset_ = 0;
        inode_ = st.st_ino;
    }
    std::string added;
    if (size > offset_) {
        added.resize(static_cast<std::size_t>(size - offset_));
        const auto n = ::pread(fd, added.data(), added.size(), static_cast<off_t>(offset_));
        added.resize(n > 0 ? static_cast<std::size_t>(n) : 0);
    }
    ::close(fd);

    const auto lastFeed = added.rfind('\n');
    if (lastFeed == std::string::npos) return events;
    offset_ += lastFeed + 1;
    for (std::size_t start = 0; start <= lastFeed;) {
        const auto end = added.find('\n', start);
        std::string_view line(added.data() + start, end - start);
        start = end + 1;
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        const auto tab = line.find('\t');
        if (tab == std::string_view::npos) continue;
        const auto kind = line.substr(0, tab);
        if (kind == simulated::SpeakerEvent)
            events.push_back({DragonEvent::Kind::SpeakerChange, std::string(line.substr(tab + 1))});
        else if (kind == simulated::SayEvent)
            events.push_back({DragonEvent::Kind::Recognition, std::string(line.substr(tab + 1))});
    }
    return events;
}

} // namespace vocabrella::platform
