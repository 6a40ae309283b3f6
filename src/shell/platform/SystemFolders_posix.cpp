#include "shell/platform/SystemFolders.h"

namespace vocabrella::platform {

SpecialFolders systemSpecialFolders() { return {}; }

} // namespace vocabrella::platform
