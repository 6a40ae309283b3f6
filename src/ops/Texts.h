#pragma once

#include <string_view>

// The texts the changes show, each in one place.
namespace vocabrella::ops::texts {

// Saving an edit.
inline constexpr std::string_view ChangedByDragon =
    "Sorry, this operation cannot be carried out because you have\r\n"
    "modified your open user mycmds.dat file with Command Browser.\r\n"
    "Vocabrella will now refresh its copy.\r\n"
    "The macro body has been copied to the Clipboard and you can use it to\r\n"
    "retrieve (Paste) your changes and then you must perform your operation again.";
// The same where nothing was put on the clipboard: followed by where the body stays.
inline constexpr std::string_view ChangedByDragonBodyKept =
    "Sorry, this operation cannot be carried out because you have\r\n"
    "modified your open user mycmds.dat file with Command Browser.\r\n"
    "Vocabrella will now refresh its copy.\r\n"
    "Nothing was written; perform your operation again. The new body is kept in ";
// The same for a file that is not the speech user's own: no Command Browser changes it.
inline constexpr std::string_view ChangedByAnotherProgram =
    "Sorry, this operation cannot be carried out because another program\r\n"
    "changed the open file since Vocabrella read it.\r\n"
    "Vocabrella will now refresh its copy.\r\n"
    "The macro body has been copied to the Clipboard and you can use it to\r\n"
    "retrieve (Paste) your changes and then you must perform your operation again.";
inline constexpr std::string_view ChangedByAnotherProgramBodyKept =
    "Sorry, this operation cannot be carried out because another program\r\n"
    "changed the open file since Vocabrella read it.\r\n"
    "Vocabrella will now refresh its copy.\r\n"
    "Nothing was written; perform your operation again. The new body is kept in ";
inline constexpr std::string_view BodyKeptInCommandLine = "the command line (--text)";
inline constexpr std::string_view ScriptErrorAtLine = "Error in your script at line: ";
inline constexpr std::string_view OperationInProgress = "Operation in Progress";
inline constexpr std::string_view NoFileOpen = "No command file is open";

// Names of new commands and LISTs.
inline constexpr std::string_view NoGood = "*** no good ***";
// What a new advanced script begins with: its Sub Main, with an empty line to type on.
inline constexpr std::string_view NewAdvancedScript = "Sub Main\r\n\r\nEnd Sub";
inline constexpr std::string_view CommandExists = "Command already exists";
inline constexpr std::string_view CreateListsFirst = "Sorry, must create any new LISTs first";
inline constexpr std::string_view CannotCreateHere =
    "Vocabrella cannot create a new command for this Program, Scope, Group, or View.";
inline constexpr std::string_view CannotCreateHereTitle = "Please pick a different Program, Scope, Group, or View";
inline constexpr std::string_view FirstGlobalCommand =
    "To create your first 'Global Commands' for this file, choose 'OK', otherwise 'Cancel'";
inline constexpr std::string_view ListAlphabet = "abcdefghijklmnopqrstuvwxyz0123456789_-.";
inline constexpr std::string_view NewListTitle = "New LIST";
inline constexpr std::string_view NewListPrompt = "Enter new LIST name (without <>'s)\r\n\r\nDragon allows only: \r\n"
                                                  "(lowercase) letters, numbers, and \"_-.\"in LIST names";
inline constexpr std::string_view ListNameCharacters = "Only numbers, letters and _-. are allowed by Dragon in LIST names";
inline constexpr std::string_view CommandOrListExists = "Command or LIST already exists";
inline constexpr std::string_view EmptyName = "A name cannot be empty";
inline constexpr std::string_view KindNotCreated = "New commands are of kind K, S, A or P, not ";
inline constexpr std::string_view NameOnlyBlanks = "A name needs more than blanks";
inline constexpr std::string_view NameBracketsUnreadable =
    "Dragon cannot read the brackets of this name: each < needs a > after it and each [ a ], with words "
    "between them, and a LIST reference <...> holds no other bracket";
inline constexpr std::string_view OptionalWordsNameAList =
    " names a LIST: Dragon's XML writes LIST references in square brackets, so it would come back as that "
    "LIST; write <...> to use the LIST";
inline constexpr std::string_view ControlCharacterInBody =
    "The body holds a control character; of those only tabs and line breaks can be kept";
inline constexpr std::string_view ControlCharacterInDescription =
    "The description holds a control character; of those only tabs and line breaks can be kept";
inline constexpr std::string_view ControlCharacterInGroup =
    "The group holds a control character; of those only tabs and line breaks can be kept";
inline constexpr std::string_view ControlCharacterInReplacement =
    "The replacement holds a control character; of those only tabs and line breaks can be kept";

// Rename, delete, convert.
inline constexpr std::string_view RenamingTitle = "Renaming";
inline constexpr std::string_view AlreadyExistsSuffix = " already exists";
inline constexpr std::string_view MustDeleteFirst = "Must delete first";
inline constexpr std::string_view DeleteFileError = "Delete file error";
inline constexpr std::string_view ListIsNoCommand = "This is a LIST: delete it as a LIST";
inline constexpr std::string_view NoSuchList = "There is no LIST of this name, so nothing was deleted";
inline constexpr std::string_view CommandIsNoList = "This is a command, not a LIST: delete it as a command";
inline constexpr std::string_view DeleteThis = "Delete this ";
inline constexpr std::string_view CommandQuestion = "command?";
inline constexpr std::string_view ListQuestion = "LIST?";
inline constexpr std::string_view ListsGoWithIt = "\r\nThese LISTs, used by no other command, go with it: ";
inline constexpr std::string_view ListsGoWithThem = "These LISTs, used by no other command, go with the commands: ";
inline constexpr std::string_view DeleteThemAll = "\r\nDelete the commands and these LISTs?";
inline constexpr std::string_view ListInUseStart = "There are ";
inline constexpr std::string_view ListInUseIncluding = " commands using this LIST including:";
inline constexpr std::string_view ListInUseWarning =
    "NaturallySpeaking and Command Browser will no longer hear/see these commands.";
inline constexpr std::string_view ListInUseQuestion = "Are you sure you want to ";
inline constexpr std::string_view ListInUseQuestionEnd = " this LIST?";
inline constexpr std::string_view VerbRename = "Rename";
inline constexpr std::string_view VerbDelete = "Delete";
inline constexpr std::string_view ConversionFailed = " Conversion failed";
inline constexpr std::string_view ConversionFailedTitle = "Please send to Quillfeather";
inline constexpr std::string_view NotAKeysCommand = "Only a KEYS command can be converted";
inline constexpr std::string_view KeysWithBraces =
    "KEYS with braces are converted to Advanced Scripting, not to Plain Text";
inline constexpr std::string_view KeysWithoutBraces =
    "KEYS without braces are converted to Plain Text, not to Advanced Scripting";
inline constexpr std::string_view KindNotEditable = "The body of a command of this kind cannot be changed: ";
inline constexpr std::string_view KindNotCloned = "A command of this kind cannot be cloned: ";
inline constexpr std::string_view UnknownKind = "unknown kind";
inline constexpr std::string_view NotAScript = "Only a script can be debugged with Basic";
inline constexpr std::string_view NoSuchCommand = "No such command or LIST";
inline constexpr std::string_view NothingChangedSameName = "Nothing was changed: the new name is the name it has already";

// Batch operations.
inline constexpr std::string_view NothingSelected = "Nothing is selected to act on";
inline constexpr std::string_view NoMacros = "There are no macros of the specified type to Export";
inline constexpr std::string_view NoMacrosTitle = "Change Program, Scope, or Type of Export";
inline constexpr std::string_view NoNewGroup = "No New Group Name entered";
inline constexpr std::string_view NoNewProgram = "No New Program entered";
inline constexpr std::string_view EnterNewGroup = "Enter new Group here";
inline constexpr std::string_view EnterNewProgram = "Enter new Program here";
inline constexpr std::string_view ProductionRenameProgram = "Rename Program not allowed on production file with All or Group";
inline constexpr std::string_view GroupRenamed = "Group renamed";
inline constexpr std::string_view ProgramRenamed = "Program Renamed";
inline constexpr std::string_view DeletionCompleted = "Deletion Completed";
inline constexpr std::string_view RenamingGroup = "Renaming Group";
inline constexpr std::string_view RenamingProgram = "Renaming Program";
inline constexpr std::string_view Deleting = "Deleting";
inline constexpr std::string_view NoSuchGroup = "There is no such Group: ";
inline constexpr std::string_view NoSuchProgram = "There is no such Program: ";
inline constexpr std::string_view ModifiedMeanwhile =
    "You have modified this file (most likely with Command Browser) after \r\n"
    "this operation has started. You must restart the operation,\r\n"
    "otherwise a corrupted file may result";
inline constexpr std::string_view CBModified = "CBModified";
inline constexpr std::string_view NoSearchText = " No text entered to search for";
inline constexpr std::string_view NoSearchForText = "No Search For text entered";
inline constexpr std::string_view NoReplaceText = " No text entered to replace with";
inline constexpr std::string_view DanglingLink =
    "this is a symbolic link to something that does not exist, so nothing was written through it";
// The space after "in" is needed between the two numbers: "3 occurrences in 2 macros replaced".
inline constexpr std::string_view OccurrencesIn = " occurrences in ";
inline constexpr std::string_view MacrosReplaced = " macros replaced";
inline constexpr std::string_view Replaced = "Replaced";
inline constexpr std::string_view NoMoreMatches = "No more matches in this Scope";
inline constexpr std::string_view ListInBatchDelete = "This is a LIST: delete it as a LIST (delete-list)";
inline constexpr std::string_view GlobalCommandsHaveNoProgram = "The Global Commands belong to no program that could be renamed";
inline constexpr std::string_view RenameRepeatsNames =
    "Nothing was changed: the new Program has commands of these names in the same scope already: ";
inline constexpr std::string_view AndMoreStart = " and ";
inline constexpr std::string_view AndMoreEnd = " more";
inline constexpr std::string_view ExeSuffix = ".exe";
inline constexpr std::string_view GroupArrow = "->";
inline constexpr std::string_view ExportCompleted = "Export Operation Completed";
// Asked when the target exists and the caller chose already what to do with it.
inline constexpr std::string_view ExportReplaceExisting =
    "The file exists already. Replace it by the exported commands (a copy of it is kept)?";
inline constexpr std::string_view ExportAppendExisting =
    "The file exists already. Add the exported commands to it (a copy of it is kept)?";
inline constexpr std::string_view OpenExportedFile = "Would you like to Open this Exported file?:";
inline constexpr std::string_view NoConversionDoneTitle = "Vocabrella";
inline constexpr std::string_view NoChange = "No Change";

// Outputs.
inline constexpr std::string_view FileExistsOverwrite = "File already exists.  Overwrite?";
inline constexpr std::string_view NothingSelectedToExport = "Nothing is selected to print/export";
inline constexpr std::string_view NoDvcCommands = "There are no DVC commands in this Scope or View";
inline constexpr std::string_view NoDvcCommandsTitle = "Sorry";
inline constexpr std::string_view OutputIsCommandFile = "The open command file cannot be written over";

// Debug with Basic.
inline constexpr std::string_view DebugTitle = "Debug with Basic";
inline constexpr std::string_view EditorDidNotOpen =
    "Dragon's command editor (the window \"MyCommands Editor\") did not open, so nothing was typed.";
inline constexpr std::string_view EditorLeftFront =
    "Another window came in front of Dragon's command editor, so the typing of the script was stopped.";
// The status line afterwards: what went where.
inline constexpr std::string_view DebugTyped = "Typed into Dragon's command editor (\"MyCommands Editor\"): ";
inline constexpr std::string_view DebugStopped = "Typing into Dragon's command editor stopped: ";
inline constexpr std::string_view DebugOf = " of ";
inline constexpr std::string_view DebugCharacters = " characters of the script";

// Undo and Redo through the file's history of changes.
inline constexpr std::string_view UndoPrefix = "Undo ";
inline constexpr std::string_view RedoPrefix = "Redo ";
inline constexpr std::string_view Undone = "Undone: ";
inline constexpr std::string_view Redone = "Redone: ";
inline constexpr std::string_view NothingToUndo = "Nothing to undo: no change of this file is kept in its history";
inline constexpr std::string_view NothingToRedo = "Nothing to redo: no undone change of this file is kept in its history";
inline constexpr std::string_view ChangedSinceStart = "Dragon or another program changed the file since \"";
inline constexpr std::string_view ChangedSinceMade = "\" was made, so it is not undone: the file was left as it is";
inline constexpr std::string_view ChangedSinceUndone = "\" was undone, so it is not redone: the file was left as it is";
inline constexpr std::string_view VersionLostStart = "The history no longer holds the file as it was ";
inline constexpr std::string_view VersionLostBefore = "before \"";
inline constexpr std::string_view VersionLostAfter = "after \"";
inline constexpr std::string_view VersionLostEnd = "\": the file was left as it is";
inline constexpr std::string_view HistoryNotKept = "The change was made, but it could not be kept for Undo: ";
// The history as the command line lists it, newest first.
inline constexpr std::string_view HistoryOf = "Changes of ";
inline constexpr std::string_view HistoryNewestFirst = ", newest first:";
inline constexpr std::string_view HistoryEmpty = "No change of this file is kept in its history";
inline constexpr std::string_view HistoryUndoMark = "undo  ";
inline constexpr std::string_view HistoryRedoMark = "redo  ";
inline constexpr std::string_view HistoryUndoneMark = "undone";
inline constexpr std::string_view HistoryMadeMark = "      ";
inline constexpr std::string_view HistoryFileChanged =
    "Dragon or another program changed the file since: undo and redo are refused until the file is "
    "again as the history has it";
// The names of the changes in the history.
inline constexpr std::string_view DescribeSaveChanges = "Save changes to ";
inline constexpr std::string_view DescribeNewCommand = "New command ";
inline constexpr std::string_view DescribeNewList = "New LIST ";
inline constexpr std::string_view DescribeRename = "Rename ";
inline constexpr std::string_view DescribeTo = " to ";
inline constexpr std::string_view DescribeClone = "Clone ";
inline constexpr std::string_view DescribeCloneAs = " as ";
inline constexpr std::string_view DescribeDelete = "Delete ";
inline constexpr std::string_view DescribeDeleteList = "Delete LIST ";
inline constexpr std::string_view DescribeConvert = "Convert ";
inline constexpr std::string_view DescribeToPlainText = " to plain text";
inline constexpr std::string_view DescribeToAdvancedScript = " to an advanced script";
inline constexpr std::string_view DescribeImportXml = "Import XML ";
inline constexpr std::string_view DescribeExportReplace = "Replace the file by an export from ";
inline constexpr std::string_view DescribeExportAppend = "Append an export from ";
inline constexpr std::string_view DescribeRewrite = "Rewrite the file";
inline constexpr std::string_view DescribeConvertVersion = "Convert the file to version ";
inline constexpr std::string_view DescribeConvertLanguage = "Convert the file to language ";
inline constexpr std::string_view DescribeReplace = "Replace ";
inline constexpr std::string_view DescribeReplaceAll = "Replace all ";
inline constexpr std::string_view DescribeWith = " with ";
inline constexpr std::string_view DescribeIn = " in ";
inline constexpr std::string_view DescribeCommands = " commands";
inline constexpr std::string_view DescribeMoveToGroup = "Move commands to group ";
inline constexpr std::string_view DescribeRenameGroup = "Rename group ";
inline constexpr std::string_view DescribeRenameProgram = "Rename program ";
inline constexpr std::string_view DescribeKeysCommands = " KEYS commands";
inline constexpr std::string_view DescribeToSendKeys = " to SendKeys scripts";
inline constexpr std::string_view DescribeToSendDragonKeys = " to SendDragonKeys scripts";

// Dragon's MyCommands XML.
inline constexpr std::string_view XmlUnreadable = "The XML file cannot be read: ";
inline constexpr std::string_view XmlImportRefused = "Nothing was imported. These commands or LISTs cannot be taken:";
inline constexpr std::string_view XmlNoCommands = "The XML file holds no commands";
inline constexpr std::string_view XmlTwice = "it is in the XML file twice";
inline constexpr std::string_view XmlListNowhere = "the LIST it uses exists nowhere: ";
inline constexpr std::string_view XmlOtherLanguage = "The XML file's language is not the command file's language: ";
inline constexpr std::string_view XmlUnknownVersion = "Unknown version (6.0, 6.1, 7.x, 8/9 or 10): ";
inline constexpr std::string_view XmlUnknownLanguage =
    "Unknown language (a language identifier such as 0x809, or English, German, Spanish, French, Dutch): ";
inline constexpr std::string_view XmlTargetIsSource = "The XML file cannot be written over";
inline constexpr std::string_view XmlImported = "Imported ";
inline constexpr std::string_view XmlExported = "Exported ";
inline constexpr std::string_view XmlCommandsAnd = " commands and ";
inline constexpr std::string_view XmlListsInto = " LISTs into ";
inline constexpr std::string_view XmlListsTo = " LISTs to ";
inline constexpr std::string_view XmlKept = "Kept as the file had them: ";
inline constexpr std::string_view XmlOwnForm =
    "Written in a form only this program reads back (Dragon has none for KEYS and Step by Step): ";
// Said after a change that wrote commands in a layout without states (views): their count between.
inline constexpr std::string_view StatesDroppedStart = "Notice: ";
inline constexpr std::string_view StatesDroppedEnd =
    " command(s) lost their states (views): this file version has no place for them";
inline constexpr std::string_view XmlNothingNew = "Nothing was imported: the file has every command of the XML file already";
inline constexpr std::string_view XmlCancelImport = "&Cancel Import";
inline constexpr std::string_view XmlLeftOut = "Left out (encrypted, or without a body): ";

// The command checker.
inline constexpr std::string_view CheckMissingList = "No LIST of the file is named ";
inline constexpr std::string_view CheckDuplicateCommand = "Another command of this program and scope has this name: ";
inline constexpr std::string_view CheckDuplicateList = "Another LIST has this name: ";
inline constexpr std::string_view CheckUnusedList = "No command uses this LIST";
inline constexpr std::string_view CheckEmptyBody = "The body is empty";
// Both this command and "go <direction>" (Global Commands, Global Commands) answer to "go up"
inline constexpr std::string_view CheckConflictStart = "Both this command and ";
inline constexpr std::string_view CheckConflictEnd = " answer to ";
inline constexpr std::string_view ScriptsWithoutDragonStart = "Legacy scripts checked without Dragon: ";
inline constexpr std::string_view ScriptsWithoutDragonEnd =
    " (by Vocabrella's own script check; Dragon's: --dragon-root DIR or $DRAGON_ROOT)";

// Comparing two command files, and what a restore would change.
inline constexpr std::string_view CompareNoDifferences = "No differences: the same commands and LISTs";
inline constexpr std::string_view CompareVersionsDiffer = "The format versions differ: ";
inline constexpr std::string_view CompareLanguagesDiffer = "The languages differ: ";
inline constexpr std::string_view CompareIn = " in ";
inline constexpr std::string_view CompareCommand = "command";
inline constexpr std::string_view CompareList = "LIST";
inline constexpr std::string_view CompareKeySeparator = " / ";
inline constexpr std::string_view CompareArrow = " -> ";
// What the conversion between the two versions did, rather than a change made by anyone.
inline constexpr std::string_view CompareConversionStart = "The conversion from ";
inline constexpr std::string_view CompareConversionTo = " to ";
// Then ": ", a count and StatesDroppedEnd, or a count and this.
inline constexpr std::string_view CompareConversionScriptsEnd =
    " advanced script(s) differ only in SendKeys and SendDragonKeys, as that version writes them";
inline constexpr std::string_view CompareLineEndsOnly = "(only the line ends differ)";
inline constexpr std::string_view CompareCannotRead = "This command file cannot be read: ";
// The field names, as the command line's JSON has them too.
inline constexpr std::string_view FieldBody = "body";
inline constexpr std::string_view FieldDescription = "description";
inline constexpr std::string_view FieldGroup = "group";
inline constexpr std::string_view FieldKind = "kind";
inline constexpr std::string_view FieldItems = "items";
inline constexpr std::string_view FieldStates = "states";
// The two wordings of a comparison: of two files, and of a backup against the current file.
inline constexpr std::string_view DiffFirst = "A";
inline constexpr std::string_view DiffSecond = "B";
inline constexpr std::string_view DiffAdded = "Added ";
inline constexpr std::string_view DiffRemoved = "Removed ";
inline constexpr std::string_view DiffChanged = "Changed ";
inline constexpr std::string_view RestoreFirst = "the current file";
inline constexpr std::string_view RestoreSecond = "the backup";
inline constexpr std::string_view RestoreAdded = "Brought back (in the backup, not in the current file): ";
inline constexpr std::string_view RestoreRemoved = "Lost (in the current file, not in the backup): ";
inline constexpr std::string_view RestoreChanged = "Put back as the backup has it: ";
inline constexpr std::string_view RestoreSame = "The backup holds the same commands and LISTs as the current file";
inline constexpr std::string_view RestorePreviewHeading = "What restoring this backup changes:";

// Reports.
inline constexpr std::string_view UnknownReportFormat = "A report is a command list (txt) or a spreadsheet (csv)";

// Failures of an operation that are no refusal: followed by the cause.
inline constexpr std::string_view CommandFileDamaged =
    "Nothing was changed: the command file could not be read as a command file. ";
inline constexpr std::string_view StoreFailed =
    "Nothing was changed: Vocabrella's database (global.mdb) failed. ";

// The file was written but the store could not follow it: the cause, then what is kept and what
// to do.
inline constexpr std::string_view StoreBehindStart =
    "The change was written into the command file, but Vocabrella's database (global.mdb) could not follow: ";
inline constexpr std::string_view StoreBehindMiddle = "\r\nThe command file holds the change";
inline constexpr std::string_view StoreBehindUndo = " and it can be undone. ";
inline constexpr std::string_view StoreBehindNoUndo = ", but it could not be kept for Undo. ";
inline constexpr std::string_view StoreBehindAdvice =
    "Make sure that the home folder (";
inline constexpr std::string_view StoreBehindEnd =
    ") can be written and has room on its disk, then start Vocabrella again: it reads the command file anew.";

// Trace labels of the failures above.
namespace trace {
inline constexpr std::string_view StoreBehind = "store behind the file";
inline constexpr std::string_view CleanUpFailed = "cleanup failed";
inline constexpr std::string_view FileFailed = "file failed";
inline constexpr std::string_view FileDamaged = "file damaged";
inline constexpr std::string_view StoreFailed = "store failed";
} // namespace trace

} // namespace vocabrella::ops::texts
