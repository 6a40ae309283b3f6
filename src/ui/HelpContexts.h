#pragma once

#include <optional>
#include <string_view>

// The help contexts: one number per menu, dialog and topic, each naming one page of the home
// folder's help/ folder. Dialogs open theirs with HelpWindow::Show(context).
namespace vocabrella::ui {

inline constexpr int kHelpCommands = 1;          // "Command &Help": the command reference
inline constexpr int kHelpContents = 10000;      // the contents page (also the default page)
inline constexpr int kHelpOptions = 10001;       // the Options dialog: fonts and menu numbering
inline constexpr int kHelpKeysConversion = 10002; // first-time help before a KEYS conversion
inline constexpr int kHelpRoaming = 10004;       // the roaming user's notice on saving

inline constexpr int kHelpMainWindow = 10010;
inline constexpr int kHelpFileMenu = 10011;
inline constexpr int kHelpEditMenu = 10012;
inline constexpr int kHelpViewMenu = 10013;
inline constexpr int kHelpSelectionMenus = 10014; // "P&rogram", "&Scope" and "&Group"
inline constexpr int kHelpVocMenu = 10015;
inline constexpr int kHelpToolsMenu = 10016;
inline constexpr int kHelpHelpMenu = 10017;

inline constexpr int kHelpExportReport = 10020;  // the Export/Report dialog
inline constexpr int kHelpPrintCommand = 10021;  // "Print Current Command", "P&rint Macro"

// The batch operation dialog, one page per mode.
inline constexpr int kHelpBatchExport = 10030;       // "dat"
inline constexpr int kHelpBatchRenameGroup = 10031;  // "group"
inline constexpr int kHelpBatchRenameProgram = 10032; // "program"
inline constexpr int kHelpBatchDelete = 10033;       // "delete"
inline constexpr int kHelpBatchKeysToPlain = 10034;  // "dvc2plain"
inline constexpr int kHelpBatchKeysToSendKeys = 10035; // "dvc2vba"
inline constexpr int kHelpBatchKeysToDragonKeys = 10036; // "dvc2sdk"
inline constexpr int kHelpBatchReplace = 10037;      // "replace"

inline constexpr int kHelpConvertVersion = 10040;  // the four version entries of "&Tools"
inline constexpr int kHelpConvertLanguage = 10041; // "Convert Language of .dat file"
inline constexpr int kHelpOverwrite = 10042;       // the "Overwrite?" and "Choose action below" questions

inline constexpr int kHelpNewCommand = 10050; // the New command dialog
inline constexpr int kHelpNewList = 10051;
inline constexpr int kHelpFind = 10052;
inline constexpr int kHelpAutoImport = 10053; // the offer to import the program's own voice commands
inline constexpr int kHelpBackups = 10054;    // backups and "Restore"
inline constexpr int kHelpProperties = 10055;
inline constexpr int kHelpSpokenControls = 10056;

inline constexpr int kHelpXmlImport = 10060;
inline constexpr int kHelpXmlExport = 10061;
inline constexpr int kHelpCheckCommands = 10062; // "Check Commands..."
inline constexpr int kHelpWithoutDragon = 10063; // command files opened without Dragon

inline constexpr int kHelpCommandLine = 10070; // vocabrella-cli

struct HelpTopic {
    int context;
    std::string_view page;
};

// Every context with its page, in the order of the contents page.
inline constexpr HelpTopic kHelpTopics[] = {
    {kHelpContents, "index.html"},
    {kHelpMainWindow, "main-window.html"},
    {kHelpFileMenu, "file-menu.html"},
    {kHelpEditMenu, "edit-menu.html"},
    {kHelpViewMenu, "view-menu.html"},
    {kHelpSelectionMenus, "selection-menus.html"},
    {kHelpVocMenu, "voc-menu.html"},
    {kHelpToolsMenu, "tools-menu.html"},
    {kHelpHelpMenu, "help-menu.html"},
    {kHelpCommands, "commands.html"},
    {kHelpNewCommand, "new-command.html"},
    {kHelpNewList, "new-list.html"},
    {kHelpFind, "find.html"},
    {kHelpOptions, "options.html"},
    {kHelpExportReport, "export-report.html"},
    {kHelpPrintCommand, "print-command.html"},
    {kHelpBatchExport, "batch-export.html"},
    {kHelpBatchRenameGroup, "batch-rename-group.html"},
    {kHelpBatchRenameProgram, "batch-rename-program.html"},
    {kHelpBatchDelete, "batch-delete.html"},
    {kHelpBatchKeysToPlain, "batch-keys-plain.html"},
    {kHelpBatchKeysToSendKeys, "batch-keys-sendkeys.html"},
    {kHelpBatchKeysToDragonKeys, "batch-keys-senddragonkeys.html"},
    {kHelpBatchReplace, "batch-replace.html"},
    {kHelpKeysConversion, "keys-conversion.html"},
    {kHelpConvertVersion, "convert-version.html"},
    {kHelpConvertLanguage, "convert-language.html"},
    {kHelpOverwrite, "overwrite.html"},
    {kHelpXmlImport, "xml-import.html"},
    {kHelpXmlExport, "xml-export.html"},
    {kHelpCheckCommands, "check-commands.html"},
    {kHelpAutoImport, "auto-import.html"},
    {kHelpBackups, "backups.html"},
    {kHelpProperties, "properties.html"},
    {kHelpRoaming, "roaming.html"},
    {kHelpSpokenControls, "spoken-controls.html"},
    {kHelpWithoutDragon, "without-dragon.html"},
    {kHelpCommandLine, "command-line.html"},
};

// The page of a context; nothing for a number no page answers to.
constexpr std::optional<std::string_view> helpPage(int context) {
    for (const auto& topic : kHelpTopics)
        if (topic.context == context) return topic.page;
    return std::nullopt;
}

} // namespace vocabrella::ui
