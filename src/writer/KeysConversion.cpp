#include "writer/KeysConversion.h"

#include "cmdfile/AtomicFile.h"
#include "cmdfile/Codec.h"
#include "cmdfile/Prompter.h"
#include "cmdfile/Reader.h"
#include "writer/KeyNotation.h"

#include <array>

namespace vocabrella {
namespace {

struct ModeTexts {
    std::string_view operationMode;
    std::string_view status;
    std::string_view logFile;
    std::string_view complete;
    std::string_view completeTitle;
};

constexpr std::array<ModeTexts, 3> kModes = {{
    {"dvc2plain", "Converting DVCs to Plain Text", "ConvertKEYS2Plain.log", " Conversion of DVCs to Plain Text Complete",
     "See ConvertKEYS2Plain.log for complete details of converted commands"},
    {"dvc2vba", "Converting DVCs to Advanced Scripting", "ConvertKEYS2Advanced.log",
     " Conversion of DVCs to Advanced Scripting Complete",
     "See ConvertKEYS2Advanced.log for complete details of converted commands"},
    {"dvc2sdk", "Converting DVCs to Advanced Scripting w/SendDragonKeys", "ConvertKEYS2SendDragon.log",
     " Conversion of DVCs to Advanced Scripting Complete",
     "See ConvertKEYS2SendDragon.log for complete details of converted commands"},
}};

const ModeTexts& textsOf(KeysConversionOperation::Mode mode) { return kModes[static_cast<std::size_t>(mode)]; }

bool hasBothBraces(std::string_view text) {
    return text.find('{') != std::string_view::npos && text.find('}') != std::string_view::npos;
}

// Program, scope and name of the record, for the log.
std::string identity(const RawRecord& r) {
    std::string program = std::string(names::GlobalCommands), scope = program;
    if (r.scope() == 1) {
        program = codec::cp1252ToUtf8(r.scopeStrings[0].text);
        scope = names::ApplicationSpecific;
    } else if (r.scope() == 2) {
        program = codec::cp1252ToUtf8(r.scopeStrings[0].text);
        scope = codec::cp1252ToUtf8(r.scopeStrings[3].text);
    }
    return program + " " + scope + " " + codec::cp1252ToUtf8(r.name.text);
}

} // namespace

std::string_view KeysConversionOperation::OperationMode() const { return textsOf(mode_).operationMode; }

bool KeysConversionOperation::prepare(const WriterEnvironment& env) {
    if (mode_ == Mode::SendKeys && env.reader.file().info.languageName != "English") {
        env.prompter.message(texts::EnglishOnly, texts::EnglishOnlyTitle);
        return false;
    }
    if (mode_ != Mode::PlainText && !PrepareKeyPatterns(env.prompter)) return false;
    env.prompter.status(textsOf(mode_).status);
    return true;
}

void KeysConversionOperation::edit(RecordEdit& e, RebuildLogs& logs) {
    if (!e.flagged || e.raw.kindByte != kind::Keys || e.raw.encrypted()) return;
    const std::string keys = codec::cp1252ToUtf8(e.raw.text.text);
    auto& log = logs.conversion();
    if (mode_ == Mode::PlainText) {
        if (hasBothBraces(keys)) return;
        e.kindByte = kind::Text;
        e.text = std::string(e.raw.text.text);
        log << texts::ChangedToPlainText << identity(e.raw) << "\r\n" << keys << "\r\n" << texts::Stars56 << "\r\n";
        ++converted_;
        return;
    }
    if (!hasBothBraces(keys)) return;
    log << identity(e.raw) << "\r\n" << texts::KeysLabel << "\r\n" << keys << "\r\n";
    std::optional<std::string> script =
        mode_ == Mode::SendKeys ? KeysToScript(keys) : std::optional<std::string>(KeysToDragonKeysScript(keys));
    std::optional<std::string> encoded;
    if (script && codec::hasCp1252Form(*script)) encoded = codec::utf8ToCp1252(*script);
    if (encoded) {
        e.kindByte = kind::Advanced;
        e.text = std::move(*encoded);
        ++converted_;
    } else {
        log << texts::NotSyntacticallyCorrect << texts::NotConverted << "\r\n";
        someNotConverted_ = true;
        script.reset();
    }
    log << (script ? *script : std::string()) << "\r\n" << texts::Stars56 << "\r\n";
}

void KeysConversionOperation::finish(const WriterEnvironment& env) {
    const auto& t = textsOf(mode_);
    // The rebuild's log is the report of this conversion: it is kept under the mode's name.
    env.prompter.status("");
    copyFileAtomically(env.home(texts::ConversionLog), env.home(t.logFile), false);
}

std::string_view KeysConversionOperation::completeText() const { return textsOf(mode_).complete; }
std::string_view KeysConversionOperation::completeTitle() const { return textsOf(mode_).completeTitle; }

} // namespace vocabrella
