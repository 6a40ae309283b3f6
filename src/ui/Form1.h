#pragma once

#include "ui/Browser.h"
#include "ui/Selection.h"
#include "ui/WindowContext.h"

#include <QMainWindow>

#include <filesystem>
#include <functional>
#include <optional>
#include <string>

class QLabel;
class QMenu;
class QSlider;

namespace vocabrella {
class Application;
} // namespace vocabrella

namespace vocabrella::ui {

class EditMenu;
class FindForm;

// The main window: lays out its parts (the Program, Scope and Group menus, the View menu, the
// four lists, the shown command, the Voc, File and Tools menus) and wires them together; keeps
// its placement. What each part does is its own; the file logic stays in the core.
class Form1 : public QMainWindow {
    Q_OBJECT
public:
    // The program must have loaded (Application::load) before its window is built.
    explicit Form1(Application& app, QWidget* parent = nullptr);
    ~Form1() override;

    using Hooks = WindowHooks;
    Hooks& hooks() { return ctx_.hooks; }

    Selection& selection() { return ctx_.selection; }
    const BodyDisplay& bodyDisplay() const;
    bool fileOpen() const { return ctx_.fileOpen(); }

    // The view of a file that was just read into the store: menus built, program and scope
    // chosen (Global Commands when the file has no commands, else those of its first row).
    void showOpenedFile();
    // Shows this program and scope (the start-up's choice from the calling window).
    void choosePlace(const std::string& program, const std::string& scope);
    // The placement saved in the settings; maximized when it was.
    void restorePlacement();
    // The window anew from the selection (tab -1: the tab stays).
    void reset(int tab);
    // Opens that file, as the Open dialog does once a file is chosen.
    void FileOpenNoDialog(const std::filesystem::path& path);
    // The file read again after Dragon changed it.
    void refreshFile();

    // The dynamic menus as the keyboard reaches them: entry count, separators, and choosing an
    // entry as a click does.
    int entryCount(DynamicMenu menu) const;
    bool isSeparator(DynamicMenu menu, int index) const;
    void chooseEntry(DynamicMenu menu, int index);

    // Spoken controls: a tab by number 0 to 3, and the slider. While an edit is open the tab
    // stays (the status line says why), as the tab bar itself does.
    void showTab(int tab);
    // A change begun and neither saved nor abandoned.
    bool editOpen() const { return !ctx_.edit.idle(); }
    void setSlider(int value);
    // Applies the settings: fonts of the lists and the body box, the slider.
    void applyOptions();

    // An action is running or a dialog is open: the store must not be read again under them.
    bool busy() const;
    // Runs an action as the window's own handlers do: the end of the program closes the
    // window, a refusal or failure is told to the user.
    void guarded(const std::function<void()>& action);
    // Ends the program: the window closes without writing its placement.
    void endProgram(int exitCode);
    bool ended() const { return exitCode_.has_value(); }
    // Whether Dragon is installed; without it the entries that need Dragon are off.
    bool dragonAvailable() const;

    // What the parts ask of the window.
    void setCaption();
    // The menus and the tab bar on or off (off while an edit is open; the Voc and Tools menus
    // stay off without an open file).
    void setMenusEnabled(bool on);
    // Refuses what would leave an open edit, saying so in the status line.
    bool refusedWhileEditing();
    // The body box is given room when the slider hides it.
    void makeRoomForBody();
    // Without Dragon: its entries off, and the status line saying why.
    void showDragonAvailability();
    QLabel* statusLabel() const { return statusLabel_; }

signals:
    // The program must end (after the user was told why); the application quits with this code.
    void programEnded(int exitCode);

protected:
    void closeEvent(QCloseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void buildControls();
    void buildMenus();
    void layoutSplit();
    int twips(int value) const;
    // Find: the dialog, or with fromKey (F11 / F12) only the move onto its hit.
    FindForm& findForm();
    void find(bool fromKey);

    WindowContext ctx_;
    std::optional<int> exitCode_; // the program has ended with it
    FindForm* findForm_ = nullptr; // made on first use
    int findKeyArmed_ = 0;         // F11 or F12 went down in a list or the body box
    int running_ = 0;              // guarded actions under way, one inside another

    EditMenu* undoRedo_ = nullptr; // Undo and Redo, at the top of the Edit menu
    QMenu* editMenu_ = nullptr;
    QWidget* splitPane_ = nullptr; // the lists above the body, divided as the slider says
    QSlider* splitSlider_ = nullptr;
    QLabel *statusLabel_ = nullptr, *countLabel_ = nullptr;
};

} // namespace vocabrella::ui
