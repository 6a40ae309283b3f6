#include "cmdfile/AtomicFile.h"
#include "cmdfile/AtomicFileParts.h"

#include "cmdfile/Errors.h"
#include "cmdfile/Texts.h"

#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <string>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace vocabrella {
namespace fs = std::filesystem;
using namespace detail;
namespace {

[[noreturn]] void fail(const std::string& what, const fs::path& path, int error) {
    throw fs::filesystem_error(what, path, std::error_code(error, std::generic_category()));
}

// Root may write anything, so the mode bits are asked as well as the system.
bool writable(const fs::path& path, const struct stat& st) {
    return (st.st_mode & 0222) != 0 && ::access(path.c_str(), W_OK) == 0;
}

void refuseUnlessReplaceable(const fs::path& path, const struct stat& st) {
    if (!S_ISREG(st.st_mode)) refuse(path, texts::NotARegularFile);
    if (!writable(path, st)) refuse(path, texts::ReadOnlyFile);
}

constexpr std::size_t kTemporarySuffixLength = 6; // mkstemp's XXXXXX

// Temporary files of this target left by writers that died: a live writer holds the lock on
// its own, so those that can be locked are orphans.
void removeLeftovers(const fs::path& folder, const std::string& prefix) {
    std::error_code ec;
    for (fs::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec)) {
        const std::string name = it->path().filename().string();
        if (name.size() != prefix.size() + kTemporarySuffixLength || name.compare(0, prefix.size(), prefix) != 0)
            continue;
        const int fd = ::open(it->path().c_str(), O_RDONLY | O_NONBLOCK | O_NOFOLLOW | O_CLOEXEC);
        if (fd < 0) continue;
        struct stat held {}, named {};
        // Unlinked only while locked and still under that name: a writer that has just renamed
        // it into place no longer owns the name.
        if (::fstat(fd, &held) == 0 && S_ISREG(held.st_mode) && ::flock(fd, LOCK_EX | LOCK_NB) == 0 &&
            ::stat(it->path().c_str(), &named) == 0 && named.st_dev == held.st_dev && named.st_ino == held.st_ino)
            ::unlink(it->path().c_str());
        ::close(fd);
    }
}

// A new temporary file beside the target, locked. Another writer's sweep may take it for an
// orphan in the moment before it is locked; then it is gone from the folder and made again.
int createLockedTemporary(const fs::path& folder, const std::string& prefix, fs::path& temporary) {
    for (int attempt = 0;; ++attempt) {
        std::string pattern = (folder / (prefix + std::string(kTemporarySuffixLength, 'X'))).string();
        const int fd = ::mkostemp(pattern.data(), O_CLOEXEC);
        if (fd < 0) fail("Cannot create a temporary file in", folder, errno);
        // Where the file system has no locks the write goes on unlocked: still atomic, only its
        // leftovers are then not told from a live writer's file.
        while (::flock(fd, LOCK_EX) != 0 && errno == EINTR) {
        }
        struct stat st {};
        if (::fstat(fd, &st) != 0 || st.st_nlink > 0) {
            temporary = pattern;
            return fd;
        }
        ::close(fd);
        if (attempt == 3) fail("Cannot keep a temporary file in", folder, ENOENT);
    }
}

// The replaced file's owner, group and mode go to the new one. Changing the owner needs root,
// and the group membership of that group; where that is not allowed the new file keeps ours.
void takeOwnerAndMode(int fd, const struct stat* target) {
    if (!target) {
        ::fchmod(fd, 0644);
        return;
    }
    struct stat own {};
    if (::fstat(fd, &own) == 0 && (own.st_uid != target->st_uid || own.st_gid != target->st_gid) &&
        ::fchown(fd, target->st_uid, target->st_gid) != 0)
        (void)::fchown(fd, static_cast<uid_t>(-1), target->st_gid);
    // After the owner: a change of owner clears the set-user and set-group bits.
    ::fchmod(fd, target->st_mode & 07777);
}

void writeAll(FileSystemCalls& calls, int fd, const std::uint8_t* data, std::size_t size, const fs::path& path) {
    while (size > 0) {
        const auto n = calls.write(fd, data, size);
        if (n < 0) {
            if (errno == EINTR) continue;
            fail("Cannot write", path, errno);
        }
        data += n;
        size -= static_cast<std::size_t>(n);
    }
}

} // namespace

ssize_t FileSystemCalls::write(int fd, const void* data, std::size_t size) { return ::write(fd, data, size); }
int FileSystemCalls::fsync(int fd) { return ::fsync(fd); }
int FileSystemCalls::rename(const char* from, const char* to) { return ::rename(from, to); }
int FileSystemCalls::renameNoReplace(const char* from, const char* to) {
    if (::renameat2(AT_FDCWD, from, AT_FDCWD, to, RENAME_NOREPLACE) == 0) return 0;
    if (errno != EINVAL && errno != ENOSYS && errno != ENOTSUP) return -1;
    // A file system without that rename: a hard link is made only where no name is.
    if (::link(from, to) == 0) return ::unlink(from), 0;
    if (errno == EEXIST) return -1;
    // Nor hard links: the last look before the rename is as close as it gets.
    struct stat st {};
    if (::lstat(to, &st) == 0) {
        errno = EEXIST;
        return -1;
    }
    return ::rename(from, to);
}

void refuseUnlessWritable(const fs::path& path) {
    struct stat st {};
    if (::stat(path.c_str(), &st) == 0) refuseUnlessReplaceable(path, st);
    else if (errno != ENOENT) fail("Cannot open", path, errno);
    // The new file is renamed into the folder.
    if (::access(folderOf(path).c_str(), W_OK | X_OK) != 0) refuse(path, texts::FolderNotWritable);
}

void writeFileAtomically(const fs::path& target, std::span<const std::uint8_t> bytes, bool sync,
                         FileSystemCalls& calls, WhenPresent present) {
    struct stat old {};
    const bool exists = ::stat(target.c_str(), &old) == 0;
    if (exists && present == WhenPresent::Refuse) refuse(target, texts::CreatedMeanwhile);
    // A pipe or a device stays what it is: renaming a file over it would put a file in its place.
    if (exists && !S_ISREG(old.st_mode) && !S_ISDIR(old.st_mode)) refuse(target, texts::NotARegularFile);
    const bool replacing = exists && S_ISREG(old.st_mode);
    // A folder is left to the rename to refuse.
    if (replacing && !writable(target, old)) refuse(target, texts::ReadOnlyFile);

    const fs::path folder = folderOf(target);
    const std::string prefix = temporaryPrefix(target);
    removeLeftovers(folder, prefix);
    fs::path temporary;
    const int fd = createLockedTemporary(folder, prefix, temporary);
    // The lock is held until the file is renamed into place: a temporary file that can be
    // locked is one whose writer died.
    try {
        takeOwnerAndMode(fd, replacing ? &old : nullptr);
        writeAll(calls, fd, bytes.data(), bytes.size(), temporary);
        if (sync && calls.fsync(fd) != 0) fail("Cannot flush", temporary, errno);
        if (present == WhenPresent::Refuse) {
            if (calls.renameNoReplace(temporary.c_str(), target.c_str()) != 0) {
                if (errno == EEXIST) refuse(target, texts::CreatedMeanwhile);
                fail("Cannot create", target, errno);
            }
        } else if (calls.rename(temporary.c_str(), target.c_str()) != 0) {
            fail("Cannot replace", target, errno);
        }
    } catch (...) {
        ::unlink(temporary.c_str());
        ::close(fd);
        throw;
    }
    ::close(fd);
    if (sync) {
        const int dir = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
        if (dir >= 0) {
            calls.fsync(dir);
            ::close(dir);
        }
    }
}

namespace {
// The file opened for reading, refused unless it is a regular file; its status in st.
int openRegularFile(const fs::path& path, struct stat& st) {
    // Not blocking: opening a pipe would wait for a writer. Regular files ignore the flag.
    const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd < 0) fail("Cannot open", path, errno);
    if (::fstat(fd, &st) != 0) {
        const int error = errno;
        ::close(fd);
        fail("Cannot read", path, error);
    }
    if (!S_ISREG(st.st_mode)) {
        ::close(fd);
        refuse(path, texts::NotARegularFile);
    }
    return fd;
}

// Reads up to count bytes at out; fewer only at the end of the file. Closes fd when it fails.
std::size_t readUpTo(int fd, const fs::path& path, std::uint8_t* out, std::size_t count) {
    std::size_t got = 0;
    while (got < count) {
        const auto n = ::read(fd, out + got, count - got);
        if (n < 0) {
            if (errno == EINTR) continue;
            const int error = errno;
            ::close(fd);
            fail("Cannot read", path, error);
        }
        if (n == 0) break;
        got += static_cast<std::size_t>(n);
    }
    return got;
}
} // namespace

void readFileStartInto(const fs::path& path, std::size_t count, std::vector<std::uint8_t>& bytes) {
    struct stat st {};
    const int fd = openRegularFile(path, st);
    bytes.resize(count);
    bytes.resize(readUpTo(fd, path, bytes.data(), count));
    ::close(fd);
}

void readFileInto(const fs::path& path, std::vector<std::uint8_t>& bytes) {
    struct stat st {};
    const int fd = openRegularFile(path, st);
    bytes.clear();
    if (st.st_size > 0) bytes.reserve(static_cast<std::size_t>(st.st_size));
    std::uint8_t buffer[1 << 16];
    for (;;) {
        const std::size_t n = readUpTo(fd, path, buffer, sizeof buffer);
        bytes.insert(bytes.end(), buffer, buffer + n);
        if (n < sizeof buffer) break;
    }
    ::close(fd);
}

void removeDeadTemporaries(const fs::path& target) { removeLeftovers(folderOf(target), temporaryPrefix(target)); }

} // namespace vocabrella

namespace vocabrella {

using namespace detail;
namespace {
void identify(const struct stat& st, FileSnapshot& snap) {
    snap.device = st.st_dev;
    snap.inode = st.st_ino;
    snap.size = st.st_size;
    snap.seconds = st.st_mtim.tv_sec;
    snap.nanoseconds = st.st_mtim.tv_nsec;
}
} // namespace

FileSnapshot readSnapshot(const fs::path& path, std::vector<std::uint8_t> storage) {
    FileSnapshot snap;
    snap.bytes = std::move(storage);
    struct stat before {};
    if (::stat(path.c_str(), &before) != 0) fail("Cannot open", path, errno);
    readFileInto(path, snap.bytes);
    identify(before, snap);
    return snap;
}

bool FileSnapshot::stillAt(const fs::path& path) const {
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0) return false;
    FileSnapshot now;
    identify(st, now);
    return now.device == device && now.inode == inode && now.size == size && now.seconds == seconds &&
           now.nanoseconds == nanoseconds && static_cast<long long>(bytes.size()) == size;
}

FileVersion FileVersion::of(const fs::path& path) {
    FileVersion v;
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0) return v;
    v.present = true;
    v.device = st.st_dev;
    v.inode = st.st_ino;
    v.size = st.st_size;
    v.seconds = st.st_mtim.tv_sec;
    v.nanoseconds = st.st_mtim.tv_nsec;
    return v;
}

void moveTimeOnIfUnchanged(const fs::path& path, const FileVersion& before) {
    const auto after = FileVersion::of(path);
    if (!after.present || after.seconds != before.seconds || after.nanoseconds != before.nanoseconds) return;
    timespec times[2] = {{0, UTIME_OMIT}, {static_cast<time_t>(before.seconds), static_cast<long>(before.nanoseconds)}};
    if (++times[1].tv_nsec == 1'000'000'000) {
        times[1].tv_nsec = 0;
        ++times[1].tv_sec;
    }
    ::utimensat(AT_FDCWD, path.c_str(), times, 0);
}

void keepCopyAtomically(const fs::path& file, const fs::path& keep) {
    const fs::path folder = keep.has_parent_path() ? keep.parent_path() : fs::path(".");
    const fs::path temporary = folder / ("." + keep.filename().string() + ".link");
    ::unlink(temporary.c_str());
    if (::link(file.c_str(), temporary.c_str()) == 0) {
        if (::rename(temporary.c_str(), keep.c_str()) == 0) return;
        ::unlink(temporary.c_str());
    }
    copyFileAtomically(file, keep);
}

} // namespace vocabrella
