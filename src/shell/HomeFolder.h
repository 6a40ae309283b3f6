#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string_view>

namespace vocabrella {

// The home folder holds the store, the trace, the logs, the settings, the work files and the
// shipped files (keynames, help). It is --home DIR, else $VOCABRELLA_HOME, else on Linux
// $XDG_DATA_HOME/vocabrella (~/.local/share/vocabrella), on Windows the user's local application
// data folder + \Vocabrella.
class HomeFolder {
public:
    static std::filesystem::path resolve(const std::optional<std::filesystem::path>& option);
    // Where the shipped files are: beside the program (../share/vocabrella) or the source tree.
    static std::filesystem::path shippedDataFolder();
    // The folder of the running program's own file; empty when it cannot be told.
    static std::filesystem::path programFolder();
    // A helper program shipped with this one (the merge tool, the simulation tool): beside the
    // running program, in the installed tools folder, or where the build made it.
    static std::optional<std::filesystem::path> shippedTool(std::string_view name, const std::filesystem::path& built);

    enum class State { Ready, Created, StoreMissing };
    // Creates a missing or empty folder with an empty store and the shipped files. A folder that
    // holds other files but no store is left alone and reported. The half-made home folders of
    // runs killed while making one are removed first.
    static State prepare(const std::filesystem::path& home);
    // The sibling folder that process `pid` builds the home folder in.
    static std::filesystem::path stagingFolder(const std::filesystem::path& home, std::int64_t pid);
    // Removes the staging folders of home whose process is gone.
    static void removeDeadStagings(const std::filesystem::path& home);

    // Brings the help pages of an existing home folder up to date with the shipped ones: a page
    // that is missing or differs is copied in; pages the program does not ship are left alone.
    static void updateHelpPages(const std::filesystem::path& home);

    static std::filesystem::path storePath(const std::filesystem::path& home);
    // Puts a damaged store aside (global.mdb.damaged, with its log) and makes a new, empty one
    // in its place, for the open command file to be parsed into.
    static void replaceDamagedStore(const std::filesystem::path& home);
};

} // namespace vocabrella
