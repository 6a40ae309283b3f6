// "Check Commands..." of the Tools menu: the findings listed, and a double click going to the
// command or LIST wherever it is and whatever the group shown.

#include "GuiHome.h"

#include "cmdfile/RawRecord.h"
#include "ui/CheckCommandsDialog.h"
#include "ui/Texts.h"

#include <QApplication>
#include <QProgressDialog>
#include <QTimer>
#include <QTreeWidget>

using namespace vocabrella;
using namespace vocabrella::testsupport;

namespace {

BuiltCommand withLists(BuiltCommand c) {
    for (const auto reference : listReferences(c.name.bytes)) c.lists.emplace_back(std::string(reference));
    return c;
}

CommandFileBuilder faultyFile() {
    CommandFileBuilder b;
    b.add(withLists(command("open <app>", kKindKeys, "{Ctrl+o}", "Files")));
    b.add(withLists(command("close <nowhere>", kKindKeys, "{Alt+F4}", "Files")));
    b.add(command("broken", kKindScript, "SendKeys \"abc\r\n", "Files"));
    b.add(inProgram(command("nothing yet", kKindKeys, "", "Writing"), "winword"));
    b.add(inProgram(command("bold it", kKindKeys, "{Ctrl+b}", "Writing"), "winword"));
    b.add(BuiltList("app", {"word"}));
    b.add(BuiltList("spare", {"one"}));
    return b;
}

// Answers the next Check Commands dialog: the rows it lists, then a double click on the row of
// this name (or Close when none is given).
void answerCheck(QStringList* seen, const QString& goTo) {
    QTimer::singleShot(0, [=] {
        auto* dialog = qobject_cast<ui::CheckCommandsDialog*>(QApplication::activeModalWidget());
        QVERIFY(dialog);
        auto* tree = dialog->findChild<QTreeWidget*>(QStringLiteral("findings"));
        for (int i = 0; i < tree->topLevelItemCount(); ++i)
            *seen << tree->topLevelItem(i)->text(0) + "|" + tree->topLevelItem(i)->text(3);
        if (goTo.isEmpty()) {
            dialog->findChild<QPushButton*>(QStringLiteral("close"))->click();
            return;
        }
        const auto items = tree->findItems(goTo, Qt::MatchExactly, 3);
        QVERIFY(!items.isEmpty());
        tree->scrollToItem(items.front());
        const QPoint at = tree->visualItemRect(items.front()).center();
        QTest::mouseClick(tree->viewport(), Qt::LeftButton, {}, at);
        QTest::mouseDClick(tree->viewport(), Qt::LeftButton, {}, at);
    });
}

} // namespace

class CheckCommandsTest : public QObject {
    Q_OBJECT

private slots:
    void findingsAreListedAndADoubleClickGoesThere();
    void aCleanFileIsSaidToBeSo();
    void aConflictIsListedAtTheLaterCommandWithTheWords();
    void aBigFileShowsTheCheckGoingAndCancelStopsIt();
};

void CheckCommandsTest::findingsAreListedAndADoubleClickGoesThere() {
    GuiHome h;
    auto file = faultyFile();
    h.open(file);
    // A group filter that hides the WINWORD commands.
    h.choose("groupcommand", QStringLiteral("Files"));
    QCOMPARE(h.text("Text2"), QStringLiteral("Global Commands"));
    auto* check = h.action("toolscheck");
    QVERIFY(check);
    QCOMPARE(check->text(), QStringLiteral("C&heck Commands..."));
    QCOMPARE(h.menu("toolsmenu")->actions().back(), check);

    QStringList seen;
    answerCheck(&seen, QStringLiteral("nothing yet"));
    check->trigger();
    QCOMPARE(seen, (QStringList{"missing-list|close <nowhere>", "script-error|broken", "empty-body|nothing yet",
                                "unused-list|spare"}));
    QCOMPARE(h.text("Text2"), QStringLiteral("WINWORD"));
    QCOMPARE(h.list(1)->currentItem()->text(), QStringLiteral("nothing yet"));
    QCOMPARE(h.form->selection().command, std::string("nothing yet"));
    QCOMPARE(h.child<QTabWidget>("SSTab1")->currentIndex(), 0);

    // A LIST's finding goes to the LISTs.
    seen.clear();
    answerCheck(&seen, QStringLiteral("spare"));
    check->trigger();
    QCOMPARE(seen.size(), qsizetype(4));
    QCOMPARE(h.child<QTabWidget>("SSTab1")->currentIndex(), 1);
    QCOMPARE(h.list(2)->currentItem()->text(), QStringLiteral("spare"));

    // Closed on none: the window stays where it is.
    seen.clear();
    answerCheck(&seen, {});
    check->trigger();
    QCOMPARE(h.list(2)->currentItem()->text(), QStringLiteral("spare"));
}

void CheckCommandsTest::aCleanFileIsSaidToBeSo() {
    GuiHome h;
    CommandFileBuilder b;
    b.add(withLists(command("open <app>", kKindKeys, "{Ctrl+o}")));
    b.add(command("tell me", kKindScript, "MsgBoxConfirm \"hi\", 64, \"Hi\"\r\n"));
    b.add(BuiltList("app", {"word"}));
    h.open(b);
    h.action("toolscheck")->trigger();
    QCOMPARE(h.prompter.last().text, std::string(ui::texts::CheckNoFindings));
    QCOMPARE(h.prompter.last().title, std::string(ui::texts::CheckCaption));
}

void CheckCommandsTest::aConflictIsListedAtTheLaterCommandWithTheWords() {
    GuiHome h;
    CommandFileBuilder b;
    b.add(withLists(command("open <app>", kKindKeys, "{Ctrl+o}")));
    b.add(inProgram(command("open Word", kKindKeys, "{Ctrl+o}", "Writing"), "winword"));
    b.add(BuiltList("app", {"word"}));
    h.open(b);
    QStringList seen;
    QString detail;
    QTimer::singleShot(0, [&] {
        auto* dialog = qobject_cast<ui::CheckCommandsDialog*>(QApplication::activeModalWidget());
        QVERIFY(dialog);
        auto* tree = dialog->findChild<QTreeWidget*>(QStringLiteral("findings"));
        QCOMPARE(tree->topLevelItemCount(), 1);
        detail = tree->topLevelItem(0)->text(4);
    });
    answerCheck(&seen, QStringLiteral("open Word"));
    h.action("toolscheck")->trigger();
    QCOMPARE(seen, QStringList{"conflict|open Word"});
    QCOMPARE(detail,
             QStringLiteral("Both this command and \"open <app>\" (Global Commands, Global Commands) answer to \"open Word\""));
    QCOMPARE(h.text("Text2"), QStringLiteral("WINWORD"));
    QCOMPARE(h.form->selection().command, std::string("open Word"));
}

void CheckCommandsTest::aBigFileShowsTheCheckGoingAndCancelStopsIt() {
    GuiHome h;
    CommandFileBuilder b;
    for (int i = 0; i < 2500; ++i) b.add(command("open file " + std::to_string(i), kKindKeys, "{Ctrl+o}"));
    b.add(command("open file 7", kKindKeys, "{Ctrl+o}")); // a duplicate: findings, when not cancelled
    h.open(b);
    // Watches for the progress: cancels it when asked, and closes any findings that show.
    bool cancel = true, progressShown = false, findingsShown = false;
    QString accessibleName;
    QTimer watch;
    connect(&watch, &QTimer::timeout, [&] {
        if (auto* findings = qobject_cast<ui::CheckCommandsDialog*>(QApplication::activeModalWidget())) {
            findingsShown = true;
            findings->reject();
            return;
        }
        auto* progress = h.form->findChild<QProgressDialog*>(QStringLiteral("checkprogress"));
        if (!progress || !progress->isVisible()) return;
        progressShown = true;
        accessibleName = progress->accessibleName();
        if (cancel) progress->findChild<QPushButton*>()->click();
    });
    watch.start(0);
    h.action("toolscheck")->trigger();
    QVERIFY(progressShown);
    QVERIFY(!findingsShown);
    QCOMPARE(accessibleName, QStringLiteral("Checking commands"));
    QCOMPARE(h.prompter.statusLines.back(), std::string(ui::texts::CheckCancelled));

    // Not cancelled, the same check ends in its findings.
    cancel = false;
    progressShown = false;
    h.action("toolscheck")->trigger();
    watch.stop();
    QVERIFY(progressShown);
    QVERIFY(findingsShown);
}

QTEST_MAIN(CheckCommandsTest)
#include "CheckCommandsTest.moc"
