#pragma once

#include "ops/Outcome.h"
#include "ops/Texts.h"

#include <filesystem>
#include <string_view>

namespace vocabrella {
class Prompter;
}

namespace vocabrella::ops {

class Workspace;

// Where an output goes (DVC, export, report): never over the open command file, in a folder
// that exists, never in place of what is no file (a folder, a pipe, a device), and over an
// existing file only after the user's yes. The caller notes FileVersion::of(target) before the
// check and writes with writeFileIfUnchanged: a target another run wrote meanwhile is then
// refused, not silently replaced.
enum class ExistingOutput { AskOverwrite, CallerDecides };

// The refusals are told; "no" to the overwrite question is Declined.
Outcome checkOutputTarget(Workspace& ws, const std::filesystem::path& target,
                          ExistingOutput existing = ExistingOutput::AskOverwrite,
                          std::string_view isCommandFile = texts::OutputIsCommandFile);

// The same rules where no workspace is open (an empty openFile) or none is at hand.
Outcome checkOutputTarget(Prompter& prompter, const std::filesystem::path& openFile, const std::filesystem::path& target,
                          ExistingOutput existing = ExistingOutput::AskOverwrite,
                          std::string_view isCommandFile = texts::OutputIsCommandFile);

// Whether two paths name the same file: one canonical path (links followed), or the same path
// in another letter case.
bool isSameFile(const std::filesystem::path& a, const std::filesystem::path& b);

} // namespace vocabrella::ops
