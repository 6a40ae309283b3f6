#pragma once

// Where the command line meets the operating system: its arguments, its standard streams, the
// ending of the run by the user. One source file per system (ProcessEdges_posix.cpp,
// ProcessEdges_win.cpp).

#include <atomic>
#include <filesystem>
#include <string>
#include <thread>
#include <vector>

namespace vocabrella::cli {

// The program's arguments as UTF-8: on Windows from the wide command line, not from the narrow
// argv of the ANSI code page.
class Arguments {
public:
    Arguments(int argc, char** argv);
    int count() const { return static_cast<int>(pointers_.size()); }
    const char* const* values() const { return pointers_.data(); }

private:
    std::vector<std::string> texts_;
    std::vector<const char*> pointers_;
};

// Standard output and error carry the bytes the program writes, without any line-end
// translation (Windows would turn each LF into CR LF, and a CR LF into CR CR LF).
void prepareStandardStreams();
// Whether standard output and standard error are terminals (consoles).
bool standardOutputIsTerminal();
bool standardErrorIsTerminal();

// A home folder for this run only. It is removed on the way out, also when the run is ended by
// the user (Ctrl+C, a closed console, SIGTERM, a closed pipe).
class TemporaryHome {
public:
    TemporaryHome();
    ~TemporaryHome();
    TemporaryHome(const TemporaryHome&) = delete;
    TemporaryHome& operator=(const TemporaryHome&) = delete;
    std::filesystem::path home() const { return base_ / "home"; }

private:
    std::filesystem::path base_;
    std::atomic<bool> finished_{false};
    std::thread watcher_;
};

} // namespace vocabrella::cli
