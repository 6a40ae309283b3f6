// File > Compare with...: the differences between the open file and another, and what a restore
// of a backup would change, shown before it is done.

#include "GuiHome.h"

#include "cmdfile/AtomicFile.h"
#include "ui/CompareDialog.h"
#include "ui/QtPrompter.h"

#include <QApplication>
#include <QDialogButtonBox>
#include <QTimer>

using namespace vocabrella;
using namespace vocabrella::testsupport;

namespace {

// What the dialog that opens next showed, once it was closed with the button given.
struct Seen {
    QString title, heading, differences;
    bool found = false;
};

void closeNextDialog(Seen& seen, QDialogButtonBox::StandardButton button = QDialogButtonBox::NoButton) {
    QTimer::singleShot(0, [&seen, button] {
        auto* dialog = qobject_cast<ui::CompareDialog*>(QApplication::activeModalWidget());
        if (!dialog) {
            if (auto* other = QApplication::activeModalWidget()) other->close();
            return;
        }
        seen = {dialog->windowTitle(), dialog->heading(), dialog->differences(), true};
        auto* box = dialog->findChild<QDialogButtonBox*>();
        if (button == QDialogButtonBox::NoButton) dialog->findChild<QPushButton*>(QStringLiteral("close"))->click();
        else box->button(button)->click();
    });
}

} // namespace

class CompareTest : public QObject {
    Q_OBJECT

private slots:
    void compareWithShowsTheDifferences();
    void compareWithAFileThatCannotBeRead();
    void rollbackShowsWhatTheBackupHoldsFirst();
    void theQuestionWithDetailsIsOneDialog();
};

void CompareTest::compareWithShowsTheDifferences() {
    GuiHome h(standardFile());
    auto other = standardFile();
    other.add(inProgram(command("new one", kKindKeys, "{Ctrl+n}"), "notepad"));
    const auto otherPath = h.write(other, "other.dat");
    std::optional<fs::path> answer = otherPath;
    h.form->hooks().chooseFileToOpen = [&](const fs::path&) { return answer; };

    QAction* compare = h.action("filecompare");
    QVERIFY(compare);
    QCOMPARE(compare->text(), QStringLiteral("&Compare with..."));
    Seen seen;
    closeNextDialog(seen);
    compare->trigger();
    QVERIFY(seen.found);
    QCOMPARE(seen.title, QStringLiteral("Compare with other.dat"));
    QCOMPARE(seen.heading, qs("A (open): " + fs::weakly_canonical(h.userFile()).string() + "\nB: " +
                              fs::weakly_canonical(otherPath).string()));
    QCOMPARE(seen.differences, QStringLiteral("Added command: NOTEPAD / Application-specific / new one"));

    // The same file: nothing; the open file is not touched either way.
    const auto before = readFileBytes(h.userFile());
    answer = h.userFile();
    closeNextDialog(seen);
    compare->trigger();
    QCOMPARE(seen.differences, QStringLiteral("No differences: the same commands and LISTs"));
    QVERIFY(readFileBytes(h.userFile()) == before);

    // Cancelling the choice shows nothing.
    answer.reset();
    seen = {};
    const auto shown = h.prompter.shown.size();
    compare->trigger();
    QVERIFY(!seen.found);
    QCOMPARE(h.prompter.shown.size(), shown);
}

void CompareTest::compareWithAFileThatCannotBeRead() {
    GuiHome h(standardFile());
    const auto damaged = h.folder() / "damaged.dat";
    auto bytes = standardFile().build();
    bytes.resize(bytes.size() / 2);
    writeBytes(damaged, bytes);
    h.form->hooks().chooseFileToOpen = [&](const fs::path&) { return std::optional<fs::path>(damaged); };
    Seen seen;
    closeNextDialog(seen);
    h.action("filecompare")->trigger();
    QTest::qWait(10); // the timer set for a dialog that did not come runs while `seen` is there
    QVERIFY(!seen.found);
    QCOMPARE(qs(h.prompter.last().title), qs(fs::weakly_canonical(damaged).string()));
    QVERIFY(h.prompter.last().text.rfind("This command file cannot be read: ", 0) == 0);
    QCOMPARE(h.session->store().countCommands(), std::int64_t{15}); // the open file's store as it was
}

void CompareTest::rollbackShowsWhatTheBackupHoldsFirst() {
    GuiHome h(standardFile()); // today's backup holds this file
    CommandFileBuilder changed;
    changed.add(command("only this", kKindKeys, "o"));
    changed.add(BuiltList("app", {"notepad", "excel"}));
    changed.writeFile(h.userFile());
    h.action("filereload")->trigger();
    const auto written = readFileBytes(h.userFile());

    h.prompter.answers = {"cancel"};
    h.action("rollbackdynamic")->trigger();
    QVERIFY(readFileBytes(h.userFile()) == written);
    QCOMPARE(h.items(1), QStringList{"only this"});
    const auto& shown = h.prompter.shown;
    QVERIFY(shown.size() >= 2);
    const auto& question = shown.back();
    const auto& preview = shown[shown.size() - 2];
    QCOMPARE(qs(question.title), QStringLiteral("Restore from archived file?"));
    QCOMPARE(qs(preview.title), QStringLiteral("Restore from archived file?"));
    QVERIFY(preview.text.rfind("What restoring this backup changes:\r\n", 0) == 0);
    for (const char* line :
         {"Brought back (in the backup, not in the current file): command: Global Commands / Global Commands / say hello",
          "Brought back (in the backup, not in the current file): command: NOTEPAD / Application-specific / save file",
          "Brought back (in the backup, not in the current file): LIST: color",
          "Lost (in the current file, not in the backup): command: Global Commands / Global Commands / only this",
          "Put back as the backup has it: LIST: app: items\r\n    items:\r\n    @@ -1,2 +1,2 @@\r\n     notepad\r\n"
          "    -excel\r\n    +word"})
        QVERIFY2(preview.text.find(line) != std::string::npos, line);

    h.prompter.answers = {"ok"};
    h.action("rollbackdynamic")->trigger();
    QCOMPARE(h.session->store().countCommands(), std::int64_t{15});
    QVERIFY(readFileBytes(h.userFile()) != written);
}

void CompareTest::theQuestionWithDetailsIsOneDialog() {
    ui::QtPrompter prompter;
    Seen seen;
    closeNextDialog(seen, QDialogButtonBox::Cancel);
    QVERIFY(!prompter.okCancelDetailed("Restore it?\r\nReally?", "Restore from archived file?", "Lost: a\r\nLost: b"));
    QVERIFY(seen.found);
    QCOMPARE(seen.title, QStringLiteral("Restore from archived file?"));
    QCOMPARE(seen.heading, QStringLiteral("Restore it?\nReally?"));
    QCOMPARE(seen.differences, QStringLiteral("Lost: a\nLost: b"));
    seen = {};
    closeNextDialog(seen, QDialogButtonBox::Ok);
    QVERIFY(prompter.okCancelDetailed("Restore it?", "Restore from archived file?", "Lost: a"));
    QVERIFY(seen.found);
}

QTEST_MAIN(CompareTest)
#include "CompareTest.moc"
