#include "shell/platform/windows/DesktopWindows.h"

#include "shell/platform/Platform.h"
#include "shell/platform/windows/Automation.h"

#include <algorithm>
#include <cctype>
#include <string>

namespace vocabrella::platform {
namespace {

HWND hwnd(WindowHandle window) { return reinterpret_cast<HWND>(static_cast<std::uintptr_t>(window)); }
WindowHandle handleOf(HWND window) { return static_cast<WindowHandle>(reinterpret_cast<std::uintptr_t>(window)); }

std::string lower(std::string_view text) {
    std::string out(text);
    std::transform(out.begin(), out.end(), out.begin(), [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return out;
}

struct NamedKey {
    std::string_view name;
    WORD key;
};

// The names the notation gives keys, in lower case.
constexpr NamedKey kKeys[] = {
    {"enter", VK_RETURN},     {"return", VK_RETURN},  {"tab", VK_TAB},         {"esc", VK_ESCAPE},
    {"escape", VK_ESCAPE},    {"space", VK_SPACE},    {"backspace", VK_BACK},  {"bs", VK_BACK},
    {"bksp", VK_BACK},        {"del", VK_DELETE},     {"delete", VK_DELETE},   {"ins", VK_INSERT},
    {"insert", VK_INSERT},    {"home", VK_HOME},      {"end", VK_END},         {"up", VK_UP},
    {"down", VK_DOWN},        {"left", VK_LEFT},      {"right", VK_RIGHT},     {"pgup", VK_PRIOR},
    {"pageup", VK_PRIOR},     {"pgdn", VK_NEXT},      {"pagedown", VK_NEXT},   {"capslock", VK_CAPITAL},
    {"numlock", VK_NUMLOCK},  {"scrolllock", VK_SCROLL}, {"break", VK_CANCEL}, {"pause", VK_PAUSE},
    {"prtsc", VK_SNAPSHOT},   {"printscreen", VK_SNAPSHOT}, {"apps", VK_APPS}, {"help", VK_HELP},
    {"ctrl", VK_CONTROL},     {"alt", VK_MENU},       {"shift", VK_SHIFT},     {"win", VK_LWIN},
    {"numpad0", VK_NUMPAD0},  {"numpad1", VK_NUMPAD1}, {"numpad2", VK_NUMPAD2}, {"numpad3", VK_NUMPAD3},
    {"numpad4", VK_NUMPAD4},  {"numpad5", VK_NUMPAD5}, {"numpad6", VK_NUMPAD6}, {"numpad7", VK_NUMPAD7},
    {"numpad8", VK_NUMPAD8},  {"numpad9", VK_NUMPAD9}, {"numpad*", VK_MULTIPLY}, {"numpad+", VK_ADD},
    {"numpad-", VK_SUBTRACT}, {"numpad.", VK_DECIMAL}, {"numpad/", VK_DIVIDE},
};

// Modifier names before a "+".
constexpr NamedKey kModifiers[] = {{"ctrl", VK_CONTROL}, {"control", VK_CONTROL}, {"alt", VK_MENU},
                                   {"shift", VK_SHIFT},  {"win", VK_LWIN},        {"windows", VK_LWIN}};

INPUT keyEvent(WORD key, bool up) {
    INPUT in{};
    in.type = INPUT_KEYBOARD;
    in.ki.wVk = key;
    in.ki.dwFlags = up ? KEYEVENTF_KEYUP : 0;
    if (key == VK_UP || key == VK_DOWN || key == VK_LEFT || key == VK_RIGHT || key == VK_HOME || key == VK_END ||
        key == VK_PRIOR || key == VK_NEXT || key == VK_INSERT || key == VK_DELETE)
        in.ki.dwFlags |= KEYEVENTF_EXTENDEDKEY;
    return in;
}

INPUT charEvent(wchar_t c, bool up) {
    INPUT in{};
    in.type = INPUT_KEYBOARD;
    in.ki.wScan = c;
    in.ki.dwFlags = KEYEVENTF_UNICODE | (up ? KEYEVENTF_KEYUP : 0);
    return in;
}

void typeText(std::string_view utf8, std::vector<INPUT>& out) {
    for (const wchar_t c : automation::wide(utf8)) {
        out.push_back(charEvent(c, false));
        out.push_back(charEvent(c, true));
    }
}

[[noreturn]] void badKeys(std::string_view keys, const std::string& what) {
    throw DragonError(DragonError::kInvalidArgument, what + " in the keys " + std::string(keys));
}

// One key in braces: "Alt+r", "down 2", "Ctrl+Shift+Home", "{".
void bracedKey(std::string_view keys, std::string_view inside, std::vector<INPUT>& out) {
    int count = 1;
    if (const auto blank = inside.rfind(' '); blank != std::string_view::npos && blank > 0) {
        const std::string number(inside.substr(blank + 1));
        if (!number.empty() && std::all_of(number.begin(), number.end(), [](unsigned char c) { return std::isdigit(c); })) {
            count = std::stoi(number);
            inside = inside.substr(0, blank);
        }
    }
    std::vector<WORD> modifiers;
    for (std::size_t plus; inside.size() > 1 && (plus = inside.find('+')) != std::string_view::npos && plus > 0;) {
        const std::string name = lower(inside.substr(0, plus));
        const auto* m = std::find_if(std::begin(kModifiers), std::end(kModifiers), [&](const NamedKey& k) { return k.name == name; });
        if (m == std::end(kModifiers)) break;
        modifiers.push_back(m->key);
        inside = inside.substr(plus + 1);
    }
    if (inside.empty()) badKeys(keys, "A key is missing");
    const std::string name = lower(inside);
    WORD key = 0;
    if (const auto* k = std::find_if(std::begin(kKeys), std::end(kKeys), [&](const NamedKey& n) { return n.name == name; });
        k != std::end(kKeys)) {
        key = k->key;
    } else if (name.size() >= 2 && name[0] == 'f' &&
               std::all_of(name.begin() + 1, name.end(), [](unsigned char c) { return std::isdigit(c); })) {
        const int n = std::stoi(name.substr(1));
        if (n < 1 || n > 24) badKeys(keys, "No key " + std::string(inside));
        key = static_cast<WORD>(VK_F1 + n - 1);
    } else if (automation::wide(inside).size() == 1) {
        const wchar_t c = automation::wide(inside)[0];
        if (modifiers.empty()) {
            for (int i = 0; i < count; ++i) typeText(inside, out);
            return;
        }
        // With a modifier the key itself goes, as the keyboard has it (Alt+r opens a menu).
        const SHORT scan = VkKeyScanW(c);
        if (scan == -1) badKeys(keys, "No key " + std::string(inside));
        key = static_cast<WORD>(scan & 0xff);
    } else {
        badKeys(keys, "No key " + std::string(inside));
    }
    for (int i = 0; i < count; ++i) {
        for (const WORD m : modifiers) out.push_back(keyEvent(m, false));
        out.push_back(keyEvent(key, false));
        out.push_back(keyEvent(key, true));
        for (auto m = modifiers.rbegin(); m != modifiers.rend(); ++m) out.push_back(keyEvent(*m, true));
    }
}

} // namespace

std::vector<INPUT> keyInputs(std::string_view keys) {
    std::vector<INPUT> out;
    std::size_t plain = 0;
    for (std::size_t i = 0; i < keys.size();) {
        if (keys[i] != '{') {
            ++i;
            continue;
        }
        typeText(keys.substr(plain, i - plain), out);
        // "{{}" and "{}}" are the braces themselves: the key ends at the first "}" after one character.
        const auto close = keys.find('}', i + 2);
        if (close == std::string_view::npos) badKeys(keys, "A brace is not closed");
        bracedKey(keys, keys.substr(i + 1, close - i - 1), out);
        i = plain = close + 1;
    }
    typeText(keys.substr(plain), out);
    return out;
}

WindowHandle DesktopWindows::foregroundWindow() { return handleOf(GetForegroundWindow()); }

std::string DesktopWindows::windowTitle(WindowHandle window) {
    const HWND w = hwnd(window);
    if (!IsWindow(w)) return {};
    std::wstring title(static_cast<std::size_t>(GetWindowTextLengthW(w)) + 1, L'\0');
    title.resize(static_cast<std::size_t>(GetWindowTextW(w, title.data(), static_cast<int>(title.size()))));
    return automation::utf8(title);
}

WindowHandle DesktopWindows::findWindow(std::string_view className, std::string_view title) {
    struct Search {
        std::wstring className, title;
        HWND found = nullptr;
    } search{automation::wide(className), automation::wide(title), nullptr};
    EnumWindows(
        [](HWND w, LPARAM data) -> BOOL {
            auto& s = *reinterpret_cast<Search*>(data);
            if (!s.className.empty()) {
                wchar_t name[257] = {};
                const int n = GetClassNameW(w, name, 257);
                if (std::wstring_view(name, static_cast<std::size_t>(n)) != s.className) return TRUE;
            }
            if (!s.title.empty()) {
                std::wstring text(static_cast<std::size_t>(GetWindowTextLengthW(w)) + 1, L'\0');
                text.resize(static_cast<std::size_t>(GetWindowTextW(w, text.data(), static_cast<int>(text.size()))));
                if (text != s.title) return TRUE;
            }
            s.found = w;
            return FALSE;
        },
        reinterpret_cast<LPARAM>(&search));
    return handleOf(search.found);
}

bool DesktopWindows::bringToFront(WindowHandle window) {
    const HWND w = hwnd(window);
    if (window == 0 || !IsWindow(w)) return false;
    ShowWindow(w, IsIconic(w) ? SW_RESTORE : SW_SHOW);
    SetForegroundWindow(w);
    return true;
}

void DesktopWindows::sendKeys(std::string_view keys, bool wait) {
    auto inputs = keyInputs(keys);
    if (!inputs.empty()) SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT));
    if (!wait) return;
    // Returns once the window in front has taken what was queued before.
    DWORD_PTR ignored = 0;
    if (const HWND front = GetForegroundWindow())
        SendMessageTimeoutW(front, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, 5000, &ignored);
}

} // namespace vocabrella::platform
