#include "shell/platform/SimulatedInstallation.h"

#include "cmdfile/AtomicFile.h"
#include "cmdfile/Format.h"
#include "shell/ProfileFile.h"
#include "shell/platform/DragonFiles.h"
#include "shell/platform/EventChannel.h"
#include "cmdfile/System.h"

#include <array>
#include <charconv>
#include <stdexcept>
#include <vector>

namespace vocabrella::platform {
namespace fs = std::filesystem;
namespace df = dragonfiles;
namespace sim = simulated;
namespace {

std::string product(int major) { return std::string(df::ProductPrefix) + std::to_string(major); }

void put(const fs::path& file, std::string_view section, std::string_view key, std::string_view value) {
    if (!ProfileFile(file).write(section, key, value)) throw std::runtime_error("Cannot write " + os::pathText(file));
}

int languageOfCurrentSpeaker(const fs::path& engineFile) {
    const ProfileFile ini(engineFile);
    const auto speaker = ini.read(sim::EngineSection, sim::CurrentSpeaker);
    const auto text = ini.read(sim::SpeakersSection, speaker);
    int id = 0;
    std::from_chars(text.data(), text.data() + text.size(), id);
    return id > 0 ? id : 1033;
}

// The user's folder: options.ini, the command file, and for a roaming user local.ini.
void createUser(const InstallationLayout& layout, const fs::path& base, std::string_view name, int language,
                int engineMinor, bool roaming, const InstallationOptions* options) {
    const fs::path current = base / std::string(name) / df::CurrentFolder;
    fs::create_directories(current);
    put(current / df::OptionsFile, df::Options, df::SpeakerLanguageId, std::to_string(language));
    if (roaming) put(current / df::LocalFile, df::Options, df::MyCommandsChanged, "0");
    const fs::path commands = current / df::CommandFile;
    if (options && options->commands) {
        if (!fs::is_regular_file(*options->commands))
            throw std::runtime_error("No such command file: " + options->commands->string());
        copyFileAtomically(*options->commands, commands);
    } else if (options && options->writeCommands) {
        options->writeCommands(commands);
    } else {
        writeEmptyCommandFile(commands, layout.majorVersion, engineMinor, language);
    }
    put(layout.engineFile(), sim::SpeakersSection, name, std::to_string(language));
}

} // namespace

fs::path InstallationLayout::commonAppData() const { return root / sim::CommonAppDataFolder; }
fs::path InstallationLayout::userAppData() const { return root / sim::UserAppDataFolder; }
fs::path InstallationLayout::dataFolder() const { return commonAppData() / df::Vendor / product(majorVersion); }
fs::path InstallationLayout::userDataFolder() const { return userAppData() / df::Vendor / product(majorVersion); }
fs::path InstallationLayout::systemFile() const { return dataFolder() / df::SystemFile; }
fs::path InstallationLayout::userFile() const { return userDataFolder() / df::UserFile; }
fs::path InstallationLayout::logFile() const { return userDataFolder() / df::LogFile; }
fs::path InstallationLayout::engineFile() const { return root / sim::EngineFile; }
fs::path InstallationLayout::programFolder() const { return root / sim::ProgramFolder; }
fs::path InstallationLayout::usersFolder() const { return dataFolder() / sim::UsersFolder; }
fs::path InstallationLayout::roamingCacheFolder() const { return dataFolder() / df::RoamingUsersFolder; }
fs::path InstallationLayout::roamingMasterFolder() const { return root / sim::RoamingMasterFolder; }

InstallationLayout InstallationLayout::of(const fs::path& root) {
    const auto text = ProfileFile(root / sim::EngineFile).read(sim::EngineSection, sim::MajorVersion);
    int major = 0;
    std::from_chars(text.data(), text.data() + text.size(), major);
    if (major <= 0) throw std::runtime_error("No simulated Dragon installation in " + os::pathText(root));
    return {fs::absolute(root), major};
}

std::optional<std::pair<int, int>> parseDragonVersion(std::string_view text) {
    const auto dot = text.find('.');
    const auto majorText = text.substr(0, dot);
    int major = 0;
    if (majorText.empty() || std::from_chars(majorText.data(), majorText.data() + majorText.size(), major).ptr !=
                                 majorText.data() + majorText.size() || major <= 0)
        return std::nullopt;
    if (dot == std::string_view::npos) return std::make_pair(major, 0);
    const auto minorText = text.substr(dot + 1);
    int minor = 0;
    if (minorText.empty() || minorText.size() > 2 ||
        std::from_chars(minorText.data(), minorText.data() + minorText.size(), minor).ptr !=
            minorText.data() + minorText.size())
        return std::nullopt;
    return std::make_pair(major, minorText.size() == 1 ? minor * 10 : minor);
}

std::string_view dragonLanguageCode(int languageId) {
    struct Row {
        int primary;
        std::string_view code;
    };
    static constexpr std::array<Row, 6> rows = {
        {{9, "ENX"}, {7, "DEU"}, {10, "ESP"}, {12, "FRA"}, {19, "NLD"}, {16, "ITA"}}};
    for (const auto& r : rows)
        if (r.primary == (languageId & 0xFF)) return r.code;
    return {};
}

void writeEmptyCommandFile(const fs::path& file, int majorVersion, int engineMinor, int languageId) {
    std::uint8_t versionCode = 7; // 10.0 and later
    if (majorVersion <= 6) versionCode = engineMinor >= 10 ? 4 : 3;
    else if (majorVersion == 7) versionCode = 5;
    else if (majorVersion <= 9) versionCode = 6;
    const auto header = format::newHeader(versionCode, static_cast<std::uint8_t>(languageId & 0xFF));
    std::vector<std::uint8_t> bytes(header.begin(), header.end()); // the command count is 0
    bytes.insert(bytes.end(), 4, 0);                                // and so is the LIST count
    writeFileAtomically(file, bytes);
}

void createInstallation(const fs::path& rootIn, const InstallationOptions& options) {
    const fs::path root = fs::absolute(rootIn);
    if (fs::exists(root) && !fs::is_empty(root))
        throw std::runtime_error(os::pathText(root) + " exists and is not empty");
    const auto language = dragonLanguageCode(options.language);
    if (language.empty()) throw std::runtime_error("Unsupported language " + std::to_string(options.language));
    if (options.user.empty() || options.user.find_first_of("/\\\r\n=[]") != std::string::npos)
        throw std::runtime_error("Not a usable user name: " + options.user);
    if (options.majorVersion <= 0 || options.engineMinor < 0) throw std::runtime_error("Not a Dragon version");

    const InstallationLayout layout{root, options.majorVersion};
    for (const auto& folder : {layout.dataFolder(), layout.userDataFolder(), layout.programFolder()})
        fs::create_directories(folder);

    const fs::path userBase = options.roaming ? layout.roamingCacheFolder() : layout.usersFolder();
    const fs::path system = layout.systemFile();
    put(system, df::Settings, df::SupportedLanguages, language);
    put(system, df::Settings, std::string(language) + std::string(df::BaseDvcDirectorySuffix), language);
    put(system, df::Settings, df::BaseDirectory, os::pathText(layout.programFolder()));
    if (options.roaming) {
        fs::create_directories(layout.roamingMasterFolder());
        put(system, df::Settings, df::RoamingUserOn, "1");
        put(system, df::Settings, df::RoamingMasterDirectory, os::pathText(layout.roamingMasterFolder()));
        put(system, df::Settings, df::RoamingCacheDirectory, os::pathText(layout.roamingCacheFolder()));
    }
    fs::create_directories(layout.dataFolder() / language);

    const fs::path user = layout.userFile();
    put(user, df::Settings, df::CurrentUser, options.user);
    put(user, df::Settings, df::UserBaseDirectory, os::pathText(userBase));
    if (options.roaming) put(user, df::Settings, df::CurrentUserIsRoaming, "1");

    writeFileAtomically(layout.logFile(), std::string_view("Dragon NaturallySpeaking (simulated) " +
                                                           std::to_string(options.majorVersion) + "." +
                                                           std::to_string(options.engineMinor / 10) + "\r\n"));

    const fs::path engine = layout.engineFile();
    put(engine, sim::EngineSection, sim::MajorVersion, std::to_string(options.majorVersion));
    put(engine, sim::EngineSection, sim::MinorVersion, std::to_string(options.engineMinor));
    put(engine, sim::EngineSection, sim::BuildNumber, "0");
    put(engine, sim::EngineSection, sim::ProductFlags, "0x10");
    put(engine, sim::EngineSection, sim::CurrentSpeaker, options.user);
    put(engine, sim::EngineSection, sim::UserDataPrefix, os::pathText(userBase));
    put(engine, sim::EngineSection, sim::ForegroundWindow, "2");
    const auto window = [&](int n, std::string_view title, std::string_view className, const fs::path& module) {
        const std::string section = std::string(sim::WindowSectionPrefix) + std::to_string(n);
        put(engine, section, sim::WindowTitle, title);
        put(engine, section, sim::WindowClass, className);
        put(engine, section, sim::WindowModule, os::pathText(module));
    };
    // Module paths are relative to the root, so that the installation can be moved.
    window(1, df::DragonBarTitle, df::DragonBarClass, fs::path(sim::ProgramFolder) / sim::DragonModule);
    window(2, "Untitled - Notepad", "Notepad", fs::path("Windows") / "notepad");

    createUser(layout, userBase, options.user, options.language, options.engineMinor, options.roaming, &options);
    if (options.mergeTool) {
        const fs::path tool = layout.programFolder() / df::MergeTool;
        fs::copy_file(*options.mergeTool, tool, fs::copy_options::overwrite_existing);
        fs::permissions(tool, fs::perms::owner_exec | fs::perms::group_exec | fs::perms::others_exec,
                        fs::perm_options::add);
    }
}

void changeSpeaker(const fs::path& root, std::string_view name) {
    if (name.empty() || name.find_first_of("/\\\r\n=[]") != std::string_view::npos)
        throw std::runtime_error("Not a usable user name: " + std::string(name));
    const auto layout = InstallationLayout::of(root);
    const ProfileFile engine(layout.engineFile());
    if (engine.read(sim::SpeakersSection, name).empty()) {
        fs::path base = ProfileFile(layout.userFile()).read(df::Settings, df::UserBaseDirectory);
        if (base.empty()) base = layout.usersFolder();
        const auto minor = engine.read(sim::EngineSection, sim::MinorVersion);
        int engineMinor = 0;
        std::from_chars(minor.data(), minor.data() + minor.size(), engineMinor);
        const bool roaming = fs::exists(base / ProfileFile(layout.userFile()).read(df::Settings, df::CurrentUser) /
                                        df::CurrentFolder / df::LocalFile);
        createUser(layout, base, name, languageOfCurrentSpeaker(layout.engineFile()), engineMinor, roaming, nullptr);
    }
    put(layout.engineFile(), sim::EngineSection, sim::CurrentSpeaker, name);
    put(layout.userFile(), df::Settings, df::CurrentUser, name);
    appendEvent(layout.root, {DragonEvent::Kind::SpeakerChange, std::string(name)});
}

void sayWords(const fs::path& root, std::string_view words) {
    const auto layout = InstallationLayout::of(root);
    appendEvent(layout.root, {DragonEvent::Kind::Recognition, std::string(words)});
}

} // namespace vocabrella::platform
