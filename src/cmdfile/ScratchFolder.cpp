#include "cmdfile/ScratchFolder.h"

#include <stdexcept>
#include <string>
#include <unistd.h>

namespace vocabrella {
namespace fs = std::filesystem;

ScratchFolder::ScratchFolder(std::string_view purpose) {
    std::string pattern = (fs::temp_directory_path() / ("vocabrella-" + std::string(purpose) + "-XXXXXX")).string();
    if (!::mkdtemp(pattern.data())) throw std::runtime_error("Cannot make a temporary folder in " + fs::temp_directory_path().string());
    path_ = pattern;
}

ScratchFolder::~ScratchFolder() {
    std::error_code ec;
    fs::remove_all(path_, ec);
}

} // namespace vocabrella
