#pragma once

#include "cmdfile/AtomicFile.h"
#include "cmdfile/Store.h"

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace vocabrella {

// DVC text: the marked commands and LISTs in nested MENU, STATE, COMMAND and LIST blocks,
// indented by tabs, lines ended by CR LF. Rows of every Type are written with their type
// display names, which also serves the pseudo DVC export.

// The DVC text (UTF-8) of rows already in DVC order (see CommandStore::flaggedForDvc).
// No rows give an empty text.
std::string dvcText(const std::vector<UserRow>& rows);

// Why a row cannot be written as DVC text (a double quote in its name, program or scope, a body
// line beginning with a closing brace: either would end its block early), or nothing.
std::optional<std::string> dvcRefusal(const UserRow& row);

// Writes the rows of user whose flag is set to path, in Windows-1252, replacing the file
// atomically, then clears every flag, also when the write failed, so that no stale mark is
// picked up by the next operation on marked rows. Throws Refusal (before the file is touched)
// for the first row dvcRefusal refuses, EncodingError for text with no Windows-1252 form,
// std::filesystem::filesystem_error when the file cannot be written, StoreError from the store.
void WriteDvc(CommandStore& store, const std::filesystem::path& path);
// The same where the target must still be the version seen when it was chosen (see
// writeFileIfUnchanged); Refusal otherwise, with the flags cleared all the same.
void WriteDvc(CommandStore& store, const std::filesystem::path& path, const FileVersion& seen);

} // namespace vocabrella
