#pragma once

#include "cmdfile/Prompter.h"

#include <deque>
#include <functional>
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

// Passes everything on to a scripted prompter and lets a test act when the program says where it
// is (its status and count lines): what another program does can be staged at that very moment.
class HookedPrompter final : public Prompter {
public:
    explicit HookedPrompter(ScriptedPrompter& inner) : inner_(inner) {}

    void message(std::string_view text, std::string_view title) override { inner_.message(text, title); }
    bool yesNo(std::string_view text, std::string_view title) override { return inner_.yesNo(text, title); }
    bool okCancel(std::string_view text, std::string_view title) override { return inner_.okCancel(text, title); }
    std::optional<std::string> input(std::string_view text, std::string_view title, std::string_view d) override {
        return inner_.input(text, title, d);
    }
    int choice(std::string_view text, std::string_view title, const std::vector<std::string>& buttons) override {
        return inner_.choice(text, title, buttons);
    }
    void status(std::string_view text) override {
        inner_.status(text);
        if (onStatus) onStatus(text);
    }
    void counts(std::string_view text) override {
        inner_.counts(text);
        if (onCounts) onCounts(text);
    }

    std::function<void(std::string_view)> onStatus, onCounts;

private:
    ScriptedPrompter& inner_;
};

} // namespace vocabrella::testsupport
