#pragma once

#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <utility>

namespace vocabrella::platform {

// Where the files of a simulated installation lie (see DragonFiles.h for the layout).
struct InstallationLayout {
    std::filesystem::path root;
    int majorVersion = 12;

    std::filesystem::path commonAppData() const;
    std::filesystem::path userAppData() const;
    std::filesystem::path dataFolder() const;     // common app data/Nuance/NaturallySpeaking12
    std::filesystem::path userDataFolder() const; // user app data/Nuance/NaturallySpeaking12
    std::filesystem::path systemFile() const;
    std::filesystem::path userFile() const;
    std::filesystem::path logFile() const;
    std::filesystem::path engineFile() const;
    std::filesystem::path programFolder() const;
    std::filesystem::path usersFolder() const;        // the users of a plain installation
    std::filesystem::path roamingCacheFolder() const; // the local copies of roaming users
    std::filesystem::path roamingMasterFolder() const;

    // The layout of an existing installation (its major version from engine.ini).
    static InstallationLayout of(const std::filesystem::path& root);
};

struct InstallationOptions {
    int majorVersion = 12;
    int engineMinor = 30; // as the engine reports it: ten times the minor digit
    std::string user = "Speaker";
    int language = 1033; // the speaker's language identifier
    bool roaming = false;
    std::optional<std::filesystem::path> commands{}; // copied as the user's mycmds.dat
    // Writes the user's mycmds.dat when no commands file is given; by default an empty one.
    std::function<void(const std::filesystem::path&)> writeCommands{};
    std::optional<std::filesystem::path> mergeTool{}; // copied into the program folder
};

// "12.3" is major 12 with the engine's minor 30; "12.35" keeps 35; "12" is 12.0.
std::optional<std::pair<int, int>> parseDragonVersion(std::string_view text);
// Dragon's language code of an installation for a language identifier ("ENX" for 1033);
// empty when the primary language is not one Dragon ships.
std::string_view dragonLanguageCode(int languageId);
// A command file without commands or LISTs, in the format of that Dragon version.
void writeEmptyCommandFile(const std::filesystem::path& file, int majorVersion, int engineMinor, int languageId);

// Creates a complete installation in root, which must not exist or be empty. Throws
// std::runtime_error saying what is wrong.
void createInstallation(const std::filesystem::path& root, const InstallationOptions& options);

// Makes name Dragon's current speech user (creating the user, with the language of the current
// one and an empty command file, when it is new) and tells running programs.
void changeSpeaker(const std::filesystem::path& root, std::string_view name);

// Tells running programs that Dragon heard these words.
void sayWords(const std::filesystem::path& root, std::string_view words);

} // namespace vocabrella::platform
