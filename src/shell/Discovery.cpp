#include "shell/Discovery.h"

#include "cmdfile/Prompter.h"
#include "cmdfile/Store.h"
#include "cmdfile/System.h"
#include "cmdfile/Trace.h"
#include "shell/ProfileFile.h"
#include "shell/Texts.h"
#include "shell/platform/DragonEngine.h"
#include "shell/platform/DragonFiles.h"
#include "shell/platform/WindowSystem.h"

#include <algorithm>
#include <array>

namespace vocabrella {
namespace fs = std::filesystem;
namespace df = platform::dragonfiles;
namespace {

std::string lowered(std::string s) {
    std::transform(s.begin(), s.end(), s.begin(), [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return s;
}

// The form two paths are compared in: absolute, without "." and "..", symbolic links resolved
// as far as they exist.
std::string comparable(const fs::path& p) {
    std::error_code ec;
    auto full = fs::weakly_canonical(fs::absolute(p, ec), ec);
    if (ec) full = fs::absolute(p, ec).lexically_normal();
    return lowered(os::pathText(full));
}

fs::path withoutTrailingSeparator(const fs::path& p) {
    const auto normal = p.lexically_normal();
    return normal.has_filename() || !normal.has_parent_path() ? normal : normal.parent_path();
}

} // namespace

bool registerWithEngine(platform::DragonEngine& engine, Prompter& prompter, Trace& trace) {
    try {
        engine.Register(1);
        engine.setRegisteredOption(true);
        if ((engine.productFlags() & platform::DragonEngine::kProfessional) == 0) {
            prompter.message(texts::NotProfessional);
            return false;
        }
    } catch (const platform::DragonError& e) {
        if (e.code() == platform::DragonError::kRoamingUnavailable) {
            std::string speaker;
            try {
                speaker = engine.currentSpeaker();
            } catch (const platform::DragonError&) {
                // No speaker to be had is the same as none open.
            }
            prompter.message(speaker.empty() ? texts::RoamingNoSpeaker : texts::RoamingDisconnected, e.what());
        } else {
            prompter.message(texts::NotInstalled, e.what());
        }
        return false;
    }
    trace.Tracy(texts::trace::AfterRegister);
    return true;
}

std::optional<fs::path> findMergeTool(platform::DragonEngine& engine, platform::WindowSystem& windows) {
    auto window = windows.findWindow(df::DragonBarClass, {});
    if (!window) window = windows.findWindow({}, df::DragonTitle);
    if (!window) window = windows.findWindow({}, df::DragonBarTitle);
    if (!window) return std::nullopt;
    std::string module;
    try {
        module = engine.moduleOfWindow(window);
    } catch (const platform::DragonError&) {
        return std::nullopt;
    }
    if (module.empty()) return std::nullopt;
    return os::pathFrom(module).parent_path() / df::MergeTool;
}

int minorVersionDigit(int engineMinor) {
    if (engineMinor < 0) return -minorVersionDigit(-engineMinor);
    int digit = engineMinor / 10;
    const int rest = engineMinor % 10;
    if (rest > 5 || (rest == 5 && digit % 2 == 1)) ++digit;
    return digit;
}

Nat::Nat(DiscoveryEnvironment env) : env_(env), DataBaseName_(texts::DefaultDataBaseName) {}

fs::path Nat::productFolder(const fs::path& base) const {
    return base / df::Vendor / (std::string(df::ProductPrefix) + VersionStr_);
}

void Nat::initialize(const fs::path& applicationpath) {
    const fs::path store = applicationpath / DataBaseName_;
    std::error_code ec;
    if (!fs::exists(store, ec)) {
        env_.prompter.message(std::string(texts::RequiredFile) + DataBaseName_ + std::string(texts::MissingReinstall),
                              os::pathText(store));
        aborting_ = true;
        return;
    }
    const auto version = env_.engine.version();
    MajorVersion_ = version.major;
    MinorVersion_ = minorVersionDigit(version.minor);
    VersionStr_ = std::to_string(version.major);
    if (!GetPaths()) {
        aborting_ = true;
        return;
    }
    if (!fs::exists(SystemFilename_, ec)) {
        env_.prompter.message(texts::CannotFindRequiredFile, os::pathText(SystemFilename_));
        aborting_ = true;
        return;
    }
    discoverUser();
}

bool Nat::GetPaths() {
    auto& trace = env_.trace;
    trace.Tracy(texts::trace::BeforeOs);
    static constexpr std::array<int, 7> known = {0, 1, 3, 4, 5, 6, 9};
    if (std::find(known.begin(), known.end(), MinorVersion_) == known.end()) {
        env_.prompter.message(texts::UnknownVersion, texts::UnknownVersionTitle);
        pathsFound_ = false;
        return false;
    }
    const auto& folders = env_.folders;
    dataFolder_ = productFolder(folders.commonAppData);
    SystemFilename_ = dataFolder_ / df::SystemFile;
    logfilename_ = productFolder(folders.userAppData) / df::LogFile;
    userFilename_ = productFolder(MinorVersion_ < 6 ? folders.userAppData : folders.appData) / df::UserFile;

    std::error_code ec;
    const auto existence = [&ec](const fs::path& p) { return fs::exists(p, ec) ? texts::trace::Exists : texts::trace::DoesNotExist; };
    trace.Tracy(texts::trace::Os, os::operatingSystem());
    trace.Tracy(texts::trace::SystemFilename, existence(SystemFilename_), os::pathText(SystemFilename_));
    trace.Tracy(texts::trace::Logfilename, existence(logfilename_), os::pathText(logfilename_));
    trace.Tracy(texts::trace::CurrentUserFilename, existence(userFilename_), os::pathText(userFilename_));
    trace.Tracy(texts::trace::DvcPath, os::pathText(dataFolder_));

    bool ok = true;
    for (const auto* file : {&SystemFilename_, &userFilename_}) {
        if (fs::exists(*file, ec)) continue;
        env_.prompter.message(std::string(texts::ExpectedFileNotFound) + "\r\n" + file->string(),
                              texts::ReportWithTraceTitle);
        ok = false;
    }
    pathsFound_ = ok;
    return ok;
}

void Nat::discoverUser() {
    auto& trace = env_.trace;
    auto& store = env_.store;
    const ProfileFile userFile(userFilename_);
    const ProfileFile systemFile(SystemFilename_);

    UserName_ = userFile.read(df::Settings, df::CurrentUser);
    if (UserName_.empty()) {
        env_.prompter.message(texts::NoUser, texts::NoUserTitle);
        aborting_ = true;
        return;
    }
    trace.Tracy(texts::trace::User, UserName_);
    UserSub_ = UserName_;

    // The store holds the commands of the user it was last filled for: another user's file
    // must be parsed from scratch.
    auto parameters = store.parameters();
    if (parameters.UserName != UserName_) {
        CommandStore::Transaction transaction(store);
        parameters.UserName = UserName_;
        parameters.UserSub = UserSub_;
        parameters.parsed = false;
        parameters.dvcmaptime.reset();
        parameters.mycmdstime.reset();
        store.setParameters(parameters);
        store.deleteAllUsers();
        store.deleteAllDvcmap();
        transaction.commit();
    }

    language_ = systemFile.read(df::Settings, df::SupportedLanguages);
    if (language_.size() > 3) language_.resize(3);
    parameters = store.parameters();
    if (parameters.language != language_) {
        parameters.language = language_;
        store.setParameters(parameters);
    }

    BasePath_ = dataFolder_ / systemFile.read(df::Settings, language_ + std::string(df::BaseDvcDirectorySuffix));
    GeneralPath_ = BasePath_ / df::GeneralFolder;
    wordpath_ = BasePath_ / df::WordFolder;
    BaseDirectory_ = systemFile.read(df::Settings, df::BaseDirectory);

    UserBaseDirectory_ = os::pathFrom(userFile.read(df::Settings, df::UserBaseDirectory));
    if (UserBaseDirectory_.empty()) {
        const fs::path product = productFolder(env_.folders.commonAppData);
        UserBaseDirectory_ = product / df::DefaultUsersFolder;
        // Dragon's folders were named on a file system that ignores letter case.
        std::error_code ec;
        if (!fs::exists(UserBaseDirectory_, ec))
            for (const auto& entry : fs::directory_iterator(product, ec))
                if (entry.is_directory(ec) &&
                    ProfileFile::sameName(os::pathText(entry.path().filename()), df::DefaultUsersFolder)) {
                    UserBaseDirectory_ = entry.path();
                    break;
                }
    }
    trace.Tracy(texts::trace::UserBaseDirectory, os::pathText(UserBaseDirectory_));

    CurrentPath_ = UserBaseDirectory_ / os::pathFrom(UserSub_) / df::CurrentFolder;
    SpeakerLanguageID_ = ProfileFile(CurrentPath_ / df::OptionsFile).read(df::Options, df::SpeakerLanguageId);
    if (SpeakerLanguageID_.empty()) SpeakerLanguageID_ = "0";
    trace.Tracy(texts::trace::SpeakerLanguageId, SpeakerLanguageID_);

    const auto roamingOn = systemFile.read(df::Settings, df::RoamingUserOn);
    if (!roamingOn.empty()) {
        RoamingOn_ = profileBoolean(roamingOn).value_or(false);
        RoamingDirectory_ = os::pathFrom(systemFile.read(df::Settings, df::RoamingMasterDirectory));
        RoamingCacheDirectory_ = os::pathFrom(systemFile.read(df::Settings, df::RoamingCacheDirectory));
        if (RoamingCacheDirectory_.empty())
            RoamingCacheDirectory_ = withoutTrailingSeparator(UserBaseDirectory_).parent_path() / df::RoamingUsersFolder;
        trace.Tracy(texts::trace::RoamingMaster, os::pathText(RoamingDirectory_));
        trace.Tracy(texts::trace::RoamingCache, os::pathText(RoamingCacheDirectory_));
        const ProfileFile local(RoamingCacheDirectory_ / os::pathFrom(UserName_) / df::CurrentFolder / df::LocalFile);
        IsRoamingUser_ = local.read(df::Options, df::OpenedNoMaster) == "1";
    } else {
        RoamingOn_ = false;
        RoamingDirectory_.clear();
        RoamingCacheDirectory_.clear();
    }
    if (!IsRoamingUser_) IsRoamingUser_ = userFile.read(df::Settings, df::CurrentUserIsRoaming) == "1";
    trace.Tracy(texts::trace::CurrentUserIsRoaming, IsRoamingUser_ ? texts::trace::True : texts::trace::False);
}

bool Nat::ProductionOpen(const fs::path& filename) {
    GetPaths();
    UserName_ = ProfileFile(userFilename_).read(df::Settings, df::CurrentUser);
    UserSub_ = UserName_;
    if (CurrentPath_.empty()) return false; // no user was discovered
    return comparable(filename) == comparable(CurrentPath_ / df::CommandFile);
}

} // namespace vocabrella
