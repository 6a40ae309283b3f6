#pragma once

#include "cmdfile/Prompter.h"

#include <iosfwd>

namespace vocabrella::cli {

// The command line's prompter: messages go to standard error; questions take the answer the
// command's options gave (by default the cautious one: no, cancel).
class CliPrompter final : public Prompter {
public:
    explicit CliPrompter(std::ostream& err) : err_(err) {}

    void message(std::string_view text, std::string_view title) override;
    bool yesNo(std::string_view text, std::string_view title) override;
    bool okCancel(std::string_view text, std::string_view title) override;
    std::optional<std::string> input(std::string_view text, std::string_view title,
                                     std::string_view defaultValue) override;
    int choice(std::string_view text, std::string_view title, const std::vector<std::string>& buttons) override;
    void status(std::string_view) override {}
    void counts(std::string_view) override {}

    bool answerYes = false;
    int chosenButton = -1;
    // Messages go to a terminal: their control characters are shown escaped.
    bool toTerminal = false;

private:
    std::ostream& err_;
};

// CR LF becomes the terminal's line end.
std::string forTerminal(std::string_view text);
// The C0 and C1 control characters of UTF-8 text but tab, CR and LF, written as \x1b: a terminal
// would act on them.
std::string visibleControls(std::string_view text);
// The text as it goes to that stream: escaped when it is a terminal.
std::string shownOn(bool terminal, std::string_view text);

} // namespace vocabrella::cli
