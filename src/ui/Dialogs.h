#pragma once

#include <QDialog>
#include <QPointer>

#include <filesystem>
#include <optional>

class QCheckBox;
class QTextBrowser;

namespace vocabrella {
class Settings;
}

namespace vocabrella::ui {

// The help pages live in the home folder's help/ folder; a context number names one page.
inline constexpr int kHelpOptions = 10001;
inline constexpr int kHelpRoaming = 10004;
inline constexpr int kHelpCommands = 1; // the command reference ("Command &Help")

// The program's one help window, reused by every dialog that offers help.
class HelpWindow : public QDialog {
    Q_OBJECT
public:
    explicit HelpWindow(std::filesystem::path helpFolder, QWidget* parent = nullptr);
    // Shows the default page, or the page of a context number.
    void Show(std::optional<int> contextId = std::nullopt);
    std::filesystem::path pageOf(std::optional<int> contextId) const;

private:
    std::filesystem::path folder_;
    QTextBrowser* browser_;
};

// "Options": menu numbering, written to the settings at once.
class OptionsDialog : public QDialog {
    Q_OBJECT
public:
    OptionsDialog(Settings& settings, HelpWindow& help, QWidget* parent = nullptr);
};

// Form4, "About Vocabrella". Escape closes it, as any dialog.
class AboutDialog : public QDialog {
    Q_OBJECT
public:
    explicit AboutDialog(QWidget* parent = nullptr);
};

// autoimport, "For Voice initiation of Vocabrella": the offer to import the program's own voice
// commands. Import accepts, Skip and Escape reject; the check box is read on closing.
class AutoImportDialog : public QDialog {
    Q_OBJECT
public:
    explicit AutoImportDialog(QWidget* parent = nullptr);
    bool dontShowAgain() const;

private:
    QCheckBox* check_;
};

} // namespace vocabrella::ui
