// The batch operation dialog and the other entries of the "&Tools" menu, driven through the
// real widgets with the scripted prompter answering the questions.

#include "GuiHome.h"

#include "ops/Texts.h"
#include "shell/Settings.h"
#include "ui/BatchDialog.h"
#include "ui/QtPrompter.h"
#include "ui/Texts.h"
#include "ui/ToolsDialogs.h"
#include "writer/Texts.h"

#include <QApplication>
#include <QCheckBox>
#include <QLayout>
#include <QRadioButton>
#include <QTimer>

#include <fstream>
#include <memory>
#include <iterator>
#include <tuple>

using namespace vocabrella;
using namespace vocabrella::testsupport;
using ui::BatchDialog;
using ui::BatchMode;
namespace optexts = vocabrella::ops::texts;
namespace wtexts = vocabrella::texts;
using Kind = ScriptedPrompter::Kind;

namespace {

std::string fileBytes(const fs::path& p) {
    std::ifstream in(p, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

BuiltCommand ofProgram(const std::string& module, const std::string& name, std::uint8_t kind, const std::string& body,
                       const std::string& group = {}) {
    return inProgram(command(name, kind, body, group), module);
}

// Global commands in the groups Work and Play, commands of NOTEPAD and WINWORD, a LIST.
CommandFileBuilder mixedFile(std::uint8_t language = 9) {
    CommandFileBuilder b(7, language);
    b.add(command("save all", kKindKeys, "{Ctrl+s}", "Work"));
    b.add(command("type name", kKindKeys, "abc}", "Work"));
    b.add(command("open menu", kKindScript, "SendKeys \"%f\"", "Play"));
    auto pick = command("pick <color>", kKindAdvancedScript, "Sub Main\r\nBeep\r\nEnd Sub", "Play");
    pick.lists = {"color"};
    b.add(pick);
    b.add(command("greeting", kKindText, "hello", "Play"));
    b.add(ofProgram("NOTEPAD", "new page", kKindScript, "SendKeys \"^n\"\r\nsendkeys \"x\"", "Work"));
    b.add(ofProgram("NOTEPAD", "close page", kKindAdvancedScript, "Sub Main\r\nSendKeys \"^w\"\r\nEnd Sub", "Play"));
    b.add(ofProgram("NOTEPAD", "plain words", kKindText, "SendKeys stays", "Play"));
    b.add(ofProgram("WINWORD", "bold", kKindKeys, "{Ctrl+b}", "Work"));
    b.add(BuiltList("color", {"red", "blue"}));
    return b;
}

using RowKey = std::tuple<std::string, std::string, std::string, std::string, std::string, std::string>;
std::vector<RowKey> rowsOf(CommandStore& store) {
    std::vector<RowKey> rows;
    store.forEachUser([&](const UserRow& r) {
        rows.emplace_back(r.menu, r.state, r.name, r.Type, r.owner, r.script);
        return true;
    });
    std::sort(rows.begin(), rows.end());
    return rows;
}

std::int64_t marked(CommandStore& store) {
    std::int64_t n = 0;
    store.forEachUser([&](const UserRow& r) {
        n += r.flag;
        return true;
    });
    return n;
}

template <class T> T* in(QWidget* w, const char* name) { return w->findChild<T*>(QString::fromLatin1(name)); }

QString shown(const std::string& s) { return QString::fromStdString(s); }

// Runs `act` on the modal dialog of type T once it is open (within two seconds).
template <class T> void whenModal(std::function<void(T*)> act) {
    auto* timer = new QTimer;
    auto ticks = std::make_shared<int>(0);
    QObject::connect(timer, &QTimer::timeout, [timer, ticks, act] {
        auto* d = qobject_cast<T*>(QApplication::activeModalWidget());
        if (!d && ++*ticks < 400) return;
        timer->stop();
        timer->deleteLater();
        if (d) act(d);
    });
    timer->start(5);
}

} // namespace

class BatchDialogTest : public QObject {
    Q_OBJECT

private slots:
    void countsInEveryMode();
    void pickListAndDelete();
    void renameGroupAndProgram();
    void renameProgramOfTheSpeechUsersFile();
    void searchAndReplaceStepByStep();
    void replaceAllCountsOccurrencesAndMacros();
    void exportNamesTargetsAndOpensTheExport();
    void fileChangedBehindTheProgramsBack();
    void keysConversionsWithTheHelpOffer();
    void versionAndLanguageConversions();
    void overAndOverwriteDialogs();

private:
    // Runs a Tools entry; `drive` works the dialog while it is open; a dialog still open
    // afterwards is cancelled.
    static void withDialog(GuiHome& h, const char* entry, const std::function<void(BatchDialog&)>& drive) {
        bool ran = false;
        whenModal<BatchDialog>([&](BatchDialog* d) {
            ran = true;
            drive(*d);
            if (d->isVisible()) in<QPushButton>(d, "cancel")->click();
        });
        h.action(entry)->trigger();
        QVERIFY2(ran, entry);
        QCOMPARE(marked(h.session->store()), std::int64_t{0}); // however it closed
    }
    static QStringList counts(BatchDialog& d) {
        QStringList out;
        for (int i = 5; i <= 9; ++i) out << in<QLabel>(&d, ("Label" + std::to_string(i)).c_str())->text();
        return out;
    }
    static void click(BatchDialog& d, const char* name) { in<QAbstractButton>(&d, name)->click(); }
    static void check(BatchDialog& d, const QString& entry) {
        const auto found = in<QListWidget>(&d, "List1")->findItems(entry, Qt::MatchExactly);
        QVERIFY2(!found.isEmpty(), qPrintable(entry));
        found.front()->setCheckState(Qt::Checked);
    }
    // The file as a fresh parse reads it agrees with the store the window shows.
    static void expectStoreIsTheFile(GuiHome& h) {
        QTemporaryDir dir;
        ScriptedPrompter quiet;
        SystemClock clock;
        Session fresh(fs::path(dir.path().toStdString()) / "home", quiet, clock);
        QVERIFY(fresh.open(h.app->commandFile()).success);
        QVERIFY(rowsOf(fresh.store()) == rowsOf(h.session->store()));
    }
    static std::vector<std::string> namesIn(GuiHome& h, const std::string& program) {
        std::vector<std::string> names;
        h.session->store().forEachUser([&](const UserRow& r) {
            if (r.menu == program) names.push_back(r.name);
            return true;
        });
        return names;
    }
};

void BatchDialogTest::countsInEveryMode() {
    GuiHome h;
    auto file = mixedFile();
    h.open(file);
    h.settings->setNoConvertKeysHelp();
    struct Mode {
        const char* entry;
        const char* title;
        const char* action;
    };
    const Mode modes[] = {{"toolsexport", "Export to .dat", "Export"},
                          {"toolsrenamegroup", "Rename Group", "Rename Group"},
                          {"toolsrenameprogram", "Rename Program", "Rename Program"},
                          {"toolsDelete", "Delete", "Delete"},
                          {"toolsdvc2plain", "Convert DVC to Plain Text", "Convert"},
                          {"toolsdvc2vba", "Convert DVC to Advanced Scripting w/SendKeys", "Convert"},
                          {"toolsdvc2sdk", "Convert DVC to Advanced Scripting w/SendDragonKeys", "Convert"},
                          {"toolsreplace", "Search/Replace", "Search"}};
    // Global Commands, all groups: 9 commands, 5 of them global; the pick list starts at 0.
    for (const auto& m : modes)
        withDialog(h, m.entry, [&](BatchDialog& d) {
            QCOMPARE(d.windowTitle(), QString::fromLatin1(m.title));
            QCOMPARE(in<QPushButton>(&d, "Command2")->text(), QString::fromLatin1(m.action));
            QCOMPARE(counts(d), (QStringList{"    9", "    9", "    5", "    5", "    0"}));
            QCOMPARE(in<QListWidget>(&d, "List1")->count(), 5); // the scope's commands, no LIST
        });
    // The pick list holds them in the order of the file, not sorted as the Commands list is.
    withDialog(h, "toolsDelete", [&](BatchDialog& d) {
        auto* list = in<QListWidget>(&d, "List1");
        QStringList entries;
        for (int i = 0; i < list->count(); ++i) entries << list->item(i)->text();
        QCOMPARE(entries, (QStringList{"save all", "type name", "open menu", "pick <color>", "greeting"}));
    });
    // The Group and the View filter count too: Work holds 4 commands, 2 of them global; without
    // KEYS only one of those is left.
    h.choose("groupcommand", "Work");
    withDialog(h, "toolsDelete", [&](BatchDialog& d) {
        QCOMPARE(counts(d), (QStringList{"    4", "    4", "    2", "    2", "    0"}));
        QVERIFY(in<QRadioButton>(&d, "outputstate")->isChecked());
    });
    h.action("ViewKeys")->trigger();
    withDialog(h, "toolsrenamegroup", [&](BatchDialog& d) {
        QCOMPARE(counts(d), (QStringList{"    1", "    1", "    0", "    0", "    0"}));
        QVERIFY(in<QRadioButton>(&d, "outputgroup")->isChecked());
        QCOMPARE(in<QLineEdit>(&d, "newgroupname")->text(), QStringLiteral("Enter new Group here"));
        QCOMPARE(in<QLabel>(&d, "oldgroupname")->text(), QStringLiteral("Work"));
    });
}

void BatchDialogTest::pickListAndDelete() {
    GuiHome h;
    auto file = mixedFile();
    const auto path = h.open(file);
    const auto before = fileBytes(path);
    withDialog(h, "toolsDelete", [&](BatchDialog& d) {
        QVERIFY(!in<QLineEdit>(&d, "Text1")->isEnabled());
        QCOMPARE(in<QLineEdit>(&d, "Text1")->text(), shown(path.string()));
        click(d, "outputselect");
        QVERIFY(in<QListWidget>(&d, "List1")->isVisible());
        // Nothing picked: said, titled with the scope, and the dialog stays.
        click(d, "Command2");
        QCOMPARE(h.prompter.last().text, std::string(optexts::NothingSelected));
        QCOMPARE(h.prompter.last().title, std::string("Global Commands"));
        QVERIFY(d.isVisible());
        QCOMPARE(fileBytes(path), before);

        click(d, "pickall");
        QCOMPARE(counts(d).back(), QStringLiteral("    5"));
        QVERIFY(!in<QCheckBox>(&d, "picknone")->isChecked());
        click(d, "picknone");
        QCOMPARE(counts(d).back(), QStringLiteral("    0"));
        QVERIFY(!in<QCheckBox>(&d, "pickall")->isChecked());
        check(d, "greeting");
        check(d, "pick <color>");
        QCOMPARE(counts(d).back(), QStringLiteral("    2"));
        h.prompter.answers = {"yes"}; // the LIST color, which only "pick <color>" used, goes too
        click(d, "Command2");
        QVERIFY(!d.isVisible());
    });
    QCOMPARE(h.prompter.last().text, std::string(optexts::DeletionCompleted));
    const auto& question = h.prompter.shown.at(h.prompter.shown.size() - 2);
    QVERIFY(question.text.starts_with(optexts::ListsGoWithThem));
    QVERIFY(question.text.find("color") != std::string::npos);
    QCOMPARE(namesIn(h, "Global Commands"), (std::vector<std::string>{"save all", "type name", "open menu"}));
    QCOMPARE(h.items(1), (QStringList{"open menu", "save all", "type name"})); // the window shows it
    expectStoreIsTheFile(h);

    // Deleting the current Group's commands leaves the window on all groups.
    h.choose("groupcommand", "Work");
    withDialog(h, "toolsDelete", [&](BatchDialog& d) {
        click(d, "outputgroup");
        click(d, "Command2");
    });
    QCOMPARE(h.form->selection().group, std::string("All groups"));
    QCOMPARE(namesIn(h, "Global Commands"), std::vector<std::string>{"open menu"});
    QVERIFY(namesIn(h, "NOTEPAD").size() == 2 && namesIn(h, "WINWORD").empty());
    expectStoreIsTheFile(h);
}

void BatchDialogTest::renameGroupAndProgram() {
    GuiHome h;
    auto file = mixedFile();
    h.open(file);
    h.choose("groupcommand", "Work");
    withDialog(h, "toolsrenamegroup", [&](BatchDialog& d) {
        click(d, "Command2"); // the name was not typed over
        QCOMPARE(h.prompter.last().text, std::string(optexts::NoNewGroup));
        QVERIFY(d.isVisible());
        in<QLineEdit>(&d, "newgroupname")->setText(QStringLiteral("Job"));
        click(d, "Command2");
    });
    QCOMPARE(h.prompter.last().text, std::string(optexts::GroupRenamed));
    QCOMPARE(h.prompter.last().title, std::string("Work->Job"));
    QCOMPARE(h.form->selection().group, std::string("Job"));
    QCOMPARE(h.items(1), (QStringList{"save all", "type name"}));
    QCOMPARE(h.session->store().findUser("WINWORD", "Application-specific", "bold")->owner, std::string("Job"));
    expectStoreIsTheFile(h);

    // A program name typed with ".exe" loses it.
    h.choose("groupcommand", "All groups");
    h.choose("appcommand", "NOTEPAD");
    withDialog(h, "toolsrenameprogram", [&](BatchDialog& d) {
        QVERIFY(in<QRadioButton>(&d, "outputapp")->isChecked());
        QCOMPARE(in<QLabel>(&d, "Label2")->text(), QStringLiteral("New Program Name"));
        click(d, "Command2");
        QCOMPARE(h.prompter.last().text, std::string(optexts::NoNewProgram));
        in<QLineEdit>(&d, "newgroupname")->setText(QStringLiteral("Editor.EXE"));
        click(d, "Command2");
    });
    QCOMPARE(h.prompter.last().text, std::string(optexts::ProgramRenamed));
    QVERIFY(namesIn(h, "NOTEPAD").empty());
    QCOMPARE(namesIn(h, "Editor").size() + namesIn(h, "EDITOR").size(), std::size_t{3});
    expectStoreIsTheFile(h);
}

void BatchDialogTest::renameProgramOfTheSpeechUsersFile() {
    GuiHome h(mixedFile()); // the speech user's own file, which Dragon holds
    const auto before = fileBytes(h.userFile());
    h.choose("appcommand", "NOTEPAD");
    withDialog(h, "toolsrenameprogram", [&](BatchDialog& d) {
        in<QLineEdit>(&d, "newgroupname")->setText(QStringLiteral("editor"));
        for (const char* option : {"outputall", "outputgroup"}) {
            click(d, option);
            click(d, "Command2");
            QCOMPARE(h.prompter.last().text, std::string(optexts::ProductionRenameProgram));
            QVERIFY(d.isVisible());
        }
    });
    QCOMPARE(fileBytes(h.userFile()), before);
}

void BatchDialogTest::searchAndReplaceStepByStep() {
    GuiHome h;
    auto file = mixedFile();
    h.open(file);
    h.choose("appcommand", "NOTEPAD");
    withDialog(h, "toolsreplace", [&](BatchDialog& d) {
        auto* text = in<QLineEdit>(&d, "Text1");
        QCOMPARE(in<QPushButton>(&d, "specify")->text(), QStringLiteral("Replace"));
        QCOMPARE(in<QLabel>(&d, "Label1")->text(), QStringLiteral("Search &for"));
        QVERIFY(text->text().isEmpty() && !in<QListWidget>(&d, "List1")->isVisible());
        click(d, "Command2");
        QCOMPARE(h.prompter.last().text, std::string(optexts::NoSearchText));

        // With Match Case only the exact spelling is found, and a scope without it says so.
        QTest::keyClicks(text, QStringLiteral("sendkeys"));
        click(d, "matchcase");
        click(d, "Command2");
        QCOMPARE(shown(in<QLabel>(&d, "macroname")->text().toStdString()), QStringLiteral("new page"));
        click(d, "Command2");
        QCOMPARE(h.prompter.last().text, std::string(optexts::NoMoreMatches));
        QVERIFY(d.isVisible() && in<QRadioButton>(&d, "outputall")->isEnabled());

        // Without it, each match is shown selected in its body; a replacement holding the search
        // text is not matched again.
        click(d, "matchcase");
        in<QLineEdit>(&d, "replacewith")->setText(QStringLiteral("SendKeysNow"));
        click(d, "Command2");
        auto* body = in<QPlainTextEdit>(&d, "body");
        QVERIFY(body->isVisible());
        QCOMPARE(in<QLabel>(&d, "macroname")->text(), QStringLiteral("new page"));
        QCOMPARE(body->textCursor().selectedText(), QStringLiteral("SendKeys"));
        QCOMPARE(body->textCursor().selectionStart(), 0);
        QVERIFY(!in<QRadioButton>(&d, "outputall")->isEnabled()); // no other scope while searching
        click(d, "specify");
        QCOMPARE(body->textCursor().selectedText(), QStringLiteral("sendkeys"));
        QCOMPARE(body->textCursor().selectionStart(), 17); // behind "SendKeysNow \"^n\"\n"
        click(d, "specify");
        QCOMPARE(in<QLabel>(&d, "macroname")->text(), QStringLiteral("close page"));
        QCOMPARE(body->textCursor().selectionStart(), 9);
        click(d, "specify");
        QVERIFY(!d.isVisible());
    });
    QCOMPARE(h.prompter.last().text, std::string("3 occurrences in 2 macros replaced"));
    QVERIFY(std::find(h.prompter.statusLines.begin(), h.prompter.statusLines.end(), "Replaced") !=
            h.prompter.statusLines.end());
    auto& store = h.session->store();
    QCOMPARE(store.findUser("NOTEPAD", "Application-specific", "new page")->script,
             std::string("SendKeysNow \"^n\"\r\nSendKeysNow \"x\""));
    QCOMPARE(store.findUser("NOTEPAD", "Application-specific", "close page")->script,
             std::string("Sub Main\r\nSendKeysNow \"^w\"\r\nEnd Sub"));
    QCOMPARE(store.findUser("NOTEPAD", "Application-specific", "plain words")->script,
             std::string("SendKeys stays")); // plain text is not searched
    expectStoreIsTheFile(h);
}

void BatchDialogTest::replaceAllCountsOccurrencesAndMacros() {
    GuiHome h;
    auto file = mixedFile();
    h.open(file);
    h.choose("appcommand", "NOTEPAD");
    withDialog(h, "toolsreplace", [&](BatchDialog& d) {
        click(d, "Replaceall");
        QCOMPARE(h.prompter.last().text, std::string(optexts::NoSearchForText));
        in<QLineEdit>(&d, "Text1")->setText(QStringLiteral("SendKeys"));
        click(d, "Replaceall");
        QCOMPARE(h.prompter.last().text, std::string(optexts::NoReplaceText));
        in<QLineEdit>(&d, "replacewith")->setText(QStringLiteral("SendDragonKeys"));
        click(d, "Replaceall");
        QVERIFY(!d.isVisible());
    });
    QCOMPARE(h.prompter.last().text, std::string("3 occurrences in 2 macros replaced"));
    const auto bytes = fileBytes(h.app->commandFile());
    QVERIFY(bytes.find("SendDragonKeys \"^n\"\r\nSendDragonKeys \"x\"") != std::string::npos);
    QVERIFY(bytes.find("SendDragonKeys \"^w\"") != std::string::npos);
    QVERIFY(bytes.find("SendKeys stays") != std::string::npos);
    QVERIFY(bytes.find("SendKeys \"%f\"") != std::string::npos); // another program's command
    expectStoreIsTheFile(h);
}

void BatchDialogTest::exportNamesTargetsAndOpensTheExport() {
    GuiHome h;
    auto file = mixedFile();
    const auto path = h.open(file);
    const fs::path home = h.home();
    withDialog(h, "toolsexport", [&](BatchDialog& d) {
        auto* text = in<QLineEdit>(&d, "Text1");
        QCOMPARE(text->text(), shown((home / "Global Commands.dat").string()));
        // The proposed name shows whole, its folder and its name.
        d.layout()->activate();
        QVERIFY2(text->contentsRect().width() >= text->fontMetrics().horizontalAdvance(text->text()),
                 qPrintable(QString::number(text->width()) + " for " + text->text()));
        QCOMPARE(text->toolTip(), text->text());
        click(d, "outputall");
        QCOMPARE(text->text(), shown((home / "global.dat").string()));
        click(d, "outputselect");
        QCOMPARE(text->text(), shown((home / "selected.dat").string()));
        click(d, "outputstate");
        // The open file in another letter case is refused; the dialog stays.
        QString self = shown(path.string());
        self.replace(QStringLiteral("test.dat"), QStringLiteral("TEST.DAT"));
        text->clear();
        QTest::keyClicks(text, self);
        click(d, "Command2");
        QCOMPARE(h.prompter.last().text, std::string(wtexts::ExportToSelf));
        QVERIFY(d.isVisible());
        // A name typed by the user stays when another option is chosen.
        text->clear();
        QTest::keyClicks(text, shown((h.folder() / "out").string()));
        click(d, "outputall");
        QCOMPARE(text->text(), shown((h.folder() / "out").string()));
        h.prompter.answers = {"ok", "yes"};
        click(d, "Command2");
    });
    const auto target = h.folder() / "out.dat";
    const auto& said = h.prompter.shown;
    const auto appending = std::find_if(said.begin(), said.end(), [](const ScriptedPrompter::Shown& s) {
        return s.text == wtexts::AppendingDat;
    });
    QVERIFY(appending != said.end() && said.end() - appending >= 3);
    QCOMPARE(appending->title, target.string());
    QCOMPARE(appending[1].text, std::string(optexts::ExportCompleted));
    QCOMPARE(appending[1].title, target.string());
    QCOMPARE(appending[2].text, std::string(optexts::OpenExportedFile));
    QCOMPARE(appending[2].kind, Kind::YesNo);
    // The export became the open file: every command, and the LIST one of them uses.
    QCOMPARE(h.app->commandFile(), target);
    QCOMPARE(h.session->store().countCommands(), std::int64_t{9});
    QVERIFY(h.session->store().findUser("Global Commands", "Global Commands", "color"));
    expectStoreIsTheFile(h);
    QCOMPARE(h.session->store().parameters().exportPath, h.folder().string());

    // Following a command: its name makes the file name, brackets squared, and it is picked.
    h.form->FileOpenNoDialog(path);
    h.select(1, "pick <color>");
    h.action("viewfollowcommand")->trigger();
    withDialog(h, "toolsexport", [&](BatchDialog& d) {
        QVERIFY(in<QRadioButton>(&d, "outputselect")->isChecked());
        QCOMPARE(in<QRadioButton>(&d, "outputselect")->text(), QStringLiteral("See below"));
        QCOMPARE(in<QLineEdit>(&d, "Text1")->text(), shown((home / "pick [color].dat").string()));
        QCOMPARE(counts(d).back(), QStringLiteral("    1"));
    });
}

void BatchDialogTest::fileChangedBehindTheProgramsBack() {
    GuiHome h;
    auto file = mixedFile();
    const auto path = h.open(file);
    withDialog(h, "toolsDelete", [&](BatchDialog& d) {
        CommandFileBuilder other;
        other.add(command("only this", kKindKeys, "o"));
        other.writeFile(path);
        click(d, "outputall");
        click(d, "Command2");
        QVERIFY(!d.isVisible());
    });
    QCOMPARE(h.prompter.last().text, std::string(optexts::ModifiedMeanwhile));
    QVERIFY(std::find(h.prompter.statusLines.begin(), h.prompter.statusLines.end(), "CBModified") !=
            h.prompter.statusLines.end());
    QCOMPARE(h.items(1), QStringList{"only this"}); // nothing deleted; the window shows the file
    expectStoreIsTheFile(h);
}

void BatchDialogTest::keysConversionsWithTheHelpOffer() {
    GuiHome h;
    auto file = mixedFile();
    h.open(file);
    // The first time, help is offered; "Don't Show this Again" is remembered.
    bool offered = false;
    whenModal<ui::KeysHelpDialog>([&](ui::KeysHelpDialog* offer) {
        offered = offer->windowTitle() == QStringLiteral("Please Read Help if First Time Converting");
        in<QCheckBox>(offer, "Check1")->click();
        whenModal<BatchDialog>([](BatchDialog* d) {
            in<QRadioButton>(d, "outputall")->click();
            in<QPushButton>(d, "Command2")->click();
        });
        in<QPushButton>(offer, "no")->click();
    });
    h.action("toolsdvc2plain")->trigger();
    QVERIFY(offered);
    QVERIFY(h.settings->options().noConvertKeysHelp);
    QCOMPARE(h.prompter.last().text, std::string(" Conversion of DVCs to Plain Text Complete"));
    QCOMPARE(h.prompter.last().title, std::string("See ConvertKEYS2Plain.log for complete details of converted commands"));
    QVERIFY(fileBytes(h.home() / "ConvertKEYS2Plain.log").find("type name") != std::string::npos);
    QCOMPARE(h.session->store().findUser("Global Commands", "Global Commands", "type name")->Type, std::string("P"));
    QCOMPARE(h.session->store().findUser("Global Commands", "Global Commands", "save all")->Type, std::string("K"));

    // Then the SendDragonKeys scripts, without the offer.
    withDialog(h, "toolsdvc2sdk", [&](BatchDialog& d) {
        click(d, "outputall");
        click(d, "Command2");
    });
    QCOMPARE(h.prompter.last().title, std::string("See ConvertKEYS2SendDragon.log for complete details of converted commands"));
    QCOMPARE(h.session->store().findUser("WINWORD", "Application-specific", "bold")->Type, std::string("A"));
    QVERIFY(fs::exists(h.home() / "ConvertKEYS2SendDragon.log"));
    expectStoreIsTheFile(h);

    // The SendKeys scripts are refused for a German file before anything is shown.
    auto german = mixedFile(7);
    h.open(german, "german.dat");
    const auto count = h.prompter.shown.size();
    h.action("toolsdvc2vba")->trigger(); // no dialog opens: nothing would close it
    QCOMPARE(h.prompter.shown.size(), count + 1);
    QCOMPARE(h.prompter.last().text, std::string(wtexts::EnglishOnly));
    QCOMPARE(h.prompter.last().title, std::string(wtexts::EnglishOnlyTitle));
}

void BatchDialogTest::versionAndLanguageConversions() {
    GuiHome h;
    auto file = mixedFile();
    const auto path = h.open(file);
    h.prompter.answers = {"ok"};
    const auto count = h.prompter.shown.size();
    h.action("toolsconvert270")->trigger();
    QVERIFY(h.prompter.shown.size() >= count + 2);
    QCOMPARE(h.prompter.shown[count].text, std::string("Convert this file to 7.0 format?"));
    QCOMPARE(h.prompter.shown[count + 1].text, std::string("File converted to 7.0 format"));
    QCOMPARE(h.prompter.shown[count + 1].title, path.string());
    QCOMPARE(static_cast<int>(fileBytes(path)[4]), 5);
    expectStoreIsTheFile(h);
    h.action("toolsconvert270")->trigger();
    QCOMPARE(h.prompter.last().text, std::string("Already in 7.0 format"));

    // The language dialog: "to German" after yes.
    bool shownDialog = false;
    whenModal<ui::LanguageDialog>([&](ui::LanguageDialog* d) {
        shownDialog = true;
        QCOMPARE(d->windowTitle(), QStringLiteral("Convert Language of .dat file"));
        QCOMPARE(in<QLabel>(d, "Label2")->text(), QStringLiteral("Language of current file: English"));
        auto* list = in<QListWidget>(d, "List1");
        QCOMPARE(list->currentItem()->text(), QStringLiteral("No Change"));
        list->setCurrentRow(2); // to English
        d->Convert_Click();
        QCOMPARE(h.prompter.last().text, std::string(wtexts::AlreadyInLanguage));
        QVERIFY(d->isVisible());
        list->setCurrentRow(4); // to German
        h.prompter.answers = {"yes"};
        d->Convert_Click();
        if (d->isVisible()) d->reject();
    });
    h.action("toolslanguage")->trigger();
    QVERIFY(shownDialog);
    QCOMPARE(h.prompter.last().text, std::string("File converted to German"));
    QCOMPARE(static_cast<int>(fileBytes(path)[15]), 7);
    QCOMPARE(h.session->reader().file().info.languageName, std::string("German"));

    // The speech user's own file takes neither.
    GuiHome user(mixedFile());
    const auto before = fileBytes(user.userFile());
    user.action("toolsconvert280")->trigger();
    user.action("toolsconvert260")->trigger();
    QCOMPARE(user.prompter.last().text, std::string(wtexts::OpenUserFileNotAllowed));
    user.action("toolslanguage")->trigger(); // refused before the dialog shows
    QCOMPARE(user.prompter.last().text, std::string(wtexts::CannotConvertUserFile));
    QCOMPARE(user.prompter.last().title, user.app->commandFile().string());
    QCOMPARE(fileBytes(user.userFile()), before);
}

void BatchDialogTest::overAndOverwriteDialogs() {
    ui::QtPrompter prompter;
    const Prompter::ExportQuestion command{Prompter::ExportQuestion::Kind::CommandExists, "/x/out.dat", "open <app>",
                                           "/x/mycmds.dat"};
    const auto answerWith = [&](const std::function<void(QDialog*)>& act) {
        whenModal<QDialog>([act](QDialog* d) {
            act(d);
            if (d->isVisible()) d->reject();
        });
        return prompter.exportChoice(command, "text", "title", {});
    };
    // The labels as laid out, and the keys: lower-case letters only.
    const int typedY = answerWith([](QDialog* d) {
        QCOMPARE(d->windowTitle(), QStringLiteral("Overwrite?"));
        QCOMPARE(in<QLabel>(d, "Label1")->text(), QStringLiteral("The following command already exists in:"));
        QCOMPARE(in<QLabel>(d, "Label2")->text(), QStringLiteral("/x/out.dat"));
        QCOMPARE(in<QLabel>(d, "Label3")->text(), QStringLiteral("open <app>"));
        QCOMPARE(in<QLabel>(d, "Label4")->text(), QStringLiteral("Overwrite? with command from:"));
        QCOMPARE(in<QLabel>(d, "Label5")->text(), QStringLiteral("/x/mycmds.dat"));
        QCOMPARE(in<QPushButton>(d, "yestoall")->text(), QStringLiteral("Ye&s to all"));
        QTest::keyClick(d, 'Y'); // a capital answers nothing
        QVERIFY(d->isVisible());
        QTest::keyClick(d, 'y');
    });
    QCOMPARE(typedY, 0);
    const std::pair<char, int> keys[] = {{'n', 1}, {'s', 2}, {'o', 3}, {'c', -1}};
    for (const auto& [key, expected] : keys) QCOMPARE(answerWith([k = key](QDialog* d) { QTest::keyClick(d, k); }), expected);
    QCOMPARE(answerWith([](QDialog* d) { QTest::keyClick(d, Qt::Key_Escape); }), -1);
    QCOMPARE(answerWith([](QDialog* d) { in<QPushButton>(d, "notoall")->click(); }), 3);

    const Prompter::ExportQuestion file{Prompter::ExportQuestion::Kind::FileExists, "/x/out.dat", {}, {}};
    const auto chooseFile = [&](const char* button) {
        whenModal<QDialog>([button](QDialog* d) {
            QCOMPARE(d->windowTitle(), QStringLiteral("Choose action below"));
            QCOMPARE(in<QLabel>(d, "Label1")->text(), QStringLiteral("The Export file already exists:"));
            QCOMPARE(in<QLabel>(d, "Label2")->text(), QStringLiteral("/x/out.dat"));
            in<QPushButton>(d, button)->click();
        });
        return prompter.exportChoice(file, "text", "title", {});
    };
    QCOMPARE(chooseFile("overwrite"), 0);
    QCOMPARE(chooseFile("appendcommand"), 1);
    QCOMPARE(chooseFile("cancel"), -1);
}

QTEST_MAIN(BatchDialogTest)
#include "BatchDialogTest.moc"
