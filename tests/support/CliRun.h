// The command line as a user runs it. Most tests run it in this process, with the arguments as
// they would be typed in bash; a few run the real executable, for what only a process shows:
// exit codes, the bytes on standard output, signals.
#pragma once

#include "TestHome.h"

#include "Cli.h"

#include <array>
#include <cstdio>
#include <filesystem>
#include <sstream>
#include <stdexcept>
#include <string>
#include <string_view>
#include <sys/wait.h>
#include <utility>
#include <vector>

namespace vocabrella::testsupport {

// Its exit status, standard output and standard error.
struct CliRun {
    int status;
    std::string out, err;
};

// The words of a command line as bash makes them, for the quoting tests use: blanks between
// words, '...' as it stands, $'...' with the escapes \n \r \t \\ \', "..." and a backslash outside
// quotes taking the next character.
inline std::vector<std::string> shellWords(std::string_view line) {
    std::vector<std::string> words;
    std::string word;
    bool inWord = false;
    const auto closing = [&](std::size_t from, char quote) {
        const auto end = line.find(quote, from);
        if (end == std::string_view::npos) throw std::invalid_argument("unterminated quote in: " + std::string(line));
        return end;
    };
    for (std::size_t i = 0; i < line.size(); ++i) {
        const char c = line[i];
        if (c == ' ' || c == '\t' || c == '\n') {
            if (inWord) words.push_back(std::exchange(word, {}));
            inWord = false;
            continue;
        }
        inWord = true;
        if (c == '\'') {
            const auto end = closing(i + 1, '\'');
            word.append(line.substr(i + 1, end - i - 1));
            i = end;
        } else if (c == '$' && i + 1 < line.size() && line[i + 1] == '\'') {
            for (i += 2; i < line.size() && line[i] != '\''; ++i) {
                if (line[i] != '\\' || i + 1 == line.size()) {
                    word += line[i];
                    continue;
                }
                const char e = line[++i];
                word += e == 'n' ? '\n' : e == 'r' ? '\r' : e == 't' ? '\t' : e;
            }
            if (i == line.size()) throw std::invalid_argument("unterminated quote in: " + std::string(line));
        } else if (c == '"') {
            const auto end = closing(i + 1, '"');
            for (++i; i < end; ++i) word += line[i];
        } else if (c == '\\' && i + 1 < line.size()) {
            word += line[++i];
        } else {
            word += c;
        }
    }
    if (inWord) words.push_back(word);
    return words;
}

// A path as typed in bash, between single quotes.
inline std::string quoted(const std::filesystem::path& p) { return "'" + p.string() + "'"; }

// In this process: the program's own entry point, given string streams for its output.
inline CliRun runCliArgs(const std::vector<std::string>& args) {
    std::ostringstream out, err;
    CliRun run{};
    run.status = cli::runCli(args, {out, err});
    run.out = out.str();
    run.err = err.str();
    return run;
}
inline CliRun runCli(std::string_view arguments) { return runCliArgs(shellWords(arguments)); }

// The real executable, started by bash.
inline CliRun runCliProcess(const std::string& arguments) {
    TempDir dir;
    const auto errPath = dir.path() / "stderr";
    const std::string script = std::string(VOCABRELLA_CLI) + " " + arguments + " 2>'" + errPath.string() + "'";
    std::string command = "bash -c '";
    for (const char c : script) command += c == '\'' ? std::string("'\\''") : std::string(1, c);
    command += "'";
    CliRun run{};
    FILE* pipe = ::popen(command.c_str(), "r");
    if (!pipe) throw std::runtime_error("cannot start " + command);
    std::array<char, 4096> buffer{};
    for (std::size_t n; (n = std::fread(buffer.data(), 1, buffer.size(), pipe)) > 0;) run.out.append(buffer.data(), n);
    run.status = WEXITSTATUS(::pclose(pipe));
    run.err = readText(errPath);
    return run;
}

} // namespace vocabrella::testsupport
