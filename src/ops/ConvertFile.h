#pragma once

#include "ops/Change.h"
#include "writer/VersionConversion.h"

#include <string>

namespace vocabrella::ops {

// Rebuilds the open file in the layout of another Dragon version ("6.0", "6.1", "7.x", "8/9"),
// after OK. Not for the speech user's own file.
class ConvertVersion final : public Change {
public:
    std::string describe() const override;
    ConvertVersion(Workspace& ws, std::string target) : Change(ws), targetName_(std::move(target)) {}

protected:
    Outcome check() override;
    Outcome confirm() override;
    void write() override;
    Outcome finish() override;

private:
    std::string targetName_;
    std::optional<ConvertVersionOperation> operation_;
    std::size_t statesDropped_ = 0;
};

// What is said when commands were written in a layout without states: a line that starts
// with CR LF and names how many commands lost theirs; empty when none did.
std::string statesDroppedNotice(std::size_t commands);

// Writes another language into the header of the open file, after yes. Only for exported
// files, never the speech user's own.
class ConvertLanguage final : public Change {
public:
    std::string describe() const override;
    ConvertLanguage(Workspace& ws, std::string language) : Change(ws), language_(std::move(language)) {}

    // Whether the open file can take another language at all, asked before the language is
    // chosen. A refusal has been told.
    static Outcome offered(Workspace& ws);

protected:
    Outcome check() override;
    Outcome confirm() override;
    void write() override;
    Outcome finish() override;

private:
    std::string language_;
};

} // namespace vocabrella::ops
