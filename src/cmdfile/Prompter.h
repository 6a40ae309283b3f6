#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace vocabrella {

// Everything the program says to the user, or asks, goes through here: the window answers with
// dialogs, the command line prints and answers from its options, tests replay prepared answers.
// An empty title means the program's own title.
class Prompter {
public:
    virtual ~Prompter() = default;

    virtual void message(std::string_view text, std::string_view title = {}) = 0;
    // A message whose lines are laid out in columns: shown in a fixed-pitch font where it can be.
    virtual void table(std::string_view text, std::string_view title = {}) { message(text, title); }
    virtual bool yesNo(std::string_view text, std::string_view title = {}) = 0;
    virtual bool okCancel(std::string_view text, std::string_view title = {}) = 0;
    // OK / Cancel to a question with details to weigh first (what a restore would change): the
    // window shows them in a box of their own under the question; elsewhere they are told first.
    virtual bool okCancelDetailed(std::string_view text, std::string_view title, std::string_view details) {
        if (!details.empty()) table(details, title);
        return okCancel(text, title);
    }
    // nullopt when cancelled.
    virtual std::optional<std::string> input(std::string_view text, std::string_view title = {},
                                             std::string_view defaultValue = {}) = 0;
    // Index of the chosen button, or -1 when the dialog was cancelled.
    virtual int choice(std::string_view text, std::string_view title,
                       const std::vector<std::string>& buttons) = 0;

    // The two questions of an export into a command file that exists: what to do with the file,
    // and whether a command it holds already is overwritten. The window asks them in dialogs of
    // their own, laid out from these fields; everywhere else they are a choice among the buttons.
    struct ExportQuestion {
        enum class Kind { FileExists, CommandExists };
        Kind kind = Kind::FileExists;
        std::string target;  // the export file
        std::string command; // the command already in it (CommandExists)
        std::string source;  // the file the command would come from (CommandExists)
    };
    virtual int exportChoice(const ExportQuestion& question, std::string_view text, std::string_view title,
                             const std::vector<std::string>& buttons) {
        (void)question;
        return choice(text, title, buttons);
    }
    // The status line (Label7) and the count line (Label9) of the main window.
    virtual void status(std::string_view text) = 0;
    virtual void counts(std::string_view text) = 0;
};

// Says nothing and answers every question the cautious way (no, cancel): for work whose words
// mean nothing to the user, such as walking a body only to find where it ends.
class SilentPrompter final : public Prompter {
public:
    void message(std::string_view, std::string_view) override {}
    bool yesNo(std::string_view, std::string_view) override { return false; }
    bool okCancel(std::string_view, std::string_view) override { return false; }
    std::optional<std::string> input(std::string_view, std::string_view, std::string_view) override { return {}; }
    int choice(std::string_view, std::string_view, const std::vector<std::string>&) override { return -1; }
    void status(std::string_view) override {}
    void counts(std::string_view) override {}
};

} // namespace vocabrella
