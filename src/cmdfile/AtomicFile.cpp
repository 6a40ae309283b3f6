#include "cmdfile/AtomicFile.h"
#include "cmdfile/AtomicFileParts.h"

#include "cmdfile/Errors.h"
#include "cmdfile/System.h"
#include "cmdfile/Texts.h"

#include <string>

// What both systems share; the system calls are in AtomicFile_posix.cpp and AtomicFile_win.cpp.
namespace vocabrella {
namespace fs = std::filesystem;

namespace detail {

void refuse(const fs::path& path, std::string_view why) { throw Refusal(os::pathText(path) + ": " + std::string(why)); }

fs::path folderOf(const fs::path& file) { return file.has_parent_path() ? file.parent_path() : fs::path("."); }

std::string temporaryPrefix(const fs::path& target) { return "." + os::pathText(target.filename()) + ".new-"; }

} // namespace detail

using namespace detail;

void writeFileAtomically(const fs::path& target, std::span<const std::uint8_t> bytes, bool sync, WhenPresent present) {
    FileSystemCalls calls;
    writeFileAtomically(target, bytes, sync, calls, present);
}

void writeFileAtomically(const fs::path& target, std::string_view text, bool sync) {
    writeFileAtomically(target, std::span(reinterpret_cast<const std::uint8_t*>(text.data()), text.size()), sync);
}

std::vector<std::uint8_t> readFileBytes(const fs::path& path) {
    std::vector<std::uint8_t> bytes;
    readFileInto(path, bytes);
    return bytes;
}

void copyFileAtomically(const fs::path& from, const fs::path& to, bool sync) {
    const auto bytes = readFileBytes(from);
    writeFileAtomically(to, bytes, sync);
}

void writeFileIfUnchanged(const fs::path& target, const FileVersion& seen, std::span<const std::uint8_t> bytes,
                          bool sync) {
    if (!seen.present) {
        writeFileAtomically(target, bytes, sync, WhenPresent::Refuse);
        return;
    }
    if (FileVersion::of(target) != seen) refuse(target, texts::ChangedMeanwhile);
    writeFileAtomically(target, bytes, sync);
}

std::optional<std::int64_t> writeTimeStamp(const fs::path& path) {
    const auto version = FileVersion::of(path);
    if (!version.present) return std::nullopt;
    return version.seconds * 1'000'000'000LL + version.nanoseconds;
}

} // namespace vocabrella
