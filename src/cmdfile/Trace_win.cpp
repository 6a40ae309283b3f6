#include "cmdfile/Trace.h"

#include "cmdfile/TimeText.h"
#include "cmdfile/WideText.h"

#include <fcntl.h>
#include <io.h>

#include <string>

namespace vocabrella {
namespace {

// The instance lock is a byte far beyond the end of the file, so that the trace itself stays
// readable by others while the program runs.
bool lockInstance(HANDLE h) {
    OVERLAPPED beyond{};
    beyond.OffsetHigh = 0x40000000;
    return ::LockFileEx(h, LOCKFILE_EXCLUSIVE_LOCK | LOCKFILE_FAIL_IMMEDIATELY, 0, 1, 0, &beyond) != 0;
}

std::chrono::system_clock::time_point writtenAt(HANDLE h) {
    FILETIME written{};
    if (!::GetFileTime(h, nullptr, nullptr, &written)) return {};
    const long long ticks =
        static_cast<long long>((static_cast<unsigned long long>(written.dwHighDateTime) << 32) | written.dwLowDateTime) -
        116444736000000000LL; // 100 ns from 1601 to 1970
    return std::chrono::system_clock::time_point(
        std::chrono::duration_cast<std::chrono::system_clock::duration>(std::chrono::nanoseconds(ticks * 100)));
}

} // namespace

Trace::~Trace() { close(); }

Trace::OpenResult Trace::open(const std::filesystem::path& path, std::chrono::system_clock::time_point now) {
    close();
    HANDLE h = ::CreateFileW(path.c_str(), GENERIC_READ | GENERIC_WRITE,
                             FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_ALWAYS,
                             FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE) return OpenResult::Failed;
    if (!lockInstance(h)) {
        ::CloseHandle(h);
        return OpenResult::Locked;
    }
    // Only after taking the lock may the file be truncated: the running instance owns it.
    const bool today = dayStamp(writtenAt(h)) == dayStamp(now);
    LARGE_INTEGER zero{}, end{};
    if (!today && (!::SetFilePointerEx(h, zero, nullptr, FILE_BEGIN) || !::SetEndOfFile(h))) {
        ::CloseHandle(h);
        return OpenResult::Failed;
    }
    ::SetFilePointerEx(h, zero, &end, FILE_END);
    const int fd = ::_open_osfhandle(reinterpret_cast<intptr_t>(h), 0);
    if (fd < 0) {
        ::CloseHandle(h);
        return OpenResult::Failed;
    }
    ::_setmode(fd, _O_BINARY);
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
        const int n = ::_write(fd_, line.data() + done, static_cast<unsigned>(line.size() - done));
        if (n <= 0) break;
        done += static_cast<std::size_t>(n);
    }
}

void Trace::close() {
    if (fd_ >= 0) {
        ::_close(fd_); // releases the lock
        fd_ = -1;
    }
}

} // namespace vocabrella
