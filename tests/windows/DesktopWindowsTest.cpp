// The desktop on Windows: the keystrokes of Dragon's key notation, and a window of this test
// found, named and brought to the front.

#include "shell/platform/windows/Automation.h"
#include "shell/platform/windows/DesktopWindows.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace vocabrella::platform {
namespace {

// One keystroke as "+key"/"-key" (virtual key in hex) or "+'c'"/"-'c'" for a typed character.
std::vector<std::string> strokes(std::string_view keys) {
    std::vector<std::string> out;
    for (const INPUT& in : keyInputs(keys)) {
        const bool up = in.ki.dwFlags & KEYEVENTF_KEYUP;
        std::string s = up ? "-" : "+";
        if (in.ki.dwFlags & KEYEVENTF_UNICODE)
            s += "'" + automation::utf8(std::wstring(1, static_cast<wchar_t>(in.ki.wScan))) + "'";
        else
            s += std::to_string(in.ki.wVk);
        out.push_back(s);
    }
    return out;
}

std::string vk(WORD key, bool up = false) { return (up ? "-" : "+") + std::to_string(key); }

TEST(DesktopKeys, CharactersAreTypedAsThemselves) {
    EXPECT_EQ(strokes("aÖ"), (std::vector<std::string>{"+'a'", "-'a'", "+'Ö'", "-'Ö'"}));
    EXPECT_EQ(strokes("{{}x{}}"), (std::vector<std::string>{"+'{'", "-'{'", "+'x'", "-'x'", "+'}'", "-'}'"}));
    EXPECT_TRUE(strokes("").empty());
}

TEST(DesktopKeys, NamedKeysWithCountsAndModifiers) {
    // What the spoken controls send: a menu opened by its accelerator, moved through, chosen.
    const WORD r = static_cast<WORD>(VkKeyScanW(L'r') & 0xff);
    EXPECT_EQ(strokes("{Alt+r}{down 2}{up}{enter}"),
              (std::vector<std::string>{vk(VK_MENU), vk(r), vk(r, true), vk(VK_MENU, true), vk(VK_DOWN),
                                        vk(VK_DOWN, true), vk(VK_DOWN), vk(VK_DOWN, true), vk(VK_UP), vk(VK_UP, true),
                                        vk(VK_RETURN), vk(VK_RETURN, true)}));
    EXPECT_EQ(strokes("{Ctrl+Shift+Home}"),
              (std::vector<std::string>{vk(VK_CONTROL), vk(VK_SHIFT), vk(VK_HOME), vk(VK_HOME, true),
                                        vk(VK_SHIFT, true), vk(VK_CONTROL, true)}));
    EXPECT_EQ(strokes("{F12}{esc}{TAB 1}"),
              (std::vector<std::string>{vk(VK_F12), vk(VK_F12, true), vk(VK_ESCAPE), vk(VK_ESCAPE, true), vk(VK_TAB),
                                        vk(VK_TAB, true)}));
    EXPECT_EQ(strokes("{a 3}"), (std::vector<std::string>{"+'a'", "-'a'", "+'a'", "-'a'", "+'a'", "-'a'"}));
    // Arrow keys are the extended ones, not the keypad's.
    EXPECT_TRUE(keyInputs("{left}")[0].ki.dwFlags & KEYEVENTF_EXTENDEDKEY);
}

TEST(DesktopKeys, UnknownKeysAndOpenBracesAreRefused) {
    EXPECT_THROW(keyInputs("{Enterr}"), DragonError);
    EXPECT_THROW(keyInputs("ab{down"), DragonError);
    EXPECT_THROW(keyInputs("{F25}"), DragonError);
}

class DesktopWindowsTest : public ::testing::Test {
protected:
    static LRESULT CALLBACK proc(HWND w, UINT message, WPARAM wp, LPARAM lp) {
        if (message == WM_CHAR) typed += static_cast<wchar_t>(wp);
        return DefWindowProcW(w, message, wp, lp);
    }
    void SetUp() override {
        WNDCLASSW wc{};
        wc.lpfnWndProc = proc;
        wc.hInstance = GetModuleHandleW(nullptr);
        wc.lpszClassName = L"VocabrellaTestWindow";
        RegisterClassW(&wc);
        window = CreateWindowExW(0, L"VocabrellaTestWindow", L"Test \u2602 window", WS_OVERLAPPEDWINDOW, 10, 10, 300, 200,
                                 nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
        ASSERT_NE(window, nullptr);
        typed.clear();
    }
    void TearDown() override { DestroyWindow(window); }
    WindowHandle handle() const { return static_cast<WindowHandle>(reinterpret_cast<std::uintptr_t>(window)); }
    static void pump() {
        for (int i = 0; i < 20; ++i) {
            MSG m;
            while (PeekMessageW(&m, nullptr, 0, 0, PM_REMOVE)) {
                TranslateMessage(&m);
                DispatchMessageW(&m);
            }
            Sleep(25);
        }
    }

    HWND window = nullptr;
    static inline std::wstring typed;
    DesktopWindows desktop;
};

TEST_F(DesktopWindowsTest, FindsItsWindowByClassTitleOrBoth) {
    EXPECT_EQ(desktop.findWindow("VocabrellaTestWindow", ""), handle());
    EXPECT_EQ(desktop.findWindow("", "Test \u2602 window"), handle());
    EXPECT_EQ(desktop.findWindow("VocabrellaTestWindow", "Test \u2602 window"), handle());
    EXPECT_EQ(desktop.findWindow("VocabrellaTestWindow", "Test"), 0u); // the whole title, not a part
    EXPECT_EQ(desktop.findWindow("NoSuchClass", "Test \u2602 window"), 0u);
    EXPECT_EQ(desktop.windowTitle(handle()), "Test \u2602 window");
    EXPECT_EQ(desktop.windowTitle(0), "");
}

TEST_F(DesktopWindowsTest, BringsItsWindowToTheFrontAndTypesIntoIt) {
    EXPECT_FALSE(desktop.bringToFront(0));
    ASSERT_TRUE(desktop.bringToFront(handle()));
    pump();
    EXPECT_TRUE(IsWindowVisible(window));
    if (desktop.foregroundWindow() != handle())
        GTEST_SKIP() << "this desktop gives no window the foreground (Wine without an X server)";
    desktop.sendKeys("ab{Enter}", true);
    pump();
    EXPECT_EQ(typed, L"ab\r");
}

} // namespace
} // namespace vocabrella::platform
