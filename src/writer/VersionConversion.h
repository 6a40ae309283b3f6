#pragma once

#include "cmdfile/Errors.h"
#include "writer/Rebuild.h"

#include <optional>

#include <string>

namespace vocabrella {

// Rebuilds the open file in the layout of another Dragon version: "6.0", "6.1", "7.x" or "8/9".
// Refuses (with the system's messages, titled with the file's path) a file already in that
// version, the speech user's own open file, a non-English file for 6.x and a file holding
// encrypted commands; asks for confirmation (OK / Cancel) before anything is written.
class ConvertVersionOperation final : public RebuildOperation {
public:
    struct Target {
        std::string_view mode;      // OperationMode and trace text
        std::string_view name;      // "6.0" ...
        std::uint8_t code;
        std::string_view already;   // message when the file is in this version already
        std::string_view question;  // "Convert this file to 6.0 format?"
        std::string_view done;      // "File converted to 6.0 format"
        bool englishOnly;
    };
    static const Target* target(std::string_view name); // by "6.0", "6.1", "7.x"/"7.0", "8/9"/"8.0"

    ConvertVersionOperation(const Target& target, bool productionOpen) : target_(target), productionOpen_(productionOpen) {}
    std::string_view OperationMode() const override { return target_.mode; }
    std::string_view traceText() const override { return target_.mode; }
    std::uint8_t targetVersionCode(std::uint8_t) const override { return target_.code; }
    bool prepare(const WriterEnvironment& env) override;
    void edit(RecordEdit& e, RebuildLogs&) override;
    const Target& targetInfo() const { return target_; }

    // Why this file cannot be converted (its message and title), or nothing.
    std::optional<Refusal> refusal(const WriterEnvironment& env) const;
    // The caller asked the question already and had OK: prepare() does not ask again.
    void confirmed() { confirmed_ = true; }

private:
    const Target& target_;
    bool productionOpen_;
    bool confirmed_ = false;
    FileVersionFamily source_ = FileVersionFamily::V10_13;
};

// Replaces every occurrence of `from` by `to`, ignoring letter case.
std::string replaceIgnoringCase(std::string_view text, std::string_view from, std::string_view to);

// Rewrites the header's language byte in place. Returns false when nothing was done (the
// user said no, or the file is in that language already; the messages are given).
bool ConvertLanguage(const WriterEnvironment& env, std::string_view languageName, bool productionOpen);

// The two halves of ConvertLanguage for a caller that asks its own question: why the file
// cannot take that language (message and title), and the write itself.
std::optional<Refusal> ConvertLanguageRefusal(const WriterEnvironment& env, std::string_view languageName,
                                              bool productionOpen);
void WriteLanguage(const WriterEnvironment& env, std::string_view languageName);

} // namespace vocabrella
