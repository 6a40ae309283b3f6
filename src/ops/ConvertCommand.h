#pragma once

#include "ops/Change.h"
#include "ops/Names.h"

#include <optional>
#include <string>

namespace vocabrella::ops {

// A KEYS command without braces becomes a plain-text command; its text stays as it is.
class ConvertToPlainText final : public Change {
public:
    ConvertToPlainText(Workspace& ws, Place place, std::string name)
        : Change(ws), place_(std::move(place)), name_(std::move(name)) {}

protected:
    Outcome check() override;
    void write() override;
    Outcome finish() override { return Outcome::done(); }

private:
    Place place_;
    std::string name_;
    std::optional<UserRow> row_;
};

// A KEYS command becomes an advanced script doing the same keystrokes.
class ConvertToAdvancedScript final : public Change {
public:
    ConvertToAdvancedScript(Workspace& ws, Place place, std::string name)
        : Change(ws), place_(std::move(place)), name_(std::move(name)) {}

    // The script for a KEYS text, or nothing after " Conversion failed" was told.
    static std::optional<std::string> convertedBody(Workspace& ws, std::string_view keys);

protected:
    Outcome check() override;
    void write() override;
    Outcome finish() override { return Outcome::done(); }

private:
    Place place_;
    std::string name_;
    std::optional<UserRow> row_;
    std::string script_;
};

} // namespace vocabrella::ops
