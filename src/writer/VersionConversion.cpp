#include "writer/VersionConversion.h"

#include "cmdfile/AtomicFile.h"
#include "cmdfile/Errors.h"
#include "cmdfile/Prompter.h"
#include "cmdfile/Reader.h"
#include "cmdfile/Store.h"
#include "writer/Texts.h"
#include "cmdfile/System.h"

#include <array>
#include <cctype>

namespace vocabrella {
namespace {

constexpr std::array<ConvertVersionOperation::Target, 4> kTargets = {{
    {"convert260", "6.0", 3, "Already in 6.0 format", "Convert this file to 6.0 format?", "File converted to 6.0 format", true},
    {"convert261", "6.1", 4, "Already in 6.1 format", "Convert this file to 6.1 format?", "File converted to 6.1 format", true},
    {"convert270", "7.0", 5, "Already in 7.0 format", "Convert this file to 7.0 format?", "File converted to 7.0 format", false},
    {"convert280", "8.0", 6, "Already in 8/9 format", "Convert this file to 8.0 format?", "File converted to 8.0 format", false},
}};

bool equalsIgnoringCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (std::tolower(static_cast<unsigned char>(a[i])) != std::tolower(static_cast<unsigned char>(b[i]))) return false;
    return true;
}

} // namespace

const ConvertVersionOperation::Target* ConvertVersionOperation::target(std::string_view name) {
    const std::string_view canonical = name == "7.x" ? "7.0" : name == "8/9" ? "8.0" : name;
    for (const auto& t : kTargets)
        if (t.name == canonical) return &t;
    return nullptr;
}

std::string replaceIgnoringCase(std::string_view text, std::string_view from, std::string_view to) {
    std::string out;
    out.reserve(text.size());
    std::size_t i = 0;
    while (i < text.size()) {
        if (i + from.size() <= text.size() && equalsIgnoringCase(text.substr(i, from.size()), from)) {
            out.append(to);
            i += from.size();
        } else {
            out.push_back(text[i++]);
        }
    }
    return out;
}

std::optional<Refusal> ConvertVersionOperation::refusal(const WriterEnvironment& env) const {
    const auto path = os::pathText(env.commandFile());
    const auto header = readHeader(readFileBytes(env.commandFile()));
    if (header.versionCode == target_.code) return Refusal(std::string(target_.already), path);
    if (productionOpen_) return Refusal(std::string(texts::OpenUserFileNotAllowed), path);
    const std::string_view language = languageName(header.languageCode);
    if (target_.englishOnly && language != "English")
        return Refusal(std::string(texts::NoVersionOf) + std::string(language) + " version " + std::string(target_.name),
                       std::string(texts::NoVersionOfTitle));
    return std::nullopt;
}

bool ConvertVersionOperation::prepare(const WriterEnvironment& env) {
    if (const auto r = refusal(env)) {
        env.prompter.message(r->what(), r->title());
        return false;
    }
    source_ = readHeader(readFileBytes(env.commandFile())).family;
    if (!confirmed_ && !env.prompter.okCancel(target_.question, os::pathText(env.commandFile()))) return false;
    env.prompter.status(texts::Converting);
    env.store.flagAll();
    return true;
}

void ConvertVersionOperation::edit(RecordEdit& e, RebuildLogs&) {
    if (!e.flagged || e.raw.kindByte != kind::Advanced) return;
    const std::string_view script = e.raw.text.text;
    if (target_.code == 3) {
        e.text = replaceIgnoringCase(script, "SendDragonKeys", "SendKeys");
    } else if (target_.code == 4 && source_ == FileVersionFamily::V6_0) {
        e.text = replaceIgnoringCase(script, "SendKeys", "SendDragonKeys");
    }
    if (e.text && *e.text == script) e.text.reset(); // nothing changed: keep the bytes as they stand
}

std::optional<Refusal> ConvertLanguageRefusal(const WriterEnvironment& env, std::string_view language,
                                              bool productionOpen) {
    const auto path = os::pathText(env.commandFile());
    if (productionOpen) return Refusal(std::string(texts::CannotConvertUserFile), path);
    if (!languageCodeForName(language)) return Refusal("Unknown language \"" + std::string(language) + "\"");
    const auto header = readHeader(readFileBytes(env.commandFile()));
    if (languageName(header.languageCode) == language)
        return Refusal(std::string(texts::AlreadyInLanguage), std::string(language));
    return std::nullopt;
}

void WriteLanguage(const WriterEnvironment& env, std::string_view language) {
    const auto code = languageCodeForName(language);
    if (!code) throw Refusal("Unknown language \"" + std::string(language) + "\"");
    auto bytes = readFileBytes(env.commandFile());
    bytes[format::kLanguageOffset] = *code;
    writeFileAtomically(env.commandFile(), bytes);
    auto& info = env.reader.file().info;
    info.languageCode = *code;
    info.languageName = language;
}

bool ConvertLanguage(const WriterEnvironment& env, std::string_view language, bool productionOpen) {
    const auto path = os::pathText(env.commandFile());
    if (const auto r = ConvertLanguageRefusal(env, language, productionOpen)) {
        if (!languageCodeForName(language)) throw *r;
        env.prompter.message(r->what(), r->title());
        return false;
    }
    if (!env.prompter.yesNo(std::string(texts::ConvertLanguageQuestion) + std::string(language), path)) return false;
    WriteLanguage(env, language);
    env.prompter.message(std::string(texts::FileConvertedTo) + std::string(language), path);
    return true;
}

} // namespace vocabrella
