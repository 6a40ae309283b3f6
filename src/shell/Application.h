#pragma once

#include "shell/Discovery.h"
#include "shell/Session.h"
#include "shell/Settings.h"
#include "shell/platform/Dragon.h"

#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace vocabrella {

class Clock;
class Prompter;

struct StartupOptions {
    std::filesystem::path home;
    std::string commandLine;                         // the program's one argument
    // No Dragon installation was named: the program works on command files alone (the file
    // named on the command line, or none until File > Open), and what needs Dragon is off.
    bool withoutDragon = false;
    // A run beside the program's own (the command line): its store, trace and work files go
    // here, never taking those of the home folder (see Session).
    std::filesystem::path work{};
};

// The running program without its window: the load sequence up to the point where the window
// takes over, the open command file and its refresh, saving with Dragon's reload, the daily
// backups and the shutdown. Without Dragon it keeps the open file, its refresh and a daily
// backup of each file changed. Everything it says goes through the prompter; a failure that ends
// the program raises EndProgram after the user has been told.
class Application {
public:
    Application(StartupOptions options, platform::Dragon& dragon, Prompter& prompter, Clock& clock);
    ~Application();
    Application(const Application&) = delete;
    Application& operator=(const Application&) = delete;

    // The load sequence. False when loading stopped after a message (the program then ends).
    bool load();
    // Compacts a large store; the window writes its placement first.
    void shutdown();

    Session& session() { return *session_; }
    // Whether a Dragon installation stands behind the program: the speech user, the reload,
    // speaker changes, the spoken controls and the user's backups all need one.
    bool dragonAvailable() const { return !options_.withoutDragon; }
    Nat& nat() { return *nat_; }
    Settings& settings() { return *settings_; }
    platform::Dragon& dragon() { return dragon_; }
    bool hasSettings() const { return settings_ != nullptr; }
    Prompter& prompter() { return prompter_; }
    const std::filesystem::path& home() const { return options_.home; }
    const std::filesystem::path& commandFile() { return session_->reader().file().path; }
    const std::string& displayedUserName() const { return displayedUser_; }
    const std::optional<std::filesystem::path>& mergeTool() const { return mergeTool_; }
    std::string caption();

    // The program and scope the window shows first, from the command line or the window that
    // had the focus when the program was started.
    struct Context {
        std::string program, scope;
        bool openedFile = false;
        bool fileGiven = false; // the command line named a file: it is what the user came for
    };
    Context SelectCallingContext();

    // The open file.
    bool FileOpenNoDialog(const std::filesystem::path& path);
    void filereload();
    void FileRefresh();
    // Before every edit: a file the speech user's Dragon changed since it was read is read again
    // (when refresh is true). Returns whether it had changed.
    bool RefreshIfChanged(bool refresh);
    // The open file read again after another program changed it. False, after saying so, when
    // the file is gone or cannot be read (the store keeps what it held); a version that does not
    // parse is told and ends the program as when it is opened, leaving the file as it is.
    bool refreshChangedFile();
    std::string properties();
    [[noreturn]] void filereset();

    // After every change written into the file: Dragon takes the user's own file up again.
    void SaveAndReload(bool newListWritten = false);
    bool FastSave(const std::filesystem::path& templateFile);
    bool mergePerformed() const { return mergePerformed_; }
    // How the roaming notice before a save is shown: the window has its own dialog. Returns true
    // when the user asked not to see it again. Without one, the notice is a message.
    using RoamingNotice = std::function<bool()>;
    void setRoamingNotice(RoamingNotice notice) { roamingNotice_ = std::move(notice); }
    // A speaker change while the previous user's own file is open ends the program.
    void speakerChanged();

    // Backups.
    std::optional<std::filesystem::path> RollBackCheck(bool force);
    const std::vector<std::string>& RollBackListBuild();
    const std::vector<std::string>& rollbackEntries() const { return rollbackEntries_; }
    // What a restore would change, told with its question: the backup and the file it replaces.
    using RestorePreview =
        std::function<std::string(const std::filesystem::path& backup, const std::filesystem::path& current)>;
    bool restore(const std::string& entry, const RestorePreview& preview = {});
    // The backup an entry names (as listed, or by its path in the backup folder) when it reads as
    // a command file; nothing, after saying why, otherwise.
    std::optional<std::filesystem::path> backupOf(const std::string& entry);
    // The file a restore replaces: the displayed speech user's own.
    std::filesystem::path restoreTarget() const { return ownFileOf(displayedUser_); }
    void rollbackset();
    bool CompactStore(bool force);
    std::filesystem::path backupFolder(const std::string& userName) const { return options_.home / userName; }

    // The program's own two voice commands.
    bool ownCommandsPresent();
    // Merges vocglobal.dat into the user's file; false when it could not.
    bool importOwnCommands();

private:
    // The load sequence without Dragon: the store emptied and the settings read; the window
    // then opens the file named on the command line, if any.
    bool loadWithoutDragon();
    std::optional<std::string> speechUserOfFile(const std::filesystem::path& path);
    // The own command file of a speech user, and of the current one.
    std::filesystem::path ownFileOf(const std::string& user) const;
    std::filesystem::path currentUserFile() const;
    void parseFailure();

    StartupOptions options_;
    Prompter& prompter_;
    Clock& clock_;
    RoamingNotice roamingNotice_;
    platform::Dragon& dragon_;
    std::unique_ptr<Session> session_;
    std::unique_ptr<Nat> nat_;
    std::unique_ptr<Settings> settings_;
    std::optional<std::filesystem::path> mergeTool_;
    platform::WindowHandle callingWindow_ = 0;
    std::string callingTitle_;
    std::string displayedUser_;
    std::filesystem::path startupUserFile_; // the speech user's own file as found at start-up
    std::vector<std::string> rollbackEntries_;
    bool changedOnDisk_ = false;
    bool mergePerformed_ = false;
    bool running_ = false;
};

} // namespace vocabrella
