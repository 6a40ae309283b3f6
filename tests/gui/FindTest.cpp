// Find, Find Again and Find Previous through the real dialog, and F11 / F12 in the main window.

#include "GuiHome.h"

#include "ui/FindForm.h"
#include "ui/Texts.h"

#include <QApplication>
#include <QCheckBox>
#include <QRadioButton>
#include <QTabWidget>
#include <QTimer>

using namespace vocabrella;
using namespace vocabrella::testsupport;

namespace {

// What the next Find dialog is given and which of its buttons is pressed; a dialog still open
// afterwards (a search without a hit) is closed with Cancel.
struct FindInput {
    QString text;
    const char* field = "findname";
    bool matchCase = false;
    const char* button = "findnext";
};

void answerFind(const FindInput& in, bool* buttonsEnabled = nullptr) {
    QTimer::singleShot(0, [=] {
        auto* form = qobject_cast<ui::FindForm*>(QApplication::activeModalWidget());
        QVERIFY(form);
        auto* box = form->findChild<QLineEdit*>(QStringLiteral("searchfor"));
        box->setFocus();
        box->clear();
        QTest::keyClicks(box, in.text);
        form->findChild<QRadioButton*>(QString::fromLatin1(in.field))->setChecked(true);
        form->findChild<QCheckBox*>(QStringLiteral("casematch"))->setChecked(in.matchCase);
        form->findChild<QPushButton*>(QString::fromLatin1(in.button))->click();
        if (buttonsEnabled)
            *buttonsEnabled = form->findChild<QPushButton*>(QStringLiteral("findagain"))->isEnabled() ||
                              form->findChild<QPushButton*>(QStringLiteral("findprevious"))->isEnabled();
        if (form->isVisible()) form->findChild<QPushButton*>(QStringLiteral("findcancel"))->click();
    });
}

std::string notFound(const char* text, std::string_view where) {
    return "\"" + std::string(text) + "\"" + std::string(ui::texts::find::NotFoundIn) + std::string(where);
}

std::string noMore(const char* text) { return "\"" + std::string(text) + "\"" + std::string(ui::texts::find::NoMoreMatches); }

} // namespace

class FindTest : public QObject {
    Q_OBJECT

private slots:
    void scopeNamesWithAndWithoutMatchCase();
    void onlyRowsOfTheViewAreFound();
    void listHitsGoToTheListsTab();
    void bodyHitSelectsTheMatch();
    void findAgainAndPreviousRunToTheEnds();
    void functionKeysWithoutSearchTextDoNothing();
    void enterInTheSearchBoxFinds();

private:
    static void find(GuiHome& h, const FindInput& in, bool* buttonsEnabled = nullptr) {
        answerFind(in, buttonsEnabled);
        h.action("findmenu")->trigger();
    }
    static void key(QWidget* w, Qt::Key k) { QTest::keyClick(w, k); }
};

void FindTest::scopeNamesWithAndWithoutMatchCase() {
    GuiHome h;
    auto file = standardFile();
    h.open(file);
    find(h, {"DOCUMENT1 - WORD", "findstate"});
    QCOMPARE(h.text("Text2"), QStringLiteral("WINWORD"));
    QCOMPARE(h.text("Text3"), QStringLiteral("Document1 - Word"));
    QCOMPARE(h.list(1)->currentItem()->text(), QStringLiteral("close doc"));
    QCOMPARE(h.child<QTabWidget>("SSTab1")->currentIndex(), 0);

    const auto shown = h.prompter.messageCount();
    find(h, {"DOCUMENT1 - WORD", "findstate", true});
    QCOMPARE(h.prompter.messageCount(), shown + 1);
    QCOMPARE(h.prompter.last().title, std::string(ui::texts::find::NotFoundTitle));
    QCOMPARE(h.prompter.last().text, notFound("DOCUMENT1 - WORD", ui::texts::find::YourMacroFiles));
    QCOMPARE(h.list(1)->currentItem()->text(), QStringLiteral("close doc")); // the window stays put
}

void FindTest::onlyRowsOfTheViewAreFound() {
    GuiHome h;
    auto file = standardFile();
    h.open(file);
    h.action("ViewKeys")->trigger(); // KEYS commands hidden
    QVERIFY(!h.action("ViewAll")->isChecked());
    find(h, {"wake", "findname"});
    QCOMPARE(h.prompter.last().text, notFound("wake", ui::texts::find::CurrentView));
    // Plain text is still shown.
    find(h, {"HELLO", "findname"});
    QCOMPARE(h.list(1)->currentItem()->text(), QStringLiteral("say hello"));
}

void FindTest::listHitsGoToTheListsTab() {
    GuiHome h;
    auto file = standardFile();
    h.open(file);
    h.choose("appcommand", QStringLiteral("NOTEPAD")); // somewhere else first
    find(h, {"colo", "findname"});
    QCOMPARE(h.child<QTabWidget>("SSTab1")->currentIndex(), 1);
    QCOMPARE(h.list(2)->currentItem()->text(), QStringLiteral("color"));
    QCOMPARE(h.text("Text5"), QStringLiteral("LIST"));

    // A hit in a LIST's items, found again while the LISTs tab is already up.
    find(h, {"word", "findcontent"});
    QCOMPARE(h.child<QTabWidget>("SSTab1")->currentIndex(), 1);
    QCOMPARE(h.list(2)->currentItem()->text(), QStringLiteral("app"));
    QCOMPARE(h.child<QPlainTextEdit>("Text1")->textCursor().selectedText(), QStringLiteral("word"));
}

void FindTest::bodyHitSelectsTheMatch() {
    GuiHome h;
    auto file = standardFile();
    h.open(file);
    find(h, {"WORLD", "findcontent"});
    QCOMPARE(h.list(1)->currentItem()->text(), QStringLiteral("say hello"));
    auto* body = h.child<QPlainTextEdit>("Text1");
    QCOMPARE(body->textCursor().selectedText(), QStringLiteral("world")); // after the line break
    // With Match Case the capitals are not in any body.
    find(h, {"WORLD", "findcontent", true});
    QCOMPARE(h.prompter.last().text, notFound("WORLD", ui::texts::find::YourMacroFiles));
}

void FindTest::findAgainAndPreviousRunToTheEnds() {
    GuiHome h;
    auto file = standardFile();
    h.open(file);
    // "open <app>" is a global command and a notepad one: global rows come first.
    find(h, {"open", "findname"});
    QCOMPARE(h.text("Text2"), QStringLiteral("Global Commands"));
    QCOMPARE(h.list(1)->currentItem()->text(), QStringLiteral("open <app>"));

    // At the first hit Find Previous has nothing before it: both continuations are disabled.
    bool enabled = true;
    find(h, {"open", "findname", false, "findprevious"}, &enabled);
    QCOMPARE(h.prompter.last().text, noMore("open"));
    QVERIFY(!enabled);
    QCOMPARE(h.text("Text2"), QStringLiteral("Global Commands"));

    // The search stands before the first row now: F11 finds the first hit again, then the next.
    key(h.list(1), Qt::Key_F11);
    QCOMPARE(h.text("Text2"), QStringLiteral("Global Commands"));
    QCOMPARE(h.list(1)->currentItem()->text(), QStringLiteral("open <app>"));
    key(h.list(1), Qt::Key_F11);
    QCOMPARE(h.text("Text2"), QStringLiteral("NOTEPAD"));
    QCOMPARE(h.list(1)->currentItem()->text(), QStringLiteral("open <app>"));
    const auto shown = h.prompter.messageCount();
    key(h.list(1), Qt::Key_F11);
    QCOMPARE(h.prompter.messageCount(), shown + 1);
    QCOMPARE(h.prompter.last().text, noMore("open"));
    QCOMPARE(h.text("Text2"), QStringLiteral("NOTEPAD")); // still on the last hit
    // F12 from the body box goes back to the global one.
    key(h.child<QPlainTextEdit>("Text1"), Qt::Key_F12);
    QCOMPARE(h.text("Text2"), QStringLiteral("Global Commands"));
    QCOMPARE(h.list(1)->currentItem()->text(), QStringLiteral("open <app>"));

    // While a change is open the keys wait: the change and its text stay, the status line says why.
    h.child<QPushButton>("modify")->click();
    auto* body = h.child<QPlainTextEdit>("Text1");
    body->moveCursor(QTextCursor::End);
    QTest::keyClicks(body, QStringLiteral("x"));
    key(body, Qt::Key_F11);
    QVERIFY(h.child<QPushButton>("savechanges")->isEnabled());
    QVERIFY(body->toPlainText().endsWith(QLatin1Char('x')));
    QCOMPARE(h.text("Text2"), QStringLiteral("Global Commands"));
    QCOMPARE(h.prompter.statusLines.back(), std::string(ui::texts::FinishEditFirst));
}

void FindTest::functionKeysWithoutSearchTextDoNothing() {
    GuiHome h;
    auto file = standardFile();
    h.open(file);
    h.select(1, "say hello");
    const auto shown = h.prompter.messageCount();
    key(h.list(1), Qt::Key_F11);
    key(h.list(1), Qt::Key_F12);
    QCOMPARE(h.prompter.messageCount(), shown);
    QCOMPARE(h.list(1)->currentItem()->text(), QStringLiteral("say hello"));

    // After a hit, an emptied search closes the dialog without a message, and F11 stays put.
    find(h, {"steps", "findname"});
    QCOMPARE(h.list(1)->currentItem()->text(), QStringLiteral("steps"));
    find(h, {"", "findname"});
    key(h.list(1), Qt::Key_F11);
    QCOMPARE(h.prompter.messageCount(), shown);
    QCOMPARE(h.list(1)->currentItem()->text(), QStringLiteral("steps"));
}

void FindTest::enterInTheSearchBoxFinds() {
    GuiHome h;
    auto file = standardFile();
    h.open(file);
    QTimer::singleShot(0, [] {
        auto* form = qobject_cast<ui::FindForm*>(QApplication::activeModalWidget());
        QVERIFY(form);
        QCOMPARE(form->windowTitle(), QStringLiteral("Find"));
        QVERIFY(form->findChild<QRadioButton*>(QStringLiteral("findname"))->isChecked());
        auto* box = form->findChild<QLineEdit*>(QStringLiteral("searchfor"));
        QTest::keyClicks(box, QStringLiteral("replay"));
        QTest::keyClick(box, Qt::Key_Return);
    });
    h.action("findmenu")->trigger();
    QCOMPARE(h.list(1)->currentItem()->text(), QStringLiteral("replay"));
    // The dialog kept its text for the next use; Escape closes it and nothing moves.
    QTimer::singleShot(0, [] {
        auto* form = qobject_cast<ui::FindForm*>(QApplication::activeModalWidget());
        QVERIFY(form);
        auto* box = form->findChild<QLineEdit*>(QStringLiteral("searchfor"));
        QCOMPARE(box->text(), QStringLiteral("replay"));
        QVERIFY(form->findChild<QPushButton*>(QStringLiteral("findagain"))->isEnabled());
        QTest::keyClick(box, Qt::Key_Escape);
    });
    h.select(1, "say hello");
    h.action("findmenu")->trigger();
    QCOMPARE(h.list(1)->currentItem()->text(), QStringLiteral("say hello"));
}

QTEST_MAIN(FindTest)
#include "FindTest.moc"
