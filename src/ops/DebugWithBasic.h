#pragma once

#include "cmdfile/Store.h"
#include "ops/Outcome.h"
#include "shell/platform/Platform.h"

#include <string>
#include <string_view>
#include <vector>

namespace vocabrella {
class Clock;
class Prompter;
namespace platform {
class Dragon;
}
} // namespace vocabrella

namespace vocabrella::ops {

// "Debug with Basic": opens Dragon's own command editor and types the shown script into it,
// where it can be run and debugged. Nothing in the command file changes. The keystrokes go to
// the editor's window only: when it does not come up, or another window takes the front while
// typing, nothing (more) is sent. The status line says how much of the script was typed.
class DebugWithBasic {
public:
    // waits: the pauses that let the editor come up; the window's keep it responsive meanwhile.
    DebugWithBasic(platform::Dragon& dragon, Prompter& prompter, Clock& waits)
        : dragon_(dragon), prompter_(prompter), waits_(waits) {}

    // body: the body box's text with CR LF line ends; owner: the main window.
    Outcome run(std::string_view body, platform::WindowHandle owner);
    // The same for the row on show: refused unless the row allows it.
    Outcome run(const UserRow& shown, std::string_view body, platform::WindowHandle owner);

    // The script as it is typed: without its closing "End Sub" line (a legacy script has none
    // and is typed whole) and line feeds, one
    // keystroke text per character, characters that mean keys enclosed in braces.
    static std::vector<std::string> keystrokes(std::string_view body);

private:
    Outcome stop(std::string_view text);
    // Sends keys when the editor is still the foreground window.
    bool send(platform::WindowHandle editor, std::string_view keys);

    platform::Dragon& dragon_;
    Prompter& prompter_;
    Clock& waits_;
};

} // namespace vocabrella::ops
