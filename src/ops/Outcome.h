#pragma once

#include <string>
#include <utility>

namespace vocabrella::ops {

// What a change did. A refusal or a failure has been told to the user through the prompter
// already; its text is kept for the caller. The text of a change that was made is what the
// window shows (a message titled `title`, or nothing when empty) and the command line prints.
struct Outcome {
    enum class Kind { Done, Refused, Declined, Failed };
    Kind kind = Kind::Done;
    std::string text;
    std::string title;

    static Outcome done(std::string text = {}, std::string title = {}) {
        return {Kind::Done, std::move(text), std::move(title)};
    }
    static Outcome refused(std::string text, std::string title = {}) {
        return {Kind::Refused, std::move(text), std::move(title)};
    }
    static Outcome declined() { return {Kind::Declined, {}, {}}; }
    static Outcome failed(std::string text, std::string title = {}) {
        return {Kind::Failed, std::move(text), std::move(title)};
    }
    bool isDone() const { return kind == Kind::Done; }
};

} // namespace vocabrella::ops
