#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <span>
#include <string_view>
#include <sys/types.h>
#include <vector>

namespace vocabrella {

// The system calls that decide whether a replaced file survives a crash: the writes, the syncs
// (of the new file, and of its folder after the rename) and the rename. Tests put their own in
// to see the order of the calls or to make one of them fail; everyone else uses these.
class FileSystemCalls {
public:
    virtual ~FileSystemCalls() = default;
    virtual ssize_t write(int fd, const void* data, std::size_t size);
    virtual int fsync(int fd);
    virtual int rename(const char* from, const char* to);
    // The rename that fails (EEXIST) when `to` exists: it creates a file, never replaces one.
    virtual int renameNoReplace(const char* from, const char* to);
};

// What the write does with a target that is there when the new file is put in place: replace
// it, or leave it and refuse (a new file is then created only where there was none, so of two
// writers of one new file the second is told, not silently overwritten).
enum class WhenPresent { Replace, Refuse };

// Files that replace others are written to a temporary file in the same folder, given the
// target's owner, group and mode, flushed, synced and renamed over the target: a crash or a
// kill leaves the old file or the new one, never a mix. The temporary file is named
// "." + target name + ".new-" and six characters, and is locked while it is written; the next
// write to the same target removes those whose writer died. A read-only target is refused
// (Refusal) and left alone, as is one that is no regular file (a pipe or a device is never
// replaced by a file); other failures throw std::filesystem::filesystem_error and leave the
// target alone too.
void writeFileAtomically(const std::filesystem::path& target, std::span<const std::uint8_t> bytes, bool sync = true,
                         WhenPresent present = WhenPresent::Replace);
void writeFileAtomically(const std::filesystem::path& target, std::span<const std::uint8_t> bytes, bool sync,
                         FileSystemCalls& calls, WhenPresent present = WhenPresent::Replace);
void writeFileAtomically(const std::filesystem::path& target, std::string_view text, bool sync = true);
void copyFileAtomically(const std::filesystem::path& from, const std::filesystem::path& to, bool sync = true);
// Removes the temporary files of target that writers killed while writing it left behind
// (those still locked belong to a live writer and stay). Every write does it first; a run that
// only looks at a target may do it too.
void removeDeadTemporaries(const std::filesystem::path& target);

// Refuses (Refusal, with the message for the user) a file that must not be replaced: one that
// is not a regular file, one without a write permission bit or that this account may not
// write, or one whose folder this account may not write. A file that does not exist yet is
// only refused when its folder is. Called before anything is written.
void refuseUnlessWritable(const std::filesystem::path& path);

// The whole file; throws std::filesystem::filesystem_error when it cannot be read, and Refusal
// when it is not a regular file (a folder, a pipe, a device), which is never opened for reading.
std::vector<std::uint8_t> readFileBytes(const std::filesystem::path& path);
// The same into bytes, whose storage is reused: a large file read again and again then does
// not cost fresh memory each time.
void readFileInto(const std::filesystem::path& path, std::vector<std::uint8_t>& bytes);
// The first count bytes of the file, fewer when it is shorter; fails and refuses as readFileInto.
// Like every read here it lets a writer replace the file meanwhile.
void readFileStartInto(const std::filesystem::path& path, std::size_t count, std::vector<std::uint8_t>& bytes);

} // namespace vocabrella

namespace vocabrella {

// Makes `keep` hold the bytes `file` has now, replacing keep atomically. When both lie on one
// file system this is a hard link and costs nothing: the file is later replaced by renaming a
// new one over it, so the linked copy keeps the old content. Elsewhere it is a copy.
void keepCopyAtomically(const std::filesystem::path& file, const std::filesystem::path& keep);

// A file's bytes with what identifies that version of it (device, inode, size, time).
struct FileSnapshot {
    std::vector<std::uint8_t> bytes;
    unsigned long long device = 0, inode = 0;
    long long size = -1, seconds = 0, nanoseconds = 0;
    // Whether path is still exactly this version.
    bool stillAt(const std::filesystem::path& path) const;
};
// Read into storage, whose memory is reused (see readFileInto).
FileSnapshot readSnapshot(const std::filesystem::path& path, std::vector<std::uint8_t> storage = {});

// Which version of a file a writer saw when it decided what to write: none (absent), or the
// one with this device, inode, size and time. A link is followed.
struct FileVersion {
    bool present = false;
    unsigned long long device = 0, inode = 0;
    long long size = -1, seconds = 0, nanoseconds = 0;
    static FileVersion of(const std::filesystem::path& path);
    bool operator==(const FileVersion&) const = default;
};

// The file's last-write time in nanoseconds since 1970, at the file system's full precision
// (std::filesystem::last_write_time of some libraries has whole seconds); none when the file
// cannot be looked at.
std::optional<std::int64_t> writeTimeStamp(const std::filesystem::path& path);

// A rewrite within one tick of the file system's clock keeps the time: whoever waits for the
// time to change would wait in vain. When path still has the time `before` had, it is moved
// on by the smallest step.
void moveTimeOnIfUnchanged(const std::filesystem::path& path, const FileVersion& before);

// Writes target atomically only while it is the version `seen`: an absent target is created
// where there is still none, a present one is replaced only if nobody changed it meanwhile.
// Otherwise Refusal (the file is left as the other writer left it). Writers of a command file
// call it under the file's CommandFileLock, which closes the gap between check and rename.
void writeFileIfUnchanged(const std::filesystem::path& target, const FileVersion& seen,
                          std::span<const std::uint8_t> bytes, bool sync = true);

} // namespace vocabrella
