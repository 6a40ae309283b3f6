#pragma once

#include <cstdint>
#include <stdexcept>
#include <string>

namespace vocabrella {

// Damage in a command file: where it was met (1-based byte position) and what was expected there.
class FormatError : public std::runtime_error {
public:
    FormatError(std::uint64_t position, std::string expected);
    std::uint64_t position() const { return position_; }
    const std::string& expected() const { return expected_; }

private:
    std::uint64_t position_;
    std::string expected_;
};

// Text that has no Windows-1252 form, or bytes that are not valid UTF-8.
class EncodingError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// A failure of the command store (SQLite), with the engine's message.
class StoreError : public std::runtime_error {
public:
    StoreError(int code, const std::string& what) : std::runtime_error(what), code_(code) {}
    int code() const { return code_; }

private:
    int code_;
};

// "End the program": raised after the user has been told why; caught at the top of the
// window's event loop and of the command line, which close the store on the way out.
class EndProgram : public std::exception {
public:
    explicit EndProgram(int exitCode = 1) : exitCode_(exitCode) {}
    int exitCode() const { return exitCode_; }
    const char* what() const noexcept override { return "end of program"; }

private:
    int exitCode_;
};

} // namespace vocabrella

namespace vocabrella {

// An operation refused before it wrote anything; the text is the message for the user.
class Refusal : public std::runtime_error {
public:
    explicit Refusal(const std::string& message, std::string title = {})
        : std::runtime_error(message), title_(std::move(title)) {}
    const std::string& title() const { return title_; }

private:
    std::string title_;
};

// A refusal of what the user's input asks for beyond what a command file holds (a body of too
// many steps, an unknown Type or version code): nothing was written.
class InputRefusal : public Refusal {
public:
    using Refusal::Refusal;
};

} // namespace vocabrella
