// The File menu (Open, Reload, Re-specify DNS path, Properties, Exit), the window's placement
// and the Options and About dialogs.

#include "GuiHome.h"

#include "cmdfile/Reader.h"
#include "shell/ProfileFile.h"
#include "shell/Properties.h"
#include "ui/Dialogs.h"
#include "ui/Texts.h"

#include <QCheckBox>
#include <QDir>
#include <QLabel>
#include <QSignalSpy>

using namespace vocabrella;
using namespace vocabrella::testsupport;

class FileMenuTest : public QObject {
    Q_OBJECT

private slots:
    void openStartsWithTheLastFile();
    void openRefusesMissingAndDamagedFiles();
    void reloadReadsTheFileAgain();
    void anEmptyFileLeavesNoBoxFilled();
    void propertiesShowTheFileInformation();
    void respecifyForgetsTheUserAndEnds();
    void placementAndMenusSurviveARestart();
    void rollbackRestoresAndBacksUp();
    void optionsAndAbout();
};

void FileMenuTest::anEmptyFileLeavesNoBoxFilled() {
    GuiHome h;
    auto full = standardFile();
    h.open(full, "full.dat");
    h.choose("appcommand", QStringLiteral("WINWORD"));
    QVERIFY(!h.text("Text2").isEmpty());
    CommandFileBuilder none;
    h.open(none, "none.dat");
    for (const char* box : {"Text2", "Text3", "Text5", "Text6"}) QVERIFY2(h.text(box).isEmpty(), box);
    QCOMPARE(h.items(1), QStringList{"Nothing to show"});
    QCOMPARE(h.prompter.countLines.back(), std::string("0 /0")); // the count line says so too
}

void FileMenuTest::openStartsWithTheLastFile() {
    GuiHome h;
    auto first = standardFile();
    const auto firstPath = h.write(first, "first.dat");
    CommandFileBuilder second;
    second.add(inProgram(command("only one", kKindKeys, "k"), "calc"));
    const auto secondPath = h.write(second, "second.dat");

    std::vector<fs::path> starts;
    std::optional<fs::path> answer;
    h.form->hooks().chooseFileToOpen = [&](const fs::path& start) {
        starts.push_back(start);
        return answer;
    };
    answer = firstPath;
    h.action("fileopen")->trigger();
    QCOMPARE(qs(starts.back().filename().string()), QStringLiteral("mycmds.dat"));
    QCOMPARE(qs(starts.back().parent_path().string()), QDir::homePath());
    QCOMPARE(h.form->windowTitle(), QStringLiteral("Vocabrella - ") + qs(firstPath.string()));
    QCOMPARE(h.captions("appcommand").size(), qsizetype(3));

    answer = secondPath;
    h.action("fileopen")->trigger();
    QCOMPARE(qs(starts.back().string()), qs(firstPath.string()));
    QCOMPARE(h.captions("appcommand"), QStringList{"CALC"});
    QCOMPARE(h.items(1), QStringList{"only one"});
    QCOMPARE(h.captions("groupcommand"), (QStringList{"User-defined", "-", "All groups"}));

    // Cancelling changes nothing.
    answer.reset();
    h.action("fileopen")->trigger();
    QCOMPARE(h.items(1), QStringList{"only one"});
    QCOMPARE(h.form->windowTitle(), QStringLiteral("Vocabrella - ") + qs(secondPath.string()));
}

void FileMenuTest::openRefusesMissingAndDamagedFiles() {
    GuiHome h;
    auto file = standardFile();
    h.open(file);
    const auto missing = h.folder() / "missing.dat";
    h.form->FileOpenNoDialog(missing);
    QCOMPARE(qs(h.prompter.last().text), QStringLiteral("File does not exist"));
    QCOMPARE(qs(h.prompter.last().title), qs(missing.string()));
    QCOMPARE(h.items(1).size(), qsizetype(10));

    const auto damaged = h.folder() / "damaged.dat";
    auto bytes = standardFile().build();
    bytes.resize(bytes.size() / 2);
    writeBytes(damaged, bytes);
    QSignalSpy ended(h.form.get(), &ui::Form1::programEnded);
    h.form->hooks().chooseFileToOpen = [&](const fs::path&) { return std::optional<fs::path>(damaged); };
    h.action("fileopen")->trigger();
    QCOMPARE(ended.count(), 1);
    bool told = false;
    for (const auto& shown : h.prompter.shown)
        told = told || (shown.text == "The above file has a problem - parsing error" && shown.title == damaged.string());
    QVERIFY(told);
    QCOMPARE(qs(h.prompter.last().title), QStringLiteral("Now exiting"));
}

void FileMenuTest::reloadReadsTheFileAgain() {
    GuiHome h(standardFile());
    h.choose("appcommand", "NOTEPAD");
    auto changed = standardFile();
    changed.add(inProgram(command("new one", kKindKeys, "n"), "notepad"));
    changed.writeFile(h.userFile());
    h.action("filereload")->trigger();
    QCOMPARE(h.items(1), (QStringList{"new one", "open <app>", "save file"}));

    // With another file open, Reload goes back to the speech user's own file.
    CommandFileBuilder other;
    other.add(command("other command", kKindKeys, "u"));
    h.open(other, "other.dat");
    QCOMPARE(h.items(1), QStringList{"other command"});
    h.action("filereload")->trigger();
    QCOMPARE(h.captions("appcommand"), (QStringList{"Global Commands", "NOTEPAD", "WINWORD"}));
    QCOMPARE(h.form->windowTitle(), qs(h.app->caption()));
    QVERIFY(h.form->windowTitle().endsWith(QStringLiteral("mycmds.dat")));
}

void FileMenuTest::propertiesShowTheFileInformation() {
    GuiHome h;
    h.action("filepropertys")->trigger(); // the speech user's empty file
    QCOMPARE(h.session->reader().file().info.commandCount, 0u);
    QCOMPARE(qs(h.prompter.last().text), qs(propertiesText(h.session->reader().file().path, h.session->reader().file().info)));
    auto file = standardFile();
    const auto path = h.open(file);
    h.action("filepropertys")->trigger();
    const auto& info = h.session->reader().file().info;
    QCOMPARE(info.commandCount, 15u);
    QCOMPARE(qs(h.prompter.last().text), qs(propertiesText(h.session->reader().file().path, info)));
    QCOMPARE(qs(h.prompter.last().title), QStringLiteral("Properties"));
    QVERIFY(h.prompter.last().text.find("#Lists:            3") != std::string::npos);
}

void FileMenuTest::respecifyForgetsTheUserAndEnds() {
    GuiHome h;
    auto file = standardFile();
    h.open(file);
    auto p = h.session->store().parameters();
    p.UserName = "Ann";
    p.mycmdstime = 42;
    h.session->store().setParameters(p);
    QSignalSpy ended(h.form.get(), &ui::Form1::programEnded);
    h.action("filereset")->trigger();
    QCOMPARE(qs(h.prompter.last().text), QStringLiteral("You must restart Vocabrella for changes to apply"));
    QCOMPARE(ended.count(), 1);
    QCOMPARE(ended.front().front().toInt(), 0);
    QCOMPARE(h.session->store().userCount(), 0);
    p = h.session->store().parameters();
    QCOMPARE(qs(p.UserName), QStringLiteral(" "));
    QCOMPARE(qs(p.lastmode), QStringLiteral("app"));
    QVERIFY(!p.mycmdstime && !p.dvcmaptime && !p.parsed);
}

void FileMenuTest::placementAndMenusSurviveARestart() {
    GuiHome h;
    auto file = standardFile();
    h.open(file);
    h.form->setGeometry(120, 80, 700, 600);
    h.action("fileexit")->trigger();
    QVERIFY(!h.form->isVisible());
    const ProfileFile ini(h.home() / "Vocabrella.INI");
    QCOMPARE(qs(ini.read("Vocabrella", "form left")), QStringLiteral("120"));
    QCOMPARE(qs(ini.read("Vocabrella", "form top")), QStringLiteral("80"));
    QCOMPARE(qs(ini.read("Vocabrella", "form right")), QStringLiteral("820"));
    QCOMPARE(qs(ini.read("Vocabrella", "form bottom")), QStringLiteral("680"));
    QCOMPARE(qs(ini.read("Vocabrella", "maximized")), QStringLiteral("0"));

    h.start();
    h.form->restorePlacement();
    QCOMPARE(h.form->geometry(), QRect(120, 80, 700, 600));
    // The start reads the speech user's own file again.
    QCOMPARE(h.session->store().countCommands(), std::int64_t{0});

    // The rollback entries carry the speech user's name; today's backup was taken at the start.
    QCOMPARE(h.menu("rollback")->title(), QStringLiteral("Restore user 'Speaker' &mycmds.dat"));
    QCOMPARE(h.action("rollbackset")->text(), QStringLiteral("Bac&kup user 'Speaker' mycmds.dat"));
    QVERIFY(h.action("rollbackdynamic")->text().startsWith(QStringLiteral("mycmds.")));
    for (const char* name : {"Filereport", "FileExcel", "filedvc", "filepseudo", "popupprint", "popupprint2"})
        QVERIFY2(h.action(name) && h.action(name)->isEnabled(), name);
    // An empty file offers nothing to change, but new commands and LISTs.
    for (const char* name : {"commandclone", "commanddelete", "commandrename", "commandconvert2Plain"})
        QVERIFY2(!h.action(name)->isEnabled(), name);
    QVERIFY(h.action("commandnewkeys")->isEnabled() && h.action("commandnewlist")->isEnabled());
    QCOMPARE(h.action("filereload")->text(), QStringLiteral("Re&load current user mycmds.dat"));
    QCOMPARE(h.menu("only1")->title(), QStringLiteral("O&nly one of the above"));
    QCOMPARE(h.child<QTabWidget>("SSTab1")->tabText(3), QStringLiteral("Recently Mod&ified"));
}

void FileMenuTest::rollbackRestoresAndBacksUp() {
    GuiHome h(standardFile()); // today's backup holds this file
    QCOMPARE(h.entries("rollback").size(), std::size_t{1});
    auto* entry = h.action("rollbackdynamic");
    const std::string day = entry->text().toStdString();
    QVERIFY(fs::exists(h.home() / "Speaker" / day));

    // Dragon's user changed the file since; the restore brings the backed-up one back.
    CommandFileBuilder changed;
    changed.add(command("only this", kKindKeys, "o"));
    changed.writeFile(h.userFile());
    h.action("filereload")->trigger();
    QCOMPARE(h.items(1), QStringList{"only this"});
    h.prompter.answers = {"cancel"};
    entry->trigger();
    QCOMPARE(h.items(1), QStringList{"only this"});
    QCOMPARE(qs(h.prompter.last().title), QStringLiteral("Restore from archived file?"));
    h.prompter.answers = {"ok"};
    h.action("rollbackdynamic")->trigger();
    QCOMPARE(h.captions("appcommand"), (QStringList{"Global Commands", "NOTEPAD", "WINWORD"}));
    QVERIFY(fs::exists(h.home() / "Speaker" / "mycmds.prerollback"));
    QCOMPARE(h.session->store().countCommands(), std::int64_t{15});

    // A manual backup replaces today's and says where it went.
    h.action("rollbackset")->trigger();
    QCOMPARE(qs(h.prompter.last().title), qs((h.home() / "Speaker" / day).string()));
    QVERIFY(h.prompter.last().text.find("Backup taken successfully to above named file") != std::string::npos);
    QCOMPARE(h.action("rollbackdynamic")->text(), qs(day));
}

void FileMenuTest::optionsAndAbout() {
    GuiHome h;
    ui::HelpWindow help(h.home() / "help");
    ui::OptionsDialog options(*h.settings, help);
    QCOMPARE(options.windowTitle(), QStringLiteral("Options"));
    auto* box = options.findChild<QCheckBox*>(QStringLiteral("NumberMenus"));
    QCOMPARE(box->text(), QStringLiteral("Number the  Program, Scope, and Group menus"));
    QVERIFY(box->isChecked());
    box->click();
    QVERIFY(!h.settings->options().numberMenus);
    QCOMPARE(qs(ProfileFile(h.home() / "Vocabrella.INI").read("Vocabrella", "number menus")), QStringLiteral("False"));

    options.findChild<QPushButton*>(QStringLiteral("help"))->click();
    QVERIFY(help.isVisible());
    QCOMPARE(qs(help.pageOf(ui::kHelpOptions).filename().string()), QStringLiteral("options.html"));

    ui::AboutDialog about;
    QCOMPARE(about.windowTitle(), QStringLiteral("About Vocabrella"));
    QVERIFY(about.findChild<QLabel*>(QStringLiteral("Label2"))->text().startsWith(QStringLiteral("Version ")));
}

QTEST_MAIN(FileMenuTest)
#include "FileMenuTest.moc"
