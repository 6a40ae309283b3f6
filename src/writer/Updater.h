#pragma once

#include "cmdfile/AtomicFile.h"
#include "writer/RecordEncoder.h"
#include "writer/WriterEnvironment.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace vocabrella {

struct UserRow;

// Writes one change of the store into the command file without rebuilding it: the bytes
// before the change, the changed piece, the bytes after it; then the file is replaced. Each
// operation refuses bad input before it writes anything (Refusal) and leaves the file and the
// store as they were when anything fails.
class CommandFileUpdater {
public:
    explicit CommandFileUpdater(WriterEnvironment env) : env_(std::move(env)) {}

    // The body of a command, or the items of a LIST (one per line).
    void Update1Body(std::int64_t rowId, std::string_view newText);
    // Several bodies at once, in one replacement of the file: all of them or none.
    struct BodyChange {
        std::int64_t rowId = 0;
        std::string text;
    };
    void UpdateBodies(const std::vector<BodyChange>& changes);

    enum class KindChange { ToPlainText, ToAdvancedScript };
    // A KEYS command becomes plain text or an advanced script; its body stays as it is.
    void Updatechangetype(std::int64_t rowId, KindChange change);

    // Name (with its LIST references), description and group of a command; for a LIST row
    // only the name changes.
    void UpdateFirstThings(std::int64_t rowId, std::string_view newName, std::string_view description,
                           std::string_view group);
    void UpdateListRename(std::int64_t rowId, std::string_view newName);

    // A new command in front of the LIST section; a new LIST at the end of the file.
    void UpdateNewCommand(const NewCommandRecord& record);
    void UpdateNewList(std::string_view name, std::string_view items);

    // Takes a LIST's record out of the file and one off the LIST count; its rows (the global
    // one and every copy in other places) leave the store. The commands using it keep their
    // references.
    void UpdateDeleteList(std::int64_t rowId);

private:
    UserRow rowInFile(std::int64_t rowId);

    WriterEnvironment env_;
};

} // namespace vocabrella
