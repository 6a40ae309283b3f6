#pragma once

#include "ops/BatchSelection.h"
#include "ops/SearchReplace.h"
#include "ui/Selection.h"

#include <QDialog>

#include <exception>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

class QCheckBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QPlainTextEdit;
class QPushButton;
class QRadioButton;

namespace vocabrella::ops {
class Workspace;
}

namespace vocabrella::ui {

// The operations the batch dialog runs over the commands the user chooses.
enum class BatchMode { Export, RenameGroup, RenameProgram, Delete, KeysToPlain, KeysToSendKeys, KeysToDragonKeys, Replace };
// The running operation's name ("dat", "group" ...); an export's file name ends with it.
std::string_view modeName(BatchMode mode);

// export, the batch operation dialog: the scope options with their counts, the pick list, the
// file name of an export or the new name of a Group or program, and for search and replace the
// search text, its replacement and the match on show. It gathers the input and runs the
// operation of its mode; the operations mark, check, write and say what they did. Whenever it
// closes, no row of the store is left marked.
class BatchDialog : public QDialog {
    Q_OBJECT
public:
    BatchDialog(ops::Workspace& ws, BatchMode mode, const Selection& selection, std::filesystem::path programFolder,
                QWidget* parent = nullptr);
    ~BatchDialog() override;

    // What the window does afterwards: show the file as it is now, open the exported file,
    // show another Group.
    bool changedFile() const { return changed_; }
    const std::optional<std::filesystem::path>& openExported() const { return openExported_; }
    const std::optional<std::string>& currentGroup() const { return currentGroup_; }
    // The end of the program, raised while the dialog ran; the window raises it again.
    void rethrowPending() const;

    // The buttons, as their clicks run them.
    void Command2_Click();
    void specify_Click();
    void Replaceall_Click();
    ops::BatchScope scope() const;

private:
    void buildControls();
    void setUpMode();
    void fillPickList();
    void showCounts();
    void scopeChosen(ops::BatchScope scope);
    void pickChosen();
    void setAllPicked(bool on);
    void updatePickCount();
    ops::BatchSelection batchSelection() const;
    std::string exportName(const std::string& stem) const;
    void proposeName(const std::string& stem);
    bool fileChangedBehindUs();
    void runOperation();
    enum class Step { Search, Replace, ReplaceAll };
    void searchStep(Step step);
    void showSearch(const ops::Outcome& outcome);
    void abandonSearch();
    void closeDone();
    void setHeightTwips(int twips);
    void guarded(const std::function<void()>& action);

    ops::Workspace& ws_;
    BatchMode mode_;
    Selection selection_;
    std::filesystem::path programFolder_, exportFolder_;
    bool nameChosen_ = false; // the user typed or chose the file name
    bool replacementMade_ = false;
    bool changed_ = false;
    int fullHeight_ = 0;
    std::optional<ops::SearchReplace> search_;
    std::optional<std::filesystem::path> openExported_;
    std::optional<std::string> currentGroup_;
    std::exception_ptr pending_;

    QRadioButton *outputall_, *outputgroup_, *outputapp_, *outputstate_, *outputselect_;
    QLabel* counts_[5];
    QListWidget* List1_;
    QCheckBox *pickall_, *picknone_, *matchcase_;
    QLabel *Label1_, *Label2_, *Label3_, *Label4_, *Label10_, *Label11_, *oldgroupname_, *macroname_;
    QLineEdit *Text1_, *newgroupname_, *replacewith_;
    QPushButton *specify_, *Command2_, *Replaceall_, *cancel_;
    QPlainTextEdit* body_;
};

} // namespace vocabrella::ui
