#pragma once

#include "ProcessRunner.h"
#include "TestHome.h"

#include <string>

namespace vocabrella::testsupport {

// The command line run as a user runs it: its exit status, standard output and standard error.
using CliRun = ProcessResult;

// arguments as typed in bash; the program is started without a shell.
inline CliRun runCli(const std::string& arguments) {
    std::vector<std::string> words{VOCABRELLA_CLI};
    for (auto& w : shellWords(arguments)) words.push_back(std::move(w));
    return runProgram(words);
}

} // namespace vocabrella::testsupport
