// The window follows its open file: a change another program makes is read and shown with the
// selection kept, while the program's own changes pass unremarked; an open edit is told at once
// that its save will be refused, and the refusal names no Dragon tool for a file of its own.

#include "GuiHome.h"

#include "ops/RenameCommand.h"
#include "ops/Texts.h"
#include "ops/Workspace.h"
#include "ui/Texts.h"

using namespace vocabrella;
using namespace vocabrella::testsupport;

namespace {

const ops::Place kGlobal{"Global Commands", "Global Commands"};

// Another program, over a home folder of its own, renames a command of the file.
void renameElsewhere(const fs::path& file, const std::string& from, const std::string& to) {
    QTemporaryDir elsewhere;
    ScriptedPrompter quiet;
    SystemClock clock;
    Session other(os::pathFrom(elsewhere.path().toStdString()) / "home", quiet, clock);
    QVERIFY(other.open(file).success);
    ops::Workspace ws(other, clock);
    QVERIFY(ops::RenameCommand(ws, kGlobal, from, to).run().isDone());
}

bool toldReadAgain(const GuiHome& h) {
    const auto& lines = h.prompter.statusLines;
    return std::find(lines.begin(), lines.end(), std::string(ui::texts::FileChangedReadAgain)) != lines.end();
}

} // namespace

class FileWatchTest : public QObject {
    Q_OBJECT

private slots:
    void aChangeElsewhereIsShownWithTheSelectionKept();
    void anOpenEditIsToldAtOnce();
};

void FileWatchTest::aChangeElsewhereIsShownWithTheSelectionKept() {
    GuiHome h;
    auto b = standardFile();
    const auto file = h.open(b);
    // The window's own change is no other program's.
    h.select(1, "path keys");
    h.prompter.answers = {"path keys now"};
    h.action("commandrename")->trigger();
    QTest::qWait(700);
    QVERIFY(!toldReadAgain(h));

    h.select(1, "say hello");
    renameElsewhere(file, "script it", "script that");
    QTRY_VERIFY(h.items(1).contains(QStringLiteral("script that")));
    QVERIFY(!h.items(1).contains(QStringLiteral("script it")));
    QCOMPARE(h.list(1)->currentItem()->text(), QStringLiteral("say hello"));
    QCOMPARE(h.body(), QStringLiteral("hello\nworld"));
    QVERIFY(toldReadAgain(h));
    QVERIFY(h.session->store().findUser(kGlobal.program, kGlobal.scope, "script that"));
}

void FileWatchTest::anOpenEditIsToldAtOnce() {
    GuiHome h;
    auto b = standardFile();
    const auto file = h.open(b);
    h.select(1, "say hello");
    h.child<QPushButton>("modify")->click();
    h.child<QPlainTextEdit>("Text1")->setPlainText(QStringLiteral("mine"));
    renameElsewhere(file, "script it", "script that");
    QTRY_VERIFY(h.prompter.messageCount() > 0);
    QCOMPARE(h.prompter.last().text, std::string(ui::texts::FileChangedWhileEditing));
    QCOMPARE(h.prompter.last().title, os::pathText(file));
    // The edit stays; once told is enough.
    const auto told = h.prompter.messageCount();
    QTest::qWait(700);
    QCOMPARE(h.prompter.messageCount(), told);
    QVERIFY(h.child<QPushButton>("savechanges")->isEnabled());
    QCOMPARE(h.body(), QStringLiteral("mine"));
    QVERIFY(!toldReadAgain(h));

    // A file of its own is changed by another program, not by a tool of Dragon's.
    h.child<QPushButton>("savechanges")->click();
    QCOMPARE(h.prompter.last().text, std::string(ops::texts::ChangedByAnotherProgram));
    QVERIFY(h.items(1).contains(QStringLiteral("script that")));
}

QTEST_MAIN(FileWatchTest)
#include "FileWatchTest.moc"
