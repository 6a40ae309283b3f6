// The program with its window: the start-up's choice of program and scope, the spoken controls
// and speaker changes from the simulated Dragon, the settings kept across runs, the single
// instance, the offer to import the program's own commands, and the time to a shown window.

#include "GuiHome.h"

#include "shell/DemoCommandFile.h"
#include "shell/ProfileFile.h"
#include "shell/platform/DragonFiles.h"
#include "shell/platform/SimulatedDragon.h"
#include "ui/CommandNamesAhead.h"
#include "ui/Dialogs.h"
#include "ui/RunningProgram.h"
#include "ui/Texts.h"

#include <QCheckBox>
#include <QElapsedTimer>
#include <QSignalSpy>
#include <QSlider>

using namespace vocabrella;
using namespace vocabrella::testsupport;
namespace sim = vocabrella::platform::simulated;

namespace {

// A home folder and a simulated installation whose speech user "Speaker" has the demo file
// (or a given one); each start() is one run of the program.
class Desk {
public:
    explicit Desk(std::optional<CommandFileBuilder> userFile = std::nullopt) {
        platform::InstallationOptions options;
        if (userFile) options.writeCommands = [&](const fs::path& file) { userFile->writeFile(file); };
        else options.writeCommands = [](const fs::path& file) { writeFileAtomically(file, demoCommandFile()); };
        options.mergeTool = fs::path(VOCABRELLA_MERGE_TOOL);
        platform::createInstallation(root(), options);
    }
    ~Desk() { program.reset(); }
    Desk(const Desk&) = delete;
    Desk& operator=(const Desk&) = delete;

    fs::path folder() const { return fs::path(dir_.path().toStdString()); }
    fs::path home() const { return folder() / "home"; }
    fs::path root() const { return folder() / "dragon"; }
    fs::path ini() const { return home() / "Vocabrella.INI"; }

    // Makes this window the one in front when the program starts.
    void callingWindow(const std::string& title, const std::string& module) {
        ProfileFile engine(root() / sim::EngineFile);
        engine.write(std::string(sim::WindowSectionPrefix) + "9", sim::WindowTitle, title);
        engine.write(std::string(sim::WindowSectionPrefix) + "9", sim::WindowClass, "AppWindow");
        engine.write(std::string(sim::WindowSectionPrefix) + "9", sim::WindowModule, module);
        // Windows are read in order up to the first gap, so fill the ones between.
        for (int n = 1; n < 9; ++n) {
            const std::string section = std::string(sim::WindowSectionPrefix) + std::to_string(n);
            if (engine.read(section, sim::WindowTitle).empty() && engine.read(section, sim::WindowClass).empty())
                engine.write(section, sim::WindowClass, "Filler" + std::to_string(n));
        }
        engine.write(sim::EngineSection, sim::ForegroundWindow, "9");
    }

    // One run; the import offer is skipped unless an answer is given.
    bool start(const std::string& argument = {}, ui::RunningProgram::ImportAnswer answer = {}) {
        program.reset();
        program = std::make_unique<ui::RunningProgram>(StartupOptions{home(), argument}, root(), prompter, clock);
        program->askImport = [this, answer] {
            ++importOffers;
            return answer;
        };
        return program->start();
    }
    ui::Form1& window() { return program->window(); }
    ui::Selection& selection() { return window().selection(); }
    template <class T> T* child(const char* name) { return window().findChild<T*>(QString::fromLatin1(name)); }
    platform::SimulatedVoiceMenu* voiceMenu(const char* state) {
        return program->simulatedDragon()->voiceCommands().menu("Vocabrella", state);
    }
    void say(const std::string& words) {
        platform::sayWords(root(), words);
        program->poll();
    }
    QStringList entries(const char* menuName) {
        QStringList out;
        for (auto* a : child<QMenu>(menuName)->actions())
            if (a->property("entryName").isValid()) out << a->property("entryName").toString();
        return out;
    }

    ScriptedPrompter prompter;
    SystemClock clock;
    std::unique_ptr<ui::RunningProgram> program;
    int importOffers = 0;

private:
    QTemporaryDir dir_;
};

bool told(const ScriptedPrompter& p, const std::string& text, const std::string& title = {}) {
    for (const auto& s : p.shown)
        if (s.text == text && (title.empty() || s.title == title)) return true;
    return false;
}

} // namespace

class StartupTest : public QObject {
    Q_OBJECT

private slots:
    void commandLineChoosesProgramAndScope();
    void callingWindowChoosesProgramAndScope();
    void spokenControlsActOnTheWindow();
    void numberedMenuTakesOneNumber();
    void spokenControlsWaitForAnOpenEdit();
    void speakerChangeEndsOnlyForTheUsersOwnFile();
    void settingsSurviveARestart();
    void secondStartIsRefused();
    void importOffer();
    void startIsQuickWithTheFileInTheStore();
    void theFirstCommandsListIsReadAheadForItsOwnSelectionOnly();
};

void StartupTest::commandLineChoosesProgramAndScope() {
    Desk d;
    QVERIFY(d.start("\"GLOBAL commands\""));
    QCOMPARE(qs(d.selection().program), QStringLiteral("Global Commands"));
    QCOMPARE(qs(d.selection().scope), QStringLiteral("Global Commands"));
    QVERIFY(d.window().isVisible());
    QCOMPARE(d.window().windowTitle(), qs(d.program->app().caption()));
    QVERIFY(d.window().windowTitle().startsWith(QStringLiteral("Vocabrella - ")));

    // A file named on the command line is opened, whatever window was in front.
    CommandFileBuilder b;
    b.add(inProgram(command("add up", kKindKeys, "="), "calc"));
    const fs::path file = d.folder() / "calc.dat";
    b.writeFile(file);
    d.callingWindow("Document1 - Word", "Office/WINWORD.EXE");
    QVERIFY(d.start("\"" + file.string() + "\""));
    QCOMPARE(qs(d.selection().program), QStringLiteral("CALC"));
    QCOMPARE(d.entries("appcommand"), QStringList{"CALC"});
    QCOMPARE(d.window().windowTitle(), QStringLiteral("Vocabrella - ") + qs(fs::weakly_canonical(file).string()));
    QCOMPARE(d.child<ui::NameList>("List1")->item(0)->text(), QStringLiteral("add up"));
}

void StartupTest::callingWindowChoosesProgramAndScope() {
    {
        // The demo installation's Notepad is in front: its window-specific scope is named by the
        // whole title.
        Desk d;
        QVERIFY(d.start());
        QCOMPARE(qs(d.selection().program), QStringLiteral("NOTEPAD"));
        QCOMPARE(qs(d.selection().scope), QStringLiteral("Untitled - Notepad"));
        QVERIFY(d.child<ui::NameList>("List1")->count() > 0);

        d.callingWindow("Document1 - Word", "Office/WINWORD.EXE");
        QVERIFY(d.start());
        QCOMPARE(qs(d.selection().program), QStringLiteral("WINWORD"));
        QCOMPARE(qs(d.selection().scope), QStringLiteral("Document1 - Word"));

        // A title no scope is named after: the program of the window's module.
        d.callingWindow("Report - Word", "Office/WINWORD.EXE");
        QVERIFY(d.start());
        QCOMPARE(qs(d.selection().program), QStringLiteral("WINWORD"));
        QCOMPARE(qs(d.selection().scope), QStringLiteral("Application-specific"));

        // Neither a scope nor a program of the file: Global Commands.
        d.callingWindow("Sheet1 - Calc", "Office/SCALC.EXE");
        QVERIFY(d.start());
        QCOMPARE(qs(d.selection().program), QStringLiteral("Global Commands"));
        QCOMPARE(qs(d.selection().scope), QStringLiteral("Global Commands"));
    }
    {
        // The document part names a scope first, then the application part.
        CommandFileBuilder b;
        b.add(command("hello", kKindKeys, "h"));
        b.add(inWindow(command("next page", kKindKeys, "{PgDn}"), "winword", "Document1"));
        b.add(inWindow(command("inbox only", kKindKeys, "i"), "outlook", "Outlook"));
        b.add(inProgram(command("bold that", kKindKeys, "{Ctrl+b}"), "winword"));
        Desk d(b);
        d.callingWindow("Document1 - Word", "Office/WINWORD.EXE");
        QVERIFY(d.start());
        QCOMPARE(qs(d.selection().program), QStringLiteral("WINWORD"));
        QCOMPARE(qs(d.selection().scope), QStringLiteral("Document1"));
        QCOMPARE(d.child<ui::NameList>("List1")->item(0)->text(), QStringLiteral("next page"));

        d.callingWindow("Mail from Ann - Outlook", "Office/OUTLOOK.EXE");
        QVERIFY(d.start());
        QCOMPARE(qs(d.selection().program), QStringLiteral("OUTLOOK"));
        QCOMPARE(qs(d.selection().scope), QStringLiteral("Outlook"));
    }
}

void StartupTest::spokenControlsActOnTheWindow() {
    Desk d;
    QVERIFY(d.start("global commands"));
    auto* global = d.voiceMenu("Global");
    QVERIFY(global && global->active());
    QVERIFY(!d.voiceMenu("Numbered")->active());
    for (const auto& c : global->commands()) QCOMPARE(qs(c.category), QStringLiteral("Spoken controls"));
    QCOMPARE(global->list("slidernumbers")->size(), std::size_t{10});
    const auto programs = d.entries("appcommand");
    QCOMPARE(global->list("programnumbers")->size(), static_cast<std::size_t>(programs.size()));

    auto* tabs = d.child<QTabWidget>("SSTab1");
    d.say("lists");
    QCOMPARE(tabs->currentIndex(), 1);
    d.say("recently created");
    QCOMPARE(tabs->currentIndex(), 2);
    d.say("Recently Modified");
    QCOMPARE(tabs->currentIndex(), 3);
    d.say("commands");
    QCOMPARE(tabs->currentIndex(), 0);

    d.say("slider 3");
    QCOMPARE(d.child<QSlider>("Slider1")->value(), 3);
    QCOMPARE(qs(ProfileFile(d.ini()).read("Vocabrella", "slider")), QStringLiteral("3"));
    d.say("slider 10");
    QCOMPARE(d.child<QSlider>("Slider1")->value(), 10);

    // Dragon types the keys that open the menu and walk to the entry.
    d.say("program 2");
    QCOMPARE(qs(d.selection().program), programs[1]);
    QCOMPARE(qs(d.selection().scope), d.entries("statecommand").front());
    // A program with several scopes.
    qsizetype several = 0;
    for (qsizetype k = 1; k <= programs.size() && several == 0; ++k) {
        d.say("program " + std::to_string(k));
        if (d.entries("statecommand").size() >= 2) several = k;
    }
    QVERIFY(several > 0);
    QCOMPARE(global->list("statenumbers")->size(), static_cast<std::size_t>(d.entries("statecommand").size()));
    d.say("scope 2");
    QCOMPARE(qs(d.selection().scope), d.entries("statecommand")[1]);
    d.say("scope 1");
    QCOMPARE(qs(d.selection().scope), d.entries("statecommand")[0]);
    d.say("program 1");
    QCOMPARE(qs(d.selection().program), QStringLiteral("Global Commands"));

    const auto groups = d.entries("groupcommand");
    d.say("group 1");
    QCOMPARE(qs(d.selection().group), groups[0]);
    QVERIFY(!d.selection().allGroups);
    d.say("all groups");
    QVERIFY(d.selection().allGroups);
    d.say("group 2");
    QCOMPARE(qs(d.selection().group), groups[1]);
    d.say("group all groups");
    QVERIFY(d.selection().allGroups);

    // Words that fit no command change nothing.
    const auto before = d.selection().program;
    d.say("program twelve hundred");
    QCOMPARE(d.selection().program, before);
}

void StartupTest::numberedMenuTakesOneNumber() {
    Desk d;
    QVERIFY(d.start("global commands"));
    auto* numbered = d.voiceMenu("Numbered");
    emit d.child<QMenu>("appcommand")->aboutToShow();
    QVERIFY(numbered->active());
    QCOMPARE(numbered->list("programnumbers")->size(), static_cast<std::size_t>(d.entries("appcommand").size()));
    d.say("3");
    QCOMPARE(qs(d.selection().program), d.entries("appcommand")[2]);
    QVERIFY(!numbered->active());
    QVERIFY(numbered->commands().empty());
    d.say("2"); // heard as dictation now
    QCOMPARE(qs(d.selection().program), d.entries("appcommand")[2]);

    emit d.child<QMenu>("groupcommand")->aboutToShow();
    d.say("1");
    QCOMPARE(qs(d.selection().group), d.entries("groupcommand")[0]);
}

void StartupTest::spokenControlsWaitForAnOpenEdit() {
    CommandFileBuilder b; // commands, and not one LIST
    b.add(command("first one", kKindKeys, "1"));
    b.add(command("second one", kKindKeys, "2"));
    b.add(inProgram(command("third one", kKindKeys, "3"), "notepad"));
    Desk d(b);
    QVERIFY(d.start("global commands"));
    auto* tabs = d.child<QTabWidget>("SSTab1");
    auto* commands = d.child<ui::NameList>("List1");
    commands->setCurrentRow(1);
    d.child<QPushButton>("modify")->click();
    QVERIFY(d.child<QPushButton>("savechanges")->isEnabled());

    // Neither a tab nor a numbered menu entry leaves the open edit; the status line says why.
    for (const char* words : {"lists", "recently modified", "program 2", "group 1"}) {
        d.prompter.statusLines.clear();
        d.say(words);
        QCOMPARE(tabs->currentIndex(), 0);
        QCOMPARE(qs(d.selection().program), QStringLiteral("Global Commands"));
        QCOMPARE(qs(d.selection().command), QStringLiteral("second one"));
        QVERIFY2(d.child<QPushButton>("savechanges")->isEnabled(), words);
        QVERIFY2(!d.prompter.statusLines.empty(), words);
        QCOMPARE(qs(d.prompter.statusLines.back()), qs(std::string(ui::texts::FinishEditFirst)));
    }
    d.say("slider 4"); // the slider is no change of the shown command
    QCOMPARE(d.child<QSlider>("Slider1")->value(), 4);

    // Once the edit is over they act; a file without LISTs says so on its LISTs tab.
    d.child<QPushButton>("abandon")->click();
    d.say("lists");
    QCOMPARE(tabs->currentIndex(), 1);
    QVERIFY(d.child<ui::NameList>("List2")->isEnabled());
    QCOMPARE(d.child<ui::NameList>("List2")->count(), 1);
    QCOMPARE(d.child<ui::NameList>("List2")->item(0)->text(), QStringLiteral("Nothing to show"));
}

void StartupTest::speakerChangeEndsOnlyForTheUsersOwnFile() {
    Desk d;
    CommandFileBuilder b;
    b.add(command("hello", kKindKeys, "h"));
    const fs::path other = d.folder() / "other.dat";
    b.writeFile(other);
    QVERIFY(d.start(other.string()));
    QSignalSpy finished(d.program.get(), &ui::RunningProgram::finished);
    platform::changeSpeaker(d.root(), "Ann");
    d.program->poll();
    QCOMPARE(finished.count(), 0); // another file: the store is not the previous user's

    platform::changeSpeaker(d.root(), "Speaker");
    QVERIFY(d.start());
    QSignalSpy finished2(d.program.get(), &ui::RunningProgram::finished);
    platform::changeSpeaker(d.root(), "Speaker"); // the same speaker again
    d.program->poll();
    QCOMPARE(finished2.count(), 0);
    platform::changeSpeaker(d.root(), "Ann");
    d.program->poll();
    QCOMPARE(finished2.count(), 1);
    QCOMPARE(finished2.front().front().toInt(), 0);
    QVERIFY(d.program->ended());
    QVERIFY(!d.window().isVisible());
    QVERIFY(d.prompter.shown.empty()); // without a message
}

void StartupTest::settingsSurviveARestart() {
    Desk d;
    QVERIFY(d.start());
    {
        ProfileFile ini(d.ini());
        ini.write("Vocabrella", "fontsize", "14");
        ini.write("Vocabrella", "fixedfont", "DejaVu Sans Mono");
    }
    d.window().setGeometry(130, 90, 720, 610);
    d.say("slider 7");
    d.child<QAction>("fileexit")->trigger();
    QVERIFY(!d.window().isVisible());

    QVERIFY(d.start());
    QCOMPARE(d.window().geometry(), QRect(130, 90, 720, 610));
    QCOMPARE(d.child<QSlider>("Slider1")->value(), 7);
    QCOMPARE(d.child<ui::NameList>("List1")->font().pointSize(), 14);
    QCOMPARE(d.child<ui::NameList>("List3")->font().family(), QStringLiteral("DejaVu Sans Mono"));
    QCOMPARE(d.child<QPlainTextEdit>("Text1")->font().pointSize(), 14);

    // Maximized at closing, maximized at the next start, over the same normal rectangle.
    d.window().showMaximized();
    d.child<QAction>("fileexit")->trigger();
    QCOMPARE(qs(ProfileFile(d.ini()).read("Vocabrella", "maximized")), QStringLiteral("1"));
    QVERIFY(d.start());
    QVERIFY(d.window().isMaximized());
    QCOMPARE(d.window().normalGeometry(), QRect(130, 90, 720, 610));
}

void StartupTest::secondStartIsRefused() {
    Desk d;
    QVERIFY(d.start("global commands"));
    ScriptedPrompter secondPrompter;
    SystemClock clock;
    ui::RunningProgram second({d.home(), {}}, d.root(), secondPrompter, clock);
    QVERIFY(!second.start());
    QVERIFY(second.ended());
    QCOMPARE(secondPrompter.shown.size(), std::size_t{1});
    QCOMPARE(qs(secondPrompter.last().text), QStringLiteral("Vocabrella is already running"));
    // The first runs on untouched.
    QVERIFY(d.window().isVisible());
    d.say("lists");
    QCOMPARE(d.child<QTabWidget>("SSTab1")->currentIndex(), 1);
}

void StartupTest::importOffer() {
    {
        ui::AutoImportDialog dialog;
        QCOMPARE(dialog.objectName(), QStringLiteral("autoimport"));
        QCOMPARE(dialog.windowTitle(), QStringLiteral("For Voice initiation of Vocabrella"));
        QCOMPARE(dialog.findChild<QPushButton*>(QStringLiteral("Import"))->text(), QStringLiteral("&Import"));
        QCOMPARE(dialog.findChild<QPushButton*>(QStringLiteral("cancel"))->text(), QStringLiteral("&Skip"));
        QCOMPARE(dialog.findChild<QCheckBox*>(QStringLiteral("Check1"))->text(),
                 QStringLiteral("Do &Not Show This Window Again"));
        QVERIFY(dialog.findChild<QLabel*>(QStringLiteral("Label1"))->text().startsWith(
            QStringLiteral("Would you like for Vocabrella to automagically import")));
    }
    {
        // Skipped with "do not show again": not offered at the next start.
        Desk d;
        QVERIFY(d.start({}, {false, true}));
        QCOMPARE(d.importOffers, 1);
        QVERIFY(d.prompter.shown.empty());
        QCOMPARE(qs(ProfileFile(d.ini()).read("Vocabrella", "dont show auto import")), QStringLiteral("-1"));
        QVERIFY(d.start());
        QCOMPARE(d.importOffers, 1);
    }
    {
        // Imported: Dragon's merge tool adds the two commands to the user's file.
        Desk d;
        QVERIFY(d.start({}, {true, false}));
        QCOMPARE(d.importOffers, 1);
        QVERIFY(told(d.prompter,
                     "Commands imported successfully. You may now use the commands above to bring up Vocabrella",
                     "'global vocabrella' and 'local vocabrella'"));
        QVERIFY(d.program->app().ownCommandsPresent());
        QCOMPARE(qs(ProfileFile(d.ini()).read("Vocabrella", "dont show auto import")), QStringLiteral("-1"));
        QVERIFY(d.start({}, {true, false}));
        QCOMPARE(d.importOffers, 1);
    }
    {
        // A file named on the command line is not the place for the import: no offer.
        Desk d;
        CommandFileBuilder other;
        other.add(command("elsewhere", kKindKeys, "{Enter}"));
        const auto file = d.folder() / "other.dat";
        other.writeFile(file);
        QVERIFY(d.start(file.string(), {true, false}));
        QCOMPARE(d.importOffers, 0);
        QVERIFY(!d.program->app().ownCommandsPresent());
    }
}

void StartupTest::startIsQuickWithTheFileInTheStore() {
    Desk d;
    QVERIFY(d.start()); // the first start parses the file into the store
    d.child<QAction>("fileexit")->trigger();
    QElapsedTimer timer;
    timer.start();
    QVERIFY(d.start());
    QVERIFY(d.window().isVisible());
    const auto elapsed = timer.elapsed();
    qInfo("from start to a shown window: %lld ms", static_cast<long long>(elapsed));
    // Under a second on a quiet machine; the bound leaves room for a loaded one.
    QVERIFY2(elapsed < 3000, qPrintable(QString::number(elapsed)));
}

// The Commands list of the place a file opens at is read on a second thread while the window is
// built. The window shows it as a fill of its own would, LISTs the names use included; what was
// read serves only a fill for the same selection with the store unwritten since, and only once.
void StartupTest::theFirstCommandsListIsReadAheadForItsOwnSelectionOnly() {
    CommandFileBuilder file;
    auto open = inProgram(command("open <app>", kKindKeys, "{Alt+f}o"), "notepad");
    open.lists = {"app"};
    file.add(open);
    file.add(inProgram(command("save file", kKindKeys, "{Ctrl+s}"), "notepad"));
    file.add(command("say hello", kKindText, "hello"));
    file.add(BuiltList("app", {"notepad", "word"}));
    GuiHome h(file);
    h.form->show();
    QCOMPARE(h.items(1), (QStringList{"open <app>", "save file"}));
    h.form->showTab(1);
    QCOMPARE(h.items(2), QStringList{"app"}); // the global LIST, copied into notepad's scope

    CommandStore& store = h.session->store();
    ui::Selection atStart;
    ui::Selection first = atStart;
    ui::Browser browser(store, first);
    auto place = browser.firstPlace(true);
    first.program = place.program;
    first.scope = place.scope;
    const auto shown = browser.FillCommandList();
    QVERIFY(shown);

    ui::CommandNamesAhead ahead;
    ahead.start(store, atStart, true);
    auto read = ahead.take(store, first);
    QVERIFY(read);
    QVERIFY(read->scopeHasRows);
    QStringList expected;
    for (const auto& name : *shown) expected << qs(name);
    QCOMPARE(read->commands.names, expected);
    QCOMPARE(expected, (QStringList{"open <app>", "save file"}));
    QCOMPARE(read->usedLists, std::vector<std::string>{"app"});
    QCOMPARE(read->commands.selected, -1);
    QVERIFY(!ahead.take(store, first)); // once only

    ui::Selection elsewhere = first;
    elsewhere.scope = "Global Commands";
    ahead.start(store, atStart, true);
    QVERIFY(!ahead.take(store, elsewhere));
    ui::Selection lessShown = first;
    lessShown.view.type(ui::ViewType::Keys) = false;
    ahead.start(store, atStart, true);
    QVERIFY(!ahead.take(store, lessShown));

    ahead.start(store, atStart, true);
    store.flagAll(); // any row written in between
    QVERIFY(!ahead.take(store, first));
    store.clearFlags();
    {
        // Rows of a transaction still open are not seen by another connection: nothing starts.
        CommandStore::Transaction unfinished(store);
        ahead.start(store, atStart, true);
    }
    QVERIFY(!ahead.take(store, first));

    ui::Selection otherCommand = first;
    otherCommand.command = "save file";
    ahead.start(store, atStart, true);
    QVERIFY(!ahead.take(store, otherCommand)); // its row would be another

    atStart.command = first.command = "SAVE FILE";
    ahead.start(store, atStart, true);
    read = ahead.take(store, first);
    QVERIFY(read);
    QCOMPARE(read->commands.selected, 1);
}

QTEST_MAIN(StartupTest)
#include "StartupTest.moc"
