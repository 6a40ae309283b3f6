#pragma once

#include "cmdfile/Store.h"
#include "writer/Rebuild.h"

#include <functional>
#include <string>
#include <vector>

namespace vocabrella {

// A rebuild that changes nothing: the file comes out byte for byte as it was.
class PlainRebuild final : public RebuildOperation {
public:
    std::string_view OperationMode() const override { return ""; }
    std::string_view traceText() const override { return "rebuild"; }
};

// Drops the flagged commands, and with them the LISTs they used that no remaining command
// uses. A LIST no command uses, a new one waiting for its first command, stays.
class DeleteMarkedOperation final : public RebuildOperation {
public:
    std::string_view OperationMode() const override { return "delete"; }
    std::string_view traceText() const override;
    bool keep(const RecordEdit& e) const override { return !e.flagged; }
    bool dropsListsLeftUnused() const override { return true; }
};

// The global LISTs that a delete of the commands `leaves` picks (the flagged ones, by default)
// drops: used by one of them and by no other command. Names as the store has them, in file
// order.
std::vector<std::string> ListsLeavingWith(CommandStore& store,
                                          const std::function<bool(const CommandStore::RowMark&)>& leaves);
std::vector<std::string> ListsLeavingWithMarked(CommandStore& store);

// Gives the flagged commands of one group (or of any group, when the old name is
// "All groups") another group. "User-defined" stands for the empty group.
class RenameGroupOperation final : public RebuildOperation {
public:
    RenameGroupOperation(std::string oldName, std::string newName);
    std::string_view OperationMode() const override { return "group"; }
    std::string_view traceText() const override;
    bool prepare(const WriterEnvironment& env) override;
    void edit(RecordEdit& e, RebuildLogs&) override;

private:
    std::string oldName_, newName_, oldBytes_, newBytes_;
};

// Gives the flagged application- and window-specific commands another program (module) name.
class RenameProgramOperation final : public RebuildOperation {
public:
    explicit RenameProgramOperation(std::string newName) : newName_(std::move(newName)) {}
    std::string_view OperationMode() const override { return "program"; }
    std::string_view traceText() const override;
    bool prepare(const WriterEnvironment& env) override;
    void edit(RecordEdit& e, RebuildLogs&) override;

private:
    std::string newName_, newBytes_;
};

// The two rebuilds that are nothing but a rebuild, by their own names.
RebuildResult DeleteMarked(const WriterEnvironment& env);
RebuildResult RenameGroup(const WriterEnvironment& env, std::string oldName, std::string newName);

} // namespace vocabrella
