// The command line as a user runs it. Most tests run it in this process, with the arguments as
// they would be typed in bash; a few run the real executable, for what only a process shows:
// exit codes, the bytes on standard output, signals.
#pragma once

#include "ProcessRunner.h"
#include "TestHome.h"

#include "Cli.h"

#include "cmdfile/System.h"

#include <filesystem>
#include <sstream>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace vocabrella::testsupport {

// Its exit status, standard output and standard error.
struct CliRun {
    int status;
    std::string out, err;
};

// A path as typed in bash, between single quotes.
inline std::string quoted(const std::filesystem::path& p) { return "'" + os::pathText(p) + "'"; }

// In this process: the program's own entry point, given string streams for its output.
// On a terminal, the text it shows is escaped where a terminal would act on it.
inline CliRun runCliArgs(const std::vector<std::string>& args, bool onTerminal = false) {
    std::ostringstream out, err;
    CliRun run{};
    run.status = cli::runCli(args, {out, err, onTerminal, onTerminal});
    run.out = out.str();
    run.err = err.str();
    return run;
}
inline CliRun runCli(std::string_view arguments, bool onTerminal = false) {
    return runCliArgs(shellWords(arguments), onTerminal);
}

// The real executable, started without a shell, with the arguments as typed in bash.
inline CliRun runCliProcess(std::string_view arguments) {
    std::vector<std::string> words{VOCABRELLA_CLI};
    for (auto& w : shellWords(arguments)) words.push_back(std::move(w));
    const auto run = runProgram(words);
    return {run.status, run.out, run.err};
}

} // namespace vocabrella::testsupport
