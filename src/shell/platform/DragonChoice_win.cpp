#include "shell/platform/DragonChoice.h"

#include "shell/platform/SimulatedDragon.h"
#include "shell/platform/windows/DesktopWindows.h"
#include "shell/platform/windows/DragonControls.h"

#include <string>

namespace vocabrella::platform {

ChosenDragon chooseDragon(const std::optional<std::filesystem::path>& simulatedRoot) {
    ChosenDragon chosen;
    if (!simulatedRoot && dragonInstalled()) {
        chosen.dragon = std::make_unique<DragonControls>(std::make_unique<DesktopWindows>());
        chosen.present = true;
        return chosen;
    }
    auto simulated = std::make_unique<SimulatedDragon>(simulatedRoot);
    chosen.simulated = simulated.get();
    chosen.dragon = std::move(simulated);
    chosen.present = simulatedRoot.has_value();
    return chosen;
}

bool dragonInstalled() {
    CLSID clsid;
    const std::wstring name(controls::EngineName);
    return SUCCEEDED(CLSIDFromProgID(name.c_str(), &clsid));
}

} // namespace vocabrella::platform
