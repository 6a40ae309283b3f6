#include "shell/platform/SystemFolders.h"

#include "cmdfile/System.h"
#include "cmdfile/WideText.h"

#include <shlobj.h>

namespace vocabrella::platform {
namespace fs = std::filesystem;
namespace {

fs::path knownFolder(REFKNOWNFOLDERID id) {
    PWSTR folder = nullptr;
    fs::path path;
    if (::SHGetKnownFolderPath(id, 0, nullptr, &folder) == S_OK) path = fs::path(folder);
    ::CoTaskMemFree(folder);
    return path;
}

} // namespace

SpecialFolders systemSpecialFolders() {
    return {knownFolder(FOLDERID_ProgramData), knownFolder(FOLDERID_RoamingAppData),
            os::pathFrom(os::environment("APPDATA"))};
}

} // namespace vocabrella::platform
