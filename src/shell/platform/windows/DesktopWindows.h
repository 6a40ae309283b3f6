#pragma once

// The desktop's top-level windows on Windows, and keystrokes sent to the window in front.
// Windows only.

#include "shell/platform/WindowSystem.h"

#include <windows.h>

#include <string_view>
#include <vector>

namespace vocabrella::platform {

// The keystrokes of a text in Dragon's key notation, as SendInput takes them: characters stand
// for themselves, and braces hold a key with optional modifiers and a count ("{Alt+r}",
// "{down 2}", "{Ctrl+Shift+Home}", "{{}" for a brace). Raises DragonError for a key name it
// does not know or braces that do not close.
std::vector<INPUT> keyInputs(std::string_view keys);

class DesktopWindows final : public WindowSystem {
public:
    WindowHandle foregroundWindow() override;
    std::string windowTitle(WindowHandle window) override;
    WindowHandle findWindow(std::string_view className, std::string_view title) override;
    bool bringToFront(WindowHandle window) override;
    void sendKeys(std::string_view keys, bool wait) override;
};

} // namespace vocabrella::platform
