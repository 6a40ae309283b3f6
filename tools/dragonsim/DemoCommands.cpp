#include "DemoCommands.h"

#include "shell/platform/SimulatedInstallation.h"

// Until the command file writer exists the demo user starts with an empty command file.
void writeDemoCommandFile(const std::filesystem::path& file) {
    vocabrella::platform::writeEmptyCommandFile(file, 12, 30, 1033);
}
