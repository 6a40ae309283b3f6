#pragma once

#include <string_view>

// Names in Dragon's own files, shared by the discovery that reads them and the simulated
// installation that writes them.
namespace vocabrella::platform::dragonfiles {

inline constexpr std::string_view SystemFile = "nssystem.ini";
inline constexpr std::string_view UserFile = "nsuser.ini";
inline constexpr std::string_view OptionsFile = "options.ini";
inline constexpr std::string_view LocalFile = "local.ini";
inline constexpr std::string_view LogFile = "dragon.log";
inline constexpr std::string_view CommandFile = "mycmds.dat";
inline constexpr std::string_view MergeTool = "mergemycmds";
inline constexpr std::string_view Vendor = "Nuance";
inline constexpr std::string_view ProductPrefix = "NaturallySpeaking"; // + the major version
inline constexpr std::string_view CurrentFolder = "current";
inline constexpr std::string_view DefaultUsersFolder = "users";
inline constexpr std::string_view RoamingUsersFolder = "roamingusers";
inline constexpr std::string_view GeneralFolder = "general";
inline constexpr std::string_view WordFolder = "nlcwrd97";

inline constexpr std::string_view Settings = "settings";
inline constexpr std::string_view Options = "options";

// nsuser.ini, section settings
inline constexpr std::string_view CurrentUser = "Current User";
inline constexpr std::string_view UserBaseDirectory = "user base directory";
inline constexpr std::string_view CurrentUserIsRoaming = "Roaming User Current User Is Roaming";
// nssystem.ini, section settings
inline constexpr std::string_view SupportedLanguages = "supported languages";
inline constexpr std::string_view BaseDvcDirectorySuffix = " base dvc directory"; // after the language code
inline constexpr std::string_view BaseDirectory = "base directory";
inline constexpr std::string_view RoamingUserOn = "roaming user on";
inline constexpr std::string_view RoamingMasterDirectory = "roaming user master directory";
inline constexpr std::string_view RoamingCacheDirectory = "roaming user local cache directory";
// options.ini, section options
inline constexpr std::string_view SpeakerLanguageId = "speakerlanguageID";
// local.ini, section options
inline constexpr std::string_view OpenedNoMaster = "Roaming User Opened No Master";
inline constexpr std::string_view MyCommandsChanged = "MyCommands Changed";

// Windows by which the program finds Dragon's program folder.
inline constexpr std::string_view DragonBarClass = "DgnBarMainWindowCls";
inline constexpr std::string_view DragonTitle = "Dragon NaturallySpeaking";
inline constexpr std::string_view DragonBarTitle = "DragonBar";
inline constexpr std::string_view CommandEditorTitle = "MyCommands Editor";

} // namespace vocabrella::platform::dragonfiles

// The simulated installation (design.md, section 3): a folder named by --dragon-root DIR or
// $DRAGON_ROOT holding Dragon's files and engine.ini, which says what the engine reports.
namespace vocabrella::platform::simulated {

inline constexpr std::string_view RootVariable = "DRAGON_ROOT";
inline constexpr std::string_view CommonAppDataFolder = "ProgramData";
inline constexpr std::string_view UserAppDataFolder = "AppData/Roaming";
inline constexpr std::string_view ProgramFolder = "Program";
inline constexpr std::string_view UsersFolder = "Users";
inline constexpr std::string_view RoamingMasterFolder = "RoamingMaster";
inline constexpr std::string_view EngineFile = "engine.ini";
// Events for a running program: one line each, "speaker<TAB>NAME" or "say<TAB>WORDS",
// only ever appended to.
inline constexpr std::string_view EventsFile = "events";
inline constexpr std::string_view SpeakerEvent = "speaker";
inline constexpr std::string_view SayEvent = "say";

// engine.ini
inline constexpr std::string_view EngineSection = "Engine";
inline constexpr std::string_view MajorVersion = "Major Version";
inline constexpr std::string_view MinorVersion = "Minor Version"; // the engine's number: 30 for 12.3
inline constexpr std::string_view BuildNumber = "Build";
inline constexpr std::string_view ProductFlags = "Product Flags";
inline constexpr std::string_view CurrentSpeaker = "Current Speaker";
inline constexpr std::string_view UserDataPrefix = "User Data Prefix";
inline constexpr std::string_view RegisterError = "Register Error"; // an error number registration raises
inline constexpr std::string_view ForegroundWindow = "Foreground Window";
inline constexpr std::string_view SpeakersSection = "Speakers"; // speaker name = language identifier
inline constexpr std::string_view WindowSectionPrefix = "Window "; // + 1, 2, ...
inline constexpr std::string_view WindowTitle = "Title";
inline constexpr std::string_view WindowClass = "Class";
inline constexpr std::string_view WindowModule = "Module";
inline constexpr std::string_view DragonModule = "natspeak";

} // namespace vocabrella::platform::simulated
