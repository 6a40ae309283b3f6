#include "TestHome.h"

#include "shell/ProfileFile.h"
#include "shell/platform/DragonFiles.h"
#include "shell/platform/SimulatedDragon.h"
#include "shell/platform/SimulatedInstallation.h"

#include <gtest/gtest.h>

#include <fstream>

using namespace vocabrella;
using namespace vocabrella::platform;
using namespace vocabrella::testsupport;
namespace fs = std::filesystem;

namespace {

class PlatformSimulation : public ::testing::Test {
protected:
    void SetUp() override {
        createInstallation(root(), {.user = "Jo"});
        dragon.emplace(root());
    }
    fs::path root() const { return dir.path() / "dragon"; }

    // The "Global" menu as the program builds it: always active, with number LISTs.
    SimulatedVoiceMenu& globalMenu() {
        auto& menu = dragon->voiceCommands().createMenu("Vocabrella", "Global", 1033, "", 1);
        menu.add(1, "commands", "Spoken controls", "Set focus to commands");
        menu.add(5, "slider <slidernumbers>", "Spoken controls", "");
        menu.add(8, "group all groups", "Spoken controls", "", "SendKeys \"{Alt+g}{up}{enter}\"", 1);
        menu.add(8, "all groups", "Spoken controls", "", "SendKeys \"{Alt+g}{up}{enter}\"", 1);
        std::vector<std::string> numbers;
        for (int i = 1; i <= 10; ++i) numbers.push_back(std::to_string(i));
        menu.setList("slidernumbers", numbers);
        menu.activate(true);
        return static_cast<SimulatedVoiceMenu&>(menu);
    }

    TempDir dir;
    std::optional<SimulatedDragon> dragon;
};

} // namespace

TEST_F(PlatformSimulation, TheEngineReportsWhatEngineIniSays) {
    auto& engine = dragon->engine();
    engine.Register(1);
    EXPECT_TRUE(engine.registered());
    EXPECT_EQ(engine.productFlags(), 0x10u);
    const auto v = engine.version();
    EXPECT_EQ(v.major, 12);
    EXPECT_EQ(v.minor, 30);
    EXPECT_EQ(engine.currentSpeaker(), "Jo");
    EXPECT_EQ(engine.speakerLanguage("JO"), 1033);
    EXPECT_THROW(engine.speakerLanguage("Nobody"), DragonError);
    const InstallationLayout layout{fs::absolute(root()), 12};
    EXPECT_EQ(engine.userDataPrefix(), layout.usersFolder().string());

    auto& windows = dragon->windows();
    EXPECT_EQ(windows.windowTitle(windows.foregroundWindow()), "Untitled - Notepad");
    const auto bar = windows.findWindow("DgnBarMainWindowCls", {});
    ASSERT_NE(bar, 0u);
    EXPECT_EQ(windows.windowTitle(bar), "DragonBar");
    EXPECT_EQ(engine.moduleOfWindow(bar), (layout.programFolder() / "natspeak").string());
    EXPECT_THROW(engine.moduleOfWindow(99), DragonError);

    const auto folders = dragon->specialFolders();
    EXPECT_EQ(folders.commonAppData, layout.commonAppData());
    EXPECT_EQ(folders.userAppData, layout.userAppData());
    EXPECT_EQ(folders.appData, layout.userAppData());
}

TEST_F(PlatformSimulation, WithoutAnInstallationEveryEngineCallFails) {
    SimulatedDragon none(std::nullopt);
    try {
        none.engine().Register(1);
        FAIL() << "registered without an installation";
    } catch (const DragonError& e) {
        EXPECT_EQ(e.code(), DragonError::kNotInstalled);
    }
    EXPECT_THROW(none.engine().currentSpeaker(), DragonError);
    EXPECT_THROW(none.engine().version(), DragonError);
    EXPECT_TRUE(none.specialFolders().commonAppData.empty());
    EXPECT_TRUE(none.pollEvents().empty());

    SimulatedDragon empty(dir.path() / "empty");
    EXPECT_THROW(empty.engine().Register(1), DragonError);
}

TEST_F(PlatformSimulation, ASpeakerChangeIsDeliveredWhenPolled) {
    changeSpeaker(root(), "Before"); // sent before this program started: not for it
    SimulatedDragon program(root());
    std::vector<std::string> seen;
    program.engine().onSpeakerChange([&] { seen.push_back(program.engine().currentSpeaker()); });
    EXPECT_TRUE(program.pollEvents().empty());

    changeSpeaker(root(), "Pat");
    EXPECT_TRUE(seen.empty()); // nothing happens until the program polls
    const auto events = program.pollEvents();
    ASSERT_EQ(events.size(), 1u);
    EXPECT_EQ(events[0].kind, DragonEvent::Kind::SpeakerChange);
    EXPECT_EQ(events[0].text, "Pat");
    EXPECT_EQ(seen, std::vector<std::string>{"Pat"});
    EXPECT_TRUE(program.pollEvents().empty());
}

TEST_F(PlatformSimulation, WordsAreMatchedAgainstTheActiveMenus) {
    auto& global = globalMenu();
    auto& numbered = static_cast<SimulatedVoiceMenu&>(
        dragon->voiceCommands().createMenu("Vocabrella", "Numbered", 1033, "", 1));
    numbered.setList("programnumbers", {"1", "2", "3", "twenty one"});
    numbered.add(20, "<programnumbers>", "Spoken controls", "", "SendKeys \"{down \" & _arg1 & \"}{enter}\"", 1);

    std::vector<Recognition> heard;
    dragon->voiceCommands().onRecognition([&](const Recognition& r) {
        heard.push_back(r);
        if (r.id == 20) { // as the program does: the number command goes once used
            numbered.activate(false);
            numbered.remove(20);
        }
    });

    sayWords(root(), "Slider   7");
    sayWords(root(), "slider 11");
    sayWords(root(), "3"); // the numbered menu is not active yet
    dragon->pollEvents();
    ASSERT_EQ(heard.size(), 1u);
    EXPECT_EQ(heard[0].id, 5);
    EXPECT_EQ(heard[0].words, "Slider 7");
    EXPECT_EQ(heard[0].words.substr(7), "7"); // what the program takes from the eighth character on
    EXPECT_EQ(heard[0].arguments, std::vector<std::string>{"7"});

    numbered.activate(true);
    sayWords(root(), "twenty one");
    sayWords(root(), "all groups");
    dragon->pollEvents();
    ASSERT_EQ(heard.size(), 3u);
    EXPECT_EQ(heard[1].id, 20);
    EXPECT_EQ(heard[1].arguments, std::vector<std::string>{"twenty one"});
    EXPECT_EQ(heard[2].id, 8);
    EXPECT_TRUE(numbered.commands().empty());
    EXPECT_FALSE(numbered.active());

    // Actions are Dragon's to run: their keys went to the foreground window.
    const auto* notepad = dragon->windows().window(dragon->windows().foregroundWindow());
    ASSERT_NE(notepad, nullptr);
    EXPECT_EQ(notepad->receivedKeys, (std::vector<std::string>{"{down twenty one}{enter}", "{Alt+g}{up}{enter}"}));
    EXPECT_EQ(global.commands().size(), 4u);
}

TEST_F(PlatformSimulation, AnIdentifierMayCarrySeveralSpokenForms) {
    auto& menu = globalMenu();
    menu.add(8, "group <groupnumbers>", "Spoken controls", "", "SendKeys \"{Alt+g}{down \" & _arg1 & \"}{up}{enter}\"", 1);
    menu.add(8, "group <groupnumbers>", "Spoken controls", "again", "", 0); // added on every rebuild: replaces
    EXPECT_EQ(std::count_if(menu.commands().begin(), menu.commands().end(), [](const auto& c) { return c.id == 8; }), 3);
    EXPECT_EQ(menu.commands().back().description, "again");
    menu.remove(8);
    EXPECT_EQ(menu.commands().size(), 2u);
    EXPECT_THROW(dragon->voiceCommands().createMenu("VOCABRELLA", "global", 1033, "", 1), DragonError);
}

TEST_F(PlatformSimulation, TheEventsFileIsReadLineByLine) {
    const fs::path file = root() / "events";
    {
        std::ofstream out(file, std::ios::app | std::ios::binary);
        out << "say\tcomm";
    }
    EXPECT_TRUE(dragon->pollEvents().empty()); // the line is not complete yet
    {
        std::ofstream out(file, std::ios::app | std::ios::binary);
        out << "ands\r\nnonsense line\nother\tkind\n";
    }
    auto events = dragon->pollEvents();
    ASSERT_EQ(events.size(), 1u);
    EXPECT_EQ(events[0].text, "commands");

    fs::remove(file); // replaced by a new file: read from its start
    sayWords(root(), "lists");
    events = dragon->pollEvents();
    ASSERT_EQ(events.size(), 1u);
    EXPECT_EQ(events[0].text, "lists");
    EXPECT_THROW(appendEvent(root(), {DragonEvent::Kind::Recognition, "two\nlines"}), std::invalid_argument);
}

TEST_F(PlatformSimulation, TheCommandEditorOpensAsTheForegroundWindow) {
    auto& engine = dragon->engine();
    auto& windows = dragon->windows();
    EXPECT_EQ(windows.findWindow({}, "MyCommands Editor"), 0u);
    engine.openDialog(DragonEngine::kCommandEditorDialog, 0);
    const auto editor = windows.findWindow({}, "MyCommands Editor");
    ASSERT_NE(editor, 0u);
    EXPECT_EQ(windows.foregroundWindow(), editor);
    std::vector<std::pair<WindowHandle, std::string>> sent;
    windows.onKeys([&](WindowHandle w, const std::string& keys) { sent.emplace_back(w, keys); });
    windows.sendKeys("%y{end}", true);
    EXPECT_EQ(windows.window(editor)->receivedKeys, std::vector<std::string>{"%y{end}"});
    ASSERT_EQ(sent.size(), 1u);
    EXPECT_EQ(sent[0].first, editor);

    windows.close(editor);
    EXPECT_EQ(windows.foregroundWindow(), 0u);
    windows.sendKeys("lost", false); // no window in front: nobody receives them
    EXPECT_FALSE(windows.bringToFront(editor));
    EXPECT_THROW(engine.openDialog(3, 0), DragonError);
}

TEST(PlatformSendKeysAction, OnlySendKeysLinesOfStringsAndArgumentsAreRun) {
    EXPECT_EQ(sendKeysOfAction("SendKeys \"{Alt+r}{down \" & _arg1 & \"}{up}{enter}\"", {"3"}),
              "{Alt+r}{down 3}{up}{enter}");
    EXPECT_EQ(sendKeysOfAction("  sendkeys \"say \"\"hi\"\", then\" , true", {}), "say \"hi\", then");
    EXPECT_EQ(sendKeysOfAction("SendKeys _arg2", {"1"}), std::nullopt);
    EXPECT_EQ(sendKeysOfAction("SendKeys \"a\" &", {}), std::nullopt);
    EXPECT_EQ(sendKeysOfAction("SendKeys \"a", {}), std::nullopt);
    EXPECT_EQ(sendKeysOfAction("MsgBox \"a\"", {}), std::nullopt);
    EXPECT_EQ(sendKeysOfAction("SendKeys \"a\" \"b\"", {}), std::nullopt);
}
