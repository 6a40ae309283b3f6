#include "shell/platform/DragonChoice.h"

#include "shell/platform/SimulatedDragon.h"

namespace vocabrella::platform {

ChosenDragon chooseDragon(const std::optional<std::filesystem::path>& simulatedRoot) {
    auto simulated = std::make_unique<SimulatedDragon>(simulatedRoot);
    ChosenDragon chosen;
    chosen.simulated = simulated.get();
    chosen.dragon = std::move(simulated);
    chosen.present = simulatedRoot.has_value();
    return chosen;
}

bool dragonInstalled() { return false; } // Dragon runs on Windows only

} // namespace vocabrella::platform
