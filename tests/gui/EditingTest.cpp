// Editing through the window: Save Changes and the entries of the "&Voc" menu, driven through
// the real widgets with the scripted prompter answering the questions.

#include "GuiHome.h"

#include "cmdfile/Format.h"
#include "writer/Texts.h"
#include "ops/Texts.h"
#include "shell/DemoCommandFile.h"
#include "ui/Dialogs.h"
#include "ui/Texts.h"

#include <QApplication>
#include <QClipboard>
#include <QPushButton>
#include <QTabWidget>
#include <QTimer>

#include <chrono>
#include <fstream>
#include <iterator>

using namespace vocabrella;
using namespace vocabrella::testsupport;

namespace {

std::string fileBytes(const fs::path& p) {
    std::ifstream in(p, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

// Answers the next NewCommandForm: types the name, optionally inserts the first LIST shown by
// "Show Lists" and types "now" after it, and presses OK (or Cancel when the name is empty).
void answerNewCommandForm(const QString& name, bool insertFirstList = false, QStringList* listsSeen = nullptr,
                          QString* captionSeen = nullptr, QString* contentsSeen = nullptr) {
    QTimer::singleShot(0, [=] {
        auto* form = qobject_cast<ui::NewCommandForm*>(QApplication::activeModalWidget());
        QVERIFY(form);
        if (captionSeen) *captionSeen = form->windowTitle();
        auto* box = form->findChild<QLineEdit*>(QStringLiteral("Text1"));
        QTest::keyClicks(box, name);
        if (insertFirstList) {
            form->findChild<QPushButton*>(QStringLiteral("ShowLists"))->click();
            auto* lists = form->findChild<QListWidget*>(QStringLiteral("List1"));
            if (listsSeen)
                for (int i = 0; i < lists->count(); ++i) *listsSeen << lists->item(i)->text();
            if (contentsSeen) *contentsSeen = form->findChild<QPlainTextEdit*>(QStringLiteral("Contents"))->toPlainText();
            form->findChild<QPushButton*>(QStringLiteral("insertlist"))->click();
            QTest::keyClicks(box, QStringLiteral("now")); // the caret waits after the reference
        }
        form->findChild<QPushButton*>(name.isEmpty() ? QStringLiteral("cancel") : QStringLiteral("ok"))->click();
    });
}

} // namespace

class EditingTest : public QObject {
    Q_OBJECT

private slots:
    void saveChangesFromTheKeyboard();
    void newCommandsOfEachKind();
    void newListThenACommandUsingIt();
    void renameCloneAndDelete();
    void convertEntriesFollowTheBody();
    void refusedSaveKeepsTheEdit();
    void fileChangedByDragonPutsTheEditOnTheClipboard();
    void firstCommandOfAnEmptyFile();

private:
    static void press(GuiHome& h, const char* button) { h.child<QPushButton>(button)->click(); }
    static void typeBody(GuiHome& h, const QString& text) {
        auto* body = h.child<QPlainTextEdit>("Text1");
        body->moveCursor(QTextCursor::End);
        const auto lines = text.split(QLatin1Char('\n'));
        for (qsizetype i = 0; i < lines.size(); ++i) {
            if (i > 0) QTest::keyClick(body, Qt::Key_Return);
            QTest::keyClicks(body, lines[i]);
        }
    }
};

void EditingTest::saveChangesFromTheKeyboard() {
    GuiHome h([](const fs::path& file) { writeFileAtomically(file, demoCommandFile()); });
    h.form->show();
    if (!QTest::qWaitForWindowActive(h.form.get(), 2000)) {
        // An X server without a window manager activates nothing by itself.
        QVERIFY(QTest::qWaitForWindowExposed(h.form.get()));
        h.form->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(h.form.get()));
    }
    auto* list = h.list(1);
    QVERIFY(list->count() > 1);
    // The last command of the first scope that takes typing (the very last is a step-by-step).
    for (int row = list->count() - 1; row >= 0; --row) {
        list->setCurrentRow(row);
        if (h.child<QPushButton>("modify")->isEnabled()) break;
    }
    const QString name = list->currentItem()->text();
    const auto program = h.text("Text2").toStdString(), scope = h.text("Text3").toStdString();
    QVERIFY(h.child<QPushButton>("modify")->isEnabled());
    const auto before = fs::last_write_time(h.userFile());

    QVERIFY(QApplication::focusWidget());
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_M, Qt::AltModifier);
    auto* body = h.child<QPlainTextEdit>("Text1");
    QTRY_VERIFY(!body->isReadOnly()); // a mnemonic clicks the button after its animation
    QVERIFY(h.child<QPushButton>("savechanges")->isEnabled());
    QVERIFY(!h.menu("commandmenu")->menuAction()->isEnabled()); // menus wait for the save
    body->moveCursor(QTextCursor::End);
    QTest::keyClicks(body, "typed line zq7");
    QTest::keyClick(body, Qt::Key_A, Qt::AltModifier);
    // The save starts the merge tool, the first process the test starts: under Wine on a busy
    // machine that alone can take longer than QTRY's default of five seconds.
    QTRY_VERIFY2_WITH_TIMEOUT(!h.child<QPushButton>("savechanges")->isEnabled(),
                              h.prompter.shown.empty() ? "nothing was said" : h.prompter.last().text.c_str(), 30000);

    QVERIFY(fileBytes(h.userFile()).find("typed line zq7") != std::string::npos);
    QVERIFY(fs::last_write_time(h.userFile()) != before); // the merge tool rewrote it
    QCOMPARE(h.prompter.statusLines.back(), std::string("Update processed, User ready"));
    const auto saved = h.session->store().findUser(program, scope, name.toStdString());
    QVERIFY(saved);
    QVERIFY(saved->script.find("typed line zq7") != std::string::npos);
    // The window is back on the saved command, idle.
    QCOMPARE(list->currentItem()->text(), name);
    QVERIFY(h.body().contains(QStringLiteral("typed line zq7")));
    QVERIFY(body->isReadOnly());
    QVERIFY(!h.child<QPushButton>("savechanges")->isEnabled());
    QVERIFY(h.menu("commandmenu")->menuAction()->isEnabled());
}

void EditingTest::newCommandsOfEachKind() {
    GuiHome h;
    auto file = standardFile();
    h.open(file);
    for (const char* name : {"commandnewkeys", "commandnewscript", "commandnewadvanced", "commandnewplaintext",
                             "commandnewlist"})
        QVERIFY2(h.action(name)->isEnabled(), name);

    // KEYS, with a LIST reference inserted from "Show Lists".
    h.select(1, "say hello");
    QStringList listsSeen;
    QString caption, contents;
    answerNewCommandForm(QStringLiteral("launch"), true, &listsSeen, &caption, &contents);
    h.action("commandnewkeys")->trigger();
    QCOMPARE(caption, QStringLiteral("Enter New Command Name below"));
    QVERIFY(listsSeen.contains(QStringLiteral("app")) && listsSeen.contains(QStringLiteral("unused")));
    // The first LIST is selected and its items shown.
    const QString expectedItems = listsSeen.front() == QStringLiteral("app") ? QStringLiteral("notepad\nword")
                                  : listsSeen.front() == QStringLiteral("color") ? QStringLiteral("red\nblue")
                                                                                 : QStringLiteral("x");
    QVERIFY2(contents.startsWith(expectedItems), qPrintable(contents));
    const QString withList = QStringLiteral("launch <") + listsSeen.front() + QStringLiteral("> now");
    QCOMPARE(h.list(1)->currentItem()->text(), withList);
    QCOMPARE(h.text("Text5"), QStringLiteral("KEYS"));
    QCOMPARE(h.body(), QString());
    typeBody(h, QStringLiteral("{Ctrl+l}"));
    press(h, "savechanges");
    const auto keys = h.session->store().findUser("Global Commands", "Global Commands", withList.toStdString());
    QVERIFY(keys);
    QCOMPARE(keys->Type, std::string("K"));
    QCOMPARE(h.list(1)->currentItem()->text(), withList);

    // Advanced: the preset body, the caret on its empty middle line.
    answerNewCommandForm(QStringLiteral("beep twice"));
    h.action("commandnewadvanced")->trigger();
    QCOMPARE(h.body(), QStringLiteral("Sub Main\n\nEnd Sub"));
    QCOMPARE(h.child<QPlainTextEdit>("Text1")->textCursor().blockNumber(), 1);
    QTest::keyClicks(h.child<QPlainTextEdit>("Text1"), "Beep");
    press(h, "savechanges");
    const auto advanced = h.session->store().findUser("Global Commands", "Global Commands", "beep twice");
    QVERIFY(advanced);
    QCOMPARE(advanced->Type, std::string("A"));
    QCOMPARE(advanced->script, std::string("Sub Main\r\nBeep\r\nEnd Sub\r\n"));

    // A name already used is refused; the window stays idle.
    answerNewCommandForm(QStringLiteral("say hello"));
    h.action("commandnewplaintext")->trigger();
    QCOMPARE(h.prompter.last().text, std::string(ops::texts::CommandExists));
    QVERIFY(!h.child<QPushButton>("savechanges")->isEnabled());

    // Abandon drops the half-made command.
    answerNewCommandForm(QStringLiteral("half made"));
    h.action("commandnewscript")->trigger();
    QVERIFY(h.items(1).contains(QStringLiteral("half made")));
    press(h, "abandon");
    QVERIFY(!h.items(1).contains(QStringLiteral("half made")));
    QVERIFY(!h.child<QPushButton>("savechanges")->isEnabled());
    QVERIFY(!h.session->store().findUser("Global Commands", "Global Commands", "half made"));

    // Cancel asks nothing further.
    const auto shown = h.prompter.messageCount();
    answerNewCommandForm(QString());
    h.action("commandnewscript")->trigger();
    QCOMPARE(h.prompter.messageCount(), shown);
    QVERIFY(!h.child<QPushButton>("savechanges")->isEnabled());
}

void EditingTest::newListThenACommandUsingIt() {
    GuiHome h;
    auto file = standardFile();
    h.open(file);
    h.prompter.answers = {"Bad Name"};
    h.action("commandnewlist")->trigger();
    QCOMPARE(h.prompter.shown[h.prompter.shown.size() - 2].title, std::string(ops::texts::NewListTitle));
    QCOMPARE(h.prompter.shown[h.prompter.shown.size() - 2].text, std::string(ops::texts::NewListPrompt));
    QCOMPARE(h.prompter.last().text, std::string(ops::texts::ListNameCharacters));

    h.prompter.answers = {"fruit"};
    h.action("commandnewlist")->trigger();
    QCOMPARE(h.child<QTabWidget>("SSTab1")->currentIndex(), 1);
    QCOMPARE(h.list(2)->currentItem()->text(), QStringLiteral("fruit"));
    QCOMPARE(h.text("Text5"), QStringLiteral("LIST"));
    typeBody(h, QStringLiteral("apple\npear"));
    press(h, "savechanges");
    const auto list = h.session->store().findUser("Global Commands", "Global Commands", "fruit");
    QVERIFY(list);
    QCOMPARE(list->Type, std::string("L"));
    QCOMPARE(h.child<QTabWidget>("SSTab1")->currentIndex(), 1);
    QCOMPARE(h.list(2)->currentItem()->text(), QStringLiteral("fruit"));

    h.form->showTab(0);
    answerNewCommandForm(QStringLiteral("eat <fruit>"));
    h.action("commandnewplaintext")->trigger();
    typeBody(h, QStringLiteral("yum"));
    press(h, "savechanges");
    QVERIFY(h.session->store().findUser("Global Commands", "Global Commands", "eat <fruit>"));
}

void EditingTest::renameCloneAndDelete() {
    GuiHome h;
    auto file = standardFile();
    h.open(file);
    const auto find = [&](const char* name) {
        return h.session->store().findUser("Global Commands", "Global Commands", name).has_value();
    };

    h.select(1, "say hello");
    h.prompter.answers = {"greet"};
    h.action("commandrename")->trigger();
    QCOMPARE(h.prompter.last().title, std::string(ops::texts::RenamingTitle));
    QCOMPARE(h.prompter.last().text, std::string("Enter new command name"));
    QVERIFY(find("greet") && !find("say hello"));
    QCOMPARE(h.list(1)->currentItem()->text(), QStringLiteral("greet"));

    // A name of the scope is refused and the old one stays.
    h.prompter.answers = {"script it"};
    h.action("commandrename")->trigger();
    QCOMPARE(h.prompter.last().text, std::string("script it") + std::string(ops::texts::AlreadyExistsSuffix));
    QVERIFY(find("greet"));
    QCOMPARE(h.list(1)->currentItem()->text(), QStringLiteral("greet"));

    answerNewCommandForm(QStringLiteral("greet again"));
    h.action("commandclone")->trigger();
    h.child<QPushButton>("savechanges")->click(); // the copy as it stands
    const auto clone = h.session->store().findUser("Global Commands", "Global Commands", "greet again");
    QVERIFY(clone);
    QCOMPARE(clone->script, h.session->store().findUser("Global Commands", "Global Commands", "greet")->script);
    QCOMPARE(h.list(1)->currentItem()->text(), QStringLiteral("greet again"));

    // Delete: "no" keeps it, "yes" removes it and shows the next command of the scope.
    const int row = h.list(1)->currentRow();
    const QString next = h.list(1)->item(row + 1)->text();
    h.prompter.answers = {"no"};
    h.action("commanddelete")->trigger();
    QCOMPARE(h.prompter.last().text, std::string(ops::texts::DeleteThis) + std::string(ops::texts::CommandQuestion));
    QVERIFY(find("greet again"));
    h.prompter.answers = {"yes"};
    h.action("commanddelete")->trigger();
    QVERIFY(!find("greet again"));
    QCOMPARE(h.list(1)->currentItem()->text(), next);

    // A LIST in use asks twice; the commands using it stay.
    h.form->showTab(1);
    h.select(2, "color");
    h.prompter.answers = {"yes", "yes"};
    const auto asked = h.prompter.messageCount();
    h.action("commanddelete")->trigger();
    QCOMPARE(h.prompter.messageCount(), asked + 2);
    QCOMPARE(h.prompter.last().title, std::string("color"));
    QVERIFY(!find("color"));
    QVERIFY(find("paint <color>"));
}

void EditingTest::convertEntriesFollowTheBody() {
    GuiHome h;
    auto file = standardFile();
    h.open(file);
    h.select(1, "open <app>"); // KEYS with braces
    QVERIFY(!h.action("commandconvert2Plain")->isEnabled());
    QVERIFY(h.action("commandconvert2Advanced")->isEnabled());
    h.select(1, "say hello");
    QVERIFY(!h.action("commandconvert2Plain")->isEnabled());
    QVERIFY(!h.action("commandconvert2Advanced")->isEnabled());

    h.select(1, "path keys");
    QVERIFY(h.action("commandconvert2Plain")->isEnabled());
    h.action("commandconvert2Plain")->trigger();
    QCOMPARE(h.text("Text5"), QStringLiteral("Plain Text"));
    QVERIFY(h.child<QPushButton>("savechanges")->isEnabled());
    press(h, "savechanges");
    QCOMPARE(h.session->store().findUser("Global Commands", "Global Commands", "path keys")->Type, std::string("P"));

    h.select(1, "open <app>");
    h.action("commandconvert2Advanced")->trigger();
    QCOMPARE(h.text("Text5"), QStringLiteral("Advanced Script"));
    QVERIFY(h.body().startsWith(QStringLiteral("Sub Main")));
    press(h, "savechanges");
    const auto converted = h.session->store().findUser("Global Commands", "Global Commands", "open <app>");
    QCOMPARE(converted->Type, std::string("A"));
    QVERIFY(converted->script.find("Sub Main") != std::string::npos);
}

void EditingTest::refusedSaveKeepsTheEdit() {
    GuiHome h;
    auto file = standardFile();
    h.open(file);
    h.select(1, "say hello");
    press(h, "modify");
    h.child<QPlainTextEdit>("Text1")->clear();
    press(h, "savechanges");
    QCOMPARE(h.prompter.last().text, std::string(vocabrella::texts::EmptyContent));
    QVERIFY(h.child<QPushButton>("savechanges")->isEnabled()); // still editing
    press(h, "abandon");
    QCOMPARE(h.body(), QStringLiteral("hello\nworld"));
}

void EditingTest::fileChangedByDragonPutsTheEditOnTheClipboard() {
    GuiHome h(standardFile()); // the speech user's own file is open
    h.select(1, "say hello");
    press(h, "modify");
    typeBody(h, QStringLiteral(" again"));
    // Dragon saved the user meanwhile.
    fs::last_write_time(h.userFile(), fs::last_write_time(h.userFile()) + std::chrono::hours(1));
    const auto bytes = fileBytes(h.userFile());
    press(h, "savechanges");
    QCOMPARE(h.prompter.last().text, std::string(ops::texts::ChangedByDragon));
    QCOMPARE(h.prompter.last().title, h.userFile().string());
    QCOMPARE(QApplication::clipboard()->text(), QStringLiteral("hello\nworld again"));
    QCOMPARE(fileBytes(h.userFile()), bytes); // nothing written over Dragon's version
    // The window shows the file as it is, idle.
    QCOMPARE(h.body(), QStringLiteral("hello\nworld"));
    QVERIFY(!h.child<QPushButton>("savechanges")->isEnabled());
}

void EditingTest::firstCommandOfAnEmptyFile() {
    GuiHome h; // the speech user's file holds nothing
    QCOMPARE(h.items(1), QStringList{"Nothing to show"});
    h.prompter.answers = {"ok"};
    answerNewCommandForm(QStringLiteral("first one"));
    h.action("commandnewkeys")->trigger();
    QCOMPARE(h.prompter.last().text, std::string(ops::texts::FirstGlobalCommand));
    QCOMPARE(h.items(1), QStringList{"first one"});
    typeBody(h, QStringLiteral("{Enter}"));
    const auto asked = h.prompter.messageCount();
    press(h, "savechanges"); // the question is not asked again
    QCOMPARE(h.prompter.messageCount(), asked);
    QVERIFY(h.session->store().findUser("Global Commands", "Global Commands", "first one"));
    QCOMPARE(h.items(1), QStringList{"first one"});
    QCOMPARE(h.body(), QStringLiteral("{Enter}"));
}

QTEST_MAIN(EditingTest)
#include "EditingTest.moc"
