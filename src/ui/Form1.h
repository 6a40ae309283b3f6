#pragma once

#include "cmdfile/Clock.h"
#include "cmdfile/Store.h"
#include "ops/Names.h"
#include "ui/Browser.h"
#include "ui/Dialogs.h"
#include "ui/Finder.h"
#include "ui/Selection.h"

#include <QMainWindow>

#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <vector>

class QAction;
class QPalette;
class QLabel;
class QLineEdit;
class QListWidget;
class QMenu;
class QPlainTextEdit;
class QPushButton;
class QSlider;
class QTabWidget;
class QTextEdit;

namespace vocabrella {
class Application;
class Session;
class Settings;
} // namespace vocabrella

namespace vocabrella::ui {

class EditMenu;
class FindForm;
class HelpWindow;
enum class BatchMode;

// The three menus built from the store.
enum class DynamicMenu { Program, Scope, Group };

// Told when a dynamic menu was built or opened, so that Dragon's spoken controls can offer its
// entries by number ("program 3"). Only called while menu numbering is on.
class MenuListener {
public:
    virtual ~MenuListener() = default;
    // words: how many numbers the menu's number LIST holds.
    virtual void menuBuilt(DynamicMenu menu, int words) = 0;
    virtual void menuOpened(DynamicMenu menu, int words) = 0;
};

// The main window: the Program, Scope, Group and View selection over the command store, the
// four lists, the shown command and its body. File logic stays in the core: the window asks
// the running program to open, read and back up files and the browser for what to show.
class Form1 : public QMainWindow {
    Q_OBJECT
public:
    // The program must have loaded (Application::load) before its window is built.
    explicit Form1(Application& app, QWidget* parent = nullptr);
    ~Form1() override;

    // What the start-up and the rest of the program plug in.
    struct Hooks {
        // The Open dialog: the chosen file, or nothing when cancelled.
        std::function<std::optional<std::filesystem::path>(const std::filesystem::path& start)> chooseFileToOpen;
        // The Save dialog of the exports, likewise.
        std::function<std::optional<std::filesystem::path>(const std::filesystem::path& start)> chooseFileToSave;
        MenuListener* menus = nullptr;
        // Where a print goes when no printer is installed; a save dialog when not set.
        std::function<std::optional<std::filesystem::path>(const std::filesystem::path& proposed)> choosePdfFile;
    };
    Hooks& hooks() { return hooks_; }

    Selection& selection() { return selection_; }
    const BodyDisplay& bodyDisplay() const { return body_; }
    bool fileOpen() const;

    // The view of a file that was just read into the store: menus built, program and scope
    // chosen (Global Commands when the file has no commands, else those of its first row).
    void showOpenedFile();
    // Shows this program and scope (the start-up's choice from the calling window).
    void choosePlace(const std::string& program, const std::string& scope);
    // The displayed speech user's captions of Restore and Backup, and the restore entries.
    void showUser();
    // The placement saved in the settings; maximized when it was.
    void restorePlacement();

    // Selection (names as in the rest of the program).
    void BuildProgramMenu();
    void BuildScopeMenu(const std::string& program);
    void BuildGroupMenu();
    void appdynamic_Click(int index);
    void statedynamic_Click(int index);
    void groupdynamic_Click(int index);
    void reset(int tab);
    void FillCommandList();
    void ShowSelectedEntry(int list);
    void List1_Click();
    void List2_Click();
    void List3_Click();
    void List4_Click();
    void SSTab1_Click(int tab);
    void viewfollowcommand_Click();
    void viewfollowlist_Click();
    void showgraphic_Click();
    void BeginEdit();
    void modify_Click();
    void abandon_Click();
    void savechanges_Click();

    // The "&Voc" menu.
    void commandnew_Click(const std::string& kind);
    void commandnewlist_Click();
    void commandrename_Click();
    void commandclone_Click();
    void commanddelete_Click();
    void commandconvert2Plain_Click();
    void commandconvert2Advanced_Click();
    void CommandDebugBasic_Click();

    // Find: the dialog, or with fromKey (F11 / F12) only the move onto its hit.
    void findmenu_Click(bool fromKey = false);
    FindForm& findForm();

    // The "&Tools" menu.
    void toolsBatch_Click(BatchMode mode);
    void toolsKeys_Click(BatchMode mode);
    void toolsconvert_Click(const std::string& target);
    void toolslanguage_Click();

    // Reports: the Export/Report dialog in mode "txt", "csv", "dvc" or "pseudo", then the window
    // refreshed; the print of the shown command.
    void exportReport(const std::string& mode);
    void popupprint_Click();

    // File menu.
    void fileopen_Click();
    void filecompare_Click();
    void FileOpenNoDialog(const std::filesystem::path& path);
    void filereload_Click();
    void FileRefresh_Click();
    void filepropertys_Click();
    void filereset_Click();
    void rollbackdynamic_Click(int index);
    void rollbackset_Click();
    // Dragon's MyCommands XML: into the open file, and every command out of it.
    void fileimportxml_Click();
    void fileexportxml_Click();

    // Tools: "Check Commands...".
    void toolscheck_Click();
    // Shows the command (or, with isList, the LIST) of that program and scope, whatever group
    // or view hid it. False when the store has no such row.
    bool goToCommand(const std::string& program, const std::string& scope, const std::string& name, bool isList);

    // Whether Dragon is installed; without it the entries that need Dragon are off.
    bool dragonAvailable() const;

    // The dynamic menus as the keyboard reaches them: entry count, separators, and choosing an
    // entry as a click does.
    int entryCount(DynamicMenu menu) const;
    bool isSeparator(DynamicMenu menu, int index) const;
    void chooseEntry(DynamicMenu menu, int index);
    QMenu* dynamicMenu(DynamicMenu menu) const;

    // Spoken controls: a tab by number 0 to 3, and the slider. While an edit is open the tab
    // stays (the status line says why), as the tab bar itself does.
    void showTab(int tab);
    // A change begun and neither saved nor abandoned.
    bool editOpen() const;
    void setSlider(int value);

    // Applies the settings: fonts of the lists and the body box, the slider.
    void applyOptions();

    // Runs an action as the window's own handlers do: the end of the program closes the
    // window, a refusal or failure is told to the user.
    void guarded(const std::function<void()>& action);
    // Ends the program: the window closes without writing its placement.
    void endProgram(int exitCode);
    bool ended() const { return ended_; }

signals:
    // The program must end (after the user was told why); the application quits with this code.
    void programEnded(int exitCode);

protected:
    void closeEvent(QCloseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void buildMenus();
    void buildControls();
    QAction* entry(QMenu* menu, const char* name, std::string_view caption, bool enabled = true);
    QMenu* menu(const char* name, std::string_view caption);
    void connectView();
    void viewTypeToggled(ViewType type);
    void viewAll();
    void viewOnly(ViewType type);
    void numberMenu(DynamicMenu which);
    std::vector<QAction*> dynamicEntries(QMenu* menu) const;
    std::string entryName(QMenu* menu, int index) const;
    void setEntries(QMenu* menu, const char* name, const std::vector<std::string>& names);
    void fillCommandList(const std::vector<CommandStore::RowHead>& rows);
    void fillList(QListWidget* list, const std::vector<std::string>& lines);
    void selectRow(QListWidget* list, int row);
    void showRow(const UserRow& row);
    void showText(const std::string& crlfText);
    std::string bodyText() const; // the body box with CR LF line ends
    // After a change was written and the store read again: the menus and lists anew, showing
    // the selection's command.
    void refreshAfterChange();
    // A name added to the list of a tab and selected, before it exists in the store.
    void showPendingName(int tab, const std::string& name);
    // The entry on show: its tab, place and name, to be shown again after a refresh.
    struct ShownEntry {
        int tab = 0;
        std::string program, scope, name;
    };
    ShownEntry shownEntry() const;
    // The window refreshed on that tab with that entry selected (a name no longer there leaves
    // the tab's first entry selected).
    void showAgain(const ShownEntry& entry);
    NewCommandForm::Lists storeLists(); // what NewCommandForm offers under "Show Lists"
    bool StartNewCommand(const std::string& kind, const std::string& name, const std::string& body);
    void setMenusEnabled(bool on);
    bool refusedWhileEditing();
    void runBatchDialog(BatchMode mode);
    // Without Dragon: its entries off, and the status line saying why.
    void showDragonAvailability();
    void layoutSplit();
    void setCaption();
    void showReadFile();
    void menuBuilt(DynamicMenu menu, int words);
    int twips(int value) const;
    QPalette readOnlyPalette() const; // the boxes that show but take no typing

    Application& app_;
    Session& session_;
    Settings& settings_;
    Selection selection_;
    Browser browser_;
    Hooks hooks_;
    BodyDisplay body_;
    HelpWindow* help_ = nullptr;
    Finder finder_;
    FindForm* findform_ = nullptr; // made on first use
    int findKeyArmed_ = 0;         // F11 or F12 went down in a list or the body box

    // Entries behind the recent lists, which do not show the scope.
    std::vector<RecentEntry> recentlyCreated_, recentlyModified_;
    std::optional<std::int64_t> currentRow_;
    std::string shownGroup_, shownBody_, shownType_;
    bool refreshing_ = false; // the refresh flag of reset
    bool abandoning_ = false; // an abandon's refresh leaves Dragon's number LISTs alone
    bool listFilling_ = false, listEmpty_ = false, noLongerAvailable_ = false;
    bool newItemPending_ = false, modifyInProgress_ = false;
    bool descriptionChanged_ = false, groupChanged_ = false;
    bool numbered_[3] = {false, false, false};
    // The edit on its way to "Save Changes".
    std::string currentKind_, bodyBefore_;
    bool toPlainText_ = false, toAdvancedScript_ = false;
    struct PendingNew {
        ops::Place place;
        std::string shownCommand, name;
        bool list = false;
        // A copy: the command or LIST it copies, and the tab it was made on.
        std::string cloneOf;
        int tab = 0;
    };
    std::optional<PendingNew> pendingNew_;
    SystemClock clock_;
    bool ended_ = false;

    // Menus and entries.
    EditMenu* undoRedo_ = nullptr; // Undo and Redo, at the top of the Edit menu
    QMenu *fileMenu_, *editMenu_, *viewMenu_, *appcommand_, *statecommand_, *groupcommand_, *commandmenu_,
        *toolsMenu_, *helpMenu_, *rollback_;
    QAction *rollbackset_, *viewfollowcommand_, *viewfollowlist_, *viewAll_, *viewMapped_, *viewNotMapped_;
    QAction* viewTypes_[kViewTypeCount];
    QAction *commandEdit_, *commandDebugBasic_, *commandclone_, *convert2Plain_, *convert2Advanced_, *commandrename_, *commanddelete_;

    // Controls.
    QTabWidget* SSTab1_;
    QListWidget* lists_[4];
    QPlainTextEdit* Text1_;
    QTextEdit* RichTextBox1_;
    QLineEdit *Text2_, *Text3_, *Text5_, *Text6_, *description_, *ActiveStates_;
    QPushButton *modify_, *savechanges_, *abandon_, *showgraphic_;
    QLabel *Label7_, *Label9_;
    QSlider* Slider1_;
    QWidget* splitPane_;
};

} // namespace vocabrella::ui
