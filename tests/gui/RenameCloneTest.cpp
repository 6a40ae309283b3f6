// Rename and Clone in the window: a rename that is cancelled, refused or declined leaves the
// selection where it was, so that the next rename renames the same entry; a clone is edited
// before it is written; every change of a command leads the recently modified list and the
// settings.

#include "GuiHome.h"

#include "cmdfile/Reader.h"
#include "ops/Texts.h"
#include "shell/ProfileFile.h"
#include "ui/Dialogs.h"

#include <QApplication>
#include <QTimer>

#include <algorithm>

using namespace vocabrella;
using namespace vocabrella::testsupport;

namespace {

const char* const kGlobal = "Global Commands";

void answerNameForm(const QString& name) {
    QTimer::singleShot(0, [=] {
        auto* form = qobject_cast<ui::NewCommandForm*>(QApplication::activeModalWidget());
        QVERIFY(form);
        QTest::keyClicks(form->findChild<QLineEdit*>(QStringLiteral("Text1")), name);
        form->findChild<QPushButton*>(QStringLiteral("ok"))->click();
    });
}

bool enabled(const GuiHome& h, const char* button) { return h.child<QPushButton>(button)->isEnabled(); }
int tab(const GuiHome& h) { return h.child<QTabWidget>("SSTab1")->currentIndex(); }
QString current(const GuiHome& h, int list) {
    const auto item = h.list(list)->currentItem();
    return item ? item->text() : QString();
}

// The line of a recent list for a command of a program.
QString recentLine(const std::string& name, const std::string& program) {
    return qs(name).leftJustified(49) + qs(program);
}

} // namespace

class RenameCloneTest : public QObject {
    Q_OBJECT

private slots:
    void renameOnTheListsTabKeepsTheSelection();
    void renameOnARecentListKeepsTheSelection();
    void cloneIsEditedBeforeItIsWritten();
    void cloneOfAListOnTheListsTab();
    void abandonedOrRefusedCloneWritesNothing();
    void changesLeadRecentlyModified();
};

void RenameCloneTest::renameOnTheListsTabKeepsTheSelection() {
    GuiHome h;
    auto builder = standardFile();
    h.open(builder);
    h.form->showTab(1);
    h.select(2, "color");
    QVERIFY(h.items(2).indexOf(QStringLiteral("color")) > 0); // not the first LIST
    const auto unchanged = [&] {
        QCOMPARE(tab(h), 1);
        QCOMPARE(current(h, 2), QStringLiteral("color"));
        QCOMPARE(h.body(), QStringLiteral("red\nblue\n"));
        QVERIFY(!enabled(h, "savechanges"));
    };

    // Cancelled.
    h.prompter.answers.clear();
    h.action("commandrename")->trigger();
    unchanged();
    // Refused: the name is taken.
    h.prompter.answers = {"app"};
    h.action("commandrename")->trigger();
    QCOMPARE(h.prompter.last().text, "app" + std::string(ops::texts::AlreadyExistsSuffix));
    unchanged();
    // Declined: the LIST is in use and the user keeps it.
    h.prompter.answers = {"hue", "no"};
    h.action("commandrename")->trigger();
    unchanged();
    QVERIFY(h.session->store().findUser(kGlobal, kGlobal, "color"));

    // The next rename renames the LIST that is still selected, and shows it by its new name.
    h.prompter.answers = {"hue", "yes"};
    h.action("commandrename")->trigger();
    QVERIFY(h.session->store().findUser(kGlobal, kGlobal, "hue"));
    QVERIFY(!h.session->store().findUser(kGlobal, kGlobal, "color"));
    QVERIFY(h.session->store().findUser(kGlobal, kGlobal, "app"));
    QCOMPARE(tab(h), 1);
    QCOMPARE(current(h, 2), QStringLiteral("hue"));
}

void RenameCloneTest::renameOnARecentListKeepsTheSelection() {
    GuiHome h;
    auto builder = standardFile();
    h.open(builder);
    // Two commands of different programs modified: the older is the second line.
    h.choose("appcommand", QStringLiteral("NOTEPAD"));
    h.select(1, "save file");
    h.child<QPushButton>("modify")->click();
    h.child<QPlainTextEdit>("Text1")->setPlainText(QStringLiteral("{Ctrl+Shift+s}"));
    h.child<QPushButton>("savechanges")->click();
    h.choose("appcommand", QStringLiteral("Global Commands"));
    h.select(1, "script it");
    h.child<QPushButton>("modify")->click();
    h.child<QPlainTextEdit>("Text1")->setPlainText(QStringLiteral("SendKeys \"y\""));
    h.child<QPushButton>("savechanges")->click();
    h.form->showTab(3);
    QCOMPARE(h.items(4).mid(0, 2), (QStringList{recentLine("script it", kGlobal), recentLine("save file", "NOTEPAD")}));
    h.select(4, recentLine("save file", "NOTEPAD"));

    h.prompter.answers.clear();
    h.action("commandrename")->trigger();
    QCOMPARE(tab(h), 3);
    QCOMPARE(current(h, 4), recentLine("save file", "NOTEPAD"));
    QCOMPARE(h.body(), QStringLiteral("{Ctrl+Shift+s}"));

    h.prompter.answers = {"open <app>"}; // taken in that scope
    h.action("commandrename")->trigger();
    QCOMPARE(h.prompter.last().text, "open <app>" + std::string(ops::texts::AlreadyExistsSuffix));
    QCOMPARE(tab(h), 3);
    QCOMPARE(current(h, 4), recentLine("save file", "NOTEPAD"));

    h.prompter.answers = {"store file"};
    h.action("commandrename")->trigger();
    QVERIFY(h.session->store().findUser("NOTEPAD", "Application-specific", "store file"));
    QVERIFY(h.session->store().findUser(kGlobal, kGlobal, "script it"));
    QCOMPARE(tab(h), 3);
    QCOMPARE(current(h, 4), recentLine("store file", "NOTEPAD"));
}

void RenameCloneTest::cloneIsEditedBeforeItIsWritten() {
    GuiHome h;
    auto builder = standardFile();
    const auto file = h.open(builder);
    h.select(1, "advanced");
    const auto before = readFileBytes(file);

    answerNameForm(QStringLiteral("advanced two"));
    h.action("commandclone")->trigger();
    // The copy is open for editing with the source's content; nothing is written yet.
    QVERIFY(enabled(h, "savechanges"));
    QVERIFY(enabled(h, "abandon"));
    QVERIFY(!h.list(1)->isEnabled());
    QCOMPARE(current(h, 1), QStringLiteral("advanced two"));
    QVERIFY(!h.child<QPlainTextEdit>("Text1")->isReadOnly());
    QCOMPARE(h.body(), QStringLiteral("Sub Main\n\tBeep\nEnd Sub"));
    QCOMPARE(h.text("description"), QStringLiteral("beeps once"));
    QCOMPARE(h.text("Text6"), QStringLiteral("Office"));
    QVERIFY(readFileBytes(file) == before);
    QVERIFY(!h.session->store().findUser(kGlobal, kGlobal, "advanced two"));

    h.child<QPlainTextEdit>("Text1")->setPlainText(QStringLiteral("Sub Main\n\tBeep\n\tBeep\nEnd Sub"));
    auto* description = h.child<QLineEdit>("description");
    description->selectAll();
    QTest::keyClicks(description, "beeps twice");
    auto* group = h.child<QLineEdit>("Text6");
    group->selectAll();
    QTest::keyClicks(group, "Noise");
    h.child<QPushButton>("savechanges")->click();

    const auto copy = h.session->store().findUser(kGlobal, kGlobal, "advanced two");
    QVERIFY(copy);
    QCOMPARE(qs(copy->script).trimmed(), QStringLiteral("Sub Main\r\n\tBeep\r\n\tBeep\r\nEnd Sub"));
    QCOMPARE(qs(copy->description), QStringLiteral("beeps twice"));
    QCOMPARE(qs(copy->owner), QStringLiteral("Noise"));
    QCOMPARE(qs(copy->Type), QStringLiteral("A"));
    const auto source = h.session->store().findUser(kGlobal, kGlobal, "advanced");
    QCOMPARE(qs(source->script).trimmed(), QStringLiteral("Sub Main\r\n\tBeep\r\nEnd Sub"));
    QCOMPARE(qs(source->description), QStringLiteral("beeps once"));
    QVERIFY(!enabled(h, "savechanges"));
    QCOMPARE(current(h, 1), QStringLiteral("advanced two"));
    QCOMPARE(h.body().trimmed(), QStringLiteral("Sub Main\n\tBeep\n\tBeep\nEnd Sub"));
    // The file holds the copy as the store does.
    h.form->FileOpenNoDialog(file);
    const auto read = h.session->store().findUser(kGlobal, kGlobal, "advanced two");
    QVERIFY(read);
    QCOMPARE(read->script, copy->script);
    QCOMPARE(read->description, copy->description);
    QCOMPARE(read->owner, copy->owner);
}

void RenameCloneTest::cloneOfAListOnTheListsTab() {
    GuiHome h;
    auto builder = standardFile();
    h.open(builder);
    h.form->showTab(1);
    h.select(2, "color");
    h.prompter.answers = {"colour"};
    h.action("commandclone")->trigger();
    QCOMPARE(tab(h), 1);
    QCOMPARE(current(h, 2), QStringLiteral("colour"));
    QVERIFY(enabled(h, "savechanges"));
    QCOMPARE(h.body(), QStringLiteral("red\nblue\n"));
    QVERIFY(!h.session->store().findUser(kGlobal, kGlobal, "colour"));

    h.child<QPlainTextEdit>("Text1")->setPlainText(QStringLiteral("red\nblue\ngreen"));
    h.child<QPushButton>("savechanges")->click();
    const auto copy = h.session->store().findUser(kGlobal, kGlobal, "colour");
    QVERIFY(copy);
    QCOMPARE(qs(copy->Type), QStringLiteral("L"));
    QCOMPARE(qs(copy->script).trimmed(), QStringLiteral("red\r\nblue\r\ngreen"));
    QCOMPARE(qs(h.session->store().findUser(kGlobal, kGlobal, "color")->script).trimmed(), QStringLiteral("red\r\nblue"));
    QCOMPARE(tab(h), 1);
    QCOMPARE(current(h, 2), QStringLiteral("colour"));
}

void RenameCloneTest::abandonedOrRefusedCloneWritesNothing() {
    GuiHome h;
    auto builder = standardFile();
    const auto file = h.open(builder);
    const auto before = readFileBytes(file);
    h.select(1, "script it");

    answerNameForm(QStringLiteral("script that"));
    h.action("commandclone")->trigger();
    h.child<QPlainTextEdit>("Text1")->setPlainText(QStringLiteral("SendKeys \"z\""));
    h.child<QPushButton>("abandon")->click();
    QVERIFY(!enabled(h, "savechanges"));
    QVERIFY(h.list(1)->isEnabled());
    QVERIFY(!h.items(1).contains(QStringLiteral("script that")));
    QCOMPARE(current(h, 1), QStringLiteral("script it")); // back on what was copied
    QCOMPARE(h.body(), QStringLiteral("SendKeys \"x\""));

    // A name that is taken is refused when it is given: no edit begins.
    answerNameForm(QStringLiteral("SAY HELLO"));
    h.action("commandclone")->trigger();
    QCOMPARE(h.prompter.last().text, std::string(ops::texts::CommandExists));
    QVERIFY(!enabled(h, "savechanges"));
    QCOMPARE(current(h, 1), QStringLiteral("script it"));
    QVERIFY(readFileBytes(file) == before);
}

void RenameCloneTest::changesLeadRecentlyModified() {
    GuiHome h;
    auto builder = standardFile();
    h.open(builder);
    // The command leads the tab and the settings' list of this file.
    const auto leads = [&](const std::string& name) {
        h.form->showTab(3);
        QCOMPARE(h.items(4).front(), recentLine(name, kGlobal));
        const auto entry = Settings::mruEntry(kGlobal, kGlobal, name, false);
        QCOMPARE(qs(h.settings->recentlyModified().front()), qs(entry));
        const auto section = h.session->reader().file().path.string();
        QCOMPARE(qs(ProfileFile(h.settings->path()).read(section, "1")), qs(entry));
        h.form->showTab(0);
    };

    // Save.
    h.select(1, "say hello");
    h.child<QPushButton>("modify")->click();
    h.child<QPlainTextEdit>("Text1")->setPlainText(QStringLiteral("hello there"));
    h.child<QPushButton>("savechanges")->click();
    leads("say hello");

    // New.
    answerNameForm(QStringLiteral("brand new"));
    h.action("commandnewkeys")->trigger();
    h.child<QPlainTextEdit>("Text1")->setPlainText(QStringLiteral("{Ctrl+n}"));
    h.child<QPushButton>("savechanges")->click();
    leads("brand new");

    // Rename.
    h.select(1, "script it");
    h.prompter.answers = {"script this"};
    h.action("commandrename")->trigger();
    leads("script this");

    // Clone.
    h.select(1, "advanced");
    answerNameForm(QStringLiteral("advanced copy"));
    h.action("commandclone")->trigger();
    h.child<QPushButton>("savechanges")->click();
    leads("advanced copy");

    // Convert.
    h.select(1, "path keys");
    h.action("commandconvert2Plain")->trigger();
    h.child<QPushButton>("savechanges")->click();
    QCOMPARE(qs(h.session->store().findUser(kGlobal, kGlobal, "path keys")->Type), QStringLiteral("P"));
    leads("path keys");
}

QTEST_MAIN(RenameCloneTest)
#include "RenameCloneTest.moc"
