#include "TestHome.h"

#include "shell/ProfileFile.h"
#include "shell/Settings.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>

using namespace vocabrella;
using namespace vocabrella::testsupport;

namespace {

class SettingsTest : public ::testing::Test {
protected:
    void SetUp() override {
        trace.open(dir.path() / "trace.vbl", clock.now());
        settings.emplace(dir.path(), trace);
    }
    std::filesystem::path iniFile() const { return dir.path() / "Vocabrella.INI"; }
    std::filesystem::path commandFile() const { return dir.path() / "Users" / "Jo" / "current" / "mycmds.dat"; }
    std::string section() const { return commandFile().string(); }
    void put(const std::string& content) {
        std::ofstream out(iniFile(), std::ios::binary);
        out << content;
    }
    UserRow row(const std::string& menu, const std::string& state, const std::string& name) {
        UserRow r;
        r.menu = menu;
        r.state = state;
        r.name = name;
        r.Type = "K";
        return r;
    }

    TempDir dir;
    FakeClock clock;
    Trace trace;
    std::optional<Settings> settings;
};

} // namespace

TEST_F(SettingsTest, TheFirstRunFillsTheFileWithEveryKeyAndDefault) {
    settings->GetOptions(commandFile());
    EXPECT_EQ(readText(iniFile()), "[Vocabrella]\r\n"
                                   "maximized=0\r\n"
                                   "form top=50\r\n"
                                   "form left=50\r\n"
                                   "form right=576\r\n"
                                   "form bottom=634\r\n"
                                   "swap user=VocabrellaSwapUser\r\n"
                                   "save user=Ask\r\n"
                                   "no convert keys help=0\r\n"
                                   "dont show auto import=False\r\n"
                                   "dont show auto import reg=False\r\n"
                                   "dont show reopen user=False\r\n"
                                   "dont show faster reopen user=False\r\n"
                                   "dont show roam save user=False\r\n"
                                   "slider=5\r\n"
                                   "number menus=True\r\n"
                                   "font=MS Sans Serif\r\n"
                                   "fontsize=10\r\n"
                                   "fixedfont=Courier New\r\n"
                                   "\r\n[" + section() + "]\r\n"
                                   "mrucount=0\r\n");
    const auto& o = settings->options();
    EXPECT_FALSE(o.maximized);
    EXPECT_EQ(o.formTop, 50);
    EXPECT_EQ(o.formLeft, 50);
    EXPECT_EQ(o.formRight, 576);
    EXPECT_EQ(o.formBottom, 634);
    EXPECT_EQ(o.swapUser, "VocabrellaSwapUser");
    EXPECT_EQ(o.saveUser, "Ask");
    EXPECT_FALSE(o.noConvertKeysHelp);
    EXPECT_FALSE(o.dontShowAutoImport);
    EXPECT_FALSE(o.dontShowRoamSaveUser);
    EXPECT_EQ(o.slider, 5);
    EXPECT_TRUE(o.numberMenus);
    EXPECT_EQ(o.font, "MS Sans Serif");
    EXPECT_EQ(o.fontsize, 10);
    EXPECT_EQ(o.fixedfont, "Courier New");
    EXPECT_TRUE(settings->recentlyModified().empty());
}

TEST_F(SettingsTest, StoredValuesAreReadAndEmptyOnesReplacedByTheirDefault) {
    put("[VOCABRELLA]\r\nmaximized=1\r\nform top=-8\r\nslider=\r\nnumber menus=False\r\n"
        "dont show roam save user=-1\r\nno convert keys help=-1\r\nfontsize=12\r\nfont=Arial\r\n");
    settings->GetOptions(commandFile());
    const auto& o = settings->options();
    EXPECT_TRUE(o.maximized);
    EXPECT_EQ(o.formTop, -8);
    EXPECT_EQ(o.slider, 5);
    EXPECT_FALSE(o.numberMenus);
    EXPECT_TRUE(o.dontShowRoamSaveUser);
    EXPECT_TRUE(o.noConvertKeysHelp);
    EXPECT_EQ(o.fontsize, 12);
    EXPECT_EQ(o.font, "Arial");
    const ProfileFile ini(iniFile());
    EXPECT_EQ(ini.read("Vocabrella", "slider"), "5");
    EXPECT_EQ(ini.read("Vocabrella", "form top"), "-8");
}

TEST_F(SettingsTest, UnreadableValuesCountAsTheirDefault) {
    put("[Vocabrella]\r\nform left=wide\r\nnumber menus=perhaps\r\nslider=42\r\nmaximized=yes\r\n");
    settings->GetOptions(commandFile());
    const auto& o = settings->options();
    EXPECT_EQ(o.formLeft, 50);
    EXPECT_TRUE(o.numberMenus);
    EXPECT_EQ(o.slider, 10); // the slider goes from 0 to 10
    EXPECT_FALSE(o.maximized);
}

TEST_F(SettingsTest, GetIniSettingUsesTheGivenSectionAndWritesOnlyMissingValues) {
    EXPECT_EQ(settings->GetIniSetting("k", "d", "Other"), "d");
    EXPECT_EQ(settings->GetIniSetting("k", "changed", "Other"), "d");
    EXPECT_EQ(settings->GetIniSetting("empty default", "", ""), "");
    EXPECT_EQ(readText(iniFile()), "[Other]\r\nk=d\r\n");
}

TEST_F(SettingsTest, ChangesAreWrittenAtOnceInTheirOwnForms) {
    settings->setNumberMenus(false);
    settings->setDontShowRoamSaveUser();
    settings->setDontShowAutoImport();
    settings->setNoConvertKeysHelp();
    settings->setSlider(7);
    settings->writeWindowPlacement(10, 20, 300, 400, true);
    const ProfileFile ini(iniFile());
    EXPECT_EQ(ini.read("Vocabrella", "number menus"), "False");
    EXPECT_EQ(ini.read("Vocabrella", "dont show roam save user"), "-1");
    EXPECT_EQ(ini.read("Vocabrella", "dont show auto import"), "-1");
    EXPECT_EQ(ini.read("Vocabrella", "no convert keys help"), "-1");
    EXPECT_EQ(ini.read("Vocabrella", "slider"), "7");
    EXPECT_EQ(ini.read("Vocabrella", "form top"), "10");
    EXPECT_EQ(ini.read("Vocabrella", "form left"), "20");
    EXPECT_EQ(ini.read("Vocabrella", "form right"), "300");
    EXPECT_EQ(ini.read("Vocabrella", "form bottom"), "400");
    EXPECT_EQ(ini.read("Vocabrella", "maximized"), "1");
    settings->GetOptions(commandFile());
    EXPECT_FALSE(settings->options().numberMenus);
    EXPECT_TRUE(settings->options().dontShowRoamSaveUser);
    EXPECT_TRUE(settings->options().maximized);
}

TEST_F(SettingsTest, RecentlyModifiedListKeepsOneEntryPerCommandAndAtMostThirteen) {
    const auto entry = [](int i) { return Settings::mruEntry("Word", "Document", "cmd " + std::to_string(i), false); };
    EXPECT_EQ(Settings::mruEntry("Word", "x", "colours", true), "Global Commands\tGlobal Commands\tcolours");

    settings->MRUUpdate(entry(1), false);
    settings->MRUUpdate(entry(2), false);
    settings->MRUUpdate(entry(1), true); // saved again: moved to the top, not added
    EXPECT_EQ(settings->recentlyModified(), (std::vector<std::string>{entry(1), entry(2)}));
    settings->MRUUpdate(entry(1), false); // a new command of the same name is added anyway
    EXPECT_EQ(settings->recentlyModified().size(), 3u);

    for (int i = 3; i <= 14; ++i) settings->MRUUpdate(entry(i), true);
    ASSERT_EQ(settings->recentlyModified().size(), 13u);
    EXPECT_EQ(settings->recentlyModified().front(), entry(14));
    // The oldest two went out: cmd 2 and the older copy of cmd 1.
    EXPECT_EQ(settings->recentlyModified().back(), entry(1));
    EXPECT_EQ(std::count(settings->recentlyModified().begin(), settings->recentlyModified().end(), entry(1)), 1);
    EXPECT_NE(readText(dir.path() / "trace.vbl").find("MRUUpdate True "), std::string::npos);
}

TEST_F(SettingsTest, MRUOutputDropsGoneAndMalformedEntriesAndRenumbers) {
    auto store = CommandStore::create(dir.path() / "global.mdb");
    store.insertUser(row("Word", "Document", "bold that"));
    store.insertUser(row("Global Commands", "Global Commands", "colours"));
    put("[" + section() + "]\r\nmrucount=5\r\n1=Word\tDocument\tbold that\r\n2=Word\tDocument\tdeleted\r\n"
        "3=no tabs\r\n4=Global Commands\tGlobal Commands\tcolours\r\n5=a\tb\tc\td\r\n");
    settings->GetOptions(commandFile());
    ASSERT_EQ(settings->recentlyModified().size(), 5u);

    settings->MRUOutput(store, commandFile());
    EXPECT_EQ(settings->recentlyModified(),
              (std::vector<std::string>{"Word\tDocument\tbold that", "Global Commands\tGlobal Commands\tcolours"}));
    const ProfileFile ini(iniFile());
    EXPECT_EQ(ini.read(section(), "mrucount"), "2");
    EXPECT_EQ(ini.read(section(), "2"), "Global Commands\tGlobal Commands\tcolours");
    const auto traced = readText(dir.path() / "trace.vbl");
    EXPECT_NE(traced.find("mru not found Word\tDocument\tdeleted "), std::string::npos);
    EXPECT_NE(traced.find("BAD MRU -  no tabs "), std::string::npos);
    EXPECT_NE(traced.find("BAD MRU -  a\tb\tc\td "), std::string::npos);
    EXPECT_NE(traced.find("MRUcount= 2 "), std::string::npos);
}

TEST_F(SettingsTest, AnOverlongCountInTheFileReadsThirteenEntries) {
    std::string content = "[" + section() + "]\r\nmrucount=40\r\n";
    for (int i = 1; i <= 40; ++i) content += std::to_string(i) + "=p\ts\tn" + std::to_string(i) + "\r\n";
    put(content);
    settings->GetOptions(commandFile());
    EXPECT_EQ(settings->recentlyModified().size(), 13u);
}
