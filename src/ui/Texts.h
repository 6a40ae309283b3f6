#pragma once

#include <string_view>

// The window's own texts: captions of its menus and controls, messages and titles, each in one
// place. Captions keep their "&" accelerators.
namespace vocabrella::ui::texts {

inline constexpr std::string_view WindowTitle = "Vocabrella";

// Menu bar.
inline constexpr std::string_view FileMenu = "&File";
inline constexpr std::string_view EditMenu = "&Edit";
inline constexpr std::string_view ViewMenu = "&View";
inline constexpr std::string_view ProgramMenu = "P&rogram";
inline constexpr std::string_view ScopeMenu = "&Scope";
inline constexpr std::string_view VocMenu = "&Voc";
inline constexpr std::string_view GroupMenu = "&Group";
inline constexpr std::string_view ToolsMenu = "&Tools";
inline constexpr std::string_view HelpMenu = "&Help";

// File.
inline constexpr std::string_view FileOpen = "&Open";
inline constexpr std::string_view FileReload = "Re&load current user mycmds.dat";
inline constexpr std::string_view FileReset = "&Re-specify DNS path";
inline constexpr std::string_view FileProperties = "Proper&ties";
inline constexpr std::string_view FileReport = "&Print COMMAND list...";
inline constexpr std::string_view FileExcel = "Export to &spreadsheet...";
inline constexpr std::string_view FileDvc = "&Export to dvc...";
inline constexpr std::string_view FilePseudo = "Export to pse&udo dvc...";
inline constexpr std::string_view FileImportXml = "&Import Dragon XML...";
inline constexpr std::string_view FileExportXml = "Export &Dragon XML...";
inline constexpr std::string_view FileCompare = "&Compare with...";
inline constexpr std::string_view CompareDialogTitle = "Choose command file to compare with the open file";
inline constexpr std::string_view CompareWindowTitle = "Compare with ";
inline constexpr std::string_view CompareFirstFile = "A (open): ";
inline constexpr std::string_view CompareSecondFile = "B: ";
inline constexpr std::string_view CompareClose = "&Close";
inline constexpr std::string_view ImportXmlDialogTitle = "Choose Dragon XML file to import";
inline constexpr std::string_view ExportXmlDialogTitle = "Export all commands to Dragon XML";
inline constexpr std::string_view XmlDialogFilter = "Dragon XML files (.xml) (*.xml);;All files (*.*) (*)";
// Where an imported XML file goes.
inline constexpr std::string_view ImportXmlWhereTitle = "Import Dragon XML";
inline constexpr std::string_view ImportXmlWhereStart = "Import the commands and LISTs of\r\n";
inline constexpr std::string_view ImportXmlWhereEnd =
    "\r\ninto a new command file, or add them to the open file\r\n";
inline constexpr std::string_view ImportXmlNewFile = "Into a &new file...";
inline constexpr std::string_view ImportXmlOpenFile = "Add to the &open file";
inline constexpr std::string_view ImportXmlNewFileTitle = "Make a new command file from the Dragon XML";
inline constexpr std::string_view ImportXmlOpenNow = "Open the new file now?";
inline constexpr std::string_view PopupPrint = "Print Current Command";
inline constexpr std::string_view PopupPrint2 = "P&rint Macro";
inline constexpr std::string_view RollbackPrefix = "Restore user '";
inline constexpr std::string_view RollbackSuffix = "' &mycmds.dat";
inline constexpr std::string_view RollbackSetPrefix = "Bac&kup user '";
inline constexpr std::string_view RollbackSetSuffix = "' mycmds.dat";
inline constexpr std::string_view FileExit = "E&xit";

// Edit.
inline constexpr std::string_view EditUndo = "&Undo";
inline constexpr std::string_view EditRedo = "&Redo";
inline constexpr std::string_view FindMenu = "&Find";
inline constexpr std::string_view EditOptions = "&Options";

// View.
inline constexpr std::string_view ViewKeys = "&KEYs";
inline constexpr std::string_view ViewScripts = "&SCRIPTs";
inline constexpr std::string_view ViewLists = "&LISTs";
inline constexpr std::string_view ViewText = "&Text and Graphics";
inline constexpr std::string_view ViewPlain = "&Plain Text";
inline constexpr std::string_view ViewRecorder = "Macro &Recorder";
inline constexpr std::string_view ViewSteps = "Step-&by-step";
inline constexpr std::string_view ViewAdvanced = "Ad&vanced Scripting";
inline constexpr std::string_view ViewAll = "&All of the above";
inline constexpr std::string_view Only1 = "O&nly one of the above";
inline constexpr std::string_view Only1Keys = "&KEYs";
inline constexpr std::string_view Only1Scripts = "&SCRIPTs";
inline constexpr std::string_view Only1Lists = "&LISTs";
inline constexpr std::string_view Only1Text = "&Text and Graphics";
inline constexpr std::string_view Only1Plain = "&Plain Text";
inline constexpr std::string_view Only1Recorder = "&Macro Recorder";
inline constexpr std::string_view Only1Steps = "Step-&by-step";
inline constexpr std::string_view Only1Advanced = "&Advanced Scripting";
inline constexpr std::string_view ViewMapped = "L&egacy DVC file(s)";
inline constexpr std::string_view ViewNotMapped = "&Mycmds.dat";
inline constexpr std::string_view ViewFollowCommand = "&1 command with its LISTs";
inline constexpr std::string_view ViewFollowList = "1 LIST with &calling COMMANDS";
inline constexpr std::string_view ViewDescriptions = "View Description";

// Voc.
inline constexpr std::string_view NewKeys = "&New legacy KEYS";
inline constexpr std::string_view NewScript = "New legacy &SCRIPT";
inline constexpr std::string_view NewAdvanced = "New &Advanced Scripting";
inline constexpr std::string_view NewPlainText = "New &Plain Text";
inline constexpr std::string_view NewList = "New &LIST";
inline constexpr std::string_view CommandEdit = "&Edit";
inline constexpr std::string_view CommandClone = "&Clone";
inline constexpr std::string_view CommandDelete = "&Delete";
inline constexpr std::string_view CommandDebugBasic = "Debug with &Basic";
inline constexpr std::string_view CommandRename = "&Rename";
inline constexpr std::string_view Convert2Plain = "Convert to Plain &Text";
inline constexpr std::string_view Convert2Advanced = "Convert to Ad&vanced Scripting";

// NewCommandForm, the name of a new command.
inline constexpr std::string_view NewCommandCaption = "Enter New Command Name below";
inline constexpr std::string_view NewCommandLabel = "Command &Name: Will be created in:";
inline constexpr std::string_view NewCommandListNote = "If any LIST (above) is new, you must first create with Voc, New LIST";
inline constexpr std::string_view ShowLists = "Show &Lists";
inline constexpr std::string_view AvailableLists = "&Available  Lists:";
inline constexpr std::string_view ListContents = "List Con&tents:";
inline constexpr std::string_view InsertList = "&Insert Selected List";
inline constexpr std::string_view Ok = "&OK";
inline constexpr std::string_view Cancel = "&Cancel";

// Rename.
inline constexpr std::string_view RenamePromptStart = "Enter new ";
inline constexpr std::string_view RenamePromptEnd = " name";
inline constexpr std::string_view KindWordCommand = "command";
inline constexpr std::string_view KindWordList = "LIST";

// Tools.
inline constexpr std::string_view ToolsExport = "&Export";
inline constexpr std::string_view ToolsRenameGroup = "&Rename Group";
inline constexpr std::string_view ToolsRenameProgram = "Rename &Program";
inline constexpr std::string_view ToolsDelete = "&Delete";
inline constexpr std::string_view ToolsReplace = "&Search and Replace";
inline constexpr std::string_view ToolsKeys2Plain = "Convert DVC KEYS to Plain &Text";
inline constexpr std::string_view ToolsKeys2Vba = "Convert DVC KEYS to &Advanced Scripting w/SendKeys";
inline constexpr std::string_view ToolsKeys2Sdk = "Convert DVC &KEYS to Advanced Scripting w/SendDragonKeys";
inline constexpr std::string_view ToolsConvert60 = "&Convert to 6.0";
inline constexpr std::string_view ToolsConvert61 = "Convert to 6.&1";
inline constexpr std::string_view ToolsConvert70 = "Convert to &7.x";
inline constexpr std::string_view ToolsConvert80 = "Convert to &8/9";
inline constexpr std::string_view ToolsLanguage = "Convert &Language...";
inline constexpr std::string_view ToolsCheck = "C&heck Commands...";

// The batch operation dialog (export): its modes, their titles and action buttons, its controls.
inline constexpr std::string_view BatchCaption = "Export/Report";
inline constexpr std::string_view ModeExport = "dat";
inline constexpr std::string_view ModeGroup = "group";
inline constexpr std::string_view ModeProgram = "program";
inline constexpr std::string_view ModeDelete = "delete";
inline constexpr std::string_view ModeKeysToPlain = "dvc2plain";
inline constexpr std::string_view ModeKeysToSendKeys = "dvc2vba";
inline constexpr std::string_view ModeKeysToDragonKeys = "dvc2sdk";
inline constexpr std::string_view ModeReplace = "replace";
inline constexpr std::string_view TitleExport = "Export to .dat";
inline constexpr std::string_view TitleGroup = "Rename Group";
inline constexpr std::string_view TitleProgram = "Rename Program";
inline constexpr std::string_view TitleDelete = "Delete";
inline constexpr std::string_view TitleKeysToPlain = "Convert DVC to Plain Text";
inline constexpr std::string_view TitleKeysToSendKeys = "Convert DVC to Advanced Scripting w/SendKeys";
inline constexpr std::string_view TitleKeysToDragonKeys = "Convert DVC to Advanced Scripting w/SendDragonKeys";
inline constexpr std::string_view TitleReplace = "Search/Replace";
inline constexpr std::string_view ActionExport = "Export";
inline constexpr std::string_view ActionGroup = "Rename Group";
inline constexpr std::string_view ActionProgram = "Rename Program";
inline constexpr std::string_view ActionDelete = "Delete";
inline constexpr std::string_view ActionConvert = "Convert";
inline constexpr std::string_view ActionSearch = "Search";
inline constexpr std::string_view ScopeFrame = "Scope:";
inline constexpr std::string_view OutputAll = "&Everything";
inline constexpr std::string_view OutputGroup = "Current &Group";
inline constexpr std::string_view OutputApp = "Current &App";
inline constexpr std::string_view OutputState = "Current &Scope";
inline constexpr std::string_view OutputSelect = "Pick and &Choose";
inline constexpr std::string_view SeeBelow = "See below";
inline constexpr std::string_view PickAll = "A&ll";
inline constexpr std::string_view PickNone = "N&one";
inline constexpr std::string_view MacrosLabel = "Macros";
inline constexpr std::string_view FilenameLabel = "&Filename:";
inline constexpr std::string_view SearchForLabel = "Search &for";
inline constexpr std::string_view Specify = "Specif&y filename";
inline constexpr std::string_view ReplaceButton = "Replace";
inline constexpr std::string_view NewGroupLabel = "&New Group Name";
inline constexpr std::string_view NewProgramLabel = "New Program Name";
inline constexpr std::string_view ReplaceWithLabel = "Replace &With";
inline constexpr std::string_view MatchCase = "Match Case";
inline constexpr std::string_view ReplaceAll = "Replace All";
inline constexpr std::string_view BatchCancel = "Cancel";
inline constexpr std::string_view SpecifyFilter = "*.";

// The offer of help before the first KEYS conversion.
inline constexpr std::string_view KeysHelpCaption = "Please Read Help if First Time Converting";
inline constexpr std::string_view KeysHelpText = "Would you like to view the Help Page on this topic?";
inline constexpr std::string_view KeysHelpDontShow = "Don't &Show this Again";
inline constexpr std::string_view KeysHelpYes = "&Yes";
inline constexpr std::string_view KeysHelpNo = "&No Thanks";

// The version entries' targets, and the language dialog.
inline constexpr std::string_view Version60 = "6.0";
inline constexpr std::string_view Version61 = "6.1";
inline constexpr std::string_view Version70 = "7.x";
inline constexpr std::string_view Version80 = "8/9";
inline constexpr std::string_view LanguageCaption = "Convert Language of .dat file";
inline constexpr std::string_view LanguageExplanation =
    "This command modifies the .dat file header to the language specified.  This is necessary to be able to "
    "exchange macros (Export-Import) from one language to another.\r\n\r\nOf course, no translation of the command "
    "names, or any text contained in the macros is done.  This must be done separately by the User.";
inline constexpr std::string_view LanguageOfFile = "Language of current file: ";
inline constexpr std::string_view LanguageEntryPrefix = "to ";
inline constexpr std::string_view LanguageEntries[] = {"to Dutch", "to English", "to French", "to German",
                                                       "to Spanish"};
inline constexpr std::string_view LanguageConvert = "&Convert";

// Help.
inline constexpr std::string_view HelpCommand = "Command &Help";
inline constexpr std::string_view HelpAbout = "&About Vocabrella";

// Tabs and controls.
inline constexpr std::string_view TabCommands = "&Commands";
inline constexpr std::string_view TabLists = "&LISTs";
inline constexpr std::string_view TabRecentlyCreated = "Rece&ntly Created";
inline constexpr std::string_view TabRecentlyModified = "Recently Mod&ified";
inline constexpr std::string_view LabelProgram = "Program:";
inline constexpr std::string_view LabelScope = "Scope:";
inline constexpr std::string_view LabelGroup = "Gr&oup:";
inline constexpr std::string_view LabelType = "T&ype:";
inline constexpr std::string_view LabelDescription = "&Description";
inline constexpr std::string_view LabelStates = "State(s):";
inline constexpr std::string_view Modify = "&Modify";
inline constexpr std::string_view SaveChanges = "S&ave Changes";
inline constexpr std::string_view Abandon = "A&bandon";
inline constexpr std::string_view ShowGraphic = "Show Graphi&c";

// Lists and the body box.
inline constexpr std::string_view NothingToShow = "Nothing to show";
// A spoken tab or menu entry while a change is open.
inline constexpr std::string_view FinishEditFirst = "Save Changes or Abandon first: a change is open";
// Another program changed the open file: the status line after it was read again, and the
// messages while a change is open (their title is the file's path).
inline constexpr std::string_view FileChangedReadAgain = "Another program changed the file: it was read again";
inline constexpr std::string_view FileChangedWhileEditing =
    "Another program changed this file while your change is open.\r\n"
    "Saving it will be refused: the file is then read again, and the body put on the Clipboard.";
// A new command or LIST is not refused: it is added to the file as it is then.
inline constexpr std::string_view FileChangedWhileCreating =
    "Another program changed this file while your new entry is open.\r\n"
    "When you save it, the file is read again first and the entry added to it as it is then.";
inline constexpr std::string_view NoLongerAvailable =
    "This command is no longer available.\r\n\r\nIt has likely been renamed or deleted.";
inline constexpr std::string_view PickDifferent = "Please pick a different Program, Scope, View, or Group";
inline constexpr std::string_view PicturePlaceholderPrefix = "[";
inline constexpr std::string_view PicturePlaceholderSuffix = " picture not shown]";
inline constexpr std::string_view EmptyAdvancedScript = "Sub Main\r\n\t\r\nEnd Sub\r\n";
inline constexpr std::string_view FormattedUnreadable = "The formatted part of this command cannot be read";

// Follow views.
inline constexpr std::string_view NotAllowed = "Not allowed";
inline constexpr std::string_view NotValidUnlessCommand = "Not valid unless COMMAND";
inline constexpr std::string_view CommandHasNoLists = "This COMMAND has no LISTs";
inline constexpr std::string_view NotValidUnlessList = "Not valid unless LIST";

// File menu.
inline constexpr std::string_view OpenDialogTitle = "Choose file to Open";
inline constexpr std::string_view OpenDialogFilter = "MyCommands files (.dat) (*.dat);;All files (*.*) (*)";
inline constexpr std::string_view DefaultOpenFile = "mycmds.dat";
inline constexpr std::string_view PropertiesTitle = "Properties";

// Options dialog.
inline constexpr std::string_view OptionsCaption = "Options";
inline constexpr std::string_view NumberMenusCaption = "Number the  Program, Scope, and Group menus";
inline constexpr std::string_view OptionsNote = "Note: If you want to change the font or fontsize\r\nused by Vocabrella, click Help below";
inline constexpr std::string_view OptionsHelp = "&Help";
inline constexpr std::string_view OptionsExit = "E&xit";

// About.
inline constexpr std::string_view AboutCaption = "About Vocabrella";
inline constexpr std::string_view AboutText =
    "Vocabrella -- A versatile .dat direct file viewer/editor utility program for\r\n"
    "Nuance Dragon NaturallySpeaking Professional Series";
inline constexpr std::string_view AboutVersion = "Version ";

// Help window.
inline constexpr std::string_view HelpWindowTitle = "Vocabrella Help";
inline constexpr std::string_view HelpPageMissing = "This help page is not installed: ";

// The Export/Report dialog (exportdat) and printing.
namespace report {
inline constexpr std::string_view DefaultTitle = "Export/Report";
inline constexpr std::string_view TitleTxt = "Print COMMAND list";
inline constexpr std::string_view TitleCsv = "Export (spreadsheet)";
inline constexpr std::string_view TitleDvc = "Export (dvc)";
inline constexpr std::string_view TitlePseudo = "Export to pseudo dvc";
inline constexpr std::string_view ActionPrint = "Print";
inline constexpr std::string_view ActionExport = "Export";
inline constexpr std::string_view ScopeFrame = "Scope:";
inline constexpr std::string_view Everything = "&Everything";
inline constexpr std::string_view CurrentProgram = "Current P&rogram";
inline constexpr std::string_view CurrentScope = "Current &Scope";
inline constexpr std::string_view CurrentGroup = "Current &Group";
inline constexpr std::string_view PickAndChoose = "Pick and &Choose";
inline constexpr std::string_view PickAndChooseLower = "Pick and choose";
inline constexpr std::string_view SeeBelow = "See below";
inline constexpr std::string_view DestinationFrame = "Destination";
inline constexpr std::string_view ToFile = "To &File";
inline constexpr std::string_view ToPrinter = "To &Printer";
inline constexpr std::string_view ToClipboard = "To Clip&board";
inline constexpr std::string_view FileLabel = "File&name:";
inline constexpr std::string_view PrinterLabel = "Printer:";
inline constexpr std::string_view Specify = "Specif&y";
inline constexpr std::string_view Cancel = "Cancel";
inline constexpr std::string_view GlobalName = "global";
inline constexpr std::string_view SelectedName = "selected";
// With no printer installed, printing makes a PDF file.
inline constexpr std::string_view PdfPrinter = "PDF file";
inline constexpr std::string_view PdfFilter = "PDF files (*.pdf)";
inline constexpr std::string_view PrintFailed = "The printer could not be started: ";
// "Print Current Command".
inline constexpr std::string_view ProgramLine = "Program: ";
inline constexpr std::string_view ScopeLine = "Scope: ";
inline constexpr std::string_view CommandNameLine = "CommandName: ";
} // namespace report

// The offer to import the program's own voice commands (dialog autoimport).
inline constexpr std::string_view AutoImportCaption = "For Voice initiation of Vocabrella";
inline constexpr std::string_view AutoImportText =
    "Would you like for Vocabrella to automagically import the supplied 'vocGlobal.dat' file containing the 2 "
    "commands 'global vocabrella' and 'local vocabrella'? (highly recommended)\r\n\r\n'global vocabrella' brings up "
    "Vocabrella viewing 'Global Commands'\r\n'local vocabrella' brings up Vocabrella viewing the current "
    "application's commands (if any)";
inline constexpr std::string_view AutoImportImport = "&Import";
inline constexpr std::string_view AutoImportSkip = "&Skip";
inline constexpr std::string_view DontShowAgain = "Do &Not Show This Window Again";

// The spoken controls registered with Dragon.
// Without a Dragon installation: the status line, and the whole reason when the mouse rests on it.
inline constexpr std::string_view NoDragonFileOpen = "Without Dragon: only this file is changed; Dragon's entries are off";
inline constexpr std::string_view NoDragonNoFile = "No file: File > Open, or start with --dragon-root DIR or --demo";
inline constexpr std::string_view NoDragonWhy =
    "No Dragon installation was named (--dragon-root DIR, $DRAGON_ROOT or --demo). A change is written to the "
    "open file alone, after a copy a day in the home folder's file-backups. The speech user's reload, Re-specify "
    "DNS path, Debug with Basic and the speech user's backups and restore need Dragon.";

// "Check Commands".
inline constexpr std::string_view CheckCaption = "Check Commands";
inline constexpr std::string_view CheckNoFindings = "No findings: the commands and LISTs passed every check.";
inline constexpr std::string_view CheckFindingsStart = "Findings: ";
inline constexpr std::string_view CheckFindingsEnd = ". Double click one to go to its command.";
inline constexpr std::string_view CheckColumnKind = "Kind";
inline constexpr std::string_view CheckColumnProgram = "Program";
inline constexpr std::string_view CheckColumnScope = "Scope";
inline constexpr std::string_view CheckColumnName = "Name";
inline constexpr std::string_view CheckColumnDetail = "What is wrong";
// The legacy scripts left unchecked, told in the window's words (Help > Without Dragon says
// how to name an installation).
inline constexpr std::string_view CheckScriptsNeedDragon =
    " (by Vocabrella's own script check; Dragon's own needs a Dragon installation)";
inline constexpr std::string_view CheckGoTo = "&Go To";
inline constexpr std::string_view CheckClose = "&Close";
inline constexpr std::string_view CheckProgressName = "Checking commands";
inline constexpr std::string_view CheckProgressLabel = "Checking the commands and LISTs...";
inline constexpr std::string_view CheckCancel = "Cancel";
inline constexpr std::string_view CheckCancelled = "The check was cancelled; nothing was changed.";

namespace voice {
inline constexpr std::string_view MenuName = "Vocabrella";
inline constexpr std::string_view GlobalState = "Global";
inline constexpr std::string_view NumberedState = "Numbered";
inline constexpr std::string_view Category = "Spoken controls";
inline constexpr std::string_view Commands = "commands";
inline constexpr std::string_view CommandsDescription = "Set focus to commands";
inline constexpr std::string_view Lists = "lists";
inline constexpr std::string_view ListsDescription = "Set focus to LISTs";
inline constexpr std::string_view RecentlyCreated = "recently created";
inline constexpr std::string_view RecentlyCreatedDescription = "Show the recently created commands";
inline constexpr std::string_view RecentlyModified = "recently modified";
inline constexpr std::string_view RecentlyModifiedDescription = "Show the recently modified commands";
inline constexpr std::string_view Slider = "slider <slidernumbers>";
inline constexpr std::string_view SliderDescription = "Move the slider";
inline constexpr std::string_view Program = "program <programnumbers>";
inline constexpr std::string_view ProgramDescription = "Choose a program by its number";
inline constexpr std::string_view Scope = "scope <statenumbers>";
inline constexpr std::string_view ScopeDescription = "Choose a scope by its number";
inline constexpr std::string_view Group = "group <groupnumbers>";
inline constexpr std::string_view GroupDescription = "Choose a group by its number";
inline constexpr std::string_view GroupAllGroups = "group all groups";
inline constexpr std::string_view AllGroups = "all groups";
inline constexpr std::string_view AllGroupsDescription = "Show all groups";
inline constexpr std::string_view NumberDescription = "Choose the entry of this number";
inline constexpr std::string_view ProgramNumbers = "programnumbers";
inline constexpr std::string_view StateNumbers = "statenumbers";
inline constexpr std::string_view GroupNumbers = "groupnumbers";
inline constexpr std::string_view SliderNumbers = "slidernumbers";
inline constexpr std::string_view ProgramAction = "SendKeys \"{Alt+r}{down \" & _arg1 & \"}{up}{enter}\"";
inline constexpr std::string_view ScopeAction = "SendKeys \"{Alt+s}{down \" & _arg1 & \"}{up}{enter}\"";
inline constexpr std::string_view GroupAction = "SendKeys \"{Alt+g}{down \" & _arg1 & \"}{up}{enter}\"";
inline constexpr std::string_view AllGroupsAction = "SendKeys \"{Alt+g}{up}{enter}\"";
inline constexpr std::string_view NumberAction = "SendKeys \"{down \" & _arg1 & \"}{enter}\"";
inline constexpr std::string_view MenuFailed = "A previous invocation of Vocabrella had a problem.";
inline constexpr std::string_view MenuFailedTitle = "Please reboot your Windows system to resolve this problem";
} // namespace voice

// The roaming notice (roamwarn); its caption and text are the running program's.
inline constexpr std::string_view RoamWarnProceed = "&Proceed";
inline constexpr std::string_view RoamWarnHelp = "&Help";
inline constexpr std::string_view RoamWarnNeverAgain = "Do &Not Show This Window Again";

// The Find dialog (findform).
namespace find {
inline constexpr std::string_view Caption = "Find";
inline constexpr std::string_view SearchFor = "&Search for:";
inline constexpr std::string_view Scope = "Scope name";
inline constexpr std::string_view Name = "COMMAND (or LIST) name";
inline constexpr std::string_view Body = "Macro (or LIST) body";
inline constexpr std::string_view MatchCase = "Match Case";
inline constexpr std::string_view Find = "Find";
inline constexpr std::string_view FindAgain = "Find Again";
inline constexpr std::string_view FindPrevious = "Find Previous";
inline constexpr std::string_view Cancel = "Cancel";
inline constexpr std::string_view NotFoundTitle = "Not Found";
inline constexpr std::string_view NotFoundIn = " not found in ";
inline constexpr std::string_view YourMacroFiles = "your macro files";
inline constexpr std::string_view CurrentView = "current View";
inline constexpr std::string_view NoMoreMatches = " no more matches";
} // namespace find

} // namespace vocabrella::ui::texts
