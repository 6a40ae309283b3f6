#include "TestHome.h"

#include "shell/Discovery.h"
#include "shell/ProfileFile.h"
#include "shell/platform/DragonFiles.h"
#include "shell/platform/SimulatedDragon.h"
#include "shell/platform/SimulatedInstallation.h"

#include <gtest/gtest.h>

#include <sqlite3.h>

#include <algorithm>

using namespace vocabrella;
using namespace vocabrella::platform;
using namespace vocabrella::testsupport;
namespace fs = std::filesystem;

namespace {

const std::string kReportTitle = "Report this to Quillfeather, send 'trace.vbl'";

class DiscoveryTest : public ::testing::Test {
protected:
    void SetUp() override {
        fs::create_directories(home());
        store.emplace(CommandStore::create(home() / "global.mdb"));
        trace.open(home() / "trace.vbl", clock.now());
    }

    fs::path home() const { return dir.path() / "home"; }
    fs::path root() const { return dir.path() / "dragon"; }
    InstallationLayout layout(int major = 12) const { return {root(), major}; }
    void install(InstallationOptions options = {}) { createInstallation(root(), options); }
    void setEngine(std::string_view key, std::string_view value) {
        ASSERT_TRUE(ProfileFile(root() / simulated::EngineFile).write(simulated::EngineSection, key, value));
    }
    void setIni(const fs::path& file, std::string_view section, std::string_view key, std::string_view value) {
        ASSERT_TRUE(ProfileFile(file).write(section, key, value));
    }

    // A fresh discovery against the installation, as at the start of a run.
    Nat& discover() {
        dragon = std::make_unique<SimulatedDragon>(fs::exists(root()) ? std::optional(root()) : std::nullopt);
        nat.emplace(DiscoveryEnvironment{*store, trace, prompter, dragon->engine(), dragon->specialFolders()});
        nat->initialize(home());
        return *nat;
    }
    bool registers() {
        dragon = std::make_unique<SimulatedDragon>(fs::exists(root()) ? std::optional(root()) : std::nullopt);
        return registerWithEngine(dragon->engine(), prompter, trace);
    }
    void expectOnlyMessage(const std::string& text, const std::string& title) {
        ASSERT_EQ(prompter.shown.size(), 1u);
        EXPECT_EQ(prompter.shown[0].text, text);
        EXPECT_EQ(prompter.shown[0].title, title);
    }
    void exec(const char* sql) { ASSERT_EQ(sqlite3_exec(store->handle(), sql, nullptr, nullptr, nullptr), SQLITE_OK); }
    std::int64_t count(const char* sql) {
        sqlite3_stmt* s = nullptr;
        sqlite3_prepare_v2(store->handle(), sql, -1, &s, nullptr);
        sqlite3_step(s);
        const auto n = sqlite3_column_int64(s, 0);
        sqlite3_finalize(s);
        return n;
    }

    TempDir dir;
    FakeClock clock;
    ScriptedPrompter prompter;
    Trace trace;
    std::optional<CommandStore> store;
    std::unique_ptr<SimulatedDragon> dragon;
    std::optional<Nat> nat;
};

} // namespace

TEST_F(DiscoveryTest, RegisteringFailsWithoutAnInstallation) {
    EXPECT_FALSE(registers());
    ASSERT_EQ(prompter.shown.size(), 1u);
    EXPECT_EQ(prompter.shown[0].text, "Either NaturallySpeaking is NOT (completely) installed on this machine, OR\r\n"
                                      "Needs to be restarted (Possibly rebooted)");
    EXPECT_NE(prompter.shown[0].title.find("not installed"), std::string::npos); // the error's description
}

TEST_F(DiscoveryTest, RegisteringRefusesEditionsOutsideTheProfessionalSeries) {
    install();
    EXPECT_TRUE(registers());
    EXPECT_TRUE(prompter.shown.empty());
    EXPECT_NE(readText(home() / "trace.vbl").find("after register  \r\n"), std::string::npos);

    setEngine(simulated::ProductFlags, "0x0F");
    EXPECT_FALSE(registers());
    expectOnlyMessage("Vocabrella only supported with Professional Series \r\n"
                      "versions of NaturallySpeaking (Pro,Medical,Legal,Public Safety)\r\n\r\n"
                      "If you have reached this message in error, please\r\n"
                      "send your dragon.log file to Quillfeather",
                      "");
}

TEST_F(DiscoveryTest, RegisteringWithAnUnreachableRoamingUserSaysWhatToDo) {
    install({.roaming = true});
    setEngine(simulated::RegisterError, "0x8004041A");
    EXPECT_FALSE(registers());
    ASSERT_EQ(prompter.shown.size(), 1u);
    EXPECT_EQ(prompter.shown[0].text,
              "Vocabrella8 cannot open with an open roaming user that is currently disconnected from the network.  "
              "Either:\r\n\r\n1) reconnect to your network and try again OR\r\n2) close Dragon (probably with "
              "Task Manager), and reopen (Dragon will say the roaming location is unavailable, but that is OK). See "
              "Help (Roaming) for additional step (closing Vocabrella8 and NaturallySpeaking and re-opening "
              "NaturallySpeaking AFTER network cable reconnect) to synchronize your commands file.");
    EXPECT_EQ(prompter.shown[0].title, "The engine refused the registration");

    setEngine(simulated::CurrentSpeaker, "");
    EXPECT_FALSE(registers());
    EXPECT_EQ(prompter.last().text,
              "Vocabrella is unable to automatically load NaturallySpeaking when using the Roaming User feature. "
              "Please start NaturallySpeaking first, or if already started, Open a User first, then start Vocabrella.");

    setEngine(simulated::RegisterError, "0x80004005");
    EXPECT_FALSE(registers());
    EXPECT_EQ(prompter.last().text.substr(0, 39), "Either NaturallySpeaking is NOT (comple");
}

TEST_F(DiscoveryTest, APlainInstallationIsDiscoveredCompletely) {
    install({.user = "Jo Smith", .language = 2057});
    const Nat& n = discover();
    EXPECT_FALSE(n.aborting());
    EXPECT_TRUE(prompter.shown.empty());
    const auto l = layout();
    EXPECT_EQ(n.DataBaseName(), "global.mdb");
    EXPECT_EQ(n.MajorVersion(), 12);
    EXPECT_EQ(n.MinorVersion(), 3);
    EXPECT_EQ(n.VersionStr(), "12");
    EXPECT_EQ(n.SystemFilename(), l.systemFile());
    EXPECT_EQ(n.userFilename(), l.userFile());
    EXPECT_EQ(n.logfilename(), l.logFile());
    EXPECT_EQ(n.dataFolder(), l.dataFolder());
    EXPECT_EQ(n.UserName(), "Jo Smith");
    EXPECT_EQ(n.UserSub(), "Jo Smith");
    EXPECT_EQ(n.language(), "ENX");
    EXPECT_EQ(n.BasePath(), l.dataFolder() / "ENX");
    EXPECT_EQ(n.GeneralPath(), l.dataFolder() / "ENX" / "general");
    EXPECT_EQ(n.wordpath(), l.dataFolder() / "ENX" / "nlcwrd97");
    EXPECT_EQ(n.BaseDirectory(), l.programFolder().string());
    EXPECT_EQ(n.UserBaseDirectory(), l.usersFolder());
    EXPECT_EQ(n.CurrentPath(), l.usersFolder() / "Jo Smith" / "current");
    EXPECT_TRUE(fs::exists(n.CurrentPath() / "mycmds.dat"));
    EXPECT_EQ(n.SpeakerLanguageID(), "2057");
    EXPECT_FALSE(n.RoamingOn());
    EXPECT_FALSE(n.IsRoamingUser());
    EXPECT_TRUE(n.RoamingDirectory().empty());
    EXPECT_TRUE(n.RoamingCacheDirectory().empty());

    const auto p = store->parameters();
    EXPECT_EQ(p.UserName, "Jo Smith");
    EXPECT_EQ(p.UserSub, "Jo Smith");
    EXPECT_EQ(p.language, "ENX");
    const auto traced = readText(home() / "trace.vbl");
    for (const char* label : {"before OS  \r\n", "systemfilename:   Exists ", "currentuserfilename:   Exists ",
                              "logfilename:   Exists ", "dvcpath:  ", "User:  Jo Smith \r\n",
                              "speaker language ID:  2057 \r\n", "current user is roaming false \r\n"})
        EXPECT_NE(traced.find(label), std::string::npos) << label;
}

TEST_F(DiscoveryTest, TheStoreMustBeThere) {
    install();
    fs::create_directories(dir.path() / "elsewhere");
    dragon = std::make_unique<SimulatedDragon>(root());
    Nat n({*store, trace, prompter, dragon->engine(), dragon->specialFolders()});
    n.initialize(dir.path() / "elsewhere");
    EXPECT_TRUE(n.aborting());
    expectOnlyMessage("Required file global.mdbmissing--reinstall", (dir.path() / "elsewhere" / "global.mdb").string());
}

TEST_F(DiscoveryTest, UnknownMinorVersionsStopDiscovery) {
    install();
    // The engine's number over ten, halves to even: 25 is 2, 35 is 4.
    for (const char* minor : {"20", "25", "70", "80", "100"}) {
        prompter.shown.clear();
        setEngine(simulated::MinorVersion, minor);
        EXPECT_TRUE(discover().aborting()) << minor;
        expectOnlyMessage("Unknown NaturallySpeaking version", "Unable to continue");
        EXPECT_TRUE(nat->SystemFilename().empty());
    }
    for (const char* minor : {"0", "10", "26", "35", "44", "50", "60", "90", "94"}) {
        prompter.shown.clear();
        setEngine(simulated::MinorVersion, minor);
        EXPECT_FALSE(discover().aborting()) << minor;
        EXPECT_TRUE(prompter.shown.empty()) << minor;
    }
}

TEST_F(DiscoveryTest, MissingSystemOrUserFileIsReportedWithItsPath) {
    install();
    const auto l = layout();
    fs::remove(l.systemFile());
    EXPECT_TRUE(discover().aborting());
    expectOnlyMessage("Expected file not found:\r\n" + l.systemFile().string(), kReportTitle);
    EXPECT_NE(readText(home() / "trace.vbl").find("systemfilename:   does not exist " + l.systemFile().string()),
              std::string::npos);

    prompter.shown.clear();
    fs::remove(l.userFile());
    EXPECT_TRUE(discover().aborting());
    ASSERT_EQ(prompter.shown.size(), 2u); // each missing file has its message
    EXPECT_EQ(prompter.shown[1].text, "Expected file not found:\r\n" + l.userFile().string());
    EXPECT_EQ(prompter.shown[1].title, kReportTitle);

    prompter.shown.clear();
    fs::remove_all(root());
    install();
    fs::remove(l.userFile());
    EXPECT_TRUE(discover().aborting());
    expectOnlyMessage("Expected file not found:\r\n" + l.userFile().string(), kReportTitle);
}

TEST_F(DiscoveryTest, FromMinorVersion6TheUserFileIsUnderAppData) {
    install({.engineMinor = 60});
    dragon = std::make_unique<SimulatedDragon>(root());
    auto folders = dragon->specialFolders();
    folders.appData = dir.path() / "elsewhere";
    Nat n({*store, trace, prompter, dragon->engine(), folders});
    n.initialize(home());
    EXPECT_TRUE(n.aborting());
    EXPECT_EQ(n.userFilename(), dir.path() / "elsewhere" / "Nuance" / "NaturallySpeaking12" / "nsuser.ini");

    ASSERT_NO_FATAL_FAILURE(setEngine(simulated::MinorVersion, "50"));
    Nat before6({*store, trace, prompter, dragon->engine(), folders});
    before6.initialize(home());
    EXPECT_FALSE(before6.aborting());
    EXPECT_EQ(before6.userFilename(), layout().userFile());
}

TEST_F(DiscoveryTest, NoCurrentUserStopsDiscovery) {
    install();
    setIni(layout().userFile(), "Settings", "Current User", "");
    EXPECT_TRUE(discover().aborting());
    expectOnlyMessage("No User detected, cannot continue", "Have you trained any Users?");
}

TEST_F(DiscoveryTest, AnotherSpeechUserThanLastTimeClearsTheStore) {
    install({.user = "Jo"});
    discover();
    UserRow row;
    row.menu = row.state = "Global Commands";
    row.name = "copy that";
    row.Type = "K";
    store->insertUser(row);
    exec("INSERT INTO dvcmap (menu, state, name) VALUES ('a', 'b', 'c')");
    auto p = store->parameters();
    p.parsed = true;
    p.mycmdstime = 1234;
    p.dvcmaptime = 5678;
    store->setParameters(p);

    discover(); // the same user: the store stays
    EXPECT_EQ(store->userCount(), 1);
    EXPECT_TRUE(store->parameters().parsed);

    changeSpeaker(root(), "Pat");
    EXPECT_EQ(discover().UserName(), "Pat");
    EXPECT_EQ(store->userCount(), 0);
    EXPECT_EQ(count("SELECT count(*) FROM dvcmap"), 0);
    p = store->parameters();
    EXPECT_EQ(p.UserName, "Pat");
    EXPECT_EQ(p.UserSub, "Pat");
    EXPECT_FALSE(p.parsed);
    EXPECT_FALSE(p.mycmdstime.has_value());
    EXPECT_FALSE(p.dvcmaptime.has_value());
    EXPECT_EQ(nat->CurrentPath(), layout().usersFolder() / "Pat" / "current");
}

TEST_F(DiscoveryTest, LanguageIsCutToThreeCharacters) {
    install();
    setIni(layout().systemFile(), "Settings", "Supported Languages", "ENXDEU");
    setIni(layout().systemFile(), "Settings", "ENX Base DVC Directory", "enx");
    EXPECT_EQ(discover().language(), "ENX");
    EXPECT_EQ(store->parameters().language, "ENX");
    EXPECT_EQ(nat->BasePath(), layout().dataFolder() / "enx");
}

TEST_F(DiscoveryTest, AnEmptyUserBaseDirectoryMeansTheUsersFolderOfTheCommonData) {
    install();
    setIni(layout().userFile(), "Settings", "User Base Directory", "");
    // Dragon names the folder "Users"; the path it implies says "users".
#ifdef _WIN32
    // The file system ignores case: both spellings name the one folder.
    EXPECT_TRUE(fs::equivalent(discover().UserBaseDirectory(), layout().usersFolder()));
#else
    EXPECT_EQ(discover().UserBaseDirectory(), layout().usersFolder());
#endif
    fs::create_directories(layout().dataFolder() / "users");
    EXPECT_EQ(discover().UserBaseDirectory(), layout().dataFolder() / "users");
    EXPECT_NE(readText(home() / "trace.vbl").find("user base directory:  " + (layout().dataFolder() / "users").string()),
              std::string::npos);
}

TEST_F(DiscoveryTest, RoamingIsDetectedFromEitherSource) {
    install({.user = "Jo", .roaming = true});
    const auto l = layout();
    Nat& n = discover();
    EXPECT_FALSE(n.aborting());
    EXPECT_TRUE(n.RoamingOn());
    EXPECT_EQ(n.RoamingDirectory(), l.roamingMasterFolder());
    EXPECT_EQ(n.RoamingCacheDirectory(), l.roamingCacheFolder());
    EXPECT_EQ(n.CurrentPath(), l.roamingCacheFolder() / "Jo" / "current");
    EXPECT_TRUE(n.IsRoamingUser()); // from nsuser.ini, which dragonsim sets

    // Only nsuser.ini says so.
    setIni(l.userFile(), "settings", "Roaming User Current User Is Roaming", "0");
    EXPECT_FALSE(discover().IsRoamingUser());
    setIni(l.userFile(), "settings", "Roaming User Current User Is Roaming", "1");
    setIni(l.systemFile(), "settings", "Roaming User On", "0");
    EXPECT_TRUE(discover().IsRoamingUser());
    EXPECT_FALSE(nat->RoamingOn());

    // Only the roaming user's local.ini says so.
    setIni(l.userFile(), "settings", "Roaming User Current User Is Roaming", "0");
    setIni(l.systemFile(), "settings", "Roaming User On", "1");
    setIni(l.roamingCacheFolder() / "Jo" / "current" / "local.ini", "Options", "Roaming User Opened No Master", "1");
    EXPECT_TRUE(discover().IsRoamingUser());
    EXPECT_NE(readText(home() / "trace.vbl").find("current user is roaming true \r\n"), std::string::npos);

    // local.ini is only looked at in an installation that names roaming at all.
    auto text = readText(l.systemFile());
    const auto at = text.find("roaming user on=1");
    ASSERT_NE(at, std::string::npos);
    text.replace(at, 17, "");
    std::ofstream(l.systemFile(), std::ios::binary) << text;
    EXPECT_FALSE(discover().IsRoamingUser());
    EXPECT_FALSE(nat->RoamingOn());
    EXPECT_TRUE(nat->RoamingDirectory().empty());
    EXPECT_TRUE(nat->RoamingCacheDirectory().empty());
}

TEST_F(DiscoveryTest, AnEmptyRoamingCacheDirectoryIsBesideTheUsers) {
    install({.roaming = true});
    setIni(layout().systemFile(), "settings", "roaming user local cache directory", "");
    setIni(layout().userFile(), "settings", "user base directory", (layout().dataFolder() / "Users/").string());
    EXPECT_EQ(discover().RoamingCacheDirectory(), layout().dataFolder() / "roamingusers");
}

TEST_F(DiscoveryTest, ProductionOpenIgnoresCaseAndFollowsTheSpeaker) {
    install({.user = "Jo"});
    Nat& n = discover();
    const fs::path own = n.CurrentPath() / "mycmds.dat";
    EXPECT_TRUE(n.ProductionOpen(own));
    auto upper = own.string();
    std::transform(upper.begin(), upper.end(), upper.begin(), [](unsigned char c) { return std::toupper(c); });
    EXPECT_TRUE(n.ProductionOpen(upper));
    EXPECT_TRUE(n.ProductionOpen(n.CurrentPath() / ".." / "current" / "mycmds.dat"));
    EXPECT_FALSE(n.ProductionOpen(dir.path() / "copy" / "mycmds.dat"));

    changeSpeaker(root(), "Pat");
    // The user is read again; the path stays the one discovered at start-up.
    EXPECT_TRUE(n.ProductionOpen(own));
    EXPECT_EQ(n.UserName(), "Pat");
    EXPECT_EQ(n.UserSub(), "Pat");
    EXPECT_EQ(n.CurrentPath(), layout().usersFolder() / "Jo" / "current");
}

TEST_F(DiscoveryTest, TheMergeToolIsBesideDragonsOwnProgram) {
    install();
    dragon = std::make_unique<SimulatedDragon>(root());
    EXPECT_EQ(findMergeTool(dragon->engine(), dragon->windows()), layout().programFolder() / "mergemycmds");

    // Without the bar, a window titled after Dragon will do; without either, there is none.
    setIni(root() / "engine.ini", "Window 1", "Class", "Other");
    setIni(root() / "engine.ini", "Window 1", "Title", "Dragon NaturallySpeaking");
    dragon = std::make_unique<SimulatedDragon>(root());
    EXPECT_EQ(findMergeTool(dragon->engine(), dragon->windows()), layout().programFolder() / "mergemycmds");
    setIni(root() / "engine.ini", "Window 1", "Title", "Something else");
    dragon = std::make_unique<SimulatedDragon>(root());
    EXPECT_EQ(findMergeTool(dragon->engine(), dragon->windows()), std::nullopt);
}
