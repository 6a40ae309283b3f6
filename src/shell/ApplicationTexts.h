#pragma once

#include <string_view>

// Texts of the start-up, the open file, the save-and-reload step and the backups.
namespace vocabrella::texts {

inline constexpr std::string_view CannotParse =
    "I'm sorry.  Vocabrella cannot correctly parse this file.\r\nPlease send your file above to Quillfeather. "
    "Please send at least:\r\n\r\n";
inline constexpr std::string_view ErrorLogAndTrace = "error.log and trace.vbl";
inline constexpr std::string_view CaptionPrefix = "Vocabrella - ";
inline constexpr std::string_view GlobalCommandsArgument = "global commands";
inline constexpr std::string_view MicrosoftVisualBasic = "Microsoft Visual Basic";
inline constexpr std::string_view RestartForChanges = "You must restart Vocabrella for changes to apply";
inline constexpr std::string_view NeedsDragon =
    "This needs a Dragon installation: start with --dragon-root DIR (or $DRAGON_ROOT), or try --demo";

// Save and reload.
inline constexpr std::string_view OperationInProgress = "Operation in Progress";
inline constexpr std::string_view UpdateProcessed = "Update processed, User ready";
inline constexpr std::string_view UnableToUpdate = "Unable to update above file";
inline constexpr std::string_view UnableToSave = "Unable to Save User Files";
inline constexpr std::string_view UnableToSaveTitle = "Macro will still be Saved";
inline constexpr std::string_view CreateCommandNext = "You must NEXT create a command using created LIST";
inline constexpr std::string_view RoamingNoticeCaption = "Save Changes Roaming User Informational message";
inline constexpr std::string_view RoamingNotice =
    "When doing a 'Save Changes' (or other modifying operation), all modifications take place in the local "
    "(machine) roaming directory.  To synchronize your command changes to the Master roaming directory, you must "
    "close the current user, by opening a different User, or closing NaturallySpeaking itself (including "
    "Vocabrella8).\r\n\r\nDo NOT have the same Roaming user opened on 2 machines at once, or modifications will be "
    "lost. Say/click 'Help' for more information.\r\n\r\nSay/click 'Help', otherwise:\r\nSay/click 'do not show "
    "this window again'\r\n\r\nThis information can be found at any time in the Help file topic:\r\n'Roaming User "
    "command file modification'";

// Backups.
inline constexpr std::string_view NoneToRollback = "none to rollback";
inline constexpr std::string_view BackupTaken = "Backup taken successfully to above named file";
inline constexpr std::string_view RestoreTitle = "Restore from archived file?";
inline constexpr std::string_view NotABackup = "This is not one of this month's backups of the user; choose one the list names.";
inline constexpr std::string_view PreRollback = "mycmds.prerollback";

// The import of the program's own commands.
inline constexpr std::string_view OwnCommand = "global vocabrella";
inline constexpr std::string_view OwnProgram = "Vocabrella.exe";
inline constexpr std::string_view ImportedSuccessfully =
    "Commands imported successfully. You may now use the commands above to bring up Vocabrella";
inline constexpr std::string_view ImportedTitle = "'global vocabrella' and 'local vocabrella'";
inline constexpr std::string_view ImportFailed = "Sorry, I could not import these commands after all";
inline constexpr std::string_view ImportFailedTitle = "Please inform Quillfeather";
inline constexpr std::string_view ShippedFileMissing = "cannot find above file, reinstall";
inline constexpr std::string_view ConvertLanguageAdvice =
    "You may need to convert (rename) the actual commandname(s) in order for them to be recognized in your "
    "language.\r\n\r\nVocabrella will automagically convert the header of the supplied 'vocglobal.dat' file to the "
    "language of the current user (above) for Importing.";

namespace trace {
inline constexpr std::string_view CallingWindow = "calling window";
inline constexpr std::string_view AfterOpenDb = "after open db";
inline constexpr std::string_view AfterOpenUser = "after open user";
inline constexpr std::string_view AfterOpenParameters = "after open parameters";
inline constexpr std::string_view AfterOpenDvcmap = "after open dvcmap";
inline constexpr std::string_view AfterOpenStates = "after open states";
inline constexpr std::string_view WithoutDragon = "without Dragon";
inline constexpr std::string_view AfterVocaux = "after vocaux";
inline constexpr std::string_view AfterVoiceCommands = "after voice commands";
inline constexpr std::string_view BeforeGetOptions = "before getoptions";
inline constexpr std::string_view AfterGetOptions = "after getoptions";
inline constexpr std::string_view BeforeForm2Load = "before form 2 load";
inline constexpr std::string_view CommandLine = "command line:";
inline constexpr std::string_view StateName = "state name:";
inline constexpr std::string_view AfterStateName = "after state name";
inline constexpr std::string_view FoundState = "foundstate: ";
inline constexpr std::string_view NestedStateName = "nested state name:";
inline constexpr std::string_view LeftStateName = "left state name:";
inline constexpr std::string_view BeforeModuleName = "b4 getmodulename";
inline constexpr std::string_view Module = "module";
// A call into Dragon that failed where the program goes on without its answer.
inline constexpr std::string_view EngineError = "engine error";
inline constexpr std::string_view FormLoadDone = "form load 2 done";
inline constexpr std::string_view FileTime = "file time: ";
inline constexpr std::string_view WaitingForTimeChange = "waiting for time change";
inline constexpr std::string_view AfterFastSave = "after fast save";
inline constexpr std::string_view AfterFastSaveRefresh = "after fast save refresh";
inline constexpr std::string_view Counter = "counter= ";
inline constexpr std::string_view EnterSpeakerChange = "enter speaker change";
inline constexpr std::string_view LeaveSpeakerChange = "leave speaker change";
inline constexpr std::string_view BeforeCompact = "b4 compact db";
inline constexpr std::string_view AfterCompact = "after compact";
} // namespace trace

} // namespace vocabrella::texts
