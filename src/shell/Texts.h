#pragma once

#include <string_view>

// The program's own texts used by the running program, each in one place.
namespace vocabrella::texts {

inline constexpr std::string_view AlreadyRunning = "Vocabrella is already running";
inline constexpr std::string_view StoreMissing = "Required Vocabrella file global.mdb missing--reinstall";
inline constexpr std::string_view StoreCannotOpen = "Could not open global.mdb database, sorry";
inline constexpr std::string_view StoreCannotOpenTitle = "VBL will now exit";
inline constexpr std::string_view FileDoesNotExist = "File does not exist";
inline constexpr std::string_view ParseProblem = "The above file has a problem - parsing error";
inline constexpr std::string_view NotCorrectlyWritten = "The updated mycmds.dat file was not correctly written";
inline constexpr std::string_view NotCorrectlyWrittenTitle = "Vocabrella will now restore the version before updating operation";
inline constexpr std::string_view SendErrorLog = "Please send file 'error.log' to Quillfeather\r\nbefore running Vocabrella again";
inline constexpr std::string_view SendErrorLogTitle = "Now exiting";
inline constexpr std::string_view NowTrace = "NOW TRACE";

// The history of the changes of a command file.
inline constexpr std::string_view HistoryDamaged = "The undo history kept for this file is damaged and is ignored: ";
inline constexpr std::string_view HistoryDamagedLine = ", line ";
// Why a whole history is put aside, after its path.
inline constexpr std::string_view HistoryLinked = " is a link the program did not make";
inline constexpr std::string_view HistoryTooBig = " is too big to be a history";
// Some lines could not be read: the others are kept.
inline constexpr std::string_view HistoryLinesDamaged =
    "Some lines of the undo history kept for this file are damaged and are put aside in changes.damaged: ";

// The settings file and the program's name, which is also the settings section.
inline constexpr std::string_view ApplicationName = "Vocabrella";
inline constexpr std::string_view SettingsFileName = "Vocabrella.INI";
inline constexpr std::string_view DefaultDataBaseName = "global.mdb";

// Registering with Dragon's engine.
inline constexpr std::string_view NotProfessional =
    "Vocabrella only supported with Professional Series \r\n"
    "versions of NaturallySpeaking (Pro,Medical,Legal,Public Safety)\r\n\r\n"
    "If you have reached this message in error, please\r\n"
    "send your dragon.log file to Quillfeather";
inline constexpr std::string_view NotInstalled =
    "Either NaturallySpeaking is NOT (completely) installed on this machine, OR\r\n"
    "Needs to be restarted (Possibly rebooted)";
inline constexpr std::string_view RoamingNoSpeaker =
    "Vocabrella is unable to automatically load NaturallySpeaking when using the Roaming User feature. Please "
    "start NaturallySpeaking first, or if already started, Open a User first, then start Vocabrella.";
inline constexpr std::string_view RoamingDisconnected =
    "Vocabrella8 cannot open with an open roaming user that is currently disconnected from the network.  "
    "Either:\r\n\r\n"
    "1) reconnect to your network and try again OR\r\n"
    "2) close Dragon (probably with Task Manager), and reopen (Dragon will say the roaming location is "
    "unavailable, but that is OK). See Help (Roaming) for additional step (closing Vocabrella8 and "
    "NaturallySpeaking and re-opening NaturallySpeaking AFTER network cable reconnect) to synchronize your "
    "commands file.";

// Discovery of the installation and the speech user.
inline constexpr std::string_view RequiredFile = "Required file ";
inline constexpr std::string_view MissingReinstall = "missing--reinstall";
inline constexpr std::string_view UnknownVersion = "Unknown NaturallySpeaking version";
inline constexpr std::string_view UnknownVersionTitle = "Unable to continue";
inline constexpr std::string_view ExpectedFileNotFound = "Expected file not found:";
inline constexpr std::string_view ReportWithTraceTitle = "Report this to Quillfeather, send 'trace.vbl'";
inline constexpr std::string_view CannotFindRequiredFile = "Cannot find required file";
inline constexpr std::string_view NoUser = "No User detected, cannot continue";
inline constexpr std::string_view NoUserTitle = "Have you trained any Users?";

// Trace labels of the running program.
namespace trace {
inline constexpr std::string_view AfterRegister = "after register";
inline constexpr std::string_view BeforeOs = "before OS";
inline constexpr std::string_view Os = "OS: ";
inline constexpr std::string_view SystemFilename = "systemfilename: ";
inline constexpr std::string_view Logfilename = "logfilename: ";
inline constexpr std::string_view CurrentUserFilename = "currentuserfilename: ";
inline constexpr std::string_view Exists = " Exists";
inline constexpr std::string_view DoesNotExist = " does not exist";
inline constexpr std::string_view DvcPath = "dvcpath: ";
inline constexpr std::string_view User = "User: ";
inline constexpr std::string_view UserBaseDirectory = "user base directory: ";
inline constexpr std::string_view SpeakerLanguageId = "speaker language ID: ";
inline constexpr std::string_view RoamingMaster = "roaming user mastery directory";
inline constexpr std::string_view RoamingCache = "roaming local cache directory";
inline constexpr std::string_view CurrentUserIsRoaming = "current user is roaming";
inline constexpr std::string_view True = "true";
inline constexpr std::string_view False = "false";
inline constexpr std::string_view MRUUpdate = "MRUUpdate";
inline constexpr std::string_view MRUOutput = "MRUOutput";
inline constexpr std::string_view BadMru = "BAD MRU - ";
inline constexpr std::string_view MruNotFound = "mru not found";
inline constexpr std::string_view MruCount = "MRUcount=";
} // namespace trace

} // namespace vocabrella::texts
