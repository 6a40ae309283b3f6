// The Program, Scope, Group and View menus of the main window and what choosing in them shows.

#include "GuiHome.h"

#include "ui/Selection.h"
#include "ui/Texts.h"

#include <QLineEdit>
#include <QMap>
#include <QTest>

using namespace vocabrella;
using namespace vocabrella::testsupport;

class MenuSelectionTest : public QObject {
    Q_OBJECT

private slots:
    void menuNamesRules();
    void menusListGlobalCommandsFirstAndNumberWhenOpened();
    void numberingOffLeavesCaptions();
    void openingShowsTheFirstRowsPlace();
    void clicksAndKeysChooseTheShownEntryWithoutEditingItsName();
    void programChoiceFillsItsFirstScope();
    void globalCommandsSkipsTheAsleepScope();
    void scopeNamedLikeANumberedEntryIsFound();
    void unknownProgramIsIgnored();
    void groupChoiceMovesToItsFirstCommand();
    void groupChoiceNarrowsTheProgramMenu();
    void dragonAndUserDefinedGroupsShowGlobalCommands();
    void typeFilterAndAllOfTheAbove();
    void onlyOneType();
    void followCommandShowsItsLists();
    void followListShowsItsCallers();
    void followViewsRefuseWrongEntries();
    void tabsKeepTheirPlace();
    void eachMenuEntryHasItsOwnAccessKey();
};

void MenuSelectionTest::menuNamesRules() {
    using ui::StripMenuNumber;
    QCOMPARE(qs(StripMenuNumber("1 - Global Commands")), QStringLiteral("Global Commands"));
    QCOMPARE(qs(StripMenuNumber("12 -   NOTEPAD  ")), QStringLiteral("NOTEPAD"));
    // The rule matches anywhere in the caption: the window therefore keeps names beside captions.
    QCOMPARE(qs(StripMenuNumber("APP 2 - X")), QStringLiteral("X"));
    QCOMPARE(qs(StripMenuNumber("1 - APP 2 - X")), QStringLiteral("APP 2 - X"));
    QCOMPARE(qs(StripMenuNumber("A-B")), QStringLiteral("A-B"));
    QCOMPARE(qs(StripMenuNumber("2-B")), QStringLiteral("2-B"));

    QCOMPARE(ui::ExtractListNames("open <app> in <window> now").size(), std::size_t{2});
    QCOMPARE(qs(ui::ExtractListNames("open <app> in <window>")[1]), QStringLiteral("window"));
    QVERIFY(ui::ExtractListNames("no lists <here").empty());
    std::string many;
    for (int i = 0; i < 25; ++i) many += "<l" + std::to_string(i) + "> ";
    QCOMPARE(ui::ExtractListNames(many).size(), ui::kMaxListNames);

    const auto tokens = ui::Tokenize("open <app> now <x");
    QCOMPARE(tokens.size(), std::size_t{4});
    QCOMPARE(qs(tokens[1]), QStringLiteral("<app>"));
    QVERIFY(ui::TokenPresent(tokens, "APP"));
    QVERIFY(!ui::TokenPresent(tokens, "x")); // an unclosed reference names nothing
    QVERIFY(!ui::TokenPresent(tokens, "open "));
}

void MenuSelectionTest::menusListGlobalCommandsFirstAndNumberWhenOpened() {
    GuiHome h;
    auto file = standardFile();
    h.open(file);
    QCOMPARE(h.captions("appcommand"), (QStringList{"Global Commands", "NOTEPAD", "WINWORD"}));
    QCOMPARE(h.captions("groupcommand"), (QStringList{"Mail", "Office", "User-defined", "-", "All groups"}));

    // Each build tells the spoken controls how many numbers its menu takes.
    const auto built = [&](ui::DynamicMenu m) {
        for (auto it = h.listener.calls.rbegin(); it != h.listener.calls.rend(); ++it)
            if (!it->opened && it->menu == m) return it->words;
        return -1;
    };
    QCOMPARE(built(ui::DynamicMenu::Program), 3);
    QCOMPARE(built(ui::DynamicMenu::Scope), 2);
    QCOMPARE(built(ui::DynamicMenu::Group), 4);

    h.listener.calls.clear();
    emit h.menu("appcommand")->aboutToShow();
    QCOMPARE(h.captions("appcommand"), (QStringList{"1 - Global Commands", "2 - NOTEPAD", "3 - WINWORD"}));
    QCOMPARE(h.listener.calls.size(), std::size_t{1});
    QVERIFY(h.listener.calls[0].opened && h.listener.calls[0].menu == ui::DynamicMenu::Program);
    QCOMPARE(h.listener.calls[0].words, 3);
    emit h.menu("appcommand")->aboutToShow(); // not numbered twice
    QCOMPARE(h.captions("appcommand").front(), QStringLiteral("1 - Global Commands"));

    emit h.menu("groupcommand")->aboutToShow();
    QCOMPARE(h.captions("groupcommand"),
             (QStringList{"1 - Mail", "2 - Office", "3 - User-defined", "-", "All groups"}));
    QCOMPARE(h.listener.calls.back().words, 4);

    emit h.menu("statecommand")->aboutToShow();
    QCOMPARE(h.captions("statecommand"), (QStringList{"1 - Asleep", "2 - Global Commands"}));

    // A numbered entry still chooses its program; a rebuilt menu starts unnumbered.
    h.choose("appcommand", "NOTEPAD");
    QCOMPARE(h.text("Text2"), QStringLiteral("NOTEPAD"));
    QCOMPARE(h.captions("statecommand"), QStringList{"Application-specific"});
    h.choose("groupcommand", "All groups");
    QCOMPARE(h.captions("appcommand").front(), QStringLiteral("Global Commands"));
}

void MenuSelectionTest::numberingOffLeavesCaptions() {
    GuiHome h;
    h.settings->setNumberMenus(false);
    auto file = standardFile();
    h.open(file);
    h.listener.calls.clear();
    emit h.menu("appcommand")->aboutToShow();
    emit h.menu("groupcommand")->aboutToShow();
    QCOMPARE(h.captions("appcommand").front(), QStringLiteral("Global Commands"));
    QCOMPARE(h.captions("groupcommand").front(), QStringLiteral("Mail"));
    QVERIFY(h.listener.calls.empty());
}

void MenuSelectionTest::openingShowsTheFirstRowsPlace() {
    GuiHome h;
    auto file = standardFile();
    h.open(file);
    QCOMPARE(qs(h.form->selection().program), QStringLiteral("Global Commands"));
    QCOMPARE(qs(h.form->selection().scope), QStringLiteral("Global Commands"));
    QCOMPARE(h.text("Text3"), QStringLiteral("Global Commands"));
    // Commands only, in name order; the first is shown.
    QCOMPARE(h.items(1), (QStringList{"advanced", "letterhead", "open <app>", "paint <color>", "path keys", "replay",
                                      "say hello", "script it", "secret", "steps"}));
    QCOMPARE(h.list(1)->currentRow(), 0);
    QCOMPARE(h.text("Text5"), QStringLiteral("Advanced Script"));

    // A file whose first record belongs to a program opens on that program.
    GuiHome other;
    CommandFileBuilder b;
    b.add(inProgram(command("first", kKindKeys, "a"), "calc"));
    b.add(command("global one", kKindKeys, "b"));
    other.open(b);
    QCOMPARE(qs(other.form->selection().program), QStringLiteral("CALC"));
    QCOMPARE(other.items(1), QStringList{"first"});

    // An empty file shows the global commands: none.
    GuiHome empty;
    CommandFileBuilder none;
    empty.open(none);
    QCOMPARE(qs(empty.form->selection().program), QStringLiteral("Global Commands"));
    QCOMPARE(empty.items(1), QStringList{"Nothing to show"});
    QCOMPARE(empty.body(), QStringLiteral("Please pick a different Program, Scope, View, or Group"));
}

void MenuSelectionTest::clicksAndKeysChooseTheShownEntryWithoutEditingItsName() {
    GuiHome h;
    auto file = standardFile();
    h.open(file);
    h.form->show();
    QVERIFY(QTest::qWaitForWindowExposed(h.form.get()));
    auto* list = h.list(1);
    const auto centre = [list](int row) { return list->visualRect(list->model()->index(row, 0)).center(); };

    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, centre(6));
    QCOMPARE(list->currentItem()->text(), QStringLiteral("say hello"));
    QCOMPARE(qs(h.form->selection().command), QStringLiteral("say hello"));
    QCOMPARE(h.body(), QStringLiteral("hello\nworld"));
    QTest::keyClick(list, Qt::Key_Down);
    QCOMPARE(qs(h.form->selection().command), QStringLiteral("script it"));

    // The names are chosen here, never edited: a double click or F2 opens no editor on them.
    QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, centre(6));
    QTest::keyClick(list, Qt::Key_F2);
    QVERIFY(!list->viewport()->findChild<QLineEdit*>());
    QCOMPARE(h.items(1).at(6), QStringLiteral("say hello"));
}

void MenuSelectionTest::programChoiceFillsItsFirstScope() {
    GuiHome h;
    auto file = standardFile();
    h.open(file);
    h.choose("appcommand", "NOTEPAD");
    QCOMPARE(qs(h.form->selection().scope), QStringLiteral("Application-specific"));
    QCOMPARE(h.items(1), (QStringList{"open <app>", "save file"}));
    // The global LIST that a command of the scope uses is copied into the scope.
    const auto copy = h.session->store().findUser("NOTEPAD", "Application-specific", "app");
    QVERIFY(copy.has_value());
    QVERIFY(copy->listcopy);
    QCOMPARE(copy->Type, std::string("L"));
    QCOMPARE(qs(copy->script), QStringLiteral("notepad\r\nword\r\n"));
    // Shown on the LISTs tab, and only once however often the list is filled.
    h.form->showTab(1);
    QCOMPARE(h.items(2), QStringList{"app"});
    h.choose("statecommand", "Application-specific");
    int copies = 0;
    h.session->store().forEachUser([&](const UserRow& r) {
        copies += r.menu == "NOTEPAD" && r.name == "app";
        return true;
    });
    QCOMPARE(copies, 1);
}

void MenuSelectionTest::globalCommandsSkipsTheAsleepScope() {
    GuiHome h;
    auto file = standardFile();
    h.open(file);
    h.choose("appcommand", "WINWORD");
    QCOMPARE(qs(h.form->selection().scope), QStringLiteral("Application-specific"));
    h.choose("appcommand", "Global Commands");
    QCOMPARE(h.entries("statecommand").front()->property("entryName").toString(), QStringLiteral("Asleep"));
    QCOMPARE(qs(h.form->selection().scope), QStringLiteral("Global Commands"));
    h.choose("statecommand", "Asleep");
    QCOMPARE(h.items(1), QStringList{"wake up"});
}

void MenuSelectionTest::scopeNamedLikeANumberedEntryIsFound() {
    GuiHome h;
    auto file = standardFile();
    h.open(file);
    h.choose("appcommand", "WINWORD");
    emit h.menu("statecommand")->aboutToShow();
    QCOMPARE(h.captions("statecommand"), (QStringList{"1 - Application-specific", "2 - Document1 - Word"}));
    h.choose("statecommand", "Document1 - Word");
    QCOMPARE(h.text("Text3"), QStringLiteral("Document1 - Word"));
    QCOMPARE(h.items(1), QStringList{"close doc"});
    // A refresh finds it again rather than falling back to the first scope.
    h.form->reset(-1);
    QCOMPARE(h.items(1), QStringList{"close doc"});
}

void MenuSelectionTest::unknownProgramIsIgnored() {
    GuiHome h;
    auto file = standardFile();
    h.open(file);
    h.choose("appcommand", "NOTEPAD");
    const auto before = h.items(1);
    // The program disappears from the store behind the window's back.
    for (const auto& r : h.session->store().allUsers())
        if (r.menu == "WINWORD") h.session->store().deleteUser(r.ID);
    h.choose("appcommand", "WINWORD");
    QCOMPARE(qs(h.form->selection().program), QStringLiteral("NOTEPAD"));
    QCOMPARE(h.items(1), before);
}

void MenuSelectionTest::groupChoiceMovesToItsFirstCommand() {
    GuiHome h;
    auto file = standardFile();
    h.open(file);
    h.choose("appcommand", "WINWORD");
    h.choose("groupcommand", "Mail");
    // Mail's first row in name order is the global "paint <color>".
    QCOMPARE(qs(h.form->selection().program), QStringLiteral("Global Commands"));
    QCOMPARE(h.items(1), QStringList{"paint <color>"});
    QVERIFY(h.entries("groupcommand")[0]->isChecked());
    QVERIFY(!h.entries("groupcommand").back()->isChecked());
    // Showing a command of the group moves the LISTs it uses into the group.
    QCOMPARE(qs(h.session->store().findUser("Global Commands", "Global Commands", "color")->owner),
             QStringLiteral("Mail"));

    h.choose("groupcommand", "Office");
    QCOMPARE(h.items(1), (QStringList{"advanced", "letterhead", "open <app>"}));
    h.choose("appcommand", "WINWORD");
    QCOMPARE(h.items(1), QStringList{"bold that"});
    h.choose("groupcommand", "All groups");
    QVERIFY(h.form->selection().allGroups);
    QCOMPARE(h.items(1), QStringList{"bold that"});
}

void MenuSelectionTest::groupChoiceNarrowsTheProgramMenu() {
    GuiHome h;
    auto file = standardFile();
    h.open(file);
    h.choose("groupcommand", "Mail");
    QCOMPARE(h.captions("appcommand"), (QStringList{"Global Commands", "NOTEPAD"}));
    h.choose("appcommand", "NOTEPAD");
    QCOMPARE(h.captions("statecommand"), QStringList{"Application-specific"});
    QCOMPARE(h.items(1), QStringList{"save file"});
}

void MenuSelectionTest::dragonAndUserDefinedGroupsShowGlobalCommands() {
    GuiHome h;
    auto file = standardFile();
    h.open(file);
    h.choose("appcommand", "NOTEPAD");
    h.choose("groupcommand", "User-defined");
    QCOMPARE(qs(h.form->selection().program), QStringLiteral("Global Commands"));
    QCOMPARE(qs(h.form->selection().scope), QStringLiteral("Global Commands"));
    QCOMPARE(h.items(1), (QStringList{"path keys", "replay", "say hello", "script it", "secret", "steps"}));
}

void MenuSelectionTest::typeFilterAndAllOfTheAbove() {
    GuiHome h;
    auto file = standardFile();
    h.open(file);
    h.action("ViewKeys")->trigger();
    QVERIFY(!h.action("ViewKeys")->isChecked());
    QVERIFY(!h.action("ViewAll")->isChecked());
    QVERIFY(!h.items(1).contains("open <app>"));
    QVERIFY(!h.items(1).contains("path keys"));
    QVERIFY(h.items(1).contains("say hello"));

    h.action("ViewText")->trigger(); // Text and Graphics off as well
    QVERIFY(!h.items(1).contains("letterhead"));
    h.action("ViewKeys")->trigger();
    QVERIFY(h.items(1).contains("open <app>"));
    QVERIFY(h.action("ViewAll")->isChecked()); // KEYs, SCRIPTs and LISTs decide, whatever else is off
    h.action("ViewText")->trigger();
    QVERIFY(h.action("ViewAll")->isChecked());
    h.action("ViewScripts")->trigger();
    QVERIFY(!h.action("ViewAll")->isChecked());
    h.action("ViewScripts")->trigger();
    QVERIFY(h.action("ViewAll")->isChecked());

    // LISTs off: the LISTs tab is empty.
    h.action("ViewLists")->trigger();
    h.form->showTab(1);
    QCOMPARE(h.items(2), QStringList{"Nothing to show"});
    h.action("ViewAll")->trigger();
    QVERIFY(h.action("ViewLists")->isChecked());
    h.form->showTab(1);
    QCOMPARE(h.items(2), (QStringList{"app", "color", "unused"}));
    // The legacy entries stay hidden and checked.
    QVERIFY(!h.action("Viewmapped")->isVisible());
    QVERIFY(h.action("Viewnotmapped")->isChecked());
    QVERIFY(!h.action("viewdescriptions")->isVisible());
}

void MenuSelectionTest::onlyOneType() {
    GuiHome h;
    auto file = standardFile();
    h.open(file);
    h.action("viewonly1recorder")->trigger();
    QCOMPARE(h.items(1), QStringList{"replay"});
    QVERIFY(h.action("ViewRecorder")->isChecked());
    QVERIFY(!h.action("ViewKeys")->isChecked());
    QVERIFY(!h.action("ViewAll")->isChecked());
    h.choose("appcommand", "NOTEPAD");
    QCOMPARE(h.items(1), QStringList{"Nothing to show"});
    QCOMPARE(h.body(), QStringLiteral("Please pick a different Program, Scope, View, or Group"));
    QVERIFY(!h.child<QPushButton>("modify")->isEnabled());
}

void MenuSelectionTest::followCommandShowsItsLists() {
    GuiHome h;
    auto file = standardFile();
    h.open(file);
    h.select(1, "open <app>");
    h.action("viewfollowcommand")->trigger();
    QVERIFY(h.action("viewfollowcommand")->isChecked());
    QVERIFY(!h.action("ViewKeys")->isChecked());
    QVERIFY(!h.action("ViewAll")->isChecked());
    QCOMPARE(h.items(1), QStringList{"open <app>"});
    h.form->showTab(1);
    QCOMPARE(h.items(2), QStringList{"app"});
    // Leaving the view leaves the type entries off: nothing shows until one is chosen.
    h.form->showTab(0);
    h.action("viewfollowcommand")->trigger();
    QCOMPARE(h.items(1), QStringList{"Nothing to show"});
    h.action("ViewAll")->trigger();
    QCOMPARE(h.items(1).size(), qsizetype(10));
}

void MenuSelectionTest::followListShowsItsCallers() {
    GuiHome h;
    CommandFileBuilder b;
    auto paint = command("paint <color>", kKindKeys, "p");
    paint.lists = {"color"};
    auto fill = command("fill <color> with <color>", kKindKeys, "f");
    fill.lists = {"color"};
    b.add(paint).add(fill).add(command("color me", kKindKeys, "c")).add(command("draw", kKindKeys, "d"));
    b.add(BuiltList("color", {"red"}));
    h.open(b);
    h.form->showTab(1);
    QCOMPARE(h.items(2), QStringList{"color"});
    h.select(2, "color");
    h.action("viewfollowlist")->trigger();
    QVERIFY(h.action("viewfollowlist")->isChecked());
    QVERIFY(!h.action("ViewAll")->isChecked());
    QCOMPARE(h.items(1), (QStringList{"fill <color> with <color>", "paint <color>"}));
    h.form->showTab(1);
    QCOMPARE(h.items(2), QStringList{"color"});
    // Whatever the type filter says.
    h.action("viewonly1recorder")->trigger();
    QCOMPARE(h.items(1), (QStringList{"fill <color> with <color>", "paint <color>"}));
}

void MenuSelectionTest::followViewsRefuseWrongEntries() {
    GuiHome h;
    auto file = standardFile();
    h.open(file);
    h.select(1, "say hello");
    h.action("viewfollowcommand")->trigger();
    QCOMPARE(qs(h.prompter.last().text), QStringLiteral("This COMMAND has no LISTs"));
    QCOMPARE(qs(h.prompter.last().title), QStringLiteral("Not allowed"));
    QVERIFY(!h.action("viewfollowcommand")->isChecked());
    h.action("viewfollowlist")->trigger();
    QCOMPARE(qs(h.prompter.last().text), QStringLiteral("Not valid unless LIST"));
    QVERIFY(!h.action("viewfollowlist")->isChecked());
    h.form->showTab(1);
    h.select(2, "app");
    h.action("viewfollowcommand")->trigger();
    QCOMPARE(qs(h.prompter.last().text), QStringLiteral("Not valid unless COMMAND"));
    QCOMPARE(qs(h.prompter.last().title), QStringLiteral("Not allowed"));
    QVERIFY(h.action("ViewAll")->isChecked()); // a refused follow changes no filter
}

void MenuSelectionTest::tabsKeepTheirPlace() {
    GuiHome h;
    auto file = standardFile();
    h.open(file);
    h.choose("appcommand", "NOTEPAD");
    h.select(1, "save file");
    h.form->showTab(2); // Recently Created: the entry's own place becomes current
    QCOMPARE(h.items(3).front().left(10), QStringLiteral("close doc "));
    QCOMPARE(qs(h.form->selection().program), QStringLiteral("WINWORD"));
    h.form->showTab(0);
    QCOMPARE(qs(h.form->selection().program), QStringLiteral("NOTEPAD"));
    QCOMPARE(h.text("Text3"), QStringLiteral("Application-specific"));
    QCOMPARE(h.body(), QStringLiteral("{Ctrl+s}"));
}

void MenuSelectionTest::eachMenuEntryHasItsOwnAccessKey() {
    GuiHome h;
    auto file = standardFile();
    h.open(file);
    // The letter after "&", else the first letter (the key that reaches an entry without a mark).
    const auto accessKey = [](QString caption) {
        caption.replace(QStringLiteral("&&"), QString());
        const auto at = caption.indexOf(QLatin1Char('&'));
        return (at >= 0 && at + 1 < caption.size() ? caption[at + 1] : caption.front()).toLower();
    };
    for (const char* name : {"filemenu", "editmenu", "ViewMenu", "commandmenu", "toolsmenu", "helpmenu"}) {
        QMap<QChar, QString> taken;
        for (auto* a : h.menu(name)->actions()) {
            if (a->isSeparator() || !a->isVisible() || a->text().isEmpty()) continue;
            const QChar key = accessKey(a->text());
            QVERIFY2(!taken.contains(key), qPrintable(QString::fromLatin1(name) + ": " + taken.value(key) + " and " + a->text()));
            taken.insert(key, a->text());
        }
    }
}

QTEST_MAIN(MenuSelectionTest)
#include "MenuSelectionTest.moc"
