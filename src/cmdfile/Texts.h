#pragma once

#include <string_view>

// The program's own texts used by the command file layer: messages, titles, status lines and
// trace labels, each in one place.
namespace vocabrella::texts {

inline constexpr std::string_view CommandFileMissing = "Required NatSpeak file missing--cannot continue";
inline constexpr std::string_view KeynamesMissing = "Required file 'keynames' missing";
inline constexpr std::string_view KeynamesMissingTitle = "Reinstall";
inline constexpr std::string_view Processing = "Processing ";
inline constexpr std::string_view ProcessingFormatted = "Processing Formatted Command";
inline constexpr std::string_view Retrying = "retrying: ";
inline constexpr std::string_view CountSeparator = " /";
inline constexpr std::string_view UnknownStep = "Unknown step-by-step command:";
inline constexpr std::string_view UnknownStepTitle = "Offset =";
inline constexpr std::string_view Encrypted = "This command has been encrypted, and cannot be edited";

// Refusals of the file layer; each follows the file's path and ": ".
inline constexpr std::string_view NotARegularFile =
    "this is not a file but a folder, a pipe or a device, so it is neither read nor replaced";
inline constexpr std::string_view ReadOnlyFile =
    "the file is read-only, so it was not changed; make it writable and try again";
inline constexpr std::string_view FolderNotWritable =
    "the folder of this file cannot be written to, so the file was not changed";
inline constexpr std::string_view WriterBusy =
    "another program is still changing this command file, so it was not changed; try again in a moment";
inline constexpr std::string_view ChangedMeanwhile =
    "another program changed this file after it was read, so it was not written; try again";
inline constexpr std::string_view CreatedMeanwhile =
    "another program created this file meanwhile, so it was left as that program wrote it; nothing was written";

// DVC text that would not read back as it was meant.
inline constexpr std::string_view DvcCannotHold = "Nothing was written: DVC text cannot hold the command ";
inline constexpr std::string_view DvcQuote =
    ": a double quote in its name, program or scope would end the quoted text early";
inline constexpr std::string_view DvcClosingBrace = ": a line of its body beginning with } would end its block early";

// duplicate.log
inline constexpr std::string_view DuplicateHeader1 = "The following Command or LIST names are duplicate names";
inline constexpr std::string_view DuplicateHeader3 =
    "Already in:  Filename     MENU         STATE                            Type   Macroname";

// error.log
inline constexpr std::string_view ErrorStars1 = "****************************************";
inline constexpr std::string_view ErrorBadName = "this bad command (or list) ";
inline constexpr std::string_view ErrorStars2 = "*********************************";
inline constexpr std::string_view ErrorPrevious = "previous command (or list) ";
inline constexpr std::string_view ErrorOffset = "offset ";
inline constexpr std::string_view ErrorWhich = "which/commands,which/lists ";
inline constexpr std::string_view ErrorParmtime = " parmtime ";
inline constexpr std::string_view ErrorFiletime = " filetime ";

// Trace labels of the reader.
namespace trace {
inline constexpr std::string_view Before = "b4 processing";
inline constexpr std::string_view BeforeKeynames = "binary before keynames";
inline constexpr std::string_view Real = "real";
inline constexpr std::string_view BeforeLists = "before parselists";
inline constexpr std::string_view Done = "binary done";
// The store's failures that cannot be thrown: the label, then what failed.
inline constexpr std::string_view Store = "store";
inline constexpr std::string_view StoreFinalize = "finalize";
inline constexpr std::string_view StoreReset = "reset";
inline constexpr std::string_view StoreClearBindings = "clear bindings";
inline constexpr std::string_view StoreClose = "close";
inline constexpr std::string_view StoreRollback = "rollback";
inline constexpr std::string_view StoreRollbackTo = "rollback to savepoint";
inline constexpr std::string_view ClearMarks = "clear marks";
inline constexpr std::string_view ReadAhead = "read ahead";
} // namespace trace

} // namespace vocabrella::texts
