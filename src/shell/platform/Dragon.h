#pragma once

#include "shell/platform/DragonEngine.h"
#include "shell/platform/Platform.h"
#include "shell/platform/VoiceCommands.h"
#include "shell/platform/WindowSystem.h"

namespace vocabrella::platform {

// Dragon and the desktop as the running program reaches them: the engine, the voice commands
// and the windows, and the special folders Dragon's files hang from. The simulated installation
// implements it here; a Windows build would wrap Dragon's own controls.
class Dragon {
public:
    virtual ~Dragon() = default;
    virtual DragonEngine& engine() = 0;
    virtual VoiceCommands& voiceCommands() = 0;
    virtual WindowSystem& windows() = 0;
    virtual SpecialFolders specialFolders() const = 0;
};

} // namespace vocabrella::platform
