#include "TestHome.h"

#include "shell/ProfileFile.h"
#include "shell/platform/SimulatedInstallation.h"

#include <gtest/gtest.h>

using namespace vocabrella;
using namespace vocabrella::platform;
using namespace vocabrella::testsupport;
namespace fs = std::filesystem;

namespace {

class DragonsimInstallation : public ::testing::Test {
protected:
    fs::path root() const { return dir.path() / "dragon"; }
    InstallationLayout layout(int major = 12) const { return {root(), major}; }
    std::string read(const fs::path& file, std::string_view section, std::string_view key) const {
        return ProfileFile(file).read(section, key);
    }
    TempDir dir;
};

class DragonsimCommandFile : public ReaderFixture {};

} // namespace

TEST(DragonsimVersion, MajorDotMinorAsTheEngineReportsIt) {
    EXPECT_EQ(parseDragonVersion("12.3"), std::make_pair(12, 30));
    EXPECT_EQ(parseDragonVersion("12.35"), std::make_pair(12, 35));
    EXPECT_EQ(parseDragonVersion("9"), std::make_pair(9, 0));
    for (const char* bad : {"", "x", "12.", ".3", "12.345", "12.3a", "-1.0", "0.5"})
        EXPECT_EQ(parseDragonVersion(bad), std::nullopt) << bad;
    EXPECT_EQ(dragonLanguageCode(1033), "ENX");
    EXPECT_EQ(dragonLanguageCode(3081), "ENX");
    EXPECT_EQ(dragonLanguageCode(1031), "DEU");
    EXPECT_EQ(dragonLanguageCode(1041), "");
}

TEST_F(DragonsimInstallation, InitWritesEveryFileOfTheLayout) {
    createInstallation(root(), {.majorVersion = 11, .engineMinor = 50, .user = "Jo", .language = 1036});
    const auto l = layout(11);
    for (const auto& file : {l.systemFile(), l.userFile(), l.logFile(), l.engineFile(),
                             l.usersFolder() / "Jo" / "current" / "options.ini",
                             l.usersFolder() / "Jo" / "current" / "mycmds.dat"})
        EXPECT_TRUE(fs::is_regular_file(file)) << file;
    EXPECT_TRUE(fs::is_directory(l.programFolder()));
    EXPECT_EQ(read(l.systemFile(), "Settings", "Supported Languages"), "FRA");
    EXPECT_EQ(read(l.systemFile(), "Settings", "FRA Base DVC Directory"), "FRA");
    EXPECT_EQ(read(l.userFile(), "Settings", "Current User"), "Jo");
    EXPECT_EQ(read(l.engineFile(), "Engine", "Major Version"), "11");
    EXPECT_EQ(read(l.engineFile(), "Engine", "Minor Version"), "50");
    EXPECT_EQ(read(l.engineFile(), "Speakers", "Jo"), "1036");
    EXPECT_EQ(read(l.usersFolder() / "Jo" / "current" / "options.ini", "Options", "SpeakerLanguageID"), "1036");
    EXPECT_EQ(read(l.systemFile(), "Settings", "Roaming User On"), "");
    EXPECT_EQ(InstallationLayout::of(root()).majorVersion, 11);
}

TEST_F(DragonsimInstallation, InitRefusesWhatItCannotMake) {
    fs::create_directories(root());
    std::ofstream(root() / "something") << "x";
    EXPECT_THROW(createInstallation(root(), {}), std::runtime_error);
    EXPECT_THROW(createInstallation(dir.path() / "a", {.language = 1041}), std::runtime_error);
    EXPECT_THROW(createInstallation(dir.path() / "b", {.user = "../escape"}), std::runtime_error);
    EXPECT_THROW(createInstallation(dir.path() / "c", {.commands = dir.path() / "missing.dat"}), std::runtime_error);
    EXPECT_THROW(changeSpeaker(dir.path() / "none", "Pat"), std::runtime_error);
    EXPECT_THROW(sayWords(dir.path() / "none", "commands"), std::runtime_error);
}

TEST_F(DragonsimInstallation, TheUsersCommandFileComesFromTheOptions) {
    const fs::path given = dir.path() / "given.dat";
    std::ofstream(given, std::ios::binary) << "LHSP-not-checked";
    createInstallation(root(), {.user = "Jo", .commands = given});
    EXPECT_EQ(readText(layout().usersFolder() / "Jo" / "current" / "mycmds.dat"), "LHSP-not-checked");

    const fs::path tool = dir.path() / "tool";
    std::ofstream(tool) << "#!/bin/sh\n";
    fs::path written;
    createInstallation(dir.path() / "demo", {.writeCommands = [&](const fs::path& p) {
                                                  written = p;
                                                  std::ofstream(p) << "demo";
                                              },
                                              .mergeTool = tool});
    const InstallationLayout demo{dir.path() / "demo", 12};
    EXPECT_EQ(written, demo.usersFolder() / "Speaker" / "current" / "mycmds.dat");
    EXPECT_EQ(readText(written), "demo");
    const auto merge = demo.programFolder() / "mergemycmds";
    ASSERT_TRUE(fs::exists(merge));
#ifndef _WIN32 // Windows has no permission to run a file
    EXPECT_NE(fs::status(merge).permissions() & fs::perms::owner_exec, fs::perms::none);
#endif
}

TEST_F(DragonsimInstallation, ARoamingUserLivesInTheLocalCache) {
    createInstallation(root(), {.user = "Jo", .roaming = true});
    const auto l = layout();
    EXPECT_EQ(read(l.systemFile(), "settings", "roaming user on"), "1");
    EXPECT_EQ(read(l.systemFile(), "settings", "roaming user master directory"), l.roamingMasterFolder().string());
    EXPECT_EQ(read(l.systemFile(), "settings", "roaming user local cache directory"), l.roamingCacheFolder().string());
    EXPECT_EQ(read(l.userFile(), "settings", "user base directory"), l.roamingCacheFolder().string());
    EXPECT_EQ(read(l.userFile(), "settings", "Roaming User Current User Is Roaming"), "1");
    EXPECT_TRUE(fs::exists(l.roamingCacheFolder() / "Jo" / "current" / "local.ini"));
    EXPECT_TRUE(fs::exists(l.roamingCacheFolder() / "Jo" / "current" / "mycmds.dat"));

    changeSpeaker(root(), "Pat"); // a new user joins the same kind of users
    EXPECT_TRUE(fs::exists(l.roamingCacheFolder() / "Pat" / "current" / "local.ini"));
}

TEST_F(DragonsimInstallation, ChangingTheSpeakerUpdatesDragonsFilesAndTellsPrograms) {
    createInstallation(root(), {.user = "Jo", .language = 1031});
    const auto l = layout();
    changeSpeaker(root(), "Pat");
    EXPECT_EQ(read(l.engineFile(), "Engine", "Current Speaker"), "Pat");
    EXPECT_EQ(read(l.userFile(), "Settings", "Current User"), "Pat");
    EXPECT_EQ(read(l.engineFile(), "Speakers", "Pat"), "1031"); // a new user speaks the current one's language
    EXPECT_EQ(read(l.usersFolder() / "Pat" / "current" / "options.ini", "Options", "SpeakerLanguageID"), "1031");
    const auto file = readText(l.usersFolder() / "Pat" / "current" / "mycmds.dat");
    ASSERT_EQ(file.size(), 25u);
    EXPECT_EQ(file[15], 7);

    std::ofstream(l.usersFolder() / "Jo" / "current" / "mycmds.dat", std::ios::binary) << "kept";
    changeSpeaker(root(), "jo"); // an existing user is not made again
    EXPECT_EQ(readText(l.usersFolder() / "Jo" / "current" / "mycmds.dat"), "kept");
    sayWords(root(), "commands");
    EXPECT_EQ(readText(root() / "events"), "speaker\tPat\nspeaker\tjo\nsay\tcommands\n");
}

TEST_F(DragonsimCommandFile, TheEmptyCommandFileIsOneTheReaderAccepts) {
    writeEmptyCommandFile(file(), 12, 30, 1033);
    const auto bytes = readText(file());
    EXPECT_EQ(bytes, std::string("LHSP\x07\x02\x87\0\0\0\0\0\0\0\0\x09\x04\0\0\0\0\0\0\0\0", 25));
    const auto outcome = reader->ReadCommandFile(true, file());
    EXPECT_TRUE(outcome.success) << outcome.problem;
    EXPECT_EQ(reader->file().info.commandCount, 0u);
    EXPECT_EQ(reader->file().info.listCount, 0u);
    EXPECT_EQ(store->userCount(), 0);

    writeEmptyCommandFile(file("old.dat"), 9, 10, 1031);
    const auto old = readText(file("old.dat"));
    EXPECT_EQ(old[4], 6);  // the 8/9 format
    EXPECT_EQ(old[15], 7); // German
}
