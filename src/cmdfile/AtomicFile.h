#pragma once

#include <cstdint>
#include <filesystem>
#include <span>
#include <string_view>
#include <vector>

namespace vocabrella {

// Files that replace others are written to a temporary file in the same folder, flushed,
// synced and renamed over the target: a crash or a kill leaves the old file or the new one,
// never a mix. Failures throw std::filesystem::filesystem_error and leave the target alone.
void writeFileAtomically(const std::filesystem::path& target, std::span<const std::uint8_t> bytes, bool sync = true);
void writeFileAtomically(const std::filesystem::path& target, std::string_view text, bool sync = true);
void copyFileAtomically(const std::filesystem::path& from, const std::filesystem::path& to, bool sync = true);

// The whole file; throws std::filesystem::filesystem_error when it cannot be read.
std::vector<std::uint8_t> readFileBytes(const std::filesystem::path& path);
// The same into bytes, whose storage is reused: a large file read again and again then does
// not cost fresh memory each time.
void readFileInto(const std::filesystem::path& path, std::vector<std::uint8_t>& bytes);

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

} // namespace vocabrella
