#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

// Starting the programs under test without a shell, on every system (ProcessRunner_posix.cpp,
// ProcessRunner_win.cpp).
namespace vocabrella::testsupport {

struct ProcessResult {
    int status = -1; // the exit status; -1 when it could not be started or did not end normally
    std::string out, err;
};


// Runs arguments[0] with the others, feeding it nothing and collecting its standard output and
// error, and waits for it.
ProcessResult runProgram(const std::vector<std::string>& arguments);

// A running program that a test ends by force, as a crash or a power cut would; its output
// goes to the null device.
class StartedProgram {
public:
    explicit StartedProgram(const std::vector<std::string>& arguments);
    ~StartedProgram(); // kills it when still running
    StartedProgram(const StartedProgram&) = delete;
    StartedProgram& operator=(const StartedProgram&) = delete;
    bool started() const;
    void kill();
    int wait(); // the exit status, -1 when killed
    std::int64_t id() const { return pid_; }

private:
    std::intptr_t handle_ = -1;
    std::int64_t pid_ = -1;
};

// The identifier of a process that has run and ended (this test program, listing its tests).
std::int64_t finishedProcess();

// The words of a command line written as a user types it in bash: separated by blanks, with
// '...', "..." and $'...' (\n, \t, \r, \\, \' and \" escapes) quoting.
std::vector<std::string> shellWords(std::string_view line);

} // namespace vocabrella::testsupport
