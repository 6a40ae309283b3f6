#pragma once

#include <filesystem>

// Writes the demo user's command file: every kind of command, several programs, scopes,
// groups and LISTs.
void writeDemoCommandFile(const std::filesystem::path& file);
