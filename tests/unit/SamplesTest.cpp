#include "TestHome.h"

#include "CommandFileBuilder.h"

#include "cmdfile/Errors.h"

#include <random>

using namespace vocabrella;
using namespace vocabrella::testsupport;

namespace {

class Samples : public ReaderFixture {
protected:
    std::vector<UserRow> readSample(const std::string& name) {
        const auto outcome = reader->ReadCommandFile(true, sample(name));
        EXPECT_TRUE(outcome.success) << outcome.problem;
        EXPECT_EQ(reader->file().info.versionName, "10.0");
        EXPECT_EQ(reader->file().info.languageName, "English");
        return store->allUsers();
    }
};

} // namespace

TEST_F(Samples, ReplyIsAStepByStepOutlookCommand) {
    const auto r = readSample("reply.dat");
    ASSERT_EQ(r.size(), 1u);
    EXPECT_EQ(r[0].name, "reply");
    EXPECT_EQ(r[0].Type, "X");
    EXPECT_EQ(r[0].scope, "A");
    EXPECT_EQ(r[0].menu, "OUTLOOK");
    EXPECT_EQ(r[0].state, "Application-specific");
    EXPECT_EQ(r[0].owner, "Outlook");
    EXPECT_EQ(r[0].PDescript, 17);   // "Microsoft Outlook"
    EXPECT_EQ(r[0].CompanyName, 21); // "Microsoft Corporation"
    EXPECT_EQ(r[0].states, "");
    EXPECT_EQ(r[0].script, "Press Ctrl + R");
    EXPECT_EQ(store->parameters().OffsetLists, 123);
    EXPECT_EQ(reader->file().info.size, 126u);
    EXPECT_EQ(reader->file().info.listCount, 0u);
}

TEST_F(Samples, MoveDockWindowIsAGlobalAdvancedScriptWithTwoLists) {
    const auto r = readSample("move-dock-window.dat");
    ASSERT_EQ(r.size(), 3u);
    EXPECT_EQ(r[0].name, "<move_or_dock> window <direction>");
    EXPECT_EQ(r[0].Type, "A");
    EXPECT_EQ(r[0].scope, "G");
    EXPECT_EQ(r[0].owner, "Windows");
    EXPECT_EQ(r[0].lists, 2);
    EXPECT_EQ(r[0].script.size(), 1226u);
    EXPECT_EQ(r[1].name, "direction");
    EXPECT_EQ(r[1].script, "left\r\nright\r\nup\r\ndown\r\n");
    EXPECT_EQ(r[2].name, "move_or_dock");
    EXPECT_EQ(r[2].script, "move\r\ndock\r\n");
    EXPECT_EQ(store->parameters().OffsetLists, 1348);
}

TEST_F(Samples, ClearCategoriesIsAnOutlookAdvancedScript) {
    const auto r = readSample("clear-categories.dat");
    ASSERT_EQ(r.size(), 2u);
    EXPECT_EQ(r[0].name, "clear <outlook_categories_plural>");
    EXPECT_EQ(r[0].Type, "A");
    EXPECT_EQ(r[0].menu, "OUTLOOK");
    EXPECT_EQ(r[0].owner, "Outlook");
    EXPECT_EQ(r[0].script.size(), 1564u);
    EXPECT_EQ(r[1].name, "outlook_categories_plural");
    EXPECT_EQ(r[1].script, "categories\r\ncategory\r\n");
    EXPECT_EQ(store->parameters().OffsetLists, 1737);
}

namespace {

// Reading a damaged file must end in a clean outcome: a parse or a reported failure.
class Robustness : public ReaderFixture {
protected:
    void readBytes(const Bytes& bytes) {
        writeBytes(file(), bytes);
        try {
            const auto outcome = reader->ReadCommandFile(true, file());
            if (!outcome.success) {
                EXPECT_FALSE(outcome.problem.empty());
            }
        } catch (const EndProgram&) {
            ADD_FAILURE() << "a damaged file must not end the program";
        }
    }
};

Bytes readFile(const std::filesystem::path& p) {
    const auto s = readText(p);
    return Bytes(s.begin(), s.end());
}

} // namespace

TEST_F(Robustness, EveryTruncationOfTheSamples) {
    for (const char* name : {"reply.dat", "move-dock-window.dat", "clear-categories.dat"}) {
        const Bytes whole = readFile(sample(name));
        for (std::size_t n = 0; n <= whole.size(); ++n) {
            readBytes(Bytes(whole.begin(), whole.begin() + static_cast<long>(n)));
            const auto outcome = reader->ReadCommandFile(true, file());
            EXPECT_EQ(outcome.success, n == whole.size()) << name << " cut to " << n;
        }
    }
}

TEST_F(Robustness, RandomCorruptionsOfAGeneratedFile) {
    CommandFileBuilder b(7);
    for (int i = 0; i < 6; ++i) {
        BuiltCommand c;
        c.name = "command " + std::to_string(i);
        c.kind = kKindAdvancedScript;
        c.text = "Sub Main\r\n  SendKeys \"{Enter}\"\r\nEnd Sub";
        c.states = {"Editing"};
        b.add(c);
    }
    BuiltCommand steps;
    steps.name = "steps";
    steps.kind = kKindStepByStep;
    steps.rawBody = stepByStepBody({step::pressKey(65, kCtrl), step::open("a", "b", "c", 1), step::wait(10)});
    b.add(steps);
    BuiltCommand rec;
    rec.name = "recorded";
    rec.kind = kKindRecorder;
    rec.rawBody = recorderBody({{"a", "b", "c", "d", "e", "f"}}, {event::key(65, 0), event::mouse(0, 1, 2)});
    b.add(rec);
    BuiltCommand win;
    win.name = "in a window";
    win.scopeByte = kScopeWindow;
    win.module = "NOTEPAD";
    win.windowTitle = "Untitled - Notepad";
    win.kind = kKindText;
    win.formatted = "{\\rtf1 x}";
    win.text = "x";
    b.add(win);
    b.add(BuiltList("colors", {"red", "green", "blue"}));
    const Bytes original = b.build();

    std::mt19937 random(12345);
    for (int i = 0; i < 10000; ++i) {
        Bytes damaged = original;
        const int changes = 1 + static_cast<int>(random() % 4);
        for (int k = 0; k < changes; ++k) {
            const auto at = 21 + random() % (damaged.size() - 21);
            switch (random() % 3) {
            case 0: damaged[at] = static_cast<std::uint8_t>(random()); break;
            case 1: damaged[at] = 0xFF; break;
            case 2: damaged.resize(at); break;
            }
            if (damaged.size() <= 22) break;
        }
        readBytes(damaged);
    }
}
