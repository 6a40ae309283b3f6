#include "ops/AllowedChanges.h"

#include "cmdfile/Format.h"
#include "cmdfile/Texts.h"
#include "ops/Texts.h"
#include "writer/Texts.h"

namespace vocabrella::ops {
namespace {

// The file language whose KEYS commands become advanced scripts (the key notation's names are
// English ones).
constexpr std::string_view kConvertingLanguage = "English";

// Bodies kept as Dragon recorded or formatted them: shown as text, never written back.
bool fixedBody(std::string_view type) { return type.empty() || type == "T" || type == "X" || type == "R"; }

bool hasBraces(const UserRow& row) { return row.script.find('{') != std::string::npos; }

std::string kindName(const UserRow& row) {
    const auto name = typeDisplayName(row.Type);
    return name.empty() ? std::string(texts::UnknownKind) : std::string(name);
}

} // namespace

AllowedChanges allowedChanges(const UserRow& row, std::string_view languageName) {
    AllowedChanges a;
    a.rename = a.remove = true;
    a.modify = a.clone = !fixedBody(row.Type) && !row.encrypted;
    if (row.Type == "K" && a.modify) {
        a.toPlainText = !hasBraces(row);
        a.toAdvancedScript = hasBraces(row) && languageName == kConvertingLanguage;
    }
    a.debugWithBasic = a.modify && (row.Type == "A" || row.Type == "S");
    return a;
}

NotAllowed whyNotModified(const UserRow& row) {
    if (row.encrypted) return {std::string(vocabrella::texts::Encrypted), row.name};
    return {std::string(texts::KindNotEditable) + kindName(row), row.name};
}

NotAllowed whyNotCloned(const UserRow& row) {
    if (row.encrypted) return {std::string(vocabrella::texts::Encrypted), row.name};
    return {std::string(texts::KindNotCloned) + kindName(row), row.name};
}

NotAllowed whyNotConverted(const UserRow& row, bool toAdvancedScript) {
    if (row.Type != "K") return {std::string(texts::NotAKeysCommand), row.name};
    if (row.encrypted) return {std::string(vocabrella::texts::Encrypted), row.name};
    if (!toAdvancedScript) return {std::string(texts::KeysWithBraces), row.name};
    if (!hasBraces(row)) return {std::string(texts::KeysWithoutBraces), row.name};
    // The one reason left: the file's language.
    return {std::string(vocabrella::texts::EnglishOnly), std::string(vocabrella::texts::EnglishOnlyTitle)};
}

NotAllowed whyNotDebugged(const UserRow& row) {
    if (row.Type != "A" && row.Type != "S") return {std::string(texts::NotAScript), row.name};
    return whyNotModified(row);
}

} // namespace vocabrella::ops
