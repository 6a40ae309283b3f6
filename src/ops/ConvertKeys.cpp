#include "ops/ConvertKeys.h"

#include "cmdfile/Prompter.h"
#include "cmdfile/Reader.h"
#include "ops/Texts.h"
#include "writer/KeyNotation.h"

namespace vocabrella::ops {
namespace {

bool hasBothBraces(std::string_view text) {
    return text.find('{') != std::string_view::npos && text.find('}') != std::string_view::npos;
}

} // namespace

Outcome ConvertKeys::offered(Workspace& ws, Mode mode) {
    if (mode != Mode::SendKeys || ws.env().reader.file().info.languageName == "English") return Outcome::done();
    const std::string text(vocabrella::texts::EnglishOnly), title(vocabrella::texts::EnglishOnlyTitle);
    ws.prompter().message(text, title);
    return Outcome::refused(text, title);
}

Outcome ConvertKeys::checkMarked() {
    if (auto o = offered(ws_, mode_); !o.isDone()) return o;
    // Plain text takes the KEYS without both braces, the scripts those with both.
    const bool wantBraces = mode_ != Mode::PlainText;
    const auto left = narrowMarks(ws_.store(), [&](const UserRow& row) {
        return row.Type == "K" && !row.encrypted && hasBothBraces(row.script) == wantBraces;
    });
    if (left == 0) return refuseNothingToDo();
    if (wantBraces && !PrepareKeyPatterns(ws_.prompter()))
        return Outcome::refused({}, std::string(vocabrella::texts::KeyPatternsMissingTitle));
    return Outcome::done();
}

void ConvertKeys::write() { runRebuild(ws_.env(), operation_); }

Outcome ConvertKeys::finish() {
    const std::string complete(operation_.completeText()), title(operation_.completeTitle());
    if (!operation_.someNotConverted()) return ended(Outcome::done(complete, title));
    // Two messages: the first is told here, the warning is what the caller shows last.
    ws_.prompter().message(complete, title);
    return ended(Outcome::done(std::string(vocabrella::texts::SomeNotConverted), title));
}

std::string ConvertKeys::describe() const {
    std::string what = std::string(texts::DescribeConvert) + std::to_string(converted()) +
                       std::string(texts::DescribeKeysCommands);
    switch (mode_) {
    case Mode::PlainText: return what + std::string(texts::DescribeToPlainText);
    case Mode::SendKeys: return what + std::string(texts::DescribeToSendKeys);
    case Mode::SendDragonKeys: return what + std::string(texts::DescribeToSendDragonKeys);
    }
    return what;
}

} // namespace vocabrella::ops
