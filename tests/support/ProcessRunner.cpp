#include "ProcessRunner.h"

#include "cmdfile/System.h"

#include <stdexcept>

namespace vocabrella::testsupport {

std::vector<std::string> shellWords(std::string_view line) {
    std::vector<std::string> words;
    std::string word;
    bool inWord = false;
    for (std::size_t i = 0; i < line.size(); ++i) {
        const char c = line[i];
        if (c == ' ' || c == '\t' || c == '\n') {
            if (inWord) words.push_back(std::move(word)), word.clear();
            inWord = false;
            continue;
        }
        inWord = true;
        if (c == '\'') {
            const auto end = line.find('\'', i + 1);
            if (end == std::string_view::npos) throw std::invalid_argument("an unclosed ' in: " + std::string(line));
            word.append(line.substr(i + 1, end - i - 1));
            i = end;
        } else if (c == '"' || (c == '$' && i + 1 < line.size() && line[i + 1] == '\'')) {
            const char close = c == '"' ? '"' : '\'';
            if (c == '$') ++i;
            for (++i;; ++i) {
                if (i >= line.size()) throw std::invalid_argument("an unclosed quote in: " + std::string(line));
                if (line[i] == close) break;
                if (line[i] == '\\' && i + 1 < line.size()) {
                    const char e = line[++i];
                    if (close == '\'') { // $'...'
                        switch (e) {
                        case 'n': word += '\n'; break;
                        case 't': word += '\t'; break;
                        case 'r': word += '\r'; break;
                        case '\\':
                        case '\'':
                        case '"': word += e; break;
                        default: word += '\\', word += e;
                        }
                    } else if (e == '\\' || e == '"' || e == '$' || e == '`') {
                        word += e;
                    } else {
                        word += '\\', word += e;
                    }
                } else {
                    word += line[i];
                }
            }
        } else if (c == '\\' && i + 1 < line.size()) {
            word += line[++i];
        } else {
            word += c;
        }
    }
    if (inWord) words.push_back(std::move(word));
    return words;
}

std::int64_t finishedProcess() {
    StartedProgram program({os::pathText(os::programFile()), "--gtest_list_tests"});
    const auto id = program.id();
    program.wait();
    return id;
}

} // namespace vocabrella::testsupport
