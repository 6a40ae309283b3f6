#include "writer/RebuildOperations.h"

#include "cmdfile/Errors.h"
#include "cmdfile/RawRecord.h"
#include "cmdfile/TextCase.h"
#include "writer/Texts.h"

#include <unordered_set>

namespace vocabrella {

std::string_view DeleteMarkedOperation::traceText() const { return texts::trace::DeleteMarked; }

RenameGroupOperation::RenameGroupOperation(std::string oldName, std::string newName)
    : oldName_(std::move(oldName)), newName_(std::move(newName)) {}

std::string_view RenameGroupOperation::traceText() const { return texts::trace::RenameGroup; }

bool RenameGroupOperation::prepare(const WriterEnvironment&) {
    if (newName_.empty()) throw Refusal("The new group name is empty");
    newBytes_ = newName_ == names::UserDefined ? std::string() : encodeName(newName_);
    oldBytes_ = oldName_ == names::UserDefined ? std::string() : encodeForFile(oldName_);
    return true;
}

void RenameGroupOperation::edit(RecordEdit& e, RebuildLogs&) {
    if (!e.flagged) return;
    const std::string_view group = e.raw.group.text;
    const bool matches = oldName_ == names::AllGroups || group == oldBytes_ ||
                         (group.empty() && oldName_ == names::UserDefined);
    if (matches) e.group = newBytes_;
}

std::string_view RenameProgramOperation::traceText() const { return texts::trace::RenameGroup; }

bool RenameProgramOperation::prepare(const WriterEnvironment&) {
    if (newName_.empty()) throw Refusal("The new program name is empty");
    if (names::isGlobalProgram(newName_)) throw Refusal("Commands cannot be moved into \"Global Commands\" by a rename");
    newBytes_ = encodeName(newName_);
    return true;
}

void RenameProgramOperation::edit(RecordEdit& e, RebuildLogs&) {
    if (e.flagged && !e.raw.scopeStrings.empty()) e.module = newBytes_;
}

std::vector<std::string> ListsLeavingWith(CommandStore& store,
                                          const std::function<bool(const CommandStore::RowMark&)>& leaves) {
    std::unordered_set<std::string> usedByMarked, usedByOthers, seen;
    const auto marks = store.rowMarks();
    for (const auto& m : marks) {
        if (m.Type == "L") continue;
        auto& used = leaves(m) ? usedByMarked : usedByOthers;
        for (const auto name : listReferences(m.name)) used.insert(foldCase(name));
    }
    std::vector<std::string> leaving;
    for (const auto& m : marks) {
        if (m.Type != "L") continue;
        const auto folded = foldCase(m.name);
        if (usedByMarked.count(folded) && !usedByOthers.count(folded) && seen.insert(folded).second)
            leaving.push_back(m.name);
    }
    return leaving;
}

std::vector<std::string> ListsLeavingWithMarked(CommandStore& store) {
    return ListsLeavingWith(store, [](const CommandStore::RowMark& m) { return m.flag; });
}

RebuildResult DeleteMarked(const WriterEnvironment& env) {
    DeleteMarkedOperation op;
    return runRebuild(env, op);
}

RebuildResult RenameGroup(const WriterEnvironment& env, std::string oldName, std::string newName) {
    RenameGroupOperation op(std::move(oldName), std::move(newName));
    return runRebuild(env, op);
}

} // namespace vocabrella
