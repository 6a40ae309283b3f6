// Undo and Redo in the Edit menu: the entries name the change they take back or make again, are
// off when there is none and while an edit is open, answer Ctrl+Z and Ctrl+Y, and work on the
// speech user's own file through Dragon's reload; a file Dragon changed since is left alone.

#include "GuiHome.h"

#include "ops/Texts.h"

#include <QApplication>

using namespace vocabrella;
using namespace vocabrella::testsupport;

namespace {

const char* const kGlobal = "Global Commands";

std::vector<std::uint8_t> bytesOf(const fs::path& file) { return readFileBytes(file); }

void showActive(GuiHome& h) {
    h.form->show();
    if (!QTest::qWaitForWindowActive(h.form.get(), 2000)) {
        QVERIFY(QTest::qWaitForWindowExposed(h.form.get()));
        h.form->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(h.form.get()));
    }
}

} // namespace

class UndoRedoTest : public QObject {
    Q_OBJECT

private slots:
    void entriesNameTheChangeAndAnswerTheKeys();
    void aFileChangedByDragonIsNotUndone();
};

void UndoRedoTest::entriesNameTheChangeAndAnswerTheKeys() {
    GuiHome h(standardFile());
    showActive(h);
    auto* undo = h.action("editundo");
    auto* redo = h.action("editredo");
    QVERIFY(undo && redo);
    QCOMPARE(undo->text(), QStringLiteral("&Undo"));
    QCOMPARE(redo->text(), QStringLiteral("&Redo"));
    QVERIFY(!undo->isEnabled());
    QVERIFY(!redo->isEnabled());
    QCOMPARE(undo->shortcut(), QKeySequence(QStringLiteral("Ctrl+Z")));
    QCOMPARE(redo->shortcut(), QKeySequence(QStringLiteral("Ctrl+Y")));

    const auto original = bytesOf(h.userFile());
    const auto pathKeys = h.session->store().findUser(kGlobal, kGlobal, "path keys")->script;
    h.select(1, "path keys");
    h.child<QPushButton>("modify")->click();
    h.child<QPlainTextEdit>("Text1")->setPlainText(QStringLiteral("{Ctrl+t}"));
    h.child<QPushButton>("savechanges")->click();
    QCOMPARE(h.session->store().findUser(kGlobal, kGlobal, "path keys")->script, "{Ctrl+t}");
    const auto saved = bytesOf(h.userFile());
    QCOMPARE(h.action("editundo")->text(), QStringLiteral("&Undo Save changes to \"path keys\""));
    h.select(1, "script it");
    h.prompter.answers = {"script & more"};
    h.action("commandrename")->trigger();
    QVERIFY(h.session->store().findUser(kGlobal, kGlobal, "script & more"));
    const auto renamed = bytesOf(h.userFile());
    QVERIFY(renamed != original);
    h.select(1, "say hello");
    h.prompter.answers = {"yes"};
    h.action("commanddelete")->trigger();
    QVERIFY(!h.session->store().findUser(kGlobal, kGlobal, "say hello"));
    const auto deleted = bytesOf(h.userFile());

    QCOMPARE(undo->text(), QStringLiteral("&Undo Delete \"say hello\""));
    QVERIFY(undo->isEnabled());
    QVERIFY(!redo->isEnabled());

    // An open edit turns them off: nothing may change the file under it.
    h.select(1, "path keys");
    h.child<QPushButton>("modify")->click();
    QVERIFY(h.child<QPushButton>("savechanges")->isEnabled());
    QVERIFY(!undo->isEnabled());
    QTest::keyClick(h.child<QPlainTextEdit>("Text1"), Qt::Key_Z, Qt::ControlModifier);
    QCOMPARE(bytesOf(h.userFile()), deleted);
    h.child<QPushButton>("abandon")->click();
    QVERIFY(undo->isEnabled());

    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Z, Qt::ControlModifier);
    QCOMPARE(bytesOf(h.userFile()), renamed);
    QVERIFY(h.session->store().findUser(kGlobal, kGlobal, "say hello"));
    QVERIFY(h.items(1).contains(QStringLiteral("say hello")));
    // The "&" of the name is shown, not taken for the entry's key.
    QCOMPARE(undo->text(), QStringLiteral("&Undo Rename \"script it\" to \"script && more\""));
    QCOMPARE(redo->text(), QStringLiteral("&Redo Delete \"say hello\""));
    QVERIFY(redo->isEnabled());
    QCOMPARE(h.prompter.statusLines.back(), std::string(ops::texts::Undone) + "Delete \"say hello\"");

    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Z, Qt::ControlModifier);
    QCOMPARE(bytesOf(h.userFile()), saved);
    QVERIFY(h.session->store().findUser(kGlobal, kGlobal, "script it"));
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Z, Qt::ControlModifier);
    QCOMPARE(bytesOf(h.userFile()), original);
    QCOMPARE(h.session->store().findUser(kGlobal, kGlobal, "path keys")->script, pathKeys);
    QVERIFY(!undo->isEnabled());
    QCOMPARE(undo->text(), QStringLiteral("&Undo"));

    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Y, Qt::ControlModifier);
    QCOMPARE(bytesOf(h.userFile()), saved);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Y, Qt::ControlModifier);
    QCOMPARE(bytesOf(h.userFile()), renamed);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Y, Qt::ControlModifier);
    QCOMPARE(bytesOf(h.userFile()), deleted);
    QVERIFY(!redo->isEnabled());
    QVERIFY(!h.session->store().findUser(kGlobal, kGlobal, "say hello"));

    // A new program over the same home folder has the history.
    h.start();
    showActive(h);
    QCOMPARE(h.action("editundo")->text(), QStringLiteral("&Undo Delete \"say hello\""));
    h.action("editundo")->trigger();
    QCOMPARE(bytesOf(h.userFile()), renamed);
}

void UndoRedoTest::aFileChangedByDragonIsNotUndone() {
    GuiHome h(standardFile());
    h.select(1, "say hello");
    h.prompter.answers = {"yes"};
    h.action("commanddelete")->trigger();
    QVERIFY(h.action("editundo")->isEnabled());

    auto other = standardFile();
    other.add(command("added by Dragon", kKindKeys, "x"));
    other.writeFile(h.userFile());
    const auto foreign = bytesOf(h.userFile());
    h.action("editundo")->trigger();
    QCOMPARE(bytesOf(h.userFile()), foreign);
    QCOMPARE(h.prompter.last().text, std::string(ops::texts::ChangedSinceStart) + "Delete \"say hello\"" +
                                         std::string(ops::texts::ChangedSinceMade));
    QVERIFY2(h.action("editundo")->isEnabled(), "the change stays in the history");
}

QTEST_MAIN(UndoRedoTest)
#include "UndoRedoTest.moc"
