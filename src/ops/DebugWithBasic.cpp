#include "ops/DebugWithBasic.h"

#include "cmdfile/Clock.h"
#include "cmdfile/Prompter.h"
#include "ops/Texts.h"
#include "shell/platform/Dragon.h"
#include "shell/platform/DragonEngine.h"
#include "shell/platform/DragonFiles.h"
#include "shell/platform/WindowSystem.h"

#include <chrono>

namespace vocabrella::ops {
namespace {

constexpr std::chrono::milliseconds kPause{500};
// What the editor's own script ends with, and is not typed: "End Sub" and its line end.
constexpr std::size_t kClosingLine = 9;

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
    // The closing line is counted in characters, as the body box counts them.
    std::vector<std::string_view> characters;
    for (std::size_t i = 0; i < body.size();) {
        const std::size_t n = std::min(characterLength(static_cast<unsigned char>(body[i])), body.size() - i);
        characters.push_back(body.substr(i, n));
        i += n;
    }
    characters.resize(characters.size() > kClosingLine ? characters.size() - kClosingLine : 0);
    std::vector<std::string> keys;
    for (const auto c : characters) {
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
    if (inFront)
        for (const auto& key : keystrokes(body))
            if (!(inFront = typed(key))) break;
    if (inFront) {
        waits_.sleep(kPause);
        inFront = typed("{bs 2}") && typed("% x") && typed("^{home}");
    }
    if (!inFront) return stop(texts::EditorLeftFront);
    return Outcome::done();
}

} // namespace vocabrella::ops
