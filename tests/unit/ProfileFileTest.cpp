#include "TestHome.h"

#include "shell/ProfileFile.h"

#include <gtest/gtest.h>

#include <fstream>

using namespace vocabrella;
using namespace vocabrella::testsupport;

namespace {

class ProfileFileTest : public ::testing::Test {
protected:
    std::filesystem::path file() const { return dir.path() / "test.ini"; }
    void put(const std::string& content) {
        std::ofstream out(file(), std::ios::binary);
        out << content;
    }
    TempDir dir;
};

} // namespace

TEST_F(ProfileFileTest, NamesIgnoreCaseAndBlanksAndValuesAreTrimmed) {
    put("top=ignored\r\n[Settings]\r\n  Current User =  Jo Smith \t\r\n;Current User=comment\r\n"
        "[other]\r\ncurrent user=wrong section\r\n");
    const ProfileFile ini(file());
    EXPECT_EQ(ini.read("settings", "current user"), "Jo Smith");
    EXPECT_EQ(ini.read(" SETTINGS ", "CURRENT USER"), "Jo Smith");
    EXPECT_EQ(ini.read("other", "Current User"), "wrong section");
    EXPECT_EQ(ini.read("Settings", "top"), "");           // before any section: no section's
    EXPECT_EQ(ini.read("Settings", ";Current User"), ""); // comments are not keys
    EXPECT_EQ(ini.read("Settings", "missing"), "");
    EXPECT_EQ(ini.read("missing", "Current User"), "");
    EXPECT_EQ(ProfileFile(dir.path() / "none.ini").read("Settings", "x"), "");
}

TEST_F(ProfileFileTest, FirstOfDuplicateSectionsAndKeysWins) {
    put("[a]\nk=1\nk=2\n[A]\nk=3\nj=4\n");
    const ProfileFile ini(file());
    EXPECT_EQ(ini.read("a", "k"), "1");
    EXPECT_EQ(ini.read("a", "j"), ""); // only the first section named a is looked at
    ASSERT_TRUE(ini.write("A", "K", "9"));
    EXPECT_EQ(readText(file()), "[a]\nk=9\nk=2\n[A]\nk=3\nj=4\n");
}

TEST_F(ProfileFileTest, ReadsAtMost249BytesWithoutSplittingACharacter) {
    put("[s]\nlong=" + std::string(300, 'x') + "\nutf=" + std::string(248, 'y') + "\xC3\xA9z\n");
    const ProfileFile ini(file());
    EXPECT_EQ(ini.read("s", "long"), std::string(249, 'x'));
    // The two-byte character would straddle the limit: it is left out whole.
    EXPECT_EQ(ini.read("s", "utf"), std::string(248, 'y'));
}

TEST_F(ProfileFileTest, SectionsNamedByFullPaths) {
    const std::string section = "/home/jo/[odd] dir/a=b/mycmds.dat";
    const ProfileFile ini(file());
    ASSERT_TRUE(ini.write(section, "mrucount", "2"));
    ASSERT_TRUE(ini.write(section, "1", "Global Commands\tGlobal Commands\tcopy that"));
    EXPECT_EQ(ini.read(section, "mrucount"), "2");
    EXPECT_EQ(ini.read(section, "1"), "Global Commands\tGlobal Commands\tcopy that");
    EXPECT_EQ(ini.read("/HOME/JO/[ODD] DIR/A=B/MYCMDS.DAT", "MRUCOUNT"), "2");
    EXPECT_EQ(ini.sectionNames(), std::vector<std::string>{section});
    EXPECT_EQ(ini.keyNames(section), (std::vector<std::string>{"mrucount", "1"}));
}

TEST_F(ProfileFileTest, WritingKeepsEveryOtherLineAndTheLineEnds) {
    put("; Dragon settings\r\n[Settings]\r\nCurrent User=Jo\r\nOdd line without value\r\n\r\n[Options]\r\nx = 1\r\n");
    const ProfileFile ini(file());
    ASSERT_TRUE(ini.write("settings", "current user", "Pat"));   // in place, spelling of the file kept
    ASSERT_TRUE(ini.write("Settings", "Language", "ENX"));      // after the section's last line, before the blank
    ASSERT_TRUE(ini.write("New", "k", "v"));                     // a new section at the end
    EXPECT_EQ(readText(file()), "; Dragon settings\r\n[Settings]\r\nCurrent User=Pat\r\nOdd line without value\r\n"
                                "Language=ENX\r\n\r\n[Options]\r\nx = 1\r\n\r\n[New]\r\nk=v\r\n");
}

TEST_F(ProfileFileTest, WritingCreatesTheFileButNotItsFolder) {
    const ProfileFile ini(file());
    ASSERT_TRUE(ini.write("Vocabrella", "slider", "5"));
    EXPECT_EQ(readText(file()), "[Vocabrella]\r\nslider=5\r\n");
    EXPECT_FALSE(ProfileFile(dir.path() / "missing" / "x.ini").write("a", "b", "c"));
    EXPECT_FALSE(std::filesystem::exists(dir.path() / "missing"));
}

TEST_F(ProfileFileTest, WhatIsThereButCannotBeReadIsNeitherReadNorReplaced) {
    std::filesystem::create_directory(file());
    const ProfileFile ini(file());
    EXPECT_EQ(ini.read("s", "k"), "");
    EXPECT_FALSE(ini.write("s", "k", "1"));
    EXPECT_TRUE(std::filesystem::is_directory(file()));
    EXPECT_TRUE(ini.sectionNames().empty());
}

TEST_F(ProfileFileTest, WritesThatWouldChangeTheFilesStructureAreRefused) {
    put("[s]\nk=1\n");
    const ProfileFile ini(file());
    EXPECT_FALSE(ini.write("s", "k", "1\n[t]\nk=2"));
    EXPECT_FALSE(ini.write("s\r\nx", "k", "1"));
    EXPECT_FALSE(ini.write("s", "a=b", "1"));
    EXPECT_FALSE(ini.write("s", "[t]", "1"));
    EXPECT_FALSE(ini.write("s", ";k", "1"));
    EXPECT_FALSE(ini.write("", "k", "1"));
    EXPECT_FALSE(ini.write("s", " ", "1"));
    EXPECT_EQ(readText(file()), "[s]\nk=1\n");
}

TEST_F(ProfileFileTest, AByteOrderMarkIsKept) {
    put("\xEF\xBB\xBF[s]\nk=1\n");
    const ProfileFile ini(file());
    EXPECT_EQ(ini.read("s", "k"), "1");
    ASSERT_TRUE(ini.write("s", "k", "2"));
    EXPECT_EQ(readText(file()), "\xEF\xBB\xBF[s]\nk=2\n");
}

TEST(ProfileValues, BooleansTakeWordsOrNumbersAndNumbersRoundHalvesToEven) {
    EXPECT_EQ(profileBoolean("True"), true);
    EXPECT_EQ(profileBoolean("false"), false);
    EXPECT_EQ(profileBoolean("-1"), true);
    EXPECT_EQ(profileBoolean("0"), false);
    EXPECT_EQ(profileBoolean(" 2 "), true);
    EXPECT_EQ(profileBoolean("yes"), std::nullopt);
    EXPECT_EQ(profileBoolean(""), std::nullopt);
    EXPECT_EQ(profileInteger("634"), 634);
    EXPECT_EQ(profileInteger("-5"), -5);
    EXPECT_EQ(profileInteger("2.5"), 2);
    EXPECT_EQ(profileInteger("3.5"), 4);
    EXPECT_EQ(profileInteger("12px"), std::nullopt);
    EXPECT_EQ(profileInteger("99999999999"), std::nullopt);
}
