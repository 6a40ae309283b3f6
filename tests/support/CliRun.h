#pragma once

#include "TestHome.h"

#include <array>
#include <cstdio>
#include <string>
#include <sys/wait.h>

namespace vocabrella::testsupport {

// The command line run as a user runs it: its exit status, standard output and standard error.
struct CliRun {
    int status;
    std::string out, err;
};

inline CliRun runCli(const std::string& arguments) {
    TempDir dir;
    const auto errPath = dir.path() / "stderr";
    const std::string command = std::string(VOCABRELLA_CLI) + " " + arguments + " 2>'" + errPath.string() + "'";
    CliRun run{};
    FILE* pipe = ::popen(command.c_str(), "r");
    std::array<char, 4096> buffer{};
    for (std::size_t n; (n = std::fread(buffer.data(), 1, buffer.size(), pipe)) > 0;) run.out.append(buffer.data(), n);
    run.status = WEXITSTATUS(::pclose(pipe));
    run.err = readText(errPath);
    return run;
}

} // namespace vocabrella::testsupport
