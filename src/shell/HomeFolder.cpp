#include "shell/HomeFolder.h"

#include "cmdfile/AtomicFile.h"
#include "cmdfile/Store.h"
#include "shell/ShippedFiles.h"
#include "shell/Texts.h"

#include "cmdfile/System.h"

#include <fstream>
#include <iterator>
#include <vector>

namespace vocabrella {
namespace fs = std::filesystem;
namespace {

std::string readWholeFile(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

} // namespace

fs::path HomeFolder::stagingFolder(const fs::path& home, std::int64_t pid) {
    return home.parent_path() / os::pathFrom(os::pathText(home.filename()) + ".new-" + std::to_string(pid));
}

void HomeFolder::removeDeadStagings(const fs::path& home) {
    const std::string prefix = os::pathText(home.filename()) + ".new-";
    std::error_code ec;
    for (fs::directory_iterator it(home.parent_path(), ec), end; !ec && it != end; it.increment(ec)) {
        const std::string name = os::pathText(it->path().filename());
        if (name.size() <= prefix.size() || name.compare(0, prefix.size(), prefix) != 0) continue;
        const std::string digits = name.substr(prefix.size());
        if (digits.size() > 9 || digits.find_first_not_of("0123456789") != std::string::npos) continue;
        // Only the folder of a process that is gone: a live one (or one of another account,
        // which may not be looked at) is still at work.
        if (!os::processGone(std::stoll(digits))) continue;
        std::error_code symlinkEc;
        if (it->is_symlink(symlinkEc) || !it->is_directory(symlinkEc)) continue;
        std::error_code removeEc;
        fs::remove_all(it->path(), removeEc);
    }
}

fs::path HomeFolder::resolve(const std::optional<fs::path>& option) {
    if (option && !option->empty()) return fs::absolute(*option);
    if (const auto env = os::environment("VOCABRELLA_HOME"); !env.empty()) return fs::absolute(os::pathFrom(env));
    return os::defaultHomeFolder();
}

fs::path HomeFolder::storePath(const fs::path& home) { return home / texts::DefaultDataBaseName; }

fs::path HomeFolder::programFolder() {
    const fs::path self = os::programFile();
    return self.empty() ? fs::path() : self.parent_path();
}

fs::path HomeFolder::shippedDataFolder() {
    std::error_code ec;
    if (const fs::path here = programFolder(); !here.empty()) {
        // Installed on Linux: bin/ and share/vocabrella; on Windows: the data beside the program.
        for (const fs::path& installed : {(here / VOCABRELLA_INSTALLED_DATA).lexically_normal(), here})
            if (fs::exists(installed / "keynames", ec)) return installed;
    }
    return os::pathFrom(VOCABRELLA_DATA_DIR);
}

std::optional<fs::path> HomeFolder::shippedTool(std::string_view name, const fs::path& built) {
    std::error_code ec;
    std::vector<fs::path> candidates;
#ifdef _WIN32
    const std::string file = std::string(name) + ".exe";
#else
    const std::string file(name);
#endif
    if (const fs::path here = programFolder(); !here.empty()) {
        candidates.push_back(here / file);
        candidates.push_back((here / VOCABRELLA_INSTALLED_TOOLS / file).lexically_normal());
    }
    candidates.push_back(built);
    for (const auto& candidate : candidates)
        if (!candidate.empty() && fs::is_regular_file(candidate, ec)) return candidate;
    return std::nullopt;
}

void HomeFolder::replaceDamagedStore(const fs::path& home) {
    const fs::path store = storePath(home);
    // The log files go with their database: SQLite finds them by its name.
    for (const char* suffix : {"", "-wal", "-shm"}) {
        const fs::path from = os::pathFrom(os::pathText(store) + suffix);
        const fs::path to = os::pathFrom(os::pathText(store) + ".damaged" + suffix);
        fs::remove(to);
        if (fs::exists(from)) fs::rename(from, to);
    }
    CommandStore::create(store);
}

void HomeFolder::updateHelpPages(const fs::path& home) {
    const fs::path shipped = shippedDataFolder() / "help";
    std::error_code ec;
    if (!fs::is_directory(shipped, ec)) return;
    fs::create_directories(home / "help");
    for (const auto& entry : fs::directory_iterator(shipped)) {
        if (!entry.is_regular_file()) continue;
        const fs::path target = home / "help" / entry.path().filename();
        if (fs::exists(target, ec) && fs::file_size(target, ec) == entry.file_size() &&
            readWholeFile(target) == readWholeFile(entry.path()))
            continue;
        copyFileAtomically(entry.path(), target, false);
    }
}

HomeFolder::State HomeFolder::prepare(const fs::path& home) {
    removeDeadStagings(home);
    std::error_code ec;
    // A folder made for the purpose and still empty is a new home like a missing one.
    const bool empty = fs::is_directory(home, ec) && fs::is_empty(home, ec) && !ec;
    if (fs::exists(home) && !empty) {
        if (!fs::exists(storePath(home))) return State::StoreMissing;
        updateHelpPages(home);
        return State::Ready;
    }
    // Built in a sibling folder and renamed into place, so that a failed first run leaves no
    // half-made home folder behind.
    const fs::path staging = stagingFolder(home, os::currentProcess());
    fs::remove_all(staging);
    fs::create_directories(staging);
    try {
        CommandStore::create(storePath(staging));
        const fs::path shipped = shippedDataFolder();
        for (const auto& entry : fs::directory_iterator(shipped)) {
            if (entry.path().filename() == "CMakeLists.txt") continue;
            fs::copy(entry.path(), staging / entry.path().filename(), fs::copy_options::recursive);
        }
        writeShippedFiles(staging);
        if (!empty) {
            if (fs::rename(staging, home, ec); ec) {
                // Another run (a window, the command line) made it meanwhile: it is taken as made.
                if (!fs::exists(storePath(home))) throw fs::filesystem_error("Cannot make the home folder", staging, home, ec);
                fs::remove_all(staging);
                updateHelpPages(home);
                return State::Ready;
            }
        } else if (fs::rename(staging, home, ec); ec) {
            if (ec == std::errc::directory_not_empty || ec == std::errc::file_exists)
                throw fs::filesystem_error("Cannot make the home folder", staging, home, ec);
            // A folder filled meanwhile is not taken over. One that cannot be renamed over (a
            // mount point, a link to a folder) gets what was built moved into it.
            for (const auto& entry : fs::directory_iterator(staging)) fs::rename(entry.path(), home / entry.path().filename());
            fs::remove(staging);
        }
    } catch (...) {
        std::error_code cleanupEc;
        fs::remove_all(staging, cleanupEc);
        throw;
    }
    return State::Created;
}

} // namespace vocabrella
