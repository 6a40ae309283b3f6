#include "DemoCommands.h"

#include "cmdfile/AtomicFile.h"
#include "shell/DemoCommandFile.h"

// The demo user's command file holds every kind of command, several programs, scopes, groups
// and LISTs.
void writeDemoCommandFile(const std::filesystem::path& file) {
    vocabrella::writeFileAtomically(file, vocabrella::demoCommandFile());
}
