#include "ops/DebugWithBasic.h"

#include "cmdfile/Clock.h"
#include "cmdfile/Prompter.h"
#include "ops/AllowedChanges.h"
#include "ops/Texts.h"
#include "shell/platform/Dragon.h"
#include "shell/platform/DragonEngine.h"
#include "shell/platform/DragonFiles.h"
#include "shell/platform/WindowSystem.h"

#include <chrono>

namespace vocabrella::ops {
namespace {

constexpr std::chrono::milliseconds kPause{500};
// What the editor's own script ends with, and is not typed again.
constexpr std::string_view kClosingLine = "End Sub";

// The body without its closing "End Sub" line and the line break that goes with it; a body that
// does not end with that line (a legacy script) is typed whole.
std::string_view withoutClosingLine(std::string_view body) {
    const auto lineStarts = [](std::string_view before) { return before.empty() || before.ends_with('\n'); };
    const auto dropLineBreak = [](std::string_view text) {
        if (text.ends_with('\n')) text.remove_suffix(1);
        if (text.ends_with('\r')) text.remove_suffix(1);
        return text;
    };
    if (body.ends_with('\n')) {
        const std::string_view line = dropLineBreak(body);
        if (line.ends_with(kClosingLine) && lineStarts(line.substr(0, line.size() - kClosingLine.size())))
            return line.substr(0, line.size() - kClosingLine.size());
        return body;
    }
    if (body.ends_with(kClosingLine) && lineStarts(body.substr(0, body.size() - kClosingLine.size())))
        return dropLineBreak(body.substr(0, body.size() - kClosingLine.size()));
    return body;
}

// The length of the UTF-8 character that starts with this byte.
std::size_t characterLength(unsigned char lead) {
    if (lead >= 0xF0) return 4;
    if (lead >= 0xE0) return 3;
    if (lead >= 0xC0) return 2;
    return 1;
}

bool meansKeys(char c) {
    // Braces and parentheses, and what stands for a modifier, Enter or a repeat in the notation.
    switch (c) {
    case '{': case '}': case '(': case ')': case '+': case '^': case '%': case '~': case '[': case ']': return true;
    default: return false;
    }
}

} // namespace

std::vector<std::string> DebugWithBasic::keystrokes(std::string_view body) {
    const std::string_view typed = withoutClosingLine(body);
    std::vector<std::string> keys;
    for (std::size_t i = 0; i < typed.size();) {
        const std::size_t n = std::min(characterLength(static_cast<unsigned char>(typed[i])), typed.size() - i);
        const std::string_view c = typed.substr(i, n);
        i += n;
        if (c == "\n") continue;
        if (c.size() == 1 && meansKeys(c[0])) keys.push_back("{" + std::string(c) + "}");
        else keys.emplace_back(c);
    }
    return keys;
}

Outcome DebugWithBasic::stop(std::string_view text) {
    prompter_.message(text, texts::DebugTitle);
    return Outcome::failed(std::string(text), std::string(texts::DebugTitle));
}

bool DebugWithBasic::send(platform::WindowHandle editor, std::string_view keys) {
    if (dragon_.windows().foregroundWindow() != editor) return false;
    dragon_.windows().sendKeys(keys, true);
    return true;
}

Outcome DebugWithBasic::run(const UserRow& shown, std::string_view body, platform::WindowHandle owner) {
    // Only the kind and the encryption count here, not the file's language.
    if (!allowedChanges(shown, {}).debugWithBasic) {
        auto why = whyNotDebugged(shown);
        prompter_.message(why.text, why.title);
        return Outcome::refused(std::move(why.text), std::move(why.title)).because(Outcome::Reason::NotAllowed);
    }
    return run(body, owner);
}

Outcome DebugWithBasic::run(std::string_view body, platform::WindowHandle owner) {
    auto& windows = dragon_.windows();
    try {
        dragon_.engine().openDialog(platform::DragonEngine::kCommandEditorDialog, owner);
    } catch (const platform::DragonError& e) {
        return stop(std::string(texts::EditorDidNotOpen) + "\r\n\r\n" + e.what());
    }
    waits_.sleep(kPause);
    const auto editor = windows.findWindow({}, platform::dragonfiles::CommandEditorTitle);
    if (editor == 0 || !windows.bringToFront(editor)) return stop(texts::EditorDidNotOpen);
    waits_.sleep(kPause);

    const auto typed = [&](std::string_view keys) { return send(editor, keys); };
    bool inFront = typed("%y{end}") && typed("{tab 2}^{end}+(^{home})");
    if (inFront) {
        waits_.sleep(kPause);
        inFront = typed("{del}");
    }
    const auto keys = keystrokes(body);
    std::size_t sent = 0;
    if (inFront)
        for (const auto& key : keys) {
            if (!(inFront = typed(key))) break;
            ++sent;
        }
    if (inFront) {
        waits_.sleep(kPause);
        inFront = typed("{bs 2}") && typed("% x") && typed("^{home}");
    }
    const std::string count = std::to_string(sent) + std::string(texts::DebugOf) + std::to_string(keys.size()) +
                              std::string(texts::DebugCharacters);
    if (!inFront) {
        prompter_.status(std::string(texts::DebugStopped) + count);
        return stop(texts::EditorLeftFront);
    }
    prompter_.status(std::string(texts::DebugTyped) + count);
    return Outcome::done();
}

} // namespace vocabrella::ops
