#pragma once

#include "shell/platform/Platform.h"

#include <filesystem>
#include <optional>
#include <string>

namespace vocabrella {

class CommandStore;
class Prompter;
class Trace;

namespace platform {
class DragonEngine;
class WindowSystem;
} // namespace platform

// Registers the program with Dragon's engine and checks that it is a professional-series
// edition. False after the user has been told why the program cannot go on.
bool registerWithEngine(platform::DragonEngine& engine, Prompter& prompter, Trace& trace);

// Dragon's merge tool, in the folder of the program that owns Dragon's bar (or main window).
// Nothing when no such window is open or the engine cannot say whose it is.
std::optional<std::filesystem::path> findMergeTool(platform::DragonEngine& engine, platform::WindowSystem& windows);

// The engine's minor version number divided by 10, rounded to the nearest integer, halves to even.
int minorVersionDigit(int engineMinor);

struct DiscoveryEnvironment {
    CommandStore& store;
    Trace& trace;
    Prompter& prompter;
    platform::DragonEngine& engine;
    platform::SpecialFolders folders;
};

// The one discovery object of the run: finds Dragon's files from the installed version, the
// current speech user and where that user's files lie, notices roaming users, and records the
// user and language in the store so that another user than last time is parsed afresh.
class Nat {
public:
    explicit Nat(DiscoveryEnvironment env);

    void setdatabasename(std::string filename) { DataBaseName_ = std::move(filename); }
    // Runs discovery; afterwards the caller tests aborting(). The engine's DragonError passes
    // through to the caller.
    void initialize(const std::filesystem::path& applicationpath);
    // Computes Dragon's file paths and checks that the system and user files exist.
    bool GetPaths();
    // Reads the current speech user again and tells whether filename is that user's command
    // file as discovered at start-up (letter case ignored).
    bool ProductionOpen(const std::filesystem::path& filename);

    bool aborting() const { return aborting_; }
    const std::string& DataBaseName() const { return DataBaseName_; }
    int MajorVersion() const { return MajorVersion_; }
    int MinorVersion() const { return MinorVersion_; }
    const std::string& VersionStr() const { return VersionStr_; }
    const std::filesystem::path& SystemFilename() const { return SystemFilename_; }
    const std::filesystem::path& logfilename() const { return logfilename_; }
    const std::filesystem::path& userFilename() const { return userFilename_; }
    const std::filesystem::path& dataFolder() const { return dataFolder_; }
    const std::string& UserName() const { return UserName_; }
    const std::string& UserSub() const { return UserSub_; }
    const std::string& language() const { return language_; }
    const std::filesystem::path& BasePath() const { return BasePath_; }
    const std::filesystem::path& GeneralPath() const { return GeneralPath_; }
    const std::filesystem::path& wordpath() const { return wordpath_; }
    const std::string& BaseDirectory() const { return BaseDirectory_; }
    const std::filesystem::path& UserBaseDirectory() const { return UserBaseDirectory_; }
    const std::filesystem::path& CurrentPath() const { return CurrentPath_; }
    const std::string& SpeakerLanguageID() const { return SpeakerLanguageID_; }
    bool RoamingOn() const { return RoamingOn_; }
    const std::filesystem::path& RoamingDirectory() const { return RoamingDirectory_; }
    const std::filesystem::path& RoamingCacheDirectory() const { return RoamingCacheDirectory_; }
    bool IsRoamingUser() const { return IsRoamingUser_; }
    // The last result of GetPaths (ProductionOpen runs it again).
    bool pathsFound() const { return pathsFound_; }

private:
    void discoverUser();
    std::filesystem::path productFolder(const std::filesystem::path& base) const;

    DiscoveryEnvironment env_;
    bool aborting_ = false;
    bool pathsFound_ = false;
    std::string DataBaseName_;
    int MajorVersion_ = 0;
    int MinorVersion_ = 0;
    std::string VersionStr_;
    std::filesystem::path SystemFilename_, logfilename_, userFilename_, dataFolder_;
    std::string UserName_, UserSub_, language_;
    std::filesystem::path BasePath_, GeneralPath_, wordpath_;
    std::string BaseDirectory_;
    std::filesystem::path UserBaseDirectory_, CurrentPath_;
    std::string SpeakerLanguageID_ = "0";
    bool RoamingOn_ = false;
    std::filesystem::path RoamingDirectory_, RoamingCacheDirectory_;
    bool IsRoamingUser_ = false;
};

} // namespace vocabrella
