#pragma once

#include "cmdfile/Prompter.h"

#include <QPointer>

class QLabel;
class QWidget;

namespace vocabrella::ui {

// The window's answer to the program's messages and questions: Qt message boxes and input
// dialogs, with the status and count lines in the main window's labels. Texts keep their CR LF
// line ends everywhere else; they become line feeds only here.
class QtPrompter final : public Prompter {
public:
    // Dialogs open over parent (none until the main window exists); the labels are Label7 and Label9.
    void attach(QWidget* parent, QLabel* statusLabel, QLabel* countLabel);

    void message(std::string_view text, std::string_view title = {}) override;
    void table(std::string_view text, std::string_view title = {}) override;
    bool yesNo(std::string_view text, std::string_view title = {}) override;
    bool okCancel(std::string_view text, std::string_view title = {}) override;
    // The question over its details in a box of their own (CompareDialog).
    bool okCancelDetailed(std::string_view text, std::string_view title, std::string_view details) override;
    std::optional<std::string> input(std::string_view text, std::string_view title = {},
                                     std::string_view defaultValue = {}) override;
    int choice(std::string_view text, std::string_view title, const std::vector<std::string>& buttons) override;
    // The dialogs over and overwrite.
    int exportChoice(const ExportQuestion& question, std::string_view text, std::string_view title,
                     const std::vector<std::string>& buttons) override;
    void status(std::string_view text) override;
    void counts(std::string_view text) override;

private:
    QPointer<QWidget> parent_;
    QPointer<QLabel> status_, counts_;
};

} // namespace vocabrella::ui
