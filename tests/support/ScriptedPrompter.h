#pragma once

#include "cmdfile/Prompter.h"

#include <deque>
#include <string>
#include <vector>

namespace vocabrella::testsupport {

// Records every text the program shows and replays prepared answers in order. An unprepared
// question is answered the cautious way (no, cancel) and recorded all the same.
class ScriptedPrompter final : public Prompter {
public:
    enum class Kind { Message, YesNo, OkCancel, Input, Choice };
    struct Shown {
        Kind kind;
        std::string text;
        std::string title;
    };

    void message(std::string_view text, std::string_view title) override { record(Kind::Message, text, title); }
    bool yesNo(std::string_view text, std::string_view title) override {
        record(Kind::YesNo, text, title);
        return nextAnswer() == "yes";
    }
    bool okCancel(std::string_view text, std::string_view title) override {
        record(Kind::OkCancel, text, title);
        return nextAnswer() == "ok";
    }
    std::optional<std::string> input(std::string_view text, std::string_view title, std::string_view) override {
        record(Kind::Input, text, title);
        if (answers.empty()) return std::nullopt;
        return nextAnswer();
    }
    int choice(std::string_view text, std::string_view title, const std::vector<std::string>&) override {
        record(Kind::Choice, text, title);
        const auto a = nextAnswer();
        return a.empty() ? -1 : std::stoi(a);
    }
    void status(std::string_view text) override { statusLines.emplace_back(text); }
    void counts(std::string_view text) override { countLines.emplace_back(text); }

    std::deque<std::string> answers;
    std::vector<Shown> shown;
    std::vector<std::string> statusLines;
    std::vector<std::string> countLines;

    std::size_t messageCount() const { return shown.size(); }
    const Shown& last() const { return shown.back(); }

private:
    void record(Kind kind, std::string_view text, std::string_view title) {
        shown.push_back({kind, std::string(text), std::string(title)});
    }
    std::string nextAnswer() {
        if (answers.empty()) return {};
        auto a = answers.front();
        answers.pop_front();
        return a;
    }
};

} // namespace vocabrella::testsupport
