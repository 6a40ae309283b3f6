#pragma once

#include "ops/BatchChange.h"

#include <string>

namespace vocabrella::ops {

// Moves the marked commands of the current Group (every marked command when that is
// "All groups") into another Group.
class RenameGroupChange final : public BatchChange {
public:
    std::string describe() const override;
    RenameGroupChange(Workspace& ws, BatchSelection selection, std::string newName)
        : BatchChange(ws, std::move(selection)), newName_(std::move(newName)) {}

protected:
    Outcome checkMarked() override;
    void write() override;
    Outcome finish() override;

private:
    std::string newName_;
    std::string oldGroup_;
};

// Gives the marked commands of the current program another program (module) name. Only the
// rows of that program change, whichever scope option marked them.
class RenameProgramChange final : public BatchChange {
public:
    std::string describe() const override;
    RenameProgramChange(Workspace& ws, BatchSelection selection, std::string newName)
        : BatchChange(ws, std::move(selection)), newName_(std::move(newName)) {}
    // A name typed with ".exe" (any case) loses it.
    static std::string withoutExe(std::string name);

protected:
    Outcome checkMarked() override;
    void write() override;
    Outcome finish() override;

private:
    // Refuses a rename after which a scope of the new program would hold a name twice.
    Outcome refuseRepeatedNames();

    std::string newName_;
};

} // namespace vocabrella::ops
