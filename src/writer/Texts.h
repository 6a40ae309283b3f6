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
inline constexpr std::string_view ChangedToPlainText = "Changed DVC to Plain Text: ";
inline constexpr std::string_view NotSyntacticallyCorrect = "The following is not syntactically correct, ";
inline constexpr std::string_view NotConverted = "and has not been converted. Please send to Quillfeather";
inline constexpr std::string_view Stars56 = "********************************************************";

} // namespace vocabrella::texts
