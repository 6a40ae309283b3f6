#include "cmdfile/System.h"

#include <spawn.h>
#include <sys/wait.h>

#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <stdexcept>
#include <sys/utsname.h>
#include <unistd.h>

extern char** environ;

namespace vocabrella::os {
namespace fs = std::filesystem;

bool isLink(const fs::path& path) {
    std::error_code ec;
    return fs::is_symlink(fs::symlink_status(path, ec));
}

std::int64_t currentProcess() { return ::getpid(); }

bool processGone(std::int64_t pid) {
    // kill may not signal another account's process: only "no such process" says it is gone.
    return pid > 0 && ::kill(static_cast<pid_t>(pid), 0) != 0 && errno == ESRCH;
}

fs::path programFile() {
    std::error_code ec;
    return fs::read_symlink("/proc/self/exe", ec);
}

fs::path defaultHomeFolder() {
    if (const char* xdg = std::getenv("XDG_DATA_HOME"); xdg && *xdg) return fs::path(xdg) / "vocabrella";
    const char* home = std::getenv("HOME");
    return fs::path(home && *home ? home : ".") / ".local" / "share" / "vocabrella";
}

std::string environment(const char* name) {
    const char* value = std::getenv(name);
    return value ? value : "";
}

std::tm localTime(std::time_t t) {
    std::tm tm{};
    ::localtime_r(&t, &tm);
    return tm;
}

std::string operatingSystem() {
    utsname u{};
    if (::uname(&u) != 0) return {};
    return std::string(u.sysname) + " " + u.release;
}

fs::path makeTemporaryFolder(const fs::path& parent, std::string_view prefix) {
    std::string pattern = (parent / (std::string(prefix) + "XXXXXX")).string();
    if (!::mkdtemp(pattern.data())) throw fs::filesystem_error("Cannot create a temporary folder in", parent,
                                                               std::error_code(errno, std::generic_category()));
    return pattern;
}

std::int64_t startDetached(const std::vector<std::string>& arguments) {
    if (arguments.empty()) return -1;
    std::vector<char*> argv;
    for (const auto& a : arguments) argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    pid_t pid = -1;
    if (posix_spawn(&pid, argv[0], nullptr, nullptr, argv.data(), environ) != 0) return -1;
    return pid;
}

void reapIfFinished(std::int64_t pid) {
    if (pid > 0) ::waitpid(static_cast<pid_t>(pid), nullptr, WNOHANG);
}

} // namespace vocabrella::os
