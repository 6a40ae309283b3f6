#include "shell/HomeFolder.h"

#include "cmdfile/AtomicFile.h"
#include "cmdfile/Store.h"
#include "shell/ShippedFiles.h"
#include "shell/Texts.h"

#include <cstdlib>
#include <fstream>
#include <iterator>
#include <unistd.h>

namespace vocabrella {
namespace fs = std::filesystem;
namespace {

std::string readWholeFile(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

} // namespace

fs::path HomeFolder::resolve(const std::optional<fs::path>& option) {
    if (option && !option->empty()) return fs::absolute(*option);
    if (const char* env = std::getenv("VOCABRELLA_HOME"); env && *env) return fs::absolute(env);
    if (const char* xdg = std::getenv("XDG_DATA_HOME"); xdg && *xdg) return fs::path(xdg) / "vocabrella";
    const char* home = std::getenv("HOME");
    return fs::path(home && *home ? home : ".") / ".local" / "share" / "vocabrella";
}

fs::path HomeFolder::storePath(const fs::path& home) { return home / texts::DefaultDataBaseName; }

fs::path HomeFolder::shippedDataFolder() {
    std::error_code ec;
    const fs::path self = fs::read_symlink("/proc/self/exe", ec);
    if (!ec) {
        const fs::path installed = self.parent_path().parent_path() / "share" / "vocabrella";
        if (fs::exists(installed / "keynames", ec)) return installed;
    }
    return VOCABRELLA_DATA_DIR;
}

void HomeFolder::replaceDamagedStore(const fs::path& home) {
    const fs::path store = storePath(home);
    const fs::path aside = store.string() + ".damaged";
    // The log files go with their database: SQLite finds them by its name.
    for (const char* suffix : {"", "-wal", "-shm"}) {
        const fs::path from = store.string() + suffix;
        const fs::path to = aside.string() + suffix;
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
    if (fs::exists(home)) {
        if (!fs::exists(storePath(home))) return State::StoreMissing;
        updateHelpPages(home);
        return State::Ready;
    }
    // Built in a sibling folder and renamed into place, so that a failed first run leaves no
    // half-made home folder behind.
    const fs::path staging = home.parent_path() / (home.filename().string() + ".new-" + std::to_string(::getpid()));
    fs::remove_all(staging);
    fs::create_directories(staging);
    try {
        CommandStore::create(storePath(staging));
        const fs::path shipped = shippedDataFolder();
        for (const auto& entry : fs::directory_iterator(shipped)) {
            const auto name = entry.path().filename().string();
            if (name == "CMakeLists.txt") continue;
            fs::copy(entry.path(), staging / entry.path().filename(), fs::copy_options::recursive);
        }
        writeShippedFiles(staging);
        fs::rename(staging, home);
    } catch (...) {
        std::error_code ec;
        fs::remove_all(staging, ec);
        throw;
    }
    return State::Created;
}

} // namespace vocabrella
