#include "cmdfile/FileLock.h"

#include "cmdfile/System.h"

namespace vocabrella {

std::filesystem::path CommandFileLock::lockFileOf(const std::filesystem::path& commandFile) {
    return commandFile.parent_path() / os::pathFrom("." + os::pathText(commandFile.filename()) + ".lock");
}

} // namespace vocabrella
