#pragma once

#include <QDialog>
#include <QPointer>

#include "ui/HelpContexts.h"

#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <vector>

class QCheckBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QPlainTextEdit;
class QPushButton;
class QTextBrowser;

namespace vocabrella {
class Settings;
}

namespace vocabrella::ui {

// The program's one help window, reused by every dialog that offers help.
class HelpWindow : public QDialog {
    Q_OBJECT
public:
    explicit HelpWindow(std::filesystem::path helpFolder, QWidget* parent = nullptr);
    // Shows the default page, or the page of a context number.
    void Show(std::optional<int> contextId = std::nullopt);
    std::filesystem::path pageOf(std::optional<int> contextId) const;
    // The page shown last.
    std::filesystem::path shownPage() const { return shown_; }

private:
    std::filesystem::path folder_;
    std::filesystem::path shown_;
    QTextBrowser* browser_;
};

// F1 on the widget (and anything inside it) opens the help window at the context's page.
void installHelpKey(QWidget* widget, HelpWindow& help, int context);

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

// roamwarn: before a save of a roaming user's file, where the changes go and what to avoid.
// "&Proceed" closes it, "&Help" opens the roaming page; the check box is read on closing.
class RoamWarnDialog : public QDialog {
    Q_OBJECT
public:
    explicit RoamWarnDialog(HelpWindow& help, QWidget* parent = nullptr);
    bool neverAgain() const;

private:
    QCheckBox* check_;
};

// NewCommandForm, "Enter New Command Name below": the name of a new command, into which LIST
// references can be inserted from the LISTs of the store.
class NewCommandForm : public QDialog {
    Q_OBJECT
public:
    struct Lists {
        std::vector<std::string> names;                             // every LIST row, in store order
        std::function<std::string(const std::string& name)> items; // a LIST's items (CR LF lines)
    };
    NewCommandForm(const std::string& program, const std::string& scope, Lists lists, QWidget* parent = nullptr);
    // The typed name; empty after "&Cancel".
    std::string result() const { return result_; }

    void showLists();
    void insertList();

private:
    static constexpr int kNameHeight = 2200;  // twips: the name alone
    static constexpr int kListsHeight = 6800; // twips: with the LIST area
    int twips(int value) const;

    Lists lists_;
    std::string result_;
    QLineEdit* name_;
    QLabel* note_;
    QWidget* listArea_;
    QListWidget* list_;
    QPlainTextEdit* contents_;
    QPushButton* insert_;
};

} // namespace vocabrella::ui
