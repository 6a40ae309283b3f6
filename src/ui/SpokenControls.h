#pragma once

#include "ui/Form1.h"

#include <string>

namespace vocabrella::platform {
class VoiceCommands;
class VoiceMenu;
struct Recognition;
} // namespace vocabrella::platform

namespace vocabrella::ui {

// The voice commands the program registers with Dragon so that its tabs, slider and dynamic
// menus can be driven by voice: the "Global" menu, always listening, and the "Numbered" menu,
// listening only while a numbered menu is open. Commands with an action are carried out by
// Dragon as keystrokes to the window in front; the others reach the window here.
class SpokenControls final : public MenuListener {
public:
    // Registers the voice commands. Raises platform::DragonError when the menus cannot be made
    // (a previous run left them behind).
    SpokenControls(Form1& window, platform::VoiceCommands& voice, std::uint64_t windowHandle);

    void menuBuilt(DynamicMenu menu, int words) override;
    void menuOpened(DynamicMenu menu, int words) override;

    // Keystrokes the window received, as Dragon's SendKeys sends them ("{Alt+r}{down 2}{up}
    // {enter}"): a menu opened by its accelerator, moved through and chosen from.
    void keys(const std::string& keystrokes);

private:
    void recognized(const platform::Recognition& recognition);

    Form1& window_;
    platform::VoiceMenu& global_;
    platform::VoiceMenu& numbered_;
    // The menu the keystrokes move in, and its highlighted entry (-1: none yet).
    std::optional<DynamicMenu> openMenu_;
    int highlighted_ = -1;
};

} // namespace vocabrella::ui
