#pragma once

#include "cmdfile/Clock.h"
#include "ui/Browser.h"
#include "ui/CommandNamesAhead.h"
#include "ui/EditSession.h"
#include "ui/Finder.h"
#include "ui/Selection.h"

#include <filesystem>
#include <functional>
#include <optional>

namespace vocabrella {
class Application;
class Prompter;
class Session;
class Settings;
} // namespace vocabrella

namespace vocabrella::ui {

class CommandLists;
class CommandPane;
class FileActions;
class FileWatch;
class Form1;
class HelpWindow;
class PlaceMenus;
class ToolsActions;
class ViewMenu;
class VocActions;

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

// What the start-up and the rest of the program plug into the main window.
struct WindowHooks {
    // The Open dialog: the chosen file, or nothing when cancelled.
    std::function<std::optional<std::filesystem::path>(const std::filesystem::path& start)> chooseFileToOpen;
    // The Save dialog of the exports, likewise.
    std::function<std::optional<std::filesystem::path>(const std::filesystem::path& start)> chooseFileToSave;
    MenuListener* menus = nullptr;
    // Where a print goes when no printer is installed; a save dialog when not set.
    std::function<std::optional<std::filesystem::path>(const std::filesystem::path& proposed)> choosePdfFile;
};

// What the parts of the main window share: the running program, the selection over the store,
// the change under way, and each other. The window makes one and hands it to every part; the
// parts reach each other only through it.
struct WindowContext {
    WindowContext(Application& program, Form1& mainWindow);
    WindowContext(const WindowContext&) = delete;
    WindowContext& operator=(const WindowContext&) = delete;

    Application& app;
    Session& session;
    Settings& settings;
    Form1& window;
    Selection selection;
    Browser browser;
    SystemClock clock;
    EditSession edit;
    Finder finder; // Find Again and Find Previous start from the row on show
    CommandNamesAhead namesAhead; // the first Commands list, read while the window is built
    WindowHooks hooks;
    HelpWindow* help = nullptr;

    PlaceMenus* places = nullptr;
    ViewMenu* view = nullptr;
    CommandLists* lists = nullptr;
    CommandPane* pane = nullptr;
    VocActions* voc = nullptr;
    FileActions* files = nullptr;
    FileWatch* watch = nullptr;
    ToolsActions* tools = nullptr;

    // A command file is open (without Dragon there may be none yet).
    bool fileOpen() const;
    Prompter& prompter() const;
};

} // namespace vocabrella::ui
