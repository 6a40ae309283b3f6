#include "shell/FileBackups.h"

#include "cmdfile/AtomicFile.h"
#include "cmdfile/Clock.h"
#include "cmdfile/TimeText.h"
#include "cmdfile/System.h"

#include <cstdint>
#include <cstdio>
#include <string_view>

namespace vocabrella {
namespace fs = std::filesystem;

namespace {

constexpr std::string_view kFolder = "file-backups";
constexpr std::string_view kPathFile = "path";

// FNV-1a: stable across runs and builds, which std::hash is not required to be.
std::uint64_t pathHash(std::string_view text) {
    std::uint64_t h = 14695981039346656037ull;
    for (const char c : text) {
        h ^= static_cast<unsigned char>(c);
        h *= 1099511628211ull;
    }
    return h;
}

fs::path fullPath(const fs::path& file) { return fs::weakly_canonical(fs::absolute(file)); }

} // namespace

fs::path FileBackups::folderOf(const fs::path& home, const fs::path& file) {
    const fs::path full = fullPath(file);
    char digits[17];
    std::snprintf(digits, sizeof digits, "%016llx", static_cast<unsigned long long>(pathHash(os::pathText(full))));
    return home / kFolder / os::pathFrom(os::pathText(full.filename()) + "-" + digits);
}

fs::path FileBackups::takeDaily(const fs::path& home, const fs::path& file, Clock& clock, bool force) {
    const fs::path full = fullPath(file);
    const fs::path folder = folderOf(home, full);
    fs::create_directories(folder);
    if (!fs::exists(folder / kPathFile)) writeFileAtomically(folder / kPathFile, os::pathText(full) + "\n", false);
    const fs::path daily = folder / os::pathFrom(os::pathText(full.filename()) + "." + localTimeText(clock.now(), "%m%d%Y"));
    if (force || !fs::exists(daily)) copyFileAtomically(full, daily);
    return daily;
}

} // namespace vocabrella
