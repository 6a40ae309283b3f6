// The edges of editing in the window: LISTs that exist only globally, refused names, LIST
// clones and renames, the last command of a scope, Debug with Basic and the roaming notice.
// After every change the file is read afresh and must agree with the store the window shows.

#include "GuiHome.h"

#include "cmdfile/Reader.h"
#include "cmdfile/Trace.h"
#include "ops/Texts.h"
#include "shell/HomeFolder.h"
#include "shell/ProfileFile.h"
#include "shell/platform/DragonFiles.h"
#include "ui/Dialogs.h"

#include <QApplication>
#include <QCheckBox>
#include <QTabWidget>
#include <QTimer>

#include <algorithm>
#include <tuple>

using namespace vocabrella;
using namespace vocabrella::testsupport;

namespace {

using RowKey = std::tuple<std::string, std::string, std::string, std::string, std::string, std::string, std::string>;

// The rows that stand for records of the file: the copies of global LISTs the window keeps for
// the scopes whose commands use them are its own.
std::vector<RowKey> keys(const std::vector<UserRow>& rows) {
    std::vector<RowKey> out;
    for (const auto& r : rows)
        if (!r.listcopy) out.emplace_back(r.menu, r.state, r.name, r.Type, r.script, r.description, r.owner);
    std::sort(out.begin(), out.end());
    return out;
}

// The file read with a store of its own, as opening it would.
std::vector<UserRow> parseAfresh(const fs::path& file) {
    QTemporaryDir dir;
    const fs::path home(dir.path().toStdString());
    fs::copy_file(HomeFolder::shippedDataFolder() / "keynames", home / "keynames");
    auto store = CommandStore::create(home / "global.mdb");
    ScriptedPrompter prompter;
    SystemClock clock;
    Trace trace;
    CommandFileReader reader(ReaderEnvironment{store, trace, prompter, clock, home});
    const auto outcome = reader.ReadCommandFile(true, file);
    if (!outcome.success) qWarning("%s", outcome.problem.c_str());
    return store.allUsers();
}

// The names of the rows of one program and scope, as the file holds them.
std::vector<std::string> namesIn(const std::vector<UserRow>& rows, const std::string& program, const std::string& scope) {
    std::vector<std::string> out;
    for (const auto& r : rows)
        if (r.menu == program && r.state == scope) out.push_back(r.name);
    std::sort(out.begin(), out.end());
    return out;
}

void answerNameForm(const QString& name) {
    QTimer::singleShot(0, [=] {
        auto* form = qobject_cast<ui::NewCommandForm*>(QApplication::activeModalWidget());
        QVERIFY(form);
        QTest::keyClicks(form->findChild<QLineEdit*>(QStringLiteral("Text1")), name);
        form->findChild<QPushButton*>(QStringLiteral("ok"))->click();
    });
}

const char* const kGlobal = "Global Commands";

} // namespace

class EditingEdgesTest : public QObject {
    Q_OBJECT

private slots:
    void aListThatExistsOnlyGlobally();
    void refusedNamesSayWhy();
    void aNewListAsksForItsCommandNext();
    void cloningAndRenamingLists();
    void deletingTheLastCommandOfAScope();
    void debugWithBasicTypesIntoDragonsEditor();
    void debugWithBasicSendsNothingElsewhere();
    void debugWithBasicTakesLegacyScriptsWhole();
    void roamingNoticeUntilToldOtherwise();

private:
    // The store of the window holds exactly what the file holds.
    static std::vector<UserRow> agreesWithFile(GuiHome& h, const fs::path& file) {
        auto fresh = parseAfresh(file);
        const auto shown = keys(h.session->store().allUsers());
        const auto read = keys(fresh);
        if (shown != read) {
            qWarning("store and file differ: %zu rows against %zu", shown.size(), read.size());
            for (const auto& k : shown)
                if (std::find(read.begin(), read.end(), k) == read.end())
                    qWarning("only in the store: %s / %s / %s", std::get<0>(k).c_str(), std::get<1>(k).c_str(), std::get<2>(k).c_str());
            for (const auto& k : read)
                if (std::find(shown.begin(), shown.end(), k) == shown.end())
                    qWarning("only in the file: %s / %s / %s", std::get<0>(k).c_str(), std::get<1>(k).c_str(), std::get<2>(k).c_str());
        }
        [&] { QVERIFY(shown == read); }();
        return fresh;
    }
};

void EditingEdgesTest::aListThatExistsOnlyGlobally() {
    GuiHome h;
    auto builder = standardFile();
    const auto file = h.open(builder);
    h.choose("appcommand", QStringLiteral("NOTEPAD"));
    answerNameForm(QStringLiteral("tint <color>"));
    h.action("commandnewkeys")->trigger();
    QCOMPARE(h.list(1)->currentItem()->text(), QStringLiteral("tint <color>"));
    h.child<QPlainTextEdit>("Text1")->setPlainText(QStringLiteral("{Ctrl+t}"));
    h.child<QPushButton>("savechanges")->click();

    const auto rows = agreesWithFile(h, file);
    const auto scope = h.text("Text3").toStdString();
    const auto inScope = namesIn(rows, "NOTEPAD", scope);
    QVERIFY(std::find(inScope.begin(), inScope.end(), "tint <color>") != inScope.end());
    // The command uses the global LIST, which stays where it is.
    QCOMPARE(namesIn(rows, kGlobal, kGlobal).size(), namesIn(parseAfresh(file), kGlobal, kGlobal).size());
    QVERIFY(std::any_of(rows.begin(), rows.end(), [](const UserRow& r) { return r.name == "color" && r.Type == "L"; }));
}

void EditingEdgesTest::refusedNamesSayWhy() {
    GuiHome h;
    auto builder = standardFile();
    const auto file = h.open(builder);
    const auto before = parseAfresh(file);

    answerNameForm(QStringLiteral("use <nowhere>"));
    h.action("commandnewkeys")->trigger();
    QCOMPARE(h.prompter.last().text, std::string(ops::texts::CreateListsFirst));
    QCOMPARE(h.prompter.last().title, std::string("nowhere"));

    answerNameForm(QStringLiteral("SAY HELLO"));
    h.action("commandnewplaintext")->trigger();
    QCOMPARE(h.prompter.last().text, std::string(ops::texts::CommandExists));

    h.prompter.answers = {"Fruit Salad"};
    h.action("commandnewlist")->trigger();
    QCOMPARE(h.prompter.last().text, std::string(ops::texts::ListNameCharacters));
    QCOMPARE(h.prompter.last().title, std::string("Fruit Salad"));

    h.prompter.answers = {"color"};
    h.action("commandnewlist")->trigger();
    QCOMPARE(h.prompter.last().text, std::string(ops::texts::CommandOrListExists));

    // Nothing was written and the window is idle.
    QVERIFY(keys(parseAfresh(file)) == keys(before));
    QVERIFY(!h.child<QPushButton>("savechanges")->isEnabled());
}

void EditingEdgesTest::aNewListAsksForItsCommandNext() {
    GuiHome h(standardFile()); // the speech user's own file: a new LIST does not make Dragon reload
    const auto reloadsBefore = std::count(h.prompter.statusLines.begin(), h.prompter.statusLines.end(),
                                          std::string("Update processed, User ready"));
    h.prompter.answers = {"fruit"};
    h.action("commandnewlist")->trigger();
    h.child<QPlainTextEdit>("Text1")->setPlainText(QStringLiteral("apple\npear"));
    h.child<QPushButton>("savechanges")->click();
    QCOMPARE(h.prompter.statusLines.back(), std::string("You must NEXT create a command using created LIST"));
    QCOMPARE(std::count(h.prompter.statusLines.begin(), h.prompter.statusLines.end(),
                        std::string("Update processed, User ready")),
             reloadsBefore);
    QCOMPARE(h.child<QTabWidget>("SSTab1")->currentIndex(), 1);
    QCOMPARE(h.list(2)->currentItem()->text(), QStringLiteral("fruit"));
    const auto rows = agreesWithFile(h, h.userFile());
    QVERIFY(std::any_of(rows.begin(), rows.end(), [](const UserRow& r) { return r.name == "fruit" && r.Type == "L"; }));
}

void EditingEdgesTest::cloningAndRenamingLists() {
    GuiHome h;
    auto builder = standardFile();
    for (int i = 1; i <= 6; ++i) {
        auto c = command("shade " + std::to_string(i) + " <color>", kKindKeys, "{Ctrl+" + std::to_string(i) + "}");
        c.lists = {"color"};
        builder.add(c);
    }
    const auto file = h.open(builder);
    h.form->showTab(1);
    h.select(2, "color");

    // A clone takes the LIST rules: capitals are refused, then a good name is taken.
    h.prompter.answers = {"Colour"};
    h.action("commandclone")->trigger();
    QCOMPARE(h.prompter.last().text, std::string(ops::texts::ListNameCharacters));
    h.prompter.answers = {"colour"};
    h.action("commandclone")->trigger();
    h.child<QPushButton>("savechanges")->click(); // the copy as it stands
    QVERIFY(h.session->store().findUser(kGlobal, kGlobal, "colour"));
    agreesWithFile(h, file);

    // Seven commands use color: the question shows six of them and the full count.
    h.form->showTab(1);
    h.select(2, "color");
    h.prompter.answers = {"hue", "yes"};
    h.action("commandrename")->trigger();
    const auto question = std::find_if(h.prompter.shown.begin(), h.prompter.shown.end(), [](const auto& s) {
        return s.text.starts_with(std::string(ops::texts::ListInUseStart) + "7" + std::string(ops::texts::ListInUseIncluding));
    });
    QVERIFY(question != h.prompter.shown.end());
    int named = 0;
    for (const auto& name : {"paint <color>", "shade 1 <color>", "shade 2 <color>", "shade 3 <color>",
                             "shade 4 <color>", "shade 5 <color>", "shade 6 <color>"})
        if (question->text.find(name) != std::string::npos) ++named;
    QCOMPARE(named, 6);
    QVERIFY(h.session->store().findUser(kGlobal, kGlobal, "hue"));
    QVERIFY(!h.session->store().findUser(kGlobal, kGlobal, "color"));
    agreesWithFile(h, file);
}

void EditingEdgesTest::deletingTheLastCommandOfAScope() {
    GuiHome h;
    auto builder = standardFile();
    const auto file = h.open(builder);
    h.choose("appcommand", QStringLiteral("WINWORD"));
    h.choose("statecommand", QStringLiteral("Document1 - Word"));
    QCOMPARE(h.items(1), QStringList{"close doc"});
    h.prompter.answers = {"yes"};
    h.action("commanddelete")->trigger();
    const auto rows = agreesWithFile(h, file);
    QVERIFY(namesIn(rows, "WINWORD", "Document1 - Word").empty());
    QVERIFY(!h.session->store().findUser("WINWORD", "Document1 - Word", "close doc"));
    // The window shows something that exists, and says so when it is nothing.
    const QString shown = h.list(1)->currentItem()->text();
    QVERIFY(shown == QStringLiteral("Nothing to show") ||
            h.session->store().findUser(h.text("Text2").toStdString(), h.text("Text3").toStdString(), shown.toStdString()));
    QVERIFY(!h.child<QPushButton>("savechanges")->isEnabled());
}

void EditingEdgesTest::debugWithBasicTypesIntoDragonsEditor() {
    GuiHome h;
    auto builder = standardFile();
    auto debug = command("debug me", kKindAdvancedScript, "Sub Main\r\n\tMsgBox(\"a+b\")\r\nEnd Sub");
    builder.add(debug);
    h.open(builder);
    h.select(1, "say hello");
    QVERIFY(!h.action("CommandDebugBasic")->isEnabled()); // only advanced scripts
    h.select(1, "debug me");
    QVERIFY(h.action("CommandDebugBasic")->isEnabled());
    h.action("CommandDebugBasic")->trigger();

    auto& windows = h.dragon->windows();
    const auto editor = windows.findWindow({}, platform::dragonfiles::CommandEditorTitle);
    QVERIFY(editor != 0);
    const auto& keys = windows.window(editor)->receivedKeys;
    QVERIFY(keys.size() > 6);
    QCOMPARE(keys[0], std::string("%y{end}"));
    QCOMPARE(keys[1], std::string("{tab 2}^{end}+(^{home})"));
    QCOMPARE(keys[2], std::string("{del}"));
    std::string typed;
    for (std::size_t i = 3; i + 3 < keys.size(); ++i) typed += keys[i];
    // Without "End Sub" and line feeds; what would mean keys is in braces.
    QCOMPARE(typed, std::string("Sub Main\r\tMsgBox{(}\"a{+}b\"{)}"));
    QCOMPARE(keys[keys.size() - 3], std::string("{bs 2}"));
    QCOMPARE(keys[keys.size() - 2], std::string("% x"));
    QCOMPARE(keys.back(), std::string("^{home}"));
}

void EditingEdgesTest::debugWithBasicSendsNothingElsewhere() {
    GuiHome h;
    auto builder = standardFile();
    h.open(builder);
    h.select(1, "advanced");
    auto& windows = h.dragon->windows();
    const auto notepad = windows.open("Untitled - Notepad", "Notepad", "notepad.exe", true);

    // The editor is gone before the program looks for it: nothing is typed anywhere.
    QTimer::singleShot(100, [&] { windows.close(windows.findWindow({}, platform::dragonfiles::CommandEditorTitle)); });
    h.action("CommandDebugBasic")->trigger();
    QCOMPARE(h.prompter.last().text, std::string(ops::texts::EditorDidNotOpen));
    QVERIFY(windows.window(notepad)->receivedKeys.empty());

    // Another window takes the front while the editor waits: typing stops there.
    QTimer::singleShot(700, [&] { windows.bringToFront(notepad); });
    h.action("CommandDebugBasic")->trigger();
    QCOMPARE(h.prompter.last().text, std::string(ops::texts::EditorLeftFront));
    QVERIFY(windows.window(notepad)->receivedKeys.empty());
    const auto editor = windows.findWindow({}, platform::dragonfiles::CommandEditorTitle);
    QVERIFY(editor != 0);
    QVERIFY(windows.window(editor)->receivedKeys.size() <= 2); // at most the keys before the pause
}

void EditingEdgesTest::debugWithBasicTakesLegacyScriptsWhole() {
    GuiHome h;
    auto builder = standardFile();
    builder.add(command("legacy end", kKindScript, "SendKeys \"a\"\r\nEnd"));
    h.open(builder);
    auto& windows = h.dragon->windows();
    // The script's keys as one text: those after the three that empty the editor and before
    // the three that end the typing. The editor window stays open between runs.
    std::size_t seen = 0;
    const auto debug = [&](const QString& name) {
        h.select(1, name);
        [&] { QVERIFY(h.action("CommandDebugBasic")->isEnabled()); }();
        h.action("CommandDebugBasic")->trigger();
        const auto editor = windows.findWindow({}, platform::dragonfiles::CommandEditorTitle);
        std::string typed;
        if (editor == 0) return typed;
        const auto& keys = windows.window(editor)->receivedKeys;
        for (std::size_t i = seen + 3; i + 3 < keys.size(); ++i) typed += keys[i];
        seen = keys.size();
        return typed;
    };
    const auto told = [](std::size_t count) {
        const auto n = std::to_string(count);
        return std::string(ops::texts::DebugTyped) + n + std::string(ops::texts::DebugOf) + n +
               std::string(ops::texts::DebugCharacters);
    };

    // Nothing of a legacy script is left out, a last line "End" included.
    QCOMPARE(debug("script it"), std::string("SendKeys \"x\""));
    QCOMPARE(h.prompter.statusLines.back(), told(12));
    QCOMPARE(debug("legacy end"), std::string("SendKeys \"a\"\rEnd"));
    // An advanced script loses its closing line; the status line counts what was typed.
    QCOMPARE(debug("advanced"), std::string("Sub Main\r\tBeep"));
    QCOMPARE(h.prompter.statusLines.back(), told(14));
}

void EditingEdgesTest::roamingNoticeUntilToldOtherwise() {
    GuiHome h(standardFile(), true);
    QVERIFY(!h.settings->options().dontShowRoamSaveUser);
    int notices = 0;
    // Answers every notice: the first time only Proceed, then "do not show again".
    QTimer watcher;
    QObject::connect(&watcher, &QTimer::timeout, [&] {
        auto* notice = qobject_cast<ui::RoamWarnDialog*>(QApplication::activeModalWidget());
        if (!notice) return;
        ++notices;
        QCOMPARE(notice->objectName(), QStringLiteral("roamwarn"));
        QCOMPARE(notice->windowTitle(), QStringLiteral("Save Changes Roaming User Informational message"));
        if (notices == 2) notice->findChild<QCheckBox*>(QStringLiteral("Check1"))->setChecked(true);
        notice->findChild<QPushButton*>(QStringLiteral("proceed"))->click();
    });
    watcher.start(20);

    const auto save = [&](const QString& line) {
        h.select(1, "say hello");
        h.child<QPushButton>("modify")->click();
        auto* body = h.child<QPlainTextEdit>("Text1");
        body->moveCursor(QTextCursor::End);
        QTest::keyClicks(body, line);
        h.child<QPushButton>("savechanges")->click();
    };
    save(QStringLiteral(" one"));
    QCOMPARE(notices, 1);
    QVERIFY(!h.settings->options().dontShowRoamSaveUser);
    save(QStringLiteral(" two"));
    QCOMPARE(notices, 2);
    QVERIFY(h.settings->options().dontShowRoamSaveUser);
    save(QStringLiteral(" three"));
    QCOMPARE(notices, 2);
    namespace df = platform::dragonfiles;
    QCOMPARE(ProfileFile(h.userFile().parent_path() / df::LocalFile).read(df::Options, df::MyCommandsChanged),
             std::string("1"));
    QVERIFY(h.session->store().findUser(kGlobal, kGlobal, "say hello")->script.find("one two three") != std::string::npos);
}

QTEST_MAIN(EditingEdgesTest)
#include "EditingEdgesTest.moc"
