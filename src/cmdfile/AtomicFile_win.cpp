#include "cmdfile/AtomicFile.h"
#include "cmdfile/AtomicFileParts.h"

#include "cmdfile/Errors.h"
#include "cmdfile/System.h"
#include "cmdfile/Texts.h"
#include "cmdfile/WideText.h"

#include <fcntl.h>
#include <io.h>

#include <algorithm>
#include <cerrno>
#include <random>
#include <string>
#include <utility>

// Windows: the temporary file is written through a handle that no one else may delete or write,
// flushed with FlushFileBuffers and moved over the target with MoveFileExW, write-through. Its
// name carries the writer's process number, so the next writer can tell a dead writer's
// leftover from a live one's file. Every handle that reads lets others read, write and delete,
// so a reader never stands in the way of a replacement.
namespace vocabrella {
namespace fs = std::filesystem;
using namespace detail;
namespace {

constexpr DWORD kShareAll = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;

[[noreturn]] void fail(const std::string& what, const fs::path& path, DWORD error) {
    throw fs::filesystem_error(what, path, os::systemError(error));
}

// errno for the FileSystemCalls, whose callers read it.
int errnoOf(DWORD error) {
    switch (error) {
    case ERROR_FILE_EXISTS:
    case ERROR_ALREADY_EXISTS: return EEXIST;
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND: return ENOENT;
    case ERROR_ACCESS_DENIED:
    case ERROR_SHARING_VIOLATION:
    case ERROR_LOCK_VIOLATION: return EACCES;
    case ERROR_DISK_FULL:
    case ERROR_HANDLE_DISK_FULL: return ENOSPC;
    case ERROR_WRITE_PROTECT: return EROFS;
    default: return EIO;
    }
}

struct Handle {
    HANDLE h = INVALID_HANDLE_VALUE;
    explicit Handle(HANDLE handle) : h(handle) {}
    ~Handle() {
        if (h != INVALID_HANDLE_VALUE) ::CloseHandle(h);
    }
    Handle(Handle&& other) noexcept : h(std::exchange(other.h, INVALID_HANDLE_VALUE)) {}
    Handle(const Handle&) = delete;
    Handle& operator=(const Handle&) = delete;
    bool valid() const { return h != INVALID_HANDLE_VALUE; }
};

// A path given to the Windows API: absolute paths longer than MAX_PATH get the \\?\ form.
std::wstring apiPath(const fs::path& path) {
    std::wstring text = path.wstring();
    if (text.size() >= MAX_PATH && path.is_absolute() && text.rfind(L"\\\\", 0) != 0) {
        text = L"\\\\?\\" + fs::path(text).lexically_normal().make_preferred().wstring();
    }
    return text;
}

bool attributesOf(const fs::path& path, WIN32_FILE_ATTRIBUTE_DATA& data) {
    return ::GetFileAttributesExW(apiPath(path).c_str(), GetFileExInfoStandard, &data) != 0;
}

bool isFolder(DWORD attributes) { return (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0; }
// Devices such as NUL or COM1 answer GetFileAttributes too, as do pipes.
bool isDevice(const fs::path& path) {
    Handle h(::CreateFileW(apiPath(path).c_str(), 0, kShareAll, nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS,
                           nullptr));
    return h.valid() && ::GetFileType(h.h) != FILE_TYPE_DISK;
}

// Whether this account may write path (an existing file): opening it for writing says so.
bool accountMayWrite(const fs::path& path) {
    Handle h(::CreateFileW(apiPath(path).c_str(), GENERIC_WRITE, kShareAll, nullptr, OPEN_EXISTING,
                           FILE_ATTRIBUTE_NORMAL, nullptr));
    return h.valid() || ::GetLastError() != ERROR_ACCESS_DENIED;
}

// Whether a new file can be made in folder: a probe that is gone when its handle is closed.
bool folderWritable(const fs::path& folder) {
    const fs::path probe = folder / (L".vocabrella-probe-" + std::to_wstring(::GetCurrentProcessId()));
    Handle h(::CreateFileW(apiPath(probe).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                           FILE_ATTRIBUTE_TEMPORARY | FILE_FLAG_DELETE_ON_CLOSE, nullptr));
    if (h.valid()) return true;
    const DWORD error = ::GetLastError();
    return error != ERROR_ACCESS_DENIED && error != ERROR_WRITE_PROTECT;
}

void refuseUnlessReplaceable(const fs::path& path, const WIN32_FILE_ATTRIBUTE_DATA& data) {
    if (isFolder(data.dwFileAttributes) || isDevice(path)) refuse(path, texts::NotARegularFile);
    if ((data.dwFileAttributes & FILE_ATTRIBUTE_READONLY) != 0 || !accountMayWrite(path))
        refuse(path, texts::ReadOnlyFile);
}

// Temporary names: prefix + writer's process number + "-" + six letters.
std::wstring temporaryName(const std::string& prefix) {
    static constexpr char kLetters[] = "abcdefghijklmnopqrstuvwxyz0123456789";
    thread_local std::mt19937 random(std::random_device{}() ^ static_cast<unsigned>(::GetCurrentThreadId()));
    std::uniform_int_distribution<std::size_t> pick(0, sizeof kLetters - 2);
    std::string name = prefix + std::to_string(::GetCurrentProcessId()) + "-";
    for (int i = 0; i < 6; ++i) name += kLetters[pick(random)];
    return os::wide(name);
}

// The temporary files of a target whose writers are gone. A name with a process number belongs
// to that process while it lives; one without (left by a writer of the other system) goes when
// nobody has it open, which DeleteFileW finds out: a writer's handle does not share deletion.
void removeLeftovers(const fs::path& folder, const std::string& prefix) {
    std::error_code ec;
    for (fs::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec)) {
        const std::string name = os::pathText(it->path().filename());
        if (name.size() <= prefix.size() || name.compare(0, prefix.size(), prefix) != 0) continue;
        const std::string rest = name.substr(prefix.size());
        const auto dash = rest.find('-');
        bool orphan = false;
        if (dash != std::string::npos && dash > 0 && dash <= 10 && rest.size() == dash + 7 &&
            rest.find_first_not_of("0123456789") == dash) {
            orphan = os::processGone(std::stoll(rest.substr(0, dash)));
        } else {
            orphan = rest.size() == 6;
        }
        std::error_code kindEc;
        if (!orphan || !it->is_regular_file(kindEc)) continue;
        ::DeleteFileW(apiPath(it->path()).c_str());
    }
}

// A new temporary file beside the target, as a C runtime descriptor for the FileSystemCalls.
int createTemporary(const fs::path& folder, const std::string& prefix, fs::path& temporary) {
    for (int attempt = 0;; ++attempt) {
        const fs::path candidate = folder / temporaryName(prefix);
        HANDLE h = ::CreateFileW(apiPath(candidate).c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, CREATE_NEW,
                                 FILE_ATTRIBUTE_NORMAL, nullptr);
        if (h == INVALID_HANDLE_VALUE) {
            const DWORD error = ::GetLastError();
            if (error == ERROR_FILE_EXISTS && attempt < 10) continue;
            fail("Cannot create a temporary file in", folder, error);
        }
        const int fd = ::_open_osfhandle(reinterpret_cast<intptr_t>(h), _O_WRONLY);
        if (fd < 0) {
            ::CloseHandle(h);
            ::DeleteFileW(apiPath(candidate).c_str());
            fail("Cannot create a temporary file in", folder, ERROR_TOO_MANY_OPEN_FILES);
        }
        ::_setmode(fd, _O_BINARY);
        temporary = candidate;
        return fd;
    }
}

void writeAll(FileSystemCalls& calls, int fd, const std::uint8_t* data, std::size_t size, const fs::path& path) {
    while (size > 0) {
        const auto n = calls.write(fd, data, size);
        if (n < 0) {
            if (errno == EINTR) continue;
            throw fs::filesystem_error("Cannot write", path, std::error_code(errno, std::generic_category()));
        }
        data += n;
        size -= static_cast<std::size_t>(n);
    }
}

// Windows times count 100 ns from 1601; kept here as seconds and nanoseconds from 1970.
constexpr long long kEpochDifference = 116444736000000000LL; // 1601 to 1970 in 100 ns

template <class Identity>
void identify(const BY_HANDLE_FILE_INFORMATION& info, Identity& id) {
    id.device = info.dwVolumeSerialNumber;
    id.inode = (static_cast<unsigned long long>(info.nFileIndexHigh) << 32) | info.nFileIndexLow;
    id.size = static_cast<long long>((static_cast<unsigned long long>(info.nFileSizeHigh) << 32) | info.nFileSizeLow);
    const long long ticks = static_cast<long long>((static_cast<unsigned long long>(info.ftLastWriteTime.dwHighDateTime)
                                                    << 32) |
                                                   info.ftLastWriteTime.dwLowDateTime) -
                            kEpochDifference;
    long long seconds = ticks / 10000000, rest = ticks % 10000000;
    if (rest < 0) rest += 10000000, --seconds;
    id.seconds = seconds;
    id.nanoseconds = rest * 100;
}

// A device (NUL, COM1) may refuse to be opened as a file at all.
[[noreturn]] void failToOpen(const fs::path& path) {
    const DWORD error = ::GetLastError();
    if (error == ERROR_BAD_DEV_TYPE) refuse(path, texts::NotARegularFile);
    fail("Cannot open", path, error);
}

HANDLE openForReading(const fs::path& path) {
    return ::CreateFileW(apiPath(path).c_str(), GENERIC_READ, kShareAll, nullptr, OPEN_EXISTING,
                         FILE_ATTRIBUTE_NORMAL | FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
}

// The identity of path read from an open handle, which follows links like stat.
bool identityOf(const fs::path& path, BY_HANDLE_FILE_INFORMATION& info) {
    Handle h(::CreateFileW(apiPath(path).c_str(), FILE_READ_ATTRIBUTES, kShareAll, nullptr, OPEN_EXISTING,
                           FILE_FLAG_BACKUP_SEMANTICS, nullptr));
    return h.valid() && ::GetFileInformationByHandle(h.h, &info) != 0;
}

void readHandleInto(HANDLE h, const fs::path& path, std::vector<std::uint8_t>& bytes, long long sizeHint) {
    bytes.clear();
    if (sizeHint > 0) bytes.reserve(static_cast<std::size_t>(sizeHint));
    std::uint8_t buffer[1 << 16];
    for (;;) {
        DWORD n = 0;
        if (!::ReadFile(h, buffer, sizeof buffer, &n, nullptr)) fail("Cannot read", path, ::GetLastError());
        if (n == 0) break;
        bytes.insert(bytes.end(), buffer, buffer + n);
    }
}

} // namespace

ssize_t FileSystemCalls::write(int fd, const void* data, std::size_t size) {
    const unsigned int chunk = size > (1u << 30) ? (1u << 30) : static_cast<unsigned int>(size);
    return ::_write(fd, data, chunk);
}

int FileSystemCalls::fsync(int fd) {
    const auto h = reinterpret_cast<HANDLE>(::_get_osfhandle(fd));
    if (h == INVALID_HANDLE_VALUE) return errno = EBADF, -1;
    if (::FlushFileBuffers(h)) return 0;
    errno = errnoOf(::GetLastError());
    return -1;
}

int FileSystemCalls::rename(const char* from, const char* to) {
    const std::wstring source = apiPath(os::pathFrom(from)), target = apiPath(os::pathFrom(to));
    // Another program that reads the file without sharing its deletion (a virus scanner, a
    // backup, an editor) keeps it from being replaced while it has it open: wait for it a while.
    constexpr int kAttempts = 40;
    for (int attempt = 1;; ++attempt) {
        if (::MoveFileExW(source.c_str(), target.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) return 0;
        const DWORD error = ::GetLastError();
        if ((error != ERROR_ACCESS_DENIED && error != ERROR_SHARING_VIOLATION) || attempt == kAttempts) {
            errno = errnoOf(error);
            return -1;
        }
        ::Sleep(50);
    }
}

int FileSystemCalls::renameNoReplace(const char* from, const char* to) {
    // Without MOVEFILE_REPLACE_EXISTING the move fails where a file is.
    if (::MoveFileExW(apiPath(os::pathFrom(from)).c_str(), apiPath(os::pathFrom(to)).c_str(), MOVEFILE_WRITE_THROUGH))
        return 0;
    errno = errnoOf(::GetLastError());
    return -1;
}

void refuseUnlessWritable(const fs::path& path) {
    WIN32_FILE_ATTRIBUTE_DATA data{};
    if (attributesOf(path, data)) refuseUnlessReplaceable(path, data);
    else if (const DWORD error = ::GetLastError(); error == ERROR_BAD_DEV_TYPE) refuse(path, texts::NotARegularFile);
    else if (error != ERROR_FILE_NOT_FOUND && error != ERROR_PATH_NOT_FOUND) fail("Cannot open", path, error);
    if (!folderWritable(folderOf(path))) refuse(path, texts::FolderNotWritable);
}

void writeFileAtomically(const fs::path& target, std::span<const std::uint8_t> bytes, bool sync,
                         FileSystemCalls& calls, WhenPresent present) {
    WIN32_FILE_ATTRIBUTE_DATA old{};
    const bool exists = attributesOf(target, old);
    if (exists && present == WhenPresent::Refuse) refuse(target, texts::CreatedMeanwhile);
    // A folder is left to the move to refuse.
    const bool replacing = exists && !isFolder(old.dwFileAttributes);
    if (replacing) refuseUnlessReplaceable(target, old);

    const fs::path folder = folderOf(target);
    const std::string prefix = temporaryPrefix(target);
    removeLeftovers(folder, prefix);
    fs::path temporary;
    int fd = createTemporary(folder, prefix, temporary);
    try {
        writeAll(calls, fd, bytes.data(), bytes.size(), temporary);
        if (sync && calls.fsync(fd) != 0) fail("Cannot flush", temporary, ::GetLastError());
        // The move needs the file closed: its own handle does not share deletion.
        ::_close(fd);
        fd = -1;
        // The replaced file's hidden, system and archive marks go to the new one.
        if (replacing)
            ::SetFileAttributesW(apiPath(temporary).c_str(),
                                 old.dwFileAttributes & (FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM |
                                                         FILE_ATTRIBUTE_ARCHIVE | FILE_ATTRIBUTE_NOT_CONTENT_INDEXED));
        const std::string from = os::pathText(temporary), to = os::pathText(target);
        if (present == WhenPresent::Refuse) {
            if (calls.renameNoReplace(from.c_str(), to.c_str()) != 0) {
                if (errno == EEXIST) refuse(target, texts::CreatedMeanwhile);
                fail("Cannot create", target, ::GetLastError());
            }
        } else if (calls.rename(from.c_str(), to.c_str()) != 0) {
            fail("Cannot replace", target, ::GetLastError());
        }
    } catch (...) {
        if (fd >= 0) ::_close(fd);
        ::DeleteFileW(apiPath(temporary).c_str());
        throw;
    }
}

namespace {
// The file opened for reading, refused unless it is a file on a disk.
Handle openRegularFile(const fs::path& path) {
    WIN32_FILE_ATTRIBUTE_DATA data{};
    if (attributesOf(path, data) && isFolder(data.dwFileAttributes)) refuse(path, texts::NotARegularFile);
    Handle h(openForReading(path));
    if (!h.valid()) failToOpen(path);
    if (::GetFileType(h.h) != FILE_TYPE_DISK) refuse(path, texts::NotARegularFile);
    return h;
}
} // namespace

void readFileInto(const fs::path& path, std::vector<std::uint8_t>& bytes) {
    Handle h = openRegularFile(path);
    LARGE_INTEGER size{};
    ::GetFileSizeEx(h.h, &size);
    readHandleInto(h.h, path, bytes, size.QuadPart);
}

void readFileStartInto(const fs::path& path, std::size_t count, std::vector<std::uint8_t>& bytes) {
    Handle h = openRegularFile(path);
    bytes.resize(count);
    std::size_t got = 0;
    while (got < count) {
        DWORD n = 0;
        const auto want = static_cast<DWORD>(std::min<std::size_t>(count - got, 1 << 16));
        if (!::ReadFile(h.h, bytes.data() + got, want, &n, nullptr)) fail("Cannot read", path, ::GetLastError());
        if (n == 0) break;
        got += n;
    }
    bytes.resize(got);
}

void removeDeadTemporaries(const fs::path& target) { removeLeftovers(folderOf(target), temporaryPrefix(target)); }

FileSnapshot readSnapshot(const fs::path& path, std::vector<std::uint8_t> storage) {
    FileSnapshot snap;
    snap.bytes = std::move(storage);
    WIN32_FILE_ATTRIBUTE_DATA data{};
    if (attributesOf(path, data) && isFolder(data.dwFileAttributes)) refuse(path, texts::NotARegularFile);
    // Identity and bytes from the same handle: they belong to one version of the file.
    Handle h(openForReading(path));
    if (!h.valid()) failToOpen(path);
    if (::GetFileType(h.h) != FILE_TYPE_DISK) refuse(path, texts::NotARegularFile);
    BY_HANDLE_FILE_INFORMATION info{};
    if (!::GetFileInformationByHandle(h.h, &info)) fail("Cannot read", path, ::GetLastError());
    identify(info, snap);
    readHandleInto(h.h, path, snap.bytes, snap.size);
    return snap;
}

bool FileSnapshot::stillAt(const fs::path& path) const {
    BY_HANDLE_FILE_INFORMATION info{};
    if (!identityOf(path, info)) return false;
    FileSnapshot now;
    identify(info, now);
    return now.device == device && now.inode == inode && now.size == size && now.seconds == seconds &&
           now.nanoseconds == nanoseconds && static_cast<long long>(bytes.size()) == size;
}

FileVersion FileVersion::of(const fs::path& path) {
    FileVersion v;
    BY_HANDLE_FILE_INFORMATION info{};
    if (!identityOf(path, info)) return v;
    v.present = true;
    identify(info, v);
    return v;
}

void moveTimeOnIfUnchanged(const fs::path& path, const FileVersion& before) {
    Handle h(::CreateFileW(apiPath(path).c_str(), FILE_READ_ATTRIBUTES | FILE_WRITE_ATTRIBUTES, kShareAll, nullptr,
                           OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
    BY_HANDLE_FILE_INFORMATION info{};
    if (!h.valid() || !::GetFileInformationByHandle(h.h, &info)) return;
    FileVersion after;
    identify(info, after);
    if (after.seconds != before.seconds || after.nanoseconds != before.nanoseconds) return;
    ULARGE_INTEGER ticks{};
    ticks.LowPart = info.ftLastWriteTime.dwLowDateTime;
    ticks.HighPart = info.ftLastWriteTime.dwHighDateTime;
    ++ticks.QuadPart; // 100 ns, the smallest step of Windows file times
    FILETIME moved{ticks.LowPart, ticks.HighPart};
    ::SetFileTime(h.h, nullptr, nullptr, &moved);
}

void keepCopyAtomically(const fs::path& file, const fs::path& keep) {
    const fs::path folder = folderOf(keep);
    const fs::path temporary = folder / os::pathFrom("." + os::pathText(keep.filename()) + ".link");
    ::DeleteFileW(apiPath(temporary).c_str());
    if (::CreateHardLinkW(apiPath(temporary).c_str(), apiPath(file).c_str(), nullptr)) {
        if (::MoveFileExW(apiPath(temporary).c_str(), apiPath(keep).c_str(),
                          MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
            return;
        ::DeleteFileW(apiPath(temporary).c_str());
    }
    copyFileAtomically(file, keep);
}

} // namespace vocabrella
