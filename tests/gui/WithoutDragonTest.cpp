// The window with no Dragon installation named: a file given on the command line or through
// File > Open is shown and changed on its own; what needs Dragon is off and the status line says
// why.

#include "GuiHome.h"

#include "ops/Texts.h"
#include "shell/FileBackups.h"
#include "shell/platform/SimulatedDragon.h"
#include "ui/RunningProgram.h"
#include "ui/Texts.h"

#include <QStatusBar>
#include <QTabWidget>

#include <sqlite3.h>

#include <fstream>
#include <iterator>

using namespace vocabrella;
using namespace vocabrella::testsupport;

namespace {

std::string fileBytes(const fs::path& p) {
    std::ifstream in(p, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

// A program with no installation, over a home folder of its own.
class Plain {
public:
    bool start(const std::string& argument = {}) {
        program.reset();
        program = std::make_unique<ui::RunningProgram>(StartupOptions{home(), argument}, std::nullopt, prompter, clock);
        return program->start();
    }
    ~Plain() { program.reset(); }

    fs::path folder() const { return fs::path(dir_.path().toStdString()); }
    fs::path home() const { return folder() / "home"; }
    ui::Form1& window() { return program->window(); }
    template <class T> T* child(const char* name) { return window().findChild<T*>(QString::fromLatin1(name)); }
    QAction* action(const char* name) { return child<QAction>(name); }
    bool enabled(const char* name) { return action(name)->isEnabled(); }
    QString note() { return child<QLabel>("NoDragon")->text(); }

    ScriptedPrompter prompter;
    SystemClock clock;
    std::unique_ptr<ui::RunningProgram> program;

private:
    QTemporaryDir dir_;
};

QString qs(std::string_view s) { return QString::fromUtf8(s.data(), static_cast<qsizetype>(s.size())); }

} // namespace

class WithoutDragonTest : public QObject {
    Q_OBJECT

private slots:
    void aFileFromTheCommandLineIsShownAndChanged();
    void withoutAFileTheWindowWaitsForOpen();
    void aStoreThatFailsUnderTheWindowIsToldAndTheWindowGoesOn();
};

void WithoutDragonTest::aFileFromTheCommandLineIsShownAndChanged() {
    Plain p;
    CommandFileBuilder builder;
    builder.add(command("copy that", kKindKeys, "{Ctrl+c}"));
    builder.add(command("paste that", kKindKeys, "{Ctrl+v}"));
    builder.add(command("tell me", kKindScript, "MsgBoxConfirm \"hi\", 64, \"Hi\"\r\n"));
    const fs::path file = p.folder() / "colleague.dat";
    builder.writeFile(file);
    const std::string original = fileBytes(file);

    QVERIFY(p.start(file.string()));
    QCOMPARE(p.window().windowTitle(), QStringLiteral("Vocabrella - ") + qs(fs::canonical(file).string()));
    QVERIFY(p.prompter.shown.empty()); // no "not installed", no import offer
    // What needs Dragon is off, and the status line says why.
    for (const char* name : {"filereload", "filereset", "rollbackset", "CommandDebugBasic", "rollback"})
        QVERIFY2(!p.enabled(name), name);
    QVERIFY(p.enabled("fileopen"));
    QCOMPARE(p.note(), qs(ui::texts::NoDragonFileOpen));
    QVERIFY(!p.program->simulatedDragon()->voiceCommands().registered());

    // An edit through the widgets lands in the file, after a backup of the file as it was.
    auto* list = p.child<ui::NameList>("List1");
    const int row = list->rowOf(QStringLiteral("paste that"), Qt::CaseSensitive);
    QVERIFY(row >= 0);
    list->setCurrentRow(row);
    p.child<QPushButton>("modify")->click();
    auto* body = p.child<QPlainTextEdit>("Text1");
    QVERIFY(!body->isReadOnly());
    body->selectAll();
    QTest::keyClicks(body, "{Shift+Insert}");
    p.child<QPushButton>("savechanges")->click();
    QVERIFY(!p.child<QPushButton>("savechanges")->isEnabled());
    QVERIFY2(p.prompter.shown.empty(), p.prompter.shown.empty() ? "" : p.prompter.last().text.c_str());

    QVERIFY(fileBytes(file).find("{Shift+Insert}") != std::string::npos);
    QVERIFY(fileBytes(file).find("{Ctrl+v}") == std::string::npos);
    QCOMPARE(list->currentItem()->text(), QStringLiteral("paste that"));
    QCOMPARE(body->toPlainText(), QStringLiteral("{Shift+Insert}"));
    const auto backups = FileBackups::folderOf(p.home(), file);
    QVERIFY(fs::exists(backups));
    bool kept = false;
    for (const auto& entry : fs::directory_iterator(backups))
        kept = kept || (entry.path().filename().string().rfind("colleague.dat.", 0) == 0 && fileBytes(entry.path()) == original);
    QVERIFY(kept);
    QCOMPARE(p.note(), qs(ui::texts::NoDragonFileOpen));

    // Without Dragon the legacy scripts are checked by the program's own check: the window says
    // so in its own words, not in those of the command line.
    p.action("toolscheck")->trigger();
    const QString said = qs(p.prompter.last().text);
    QVERIFY2(said.contains(qs(ops::texts::ScriptsWithoutDragonStart) + QStringLiteral("1")), qPrintable(said));
    QVERIFY2(!said.contains(QStringLiteral("--dragon-root")), qPrintable(said));
}

void WithoutDragonTest::aStoreThatFailsUnderTheWindowIsToldAndTheWindowGoesOn() {
    Plain p;
    CommandFileBuilder builder;
    builder.add(command("copy that", kKindKeys, "{Ctrl+c}"));
    const fs::path file = p.folder() / "colleague.dat";
    builder.writeFile(file);
    const std::string original = fileBytes(file);
    QVERIFY(p.start(file.string()));

    // Another program takes the table of commands away from under the window.
    sqlite3* other = nullptr;
    QCOMPARE(sqlite3_open(os::pathText(p.home() / "global.mdb").c_str(), &other), SQLITE_OK);
    const int dropped = sqlite3_exec(other, "DROP TABLE user", nullptr, nullptr, nullptr);
    sqlite3_close(other);
    QCOMPARE(dropped, SQLITE_OK);

    // The next thing the window asks of the store fails: the user reads why, in the program's
    // words, and the window stays.
    p.child<QTabWidget>("SSTab1")->setCurrentIndex(1);
    QVERIFY(!p.prompter.shown.empty());
    const QString said = qs(p.prompter.last().text);
    QVERIFY2(said.startsWith(qs(ops::texts::StoreFailed)), qPrintable(said));
    QVERIFY(said.contains(QStringLiteral("user")));
    QVERIFY(!p.window().ended());
    QCOMPARE(fileBytes(file), original);
}

void WithoutDragonTest::withoutAFileTheWindowWaitsForOpen() {
    Plain p;
    QVERIFY(p.start());
    QCOMPARE(p.window().windowTitle(), QStringLiteral("Vocabrella"));
    QCOMPARE(p.note(), qs(ui::texts::NoDragonNoFile));
    QVERIFY(p.enabled("fileopen"));
    QVERIFY(!p.child<QMenu>("commandmenu")->menuAction()->isEnabled()); // nothing to make a command in
    QVERIFY(!p.child<QMenu>("toolsmenu")->menuAction()->isEnabled());
    QCOMPARE(p.child<ui::NameList>("List1")->item(0)->text(), qs(ui::texts::NothingToShow));

    CommandFileBuilder builder;
    builder.add(inProgram(command("bold it", kKindKeys, "{Ctrl+b}"), "winword"));
    const fs::path file = p.folder() / "shared.dat";
    builder.writeFile(file);
    p.window().hooks().chooseFileToOpen = [&](const fs::path&) { return std::optional<fs::path>(file); };
    p.action("fileopen")->trigger();
    QCOMPARE(p.window().windowTitle(), QStringLiteral("Vocabrella - ") + qs(fs::canonical(file).string()));
    QCOMPARE(p.child<ui::NameList>("List1")->item(0)->text(), QStringLiteral("bold it"));
    QCOMPARE(p.child<QLineEdit>("Text2")->text(), QStringLiteral("WINWORD"));
    QVERIFY(p.child<QMenu>("commandmenu")->menuAction()->isEnabled());
    QVERIFY(p.child<QMenu>("toolsmenu")->menuAction()->isEnabled());
    QCOMPARE(p.note(), qs(ui::texts::NoDragonFileOpen));
    QVERIFY(!p.enabled("filereload"));
}

QTEST_MAIN(WithoutDragonTest)
#include "WithoutDragonTest.moc"
