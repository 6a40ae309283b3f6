#pragma once

#include "shell/platform/Platform.h"

#include <string>
#include <string_view>

namespace vocabrella::platform {

// The desktop's top-level windows, as far as the program looks at them.
class WindowSystem {
public:
    virtual ~WindowSystem() = default;

    virtual WindowHandle foregroundWindow() = 0;
    virtual std::string windowTitle(WindowHandle window) = 0;
    // The first top-level window with this class and this exact title; an empty class or
    // title matches any. 0 when there is none.
    virtual WindowHandle findWindow(std::string_view className, std::string_view title) = 0;
    // Shows the window and makes it the foreground window; false when there is no such window.
    virtual bool bringToFront(WindowHandle window) = 0;
    // Sends keystrokes in the SendKeys notation to the foreground window; with wait, returns
    // once they have been processed.
    virtual void sendKeys(std::string_view keys, bool wait) = 0;
};

} // namespace vocabrella::platform
