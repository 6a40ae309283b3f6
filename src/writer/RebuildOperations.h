#pragma once

#include "writer/Rebuild.h"

#include <string>

namespace vocabrella {

// A rebuild that changes nothing: the file comes out byte for byte as it was.
class PlainRebuild final : public RebuildOperation {
public:
    std::string_view OperationMode() const override { return ""; }
    std::string_view traceText() const override { return "rebuild"; }
};

// Drops the flagged commands, and every LIST no remaining command refers to.
class DeleteMarkedOperation final : public RebuildOperation {
public:
    std::string_view OperationMode() const override { return "delete"; }
    std::string_view traceText() const override;
    bool keep(const RecordEdit& e) const override { return !e.flagged; }
    bool keepsOnlyReferencedLists() const override { return true; }
};

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
