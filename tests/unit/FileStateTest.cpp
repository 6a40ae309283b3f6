// The fresh reading the change tests compare against: it must see every field, and its
// assertions must name the field that differs.
#include "TestHome.h"

#include "CommandFileBuilder.h"
#include "FileState.h"

#include "shell/Session.h"

using namespace vocabrella;
using namespace vocabrella::testsupport;
namespace fs = std::filesystem;

namespace {

CommandFileBuilder smallFile() {
    CommandFileBuilder b(7);
    BuiltCommand c;
    c.name = "open <app>";
    c.lists = {"app"};
    c.kind = kKindAdvancedScript;
    c.text = "Sub Main\r\nEnd Sub\r\n";
    c.description = "opens it";
    c.group = "Work";
    b.add(c);
    BuiltCommand w;
    w.name = "bold it";
    w.kind = kKindKeys;
    w.text = "{Ctrl+b}";
    w.group = "Writing";
    w.scopeByte = kScopeWindow;
    w.module = "WINWORD";
    w.programDescription = "Word";
    w.company = "Maker";
    w.windowTitle = "Document1";
    w.windowClass = "OpusApp";
    w.states = {"Normal"};
    b.add(w);
    b.add(BuiltList("app", {"word", "excel"}));
    return b;
}

} // namespace

TEST(FileState, ReadsEveryFieldAndNamesTheOneThatDiffers) {
    TempDir dir;
    const auto file = dir.path() / "mycmds.dat";
    smallFile().writeFile(file);

    const auto state = FileState::read(file);
    ASSERT_EQ(state.rows.size(), 3u);
    const auto* open = state.findGlobal("OPEN <APP>");
    ASSERT_TRUE(open);
    EXPECT_EQ(open->type, "A");
    EXPECT_EQ(open->description, "opens it");
    EXPECT_EQ(open->group, "Work");
    EXPECT_EQ(open->lists, 1);
    const auto* bold = state.find("WINWORD", "Document1", "bold it");
    ASSERT_TRUE(bold);
    EXPECT_EQ(bold->scopeCode, "W");
    EXPECT_EQ(bold->states, std::vector<std::string>{"Normal"});
    EXPECT_EQ(bold->body, "{Ctrl+b}");
    const auto* app = state.findGlobal("app");
    ASSERT_TRUE(app);
    EXPECT_EQ(app->items, (std::vector<std::string>{"word", "excel"}));
    EXPECT_GT(state.offsetLists, open->offset);

    EXPECT_TRUE(FileHolds(file, {command("open <app>").ofType("A").withDescription("opens it").inGroup("Work"),
                                 command("bold it").in("WINWORD", "Document1").withBody("{Ctrl+b}"),
                                 list("app", {"word", "excel"})}));
    EXPECT_TRUE(FileHolds(file, state));

    const auto failure = FileHolds(file, {command("open <app>").inGroup("Play"), list("app", {"word"}),
                                          command("gone")});
    ASSERT_FALSE(failure);
    const std::string message = failure.message();
    EXPECT_NE(message.find("open <app>: group is \"Work\", expected \"Play\""), std::string::npos) << message;
    EXPECT_NE(message.find("app: items is {\"word\", \"excel\"}, expected {\"word\"}"), std::string::npos) << message;
    EXPECT_NE(message.find("gone: missing from the file"), std::string::npos) << message;
    EXPECT_NE(message.find("bold it: in the file but not expected"), std::string::npos) << message;

    auto changed = state;
    changed.global("open <app>").description = "else";
    const auto differs = FileHolds(file, changed);
    ASSERT_FALSE(differs);
    EXPECT_NE(std::string(differs.message()).find("description is \"opens it\", expected \"else\""), std::string::npos);

    ScriptedPrompter prompter;
    FakeClock clock;
    Session session(dir.path() / "home", prompter, clock);
    ASSERT_TRUE(session.open(file).success);
    EXPECT_TRUE(StoreAgreesWithFile(session.store(), file));
    const auto row = session.store().findUser("Global Commands", "Global Commands", "open <app>");
    ASSERT_TRUE(row);
    session.store().moveBody(row->ID, 3);
    const auto moved = StoreAgreesWithFile(session.store(), file);
    ASSERT_FALSE(moved);
    EXPECT_NE(std::string(moved.message()).find("body position"), std::string::npos) << moved.message();
}
