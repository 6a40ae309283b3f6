#include "cmdfile/AtomicFile.h"

#include <cerrno>
#include <fcntl.h>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

namespace vocabrella {
namespace fs = std::filesystem;
namespace {

[[noreturn]] void fail(const std::string& what, const fs::path& path, int error) {
    throw fs::filesystem_error(what, path, std::error_code(error, std::generic_category()));
}

void writeAll(int fd, const std::uint8_t* data, std::size_t size, const fs::path& path) {
    while (size > 0) {
        const auto n = ::write(fd, data, size);
        if (n < 0) {
            if (errno == EINTR) continue;
            fail("Cannot write", path, errno);
        }
        data += n;
        size -= static_cast<std::size_t>(n);
    }
}

} // namespace

void writeFileAtomically(const fs::path& target, std::span<const std::uint8_t> bytes, bool sync) {
    const fs::path folder = target.has_parent_path() ? target.parent_path() : fs::path(".");
    std::string pattern = (folder / ("." + target.filename().string() + ".XXXXXX")).string();
    const int fd = ::mkstemp(pattern.data());
    if (fd < 0) fail("Cannot create a temporary file beside", target, errno);
    const fs::path temporary = pattern;
    try {
        // Keep the permissions of the file being replaced.
        struct stat st {};
        ::fchmod(fd, ::stat(target.c_str(), &st) == 0 ? (st.st_mode & 07777) : 0644);
        writeAll(fd, bytes.data(), bytes.size(), temporary);
        if (sync && ::fsync(fd) != 0) fail("Cannot flush", temporary, errno);
        if (::close(fd) != 0) fail("Cannot close", temporary, errno);
    } catch (...) {
        ::close(fd);
        ::unlink(temporary.c_str());
        throw;
    }
    if (::rename(temporary.c_str(), target.c_str()) != 0) {
        const int error = errno;
        ::unlink(temporary.c_str());
        fail("Cannot replace", target, error);
    }
    if (sync) {
        const int dir = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
        if (dir >= 0) {
            ::fsync(dir);
            ::close(dir);
        }
    }
}

void writeFileAtomically(const fs::path& target, std::string_view text, bool sync) {
    writeFileAtomically(target, std::span(reinterpret_cast<const std::uint8_t*>(text.data()), text.size()), sync);
}

std::vector<std::uint8_t> readFileBytes(const fs::path& path) {
    std::vector<std::uint8_t> bytes;
    readFileInto(path, bytes);
    return bytes;
}

void readFileInto(const fs::path& path, std::vector<std::uint8_t>& bytes) {
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) fail("Cannot open", path, errno);
    bytes.clear();
    struct stat st {};
    if (::fstat(fd, &st) == 0 && st.st_size > 0) bytes.reserve(static_cast<std::size_t>(st.st_size));
    std::uint8_t buffer[1 << 16];
    for (;;) {
        const auto n = ::read(fd, buffer, sizeof buffer);
        if (n < 0) {
            if (errno == EINTR) continue;
            const int error = errno;
            ::close(fd);
            fail("Cannot read", path, error);
        }
        if (n == 0) break;
        bytes.insert(bytes.end(), buffer, buffer + n);
    }
    ::close(fd);
}

void copyFileAtomically(const fs::path& from, const fs::path& to, bool sync) {
    const auto bytes = readFileBytes(from);
    writeFileAtomically(to, bytes, sync);
}

} // namespace vocabrella

namespace vocabrella {

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
