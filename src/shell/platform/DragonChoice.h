#pragma once

#include "shell/platform/Dragon.h"

#include <filesystem>
#include <memory>
#include <optional>

namespace vocabrella::platform {

class SimulatedDragon;

// The Dragon the program runs beside: the simulated installation when one is named; otherwise,
// on Windows, Dragon's own controls when they are registered on this machine. When neither is
// there, `present` is false and `dragon` is a simulation without an installation, which answers
// every call as a machine without Dragon does: the program then serves command files alone.
struct ChosenDragon {
    std::unique_ptr<Dragon> dragon;
    SimulatedDragon* simulated = nullptr; // the same object when it is the simulation
    bool present = false;
};

ChosenDragon chooseDragon(const std::optional<std::filesystem::path>& simulatedRoot);

// Whether Dragon's own controls are registered here (always false off Windows).
bool dragonInstalled();

} // namespace vocabrella::platform
