#pragma once

#include <string_view>

// The program's own texts used by the writers: messages, titles, trace labels, log lines.
namespace vocabrella::texts {

// Trace labels of the updater and the rebuilds.
namespace trace {
inline constexpr std::string_view Update1Body = "Update1Body";
inline constexpr std::string_view Updatechangetype = "Updatechangetype";
inline constexpr std::string_view UpdateFirstThings = "UpdateFirstThings";
inline constexpr std::string_view UpdateListRename = "UpdateListRename";
inline constexpr std::string_view UpdateNewCommand = "update new command file";
inline constexpr std::string_view UpdateNewList = "update new list";
inline constexpr std::string_view DeleteList = "command delete list ";
inline constexpr std::string_view DeleteMarked = "deletethem";
inline constexpr std::string_view RenameGroup = "RenameGroup";
} // namespace trace

// Work files in the home folder.
inline constexpr std::string_view WorkFile = "mycmds.Vocabrella";
inline constexpr std::string_view SaveDat = "savedat";
inline constexpr std::string_view CommandNew = "command.new";
inline constexpr std::string_view ConversionLog = "Vocabrella.log";

// Refusals of the writers: each is said before anything is written.
inline constexpr std::string_view EmptyContent = "Empty content not allowed";
inline constexpr std::string_view TooManyListReferences = "A command name may refer to at most 20 LISTs";
inline constexpr std::string_view ControlCharacterInName = "A name may not contain control characters (tabs, line breaks)";
inline constexpr std::string_view NotInFile = "The command is not in the command file any more; reload the file and try again";
inline constexpr std::string_view ListTooLongStart = "The LIST ";
inline constexpr std::string_view ListTooLongHas = " would have ";
inline constexpr std::string_view ListTooLongEnd = " items; a LIST holds at most 65535";

// The rebuild's name check.
inline constexpr std::string_view RebuildParsingError = "Parsing error-name = ";
inline constexpr std::string_view RebuildParsingErrorOffset = "Offset = ";
inline constexpr std::string_view RebuildParsingErrorLast = "Last command = ";
inline constexpr std::string_view RebuildParsingErrorTitle = "Send error.log to Quillfeather";

// Version and language conversion.
inline constexpr std::string_view OpenUserFileNotAllowed = "This is your open User file - Not Allowed";
inline constexpr std::string_view Converting = "Converting....";
inline constexpr std::string_view NoConversionDone = "No conversion done";
inline constexpr std::string_view AlreadyInLanguage = "Already in this language - Not Converted";
inline constexpr std::string_view ConvertLanguageQuestion = "Convert this file to ";
inline constexpr std::string_view FileConvertedTo = "File converted to ";
inline constexpr std::string_view CannotConvertUserFile = "Cannot convert current (or any) User file, only Exported files";
inline constexpr std::string_view NoVersionOf = "There is no ";
inline constexpr std::string_view NoVersionOfTitle = "contact Quillfeather if this is reached in error";
inline constexpr std::string_view EncryptedNotConvertible =
    "This file holds encrypted commands, which have no form in older versions - Not Converted";

// KEYS conversions.
inline constexpr std::string_view KeyPatternsMissingTitle = "vbscript.dll not found--needed for this operation";
inline constexpr std::string_view ChangedToPlainText = "Changed DVC to Plain Text: ";
inline constexpr std::string_view NotSyntacticallyCorrect = "The following is not syntactically correct, ";
inline constexpr std::string_view NotConverted = "and has not been converted. Please send to Quillfeather";
inline constexpr std::string_view KeysLabel = "KEYS:";
inline constexpr std::string_view EnglishOnly = "Sorry, this command is only supported for English Language Users";
inline constexpr std::string_view EnglishOnlyTitle = "Contact Quillfeather if you are interested in a non-English User";
inline constexpr std::string_view SomeNotConverted = "Some macros were not converted--Please send to Quillfeather";
inline constexpr std::string_view Stars56 = "********************************************************";

// Export to a command file.
inline constexpr std::string_view ExportMode = "dat";
inline constexpr std::string_view ExportStore = "export.mdb";
inline constexpr std::string_view ExportFileName = "mycmds.dat"; // the file name every export-store row carries
inline constexpr std::string_view ExportToSelf = "Can't export to self";
inline constexpr std::string_view FolderDoesNotExist = "Folder does not exist";
inline constexpr std::string_view AppendingDat = "Appending .dat to your filename";
inline constexpr std::string_view AppendDifferentVersion = "Can't Append to different version --Check .dat file";
inline constexpr std::string_view AppendDifferentLanguage =
    "Can't Append to different language version --Check .dat file(s)  Properties";
inline constexpr std::string_view ExportTargetUnreadable = "The Export file is not a command file that can be appended to";
inline constexpr std::string_view Exporting = "Exporting";
inline constexpr std::string_view ExportListNotFound = "fatal Export not found LIST error";
inline constexpr std::string_view ExportTooManyRecords =
    "A command file holds at most 65535 commands and 65535 LISTs; the export would make more, so nothing was written";
inline constexpr std::string_view FileFullOfCommands =
    "A command file holds at most 65535 commands; this one is full, so nothing was written";
inline constexpr std::string_view FileFullOfLists =
    "A command file holds at most 65535 LISTs; this one is full, so nothing was written";
inline constexpr std::string_view ChooseActionTitle = "Choose action below";
inline constexpr std::string_view ExportFileExists = "The Export file already exists:";
inline constexpr std::string_view ChooseOverwrite = "&Overwrite";
inline constexpr std::string_view ChooseAppend = "&Append";
inline constexpr std::string_view ChooseCancel = "&Cancel";
inline constexpr std::string_view OverwriteTitle = "Overwrite?";
inline constexpr std::string_view OverwriteExistsIn = "The following command already exists in:";
inline constexpr std::string_view OverwriteWithCommandFrom = "Overwrite? with command from:";
inline constexpr std::string_view OverwriteYes = "&Yes";
inline constexpr std::string_view OverwriteNo = "&No";
inline constexpr std::string_view OverwriteYesToAll = "Ye&s to all";
inline constexpr std::string_view OverwriteNoToAll = "N&o to all";
inline constexpr std::string_view OverwriteCancelExport = "&Cancel Export";

// Lines of Vocabrella.log written by the export.
namespace exportlog {
inline constexpr std::string_view Original = " Original Exportcommands, offset, lists";
inline constexpr std::string_view Copies = "ExportDATcopies= ";
inline constexpr std::string_view Staged = "ExportDATs= ";
inline constexpr std::string_view Commands = "Exportcommands= ";
inline constexpr std::string_view OutputOffset = "outputoffset= ";
inline constexpr std::string_view Lists = "lists= ";
inline constexpr std::string_view Delete = "ExportDATdelete...";
inline constexpr std::string_view ImageBound = "Ubound( biglist)= ";
} // namespace exportlog

// Dragon's MyCommands XML: what a file or one of its commands cannot give.
inline constexpr std::string_view XmlNotMyCommands = "This is not a MyCommands file (its root element is not <MyCommands>)";
inline constexpr std::string_view XmlBadLanguage = "The language is not a Windows language identifier: ";
inline constexpr std::string_view XmlNoModule = "no <module> names the program";
inline constexpr std::string_view XmlUnknownScope = "the type is not global, application or window";
inline constexpr std::string_view XmlNoContents = "the command has no <contents>";
inline constexpr std::string_view XmlUnknownContents = "unknown contents type ";
inline constexpr std::string_view XmlNoCp1252 = "the rich text has characters a command file cannot hold";
inline constexpr std::string_view XmlMissingAttribute = "missing attribute ";
inline constexpr std::string_view XmlBadNumber = "not a number in range: ";
inline constexpr std::string_view XmlBadAction = "unknown action type ";
inline constexpr std::string_view XmlBadStep = "unknown step type ";

// Command files composed from a description (XML import, shipped files): what no record holds.
inline constexpr std::string_view ComposerTooManySteps = "A step-by-step body holds at most 255 steps";
inline constexpr std::string_view ComposerTooManyEvents = "A recorder body holds at most 65535 events";
inline constexpr std::string_view ComposerUnknownType = "Unknown Type \"";
inline constexpr std::string_view ComposerNoRichText = "A text-with-graphics body needs its rich text";
inline constexpr std::string_view ComposerUnknownVersion = "Unknown version code ";
inline constexpr std::string_view ComposerTooManyCommands = "A command file holds at most 65535 commands";
inline constexpr std::string_view ComposerTooManyLists = "A command file holds at most 65535 LISTs";
inline constexpr std::string_view ComposerEmptyPicture = "A picture needs at least one pixel";

} // namespace vocabrella::texts
