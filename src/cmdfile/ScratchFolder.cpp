#include "cmdfile/ScratchFolder.h"

#include "cmdfile/System.h"

namespace vocabrella {
namespace fs = std::filesystem;

ScratchFolder::ScratchFolder(std::string_view purpose)
    : path_(os::makeTemporaryFolder(fs::temp_directory_path(), "vocabrella-" + std::string(purpose) + "-")) {}

ScratchFolder::~ScratchFolder() {
    std::error_code ec;
    fs::remove_all(path_, ec);
}

} // namespace vocabrella
