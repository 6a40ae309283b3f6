#pragma once

#include "shell/platform/Platform.h"

namespace vocabrella::platform {

// The shell's special folders that Dragon's files hang from, as this system has them: on
// Windows the common application data folder (FOLDERID_ProgramData), the user's roaming
// application data folder (FOLDERID_RoamingAppData) and the APPDATA environment value. Other
// systems have no Dragon: their folders come from the simulated installation, and this gives
// empty paths.
SpecialFolders systemSpecialFolders();

} // namespace vocabrella::platform
