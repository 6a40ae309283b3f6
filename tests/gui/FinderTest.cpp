// Find, Find Again and Find Previous over names, scopes and bodies, without the dialog: hits in
// several commands that were added out of name order come in the order the window lists them,
// forward and back, and each step moves on to another command.

#include "CommandFileBuilder.h"
#include "ScriptedPrompter.h"

#include "cmdfile/Clock.h"
#include "cmdfile/Store.h"
#include "shell/Session.h"
#include "ui/Finder.h"
#include "ui/Selection.h"

#include <QTemporaryDir>
#include <QTest>

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

using namespace vocabrella;
using namespace vocabrella::testsupport;
namespace fs = std::filesystem;

namespace {

class StillClock final : public Clock {
public:
    std::chrono::system_clock::time_point now() const override { return now_; }
    void sleep(std::chrono::milliseconds d) override { now_ += d; }

private:
    std::chrono::system_clock::time_point now_ = std::chrono::system_clock::now();
};

BuiltCommand script(std::string name, std::string body, std::string group = "Work") {
    BuiltCommand c;
    c.name = std::move(name);
    c.kind = kKindAdvancedScript;
    c.text = std::move(body);
    c.group = std::move(group);
    return c;
}

BuiltCommand inProgram(BuiltCommand c, std::string module) {
    c.scopeByte = kScopeApplication;
    c.module = std::move(module);
    c.programDescription = "A program";
    c.company = "Maker";
    return c;
}

BuiltCommand inWindow(BuiltCommand c, std::string module, std::string title) {
    c = inProgram(std::move(c), std::move(module));
    c.scopeByte = kScopeWindow;
    c.windowTitle = std::move(title);
    c.windowClass = "Main";
    return c;
}

const std::string kWith = "Sub Main\r\n  ' a needle here\r\nEnd Sub\r\n";
const std::string kWithout = "Sub Main\r\n  ' nothing\r\nEnd Sub\r\n";

// Added in an order that is neither the order of names nor that of places.
CommandFileBuilder scattered() {
    CommandFileBuilder b(7);
    b.add(inWindow(script("print doc", kWith), "WINWORD", "Document1"));
    b.add(script("zulu", kWith));
    b.add(inProgram(script("charlie it", kWith, "Play"), "WINWORD"));
    b.add(script("Mike", kWithout));
    b.add(script("alpha", kWith));
    b.add(inProgram(script("bold it", kWithout), "WINWORD"));
    b.add(script("bravo", "Sub Main\r\n  s = \"caf\xE9 \x80 NEEDLE\"\r\nEnd Sub\r\n", "Play"));
    b.add(inWindow(script("close doc", kWithout), "WINWORD", "Document2"));
    b.add(inProgram(script("delta it", kWith), "EXCEL"));
    return b;
}

using Hits = std::string;

} // namespace

class FinderTest : public QObject {
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void bodiesForwardAndBack();
    void bodyHitsSayWhereTheMatchIs();
    void namesAndScopesForwardAndBack();
    void findAgainGoesOnFromTheRowOnShow();
    void onlyRowsTheFilterShowsAreFound();

private:
    // Steps through the hits with next() (or previous()) until there is none, naming each.
    std::string walk(const ui::FindQuery& query, bool backward, int most = 20) {
        std::string hits;
        for (int i = 0; i < most; ++i) {
            const auto hit = backward ? finder.previous(store(), query, selection) : finder.next(store(), query, selection);
            if (!hit) break;
            hits += (hits.empty() ? "" : ", ") + hit->name;
        }
        return hits;
    }
    CommandStore& store() { return session->store(); }

    QTemporaryDir dir;
    ScriptedPrompter prompter;
    StillClock clock;
    std::optional<Session> session;
    ui::Finder finder;
    ui::Selection selection;
};

void FinderTest::init() {
    const fs::path root = dir.path().toStdString();
    fs::remove_all(root / "home");
    scattered().writeFile(root / "mycmds.dat");
    session.emplace(root / "home", prompter, clock);
    QVERIFY(session->open(root / "mycmds.dat").success);
    finder = ui::Finder();
    selection = ui::Selection();
}

void FinderTest::cleanup() { session.reset(); }

void FinderTest::bodiesForwardAndBack() {
    const ui::FindQuery needle{"needle", ui::FindField::Body, false};
    const auto first = finder.first(store(), needle, selection);
    QVERIFY(first);
    QCOMPARE(first->name, std::string("alpha"));
    QCOMPARE(walk(needle, false), Hits("bravo, zulu, delta it, charlie it, print doc"));
    // No further hit: the last one stays current, so Find Previous goes back from it.
    QCOMPARE(walk(needle, true), Hits("charlie it, delta it, zulu, bravo, alpha"));
    // Past the first: the search stands before the first row, and Find Again starts at the top.
    QCOMPARE(walk(needle, false, 2), Hits("alpha, bravo"));
    // With the case of the letters: the upper-case needle of bravo is skipped.
    const ui::FindQuery exact{"needle", ui::FindField::Body, true};
    QCOMPARE(finder.first(store(), exact, selection)->name, std::string("alpha"));
    QCOMPARE(walk(exact, false), Hits("zulu, delta it, charlie it, print doc"));
    const ui::FindQuery upper{"NEEDLE", ui::FindField::Body, true};
    QCOMPARE(finder.first(store(), upper, selection)->name, std::string("bravo"));
    QCOMPARE(walk(upper, false), Hits(""));
    QCOMPARE(walk(upper, true), Hits(""));
}

void FinderTest::bodyHitsSayWhereTheMatchIs() {
    const auto alpha = finder.first(store(), {"NEEDLE", ui::FindField::Body, false}, selection);
    QVERIFY(alpha);
    QCOMPARE(alpha->program, std::string("Global Commands"));
    QCOMPARE(alpha->type, std::string("A"));
    // "Sub Main", one line end, "  ' a ": the box counts a line end as one character.
    QCOMPARE(alpha->matchStart, 8 + 1 + 6);
    QCOMPARE(alpha->matchLength, 6);
    // Before bravo's match: an accented letter and a euro sign, one character each in the box
    // however many bytes they take.
    const auto bravo = finder.next(store(), {"NEEDLE", ui::FindField::Body, false}, selection);
    QVERIFY(bravo);
    QCOMPARE(bravo->name, std::string("bravo"));
    QCOMPARE(bravo->matchStart, 8 + 1 + 7 + 5 + 2);
    // A search through text outside ASCII, without regard to case.
    const auto accented = finder.first(store(), {"CAF\xC3\x89", ui::FindField::Body, false}, selection);
    QVERIFY(accented);
    QCOMPARE(accented->name, std::string("bravo"));
    QCOMPARE(accented->matchStart, 8 + 1 + 7);
    QCOMPARE(accented->matchLength, 4);
    // Names and scopes carry no place in a body.
    const auto name = finder.first(store(), {"zulu", ui::FindField::Name, false}, selection);
    QVERIFY(name);
    QCOMPARE(name->matchStart, 0);
    QCOMPARE(name->matchLength, 0);
}

void FinderTest::namesAndScopesForwardAndBack() {
    const ui::FindQuery it{" IT", ui::FindField::Name, false};
    QCOMPARE(finder.first(store(), it, selection)->name, std::string("delta it"));
    QCOMPARE(walk(it, false), Hits("bold it, charlie it"));
    QCOMPARE(walk(it, true), Hits("bold it, delta it"));
    QCOMPARE(walk(it, true), Hits(""));
    QCOMPARE(walk(it, false, 1), Hits("delta it"));

    const ui::FindQuery doc{"document", ui::FindField::Scope, false};
    const auto first = finder.first(store(), doc, selection);
    QVERIFY(first);
    QCOMPARE(first->name, std::string("print doc"));
    QCOMPARE(first->scope, std::string("Document1"));
    QCOMPARE(first->program, std::string("WINWORD"));
    QCOMPARE(walk(doc, false), Hits("close doc"));
    QCOMPARE(walk(doc, true), Hits("print doc"));

    const ui::FindQuery exactScope{"document", ui::FindField::Scope, true};
    QVERIFY(!finder.first(store(), exactScope, selection));
    const ui::FindQuery global{"Global", ui::FindField::Scope, true};
    QCOMPARE(finder.first(store(), global, selection)->name, std::string("alpha"));
    QCOMPARE(walk(global, false), Hits("bravo, Mike, zulu"));
}

void FinderTest::findAgainGoesOnFromTheRowOnShow() {
    const ui::FindQuery needle{"needle", ui::FindField::Body, false};
    const auto row = store().findUser("Global Commands", "Global Commands", "mike");
    QVERIFY(row);
    finder.setCurrent(*row);
    QCOMPARE(walk(needle, false, 1), Hits("zulu"));
    finder.setCurrent(*row);
    QCOMPARE(walk(needle, true, 1), Hits("bravo"));
    finder.setCurrent(*row);
    QCOMPARE(walk({"needle", ui::FindField::Name, false}, false), Hits(""));
    QCOMPARE(walk(needle, false, 1), Hits("zulu"));
    const auto charlie = store().findUser("WINWORD", "Application-specific", "charlie it");
    QVERIFY(charlie);
    finder.setCurrent(*charlie);
    QCOMPARE(walk({"it", ui::FindField::Name, false}, true, 1), Hits("bold it"));
}

void FinderTest::onlyRowsTheFilterShowsAreFound() {
    selection.allGroups = false;
    selection.group = "Play";
    const ui::FindQuery needle{"needle", ui::FindField::Body, false};
    QCOMPARE(finder.first(store(), needle, selection)->name, std::string("bravo"));
    QCOMPARE(walk(needle, false), Hits("charlie it"));
    QCOMPARE(walk(needle, true), Hits("bravo"));
    selection = ui::Selection();
    selection.view.type(ui::ViewType::Advanced) = false;
    QVERIFY(!finder.first(store(), needle, selection));
}

QTEST_GUILESS_MAIN(FinderTest)
#include "FinderTest.moc"
