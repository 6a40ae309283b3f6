#pragma once

#include "ops/Change.h"

#include <optional>
#include <string>

namespace vocabrella::ops {

// A KEYS command without braces becomes a plain-text command; its text stays as it is.
class ConvertToPlainText final : public ChangeOfOne {
public:
    std::string describe() const override;
    ConvertToPlainText(Workspace& ws, Place place, std::string name)
        : ChangeOfOne(ws, std::move(place), std::move(name)) {}

protected:
    Outcome check() override;
    void write() override;
    Outcome finish() override { return Outcome::done(); }
};

// A KEYS command becomes an advanced script doing the same keystrokes.
class ConvertToAdvancedScript final : public ChangeOfOne {
public:
    std::string describe() const override;
    ConvertToAdvancedScript(Workspace& ws, Place place, std::string name)
        : ChangeOfOne(ws, std::move(place), std::move(name)) {}

    // The script for a KEYS text, or nothing after " Conversion failed" was told.
    static std::optional<std::string> convertedBody(Workspace& ws, std::string_view keys);

protected:
    Outcome check() override;
    void write() override;
    Outcome finish() override { return Outcome::done(); }

private:
    std::string script_;
};

} // namespace vocabrella::ops
