#pragma once

#include <QDialog>
#include <QTemporaryDir>

#include <filesystem>
#include <functional>
#include <optional>
#include <string>

class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;
class QRadioButton;

namespace vocabrella::ops {
class Workspace;
struct BatchSelection;
} // namespace vocabrella::ops

namespace vocabrella::browse {
struct Selection;
} // namespace vocabrella::browse

namespace vocabrella::ui {

class HelpWindow;
using browse::Selection;

// The PDF file a print goes to when no printer is installed: nothing when the user cancels.
using ChoosePdfFile = std::function<std::optional<std::filesystem::path>(const std::filesystem::path& proposed)>;
// Asks with a save dialog.
std::optional<std::filesystem::path> askForPdfFile(QWidget* parent, const std::filesystem::path& proposed);

// exportdat, "Export/Report": writes the chosen commands as a command list ("txt"), a
// spreadsheet ("csv"), DVC ("dvc") or pseudo DVC ("pseudo"), to a file, a printer or the
// clipboard. The chosen rows are marked only while an output is made; the dialog leaves no mark
// however it closes.
class ExportReportDialog : public QDialog {
    Q_OBJECT
public:
    struct Context {
        std::string mode;
        const Selection& selection;
        // The entries of the main window's command list, in order ("Pick and Choose").
        QStringList commands;
        ChoosePdfFile choosePdfFile;
    };
    ExportReportDialog(ops::Workspace& ws, Context context, HelpWindow& help, QWidget* parent = nullptr);

    // Command2: makes the output; the dialog closes when it was made.
    void Command2_Click();

private:
    enum class Scope { Everything, Program, State, Group, Pick };
    void chooseScope(Scope scope);
    void showDestination();
    void specify_Click();
    std::filesystem::path proposed(const std::string& stem, bool inExportFolder = true) const;
    ops::BatchSelection chosenSelection() const;

    ops::Workspace& ws_;
    Context context_;
    std::filesystem::path folder_;
    QTemporaryDir temporary_;

    QGroupBox *Frame1_, *Frame2_;
    QRadioButton *outputall_, *outputapp_, *outputstate_, *outputgroup_, *outputselect_;
    QRadioButton *tofile_, *toprinter_, *ToClipboard_;
    QListWidget* List1_;
    QLabel* Label1_;
    QLineEdit* Text1_;
    QComboBox* Combo1_;
    QPushButton *specify_, *Command2_, *cancel_;
};

} // namespace vocabrella::ui
