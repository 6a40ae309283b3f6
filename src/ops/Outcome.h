#pragma once

#include <string>
#include <utility>

namespace vocabrella::ops {

// What a change did. A refusal or a failure has been told to the user through the prompter
// already; its text is kept for the caller. The text of a change that was made is what the
// window shows (a message titled `title`, or nothing when empty) and the command line prints.
struct Outcome {
    enum class Kind { Done, Refused, Declined, Failed };
    // Why a change that was not made stopped, where the caller acts on it: callers test the
    // reason, never the text.
    enum class Reason {
        None,
        // The file was changed by another program meanwhile and has been read again: what the
        // caller shows of it is stale.
        FileChangedMeanwhile,
        // A search found nothing more in its scope.
        NoMoreMatches,
        // The user chose to change nothing.
        NothingChosen,
        // The change is not one the command or LIST allows (its kind, the file's language).
        NotAllowed,
    };
    Kind kind = Kind::Done;
    std::string text;
    std::string title;
    Reason reason = Reason::None;

    static Outcome done(std::string text = {}, std::string title = {}) {
        return make(Kind::Done, std::move(text), std::move(title));
    }
    static Outcome refused(std::string text, std::string title = {}) {
        return make(Kind::Refused, std::move(text), std::move(title));
    }
    static Outcome declined() { return make(Kind::Declined, {}, {}); }
    static Outcome failed(std::string text, std::string title = {}) {
        return make(Kind::Failed, std::move(text), std::move(title));
    }
    bool isDone() const { return kind == Kind::Done; }
    // The same outcome, with its reason.
    Outcome because(Reason why) && {
        reason = why;
        return std::move(*this);
    }

private:
    static Outcome make(Kind kind, std::string text, std::string title) {
        Outcome o;
        o.kind = kind;
        o.text = std::move(text);
        o.title = std::move(title);
        return o;
    }
};

} // namespace vocabrella::ops
