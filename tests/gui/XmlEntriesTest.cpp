// The File menu's entries for Dragon's MyCommands XML: every command of the open file out to a
// file, and a file's commands into the open one.

#include "GuiHome.h"

#include "cmdfile/Reader.h"
#include "ops/Texts.h"
#include "ui/Texts.h"
#include "writer/Texts.h"

using namespace vocabrella;
using namespace vocabrella::testsupport;

class XmlEntriesTest : public QObject {
    Q_OBJECT

private slots:
    void exportThenImportIntoAnotherFile();
    void cancelledDialogsDoNothing();
    void importAsksWhereAndAboutDuplicates();
};

namespace {

bool asked(const ScriptedPrompter& p, std::string_view title) {
    return std::any_of(p.shown.begin(), p.shown.end(),
                       [&](const auto& s) { return s.kind == ScriptedPrompter::Kind::Choice && s.title == title; });
}

} // namespace

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
    // As paths: the folder may be written with either separator on Windows.
    QVERIFY2(offered == h.folder() / "test.xml", offered.string().c_str());
    QVERIFY(fs::exists(xml));
    const auto exported = h.prompter.last().text;
    QVERIFY2(exported.rfind("Exported 14 commands and 2 LISTs to " + xml.string(), 0) == 0, exported.c_str());
    QVERIFY(exported.find(std::string(ops::texts::XmlLeftOut) + "secret") != std::string::npos);

    CommandFileBuilder other;
    other.add(command("only one", kKindKeys, "k"));
    h.open(other, "other.dat");
    h.form->hooks().chooseFileToOpen = [&](const fs::path&) { return std::optional<fs::path>(xml); };
    h.prompter.answers = {"1"}; // into the open file
    h.action("fileimportxml")->trigger();
    QVERIFY(asked(h.prompter, ui::texts::ImportXmlWhereTitle));
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

void XmlEntriesTest::importAsksWhereAndAboutDuplicates() {
    GuiHome h;
    auto file = standardFile();
    const auto path = h.open(file);
    const auto xml = h.folder() / "shared.xml";
    h.form->hooks().chooseFileToSave = [&](const fs::path&) { return std::optional<fs::path>(xml); };
    h.action("fileexportxml")->trigger();
    const auto before = readFileBytes(path);
    const auto shownFile = h.session->reader().file().path;
    h.form->hooks().chooseFileToOpen = [&](const fs::path&) { return std::optional<fs::path>(xml); };

    // Neither answered: nothing more is asked, nothing happens.
    h.prompter.answers.clear();
    h.action("fileimportxml")->trigger();
    QCOMPARE(h.prompter.last().title, std::string(ui::texts::ImportXmlWhereTitle));
    QVERIFY(readFileBytes(path) == before);

    // A new file, named next to the XML file; the open file stays as it was and on show.
    fs::path offered;
    const auto made = h.folder() / "from xml.dat";
    h.form->hooks().chooseFileToSave = [&](const fs::path& start) {
        offered = start;
        return std::optional<fs::path>(made);
    };
    h.prompter.answers = {"0", "no"};
    h.action("fileimportxml")->trigger();
    QVERIFY2(offered == h.folder() / "shared.dat", offered.string().c_str());
    QVERIFY(fs::exists(made));
    QVERIFY(readFileBytes(path) == before);
    QCOMPARE(h.session->reader().file().path, shownFile);

    // Into the open file, which has every command already: the duplicates question, answered
    // "No to all", leaves nothing to import.
    h.prompter.answers = {"1", "3"};
    h.action("fileimportxml")->trigger();
    QVERIFY(asked(h.prompter, vocabrella::texts::OverwriteTitle));
    QCOMPARE(h.prompter.last().text, std::string(ops::texts::XmlNothingNew));
    QVERIFY(readFileBytes(path) == before);

    // A new file opened at once.
    h.prompter.answers = {"0", "yes"};
    fs::remove(made);
    h.action("fileimportxml")->trigger();
    QCOMPARE(qs(h.session->reader().file().path.filename().string()), QStringLiteral("from xml.dat"));
    QVERIFY(h.items(1).contains(QStringLiteral("say hello")));
}

QTEST_MAIN(XmlEntriesTest)
#include "XmlEntriesTest.moc"
