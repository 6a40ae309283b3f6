// The File menu's entries for Dragon's MyCommands XML: every command of the open file out to a
// file, and a file's commands into the open one.

#include "GuiHome.h"

#include "ops/Texts.h"
#include "ui/Texts.h"

using namespace vocabrella;
using namespace vocabrella::testsupport;

class XmlEntriesTest : public QObject {
    Q_OBJECT

private slots:
    void exportThenImportIntoAnotherFile();
    void cancelledDialogsDoNothing();
};

void XmlEntriesTest::exportThenImportIntoAnotherFile() {
    GuiHome h;
    auto file = standardFile();
    const auto path = h.open(file);
    QCOMPARE(h.action("fileimportxml")->text(), qs(std::string(ui::texts::FileImportXml)));
    QCOMPARE(h.action("fileexportxml")->text(), qs(std::string(ui::texts::FileExportXml)));

    const auto xml = h.folder() / "shared.xml";
    fs::path offered;
    h.form->hooks().chooseFileToSave = [&](const fs::path& start) {
        offered = start;
        return std::optional<fs::path>(xml);
    };
    h.action("fileexportxml")->trigger();
    QCOMPARE(qs(offered.string()), qs((h.folder() / "test.xml").string()));
    QVERIFY(fs::exists(xml));
    const auto exported = h.prompter.last().text;
    QVERIFY2(exported.rfind("Exported 14 commands and 2 LISTs to " + xml.string(), 0) == 0, exported.c_str());
    QVERIFY(exported.find(std::string(ops::texts::XmlLeftOut) + "secret") != std::string::npos);

    CommandFileBuilder other;
    other.add(command("only one", kKindKeys, "k"));
    h.open(other, "other.dat");
    h.form->hooks().chooseFileToOpen = [&](const fs::path&) { return std::optional<fs::path>(xml); };
    h.action("fileimportxml")->trigger();
    const auto imported = h.prompter.last().text;
    QVERIFY2(imported.rfind("Imported 14 commands and 2 LISTs into ", 0) == 0, imported.c_str());
    h.choose("appcommand", QStringLiteral("Global Commands"));
    QVERIFY(h.items(1).contains(QStringLiteral("only one")));
    QVERIFY(h.items(1).contains(QStringLiteral("say hello")));
    QVERIFY(h.captions("appcommand").contains(QStringLiteral("WINWORD")));
    (void)path;
}

void XmlEntriesTest::cancelledDialogsDoNothing() {
    GuiHome h;
    auto file = standardFile();
    const auto path = h.open(file);
    const auto before = readFileBytes(path);
    const auto shown = h.prompter.shown.size();
    h.form->hooks().chooseFileToSave = [](const fs::path&) { return std::optional<fs::path>(); };
    h.form->hooks().chooseFileToOpen = [](const fs::path&) { return std::optional<fs::path>(); };
    h.action("fileexportxml")->trigger();
    h.action("fileimportxml")->trigger();
    QCOMPARE(h.prompter.shown.size(), shown);
    QVERIFY(readFileBytes(path) == before);
}

QTEST_MAIN(XmlEntriesTest)
#include "XmlEntriesTest.moc"
