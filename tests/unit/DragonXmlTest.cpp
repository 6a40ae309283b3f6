// Dragon's MyCommands XML: the document reader, the commands' XML forms, the import into a new
// or an existing command file and the export, on files of every family and on Dragon's own.
#include "TestHome.h"

#include "BuiltCommands.h"
#include "CommandFileBuilder.h"

#include "cmdfile/AtomicFile.h"
#include "cmdfile/FileLock.h"
#include "cmdfile/RawRecord.h"
#include "cmdfile/Texts.h"
#include "cmdfile/XmlDocument.h"
#include "ops/ExportXml.h"
#include "ops/ImportXmlIntoFile.h"
#include "ops/ImportXmlToNewFile.h"
#include "ops/Texts.h"
#include "ops/Workspace.h"
#include "shell/Session.h"
#include "writer/DragonXml.h"
#include "writer/Texts.h"

#include <algorithm>
#include <tuple>

using namespace vocabrella;
using namespace vocabrella::testsupport;
namespace fs = std::filesystem;
namespace optexts = vocabrella::ops::texts;
using ops::Outcome;

namespace {

BuiltCommand command(std::string name, std::uint8_t kind, std::string text, std::string group = "Work") {
    return globalCommand(std::move(name), kind, std::move(text), std::move(group));
}

// The programs of these tests: a text editor of one maker.
BuiltCommand inEditor(BuiltCommand c, std::string module) {
    return inProgram(std::move(c), std::move(module), "Text editor", "Editors & Co");
}

BuiltCommand inEditorWindow(BuiltCommand c, std::string module, std::string title, std::string windowClass) {
    c = inWindow(std::move(c), std::move(module), std::move(title), std::move(windowClass));
    c.programDescription = "Text editor";
    c.company = "Editors & Co";
    return c;
}

const std::string kRich = "{\\rtf1\\ansi{\\pict\\pngblip\\picw1\\pich1 89504e470d0a1a0a}\\par Caf\\'e9}";

// Every kind of command, in every kind of scope, ordered by scope as the XML groups them, with
// texts that need escaping and Windows-1252 characters beyond ASCII.
CommandFileBuilder everyKind(std::uint8_t versionCode) {
    CommandFileBuilder b(versionCode, 9);
    auto keys = command("save <color> now", kKindKeys, "{Ctrl+s}\\\\n", "Files & \"quotes\"");
    keys.description = "Saves <all> & more \xE9";
    if (versionCode >= 6) keys.states = {"Normal", "Busy"};
    b.add(keys);
    b.add(command("open menu", kKindScript, "SendKeys \"%f\"\r\n  SendKeys \"o\"\r\n"));
    b.add(command("pick <color>", kKindAdvancedScript, "Sub Main\r\n  If a < b And c > d Then x = \"]]>\"\r\nEnd Sub"));
    b.add(command("greeting", kKindText, "Dear Caf\xE9,\r\n\tregards\r\n"));
    auto rich = command("letterhead", kKindText, "Caf\xE9");
    rich.formatted = kRich;
    b.add(rich);
    auto steps = command("launch", kKindStepByStep, "");
    steps.rawBody = stepByStepBody({step::pressKey(65, kShift | kCtrl), step::open("notepad.exe", "", "C:\\", 1),
                                    step::wait(1500), step::stopListening(), step::microphoneOn(),
                                    step::microphoneOff(), step::typeText("hello <you>"), step::sendKeys("{Enter}"),
                                    step::raw(9)});
    b.add(steps);
    auto recorder = command("click twice", kKindRecorder, "");
    recorder.rawBody = recorderBody({{"notepad", "Untitled", "Notepad", "a", "b", "c"}},
                                    {event::mouse(event::kMouseMove, 120, 45), event::mouse(event::kLeftDown, 3, 4),
                                     event::mouse(event::kLeftUp), event::mouse(event::kRightDown),
                                     event::mouse(event::kRightUp), event::mouse(3, 7, 8), event::key(65, 0x00),
                                     event::key(65, 0xC0), event::typeThree(), event::other(9)});
    b.add(recorder);
    b.add(inEditor(command("new page", kKindKeys, "{Ctrl+n}"), "notepad"));
    b.add(inEditor(command("close page", kKindAdvancedScript, "Sub Main\r\nEnd Sub", "Play"), "notepad"));
    b.add(inEditorWindow(command("bold <color>", kKindScript, "SendKeys \"^b\""), "winword", "Document1 - Word", "OpusApp"));
    b.add(inEditorWindow(command("wake up", kKindKeys, "{Esc}"), "Global Commands", "Asleep", ""));
    b.add(BuiltList("color", {"red", "green \xE9", "dark blue"}));
    return b;
}

using RowKey = std::tuple<std::string, std::string, std::string, std::string, std::string, std::string, std::string,
                          std::int64_t, std::string>;

// What the store shows of each command and LIST, in a fixed order.
std::vector<RowKey> rowsOf(const fs::path& file) {
    TempDir home;
    ScriptedPrompter prompter;
    FakeClock clock;
    Session session(home.path() / "home", prompter, clock);
    const auto outcome = session.open(file);
    EXPECT_TRUE(outcome.success) << outcome.problem;
    std::vector<RowKey> rows;
    session.store().forEachUser([&](const UserRow& r) {
        rows.emplace_back(r.menu, r.state, r.name, r.Type, r.script, r.description, r.owner, r.graphicsize, r.states);
        return true;
    });
    std::sort(rows.begin(), rows.end());
    return rows;
}

// UTF-8 text (ASCII and two-byte characters) as UTF-16 with a byte-order mark, encoded here
// rather than by the code under test.
Bytes utf16(std::string_view text, bool bigEndian = false) {
    Bytes out = bigEndian ? Bytes{0xFE, 0xFF} : Bytes{0xFF, 0xFE};
    for (std::size_t i = 0; i < text.size(); ++i) {
        auto c = static_cast<unsigned char>(text[i]);
        std::uint16_t unit = c;
        if (c >= 0xC0) unit = static_cast<std::uint16_t>((c & 0x1F) << 6 | (static_cast<unsigned char>(text[++i]) & 0x3F));
        if (bigEndian) out.insert(out.end(), {static_cast<std::uint8_t>(unit >> 8), static_cast<std::uint8_t>(unit)});
        else out.insert(out.end(), {static_cast<std::uint8_t>(unit), static_cast<std::uint8_t>(unit >> 8)});
    }
    return out;
}

class DragonXml : public ::testing::Test {
protected:
    fs::path home() const { return dir.path() / "home"; }
    fs::path file() const { return dir.path() / "mycmds.dat"; }
    fs::path xmlFile() const { return dir.path() / "commands.xml"; }
    fs::path newFile() const { return dir.path() / "new.dat"; }

    ops::Workspace& open(const fs::path& path) {
        ws.reset();
        session.emplace(home(), prompter, clock);
        EXPECT_TRUE(session->open(path).success);
        ws.emplace(*session, clock);
        return *ws;
    }
    ops::Workspace& open(CommandFileBuilder builder) {
        builder.writeFile(file());
        return open(file());
    }
    Outcome exportAll(ops::Workspace& w, fs::path to = {}) {
        ops::ExportXml exporter(w, ops::BatchSelection{}, to.empty() ? xmlFile() : to);
        const auto o = exporter.run();
        exported = exporter.ownForm();
        leftOut = exporter.leftOut();
        return o;
    }
    Outcome importNew(const std::string& version = {}, const std::string& language = {}) {
        return ops::ImportXmlToNewFile(prompter, xmlFile(), newFile(), version, language).run();
    }
    void writeXml(std::string_view utf8Text) { writeBytes(xmlFile(), utf16(utf8Text)); }
    // The refusal was told once, naming the command, and nothing was written.
    void expectRefusedNaming(const Outcome& o, std::string_view line) {
        EXPECT_EQ(o.kind, Outcome::Kind::Refused);
        ASSERT_FALSE(prompter.shown.empty());
        EXPECT_EQ(prompter.last().title, xmlFile().string());
        EXPECT_EQ(prompter.last().text.rfind(optexts::XmlImportRefused, 0), 0u) << prompter.last().text;
        EXPECT_NE(prompter.last().text.find("\r\n" + std::string(line)), std::string::npos) << prompter.last().text;
        EXPECT_FALSE(fs::exists(newFile()));
    }

    TempDir dir;
    ScriptedPrompter prompter;
    FakeClock clock;
    std::optional<Session> session;
    std::optional<ops::Workspace> ws;
    std::vector<std::string> exported, leftOut;
};

std::string xmlDocument(std::string_view commands, std::string_view lists = {}) {
    return "<?xml version=\"1.0\" encoding=\"utf-16\"?>\r\n"
           "<!DOCTYPE MyCommands SYSTEM \"http://example.com/MyCommands.dtd\">\r\n"
           "<MyCommands version=\"2.0\" language=\"0x809\">\r\n" +
           std::string(commands) + "<Lists>" + std::string(lists) + "</Lists>\r\n</MyCommands>\r\n";
}

std::string globalCommand(std::string_view name, std::string_view contents) {
    return "<Commands type=\"global\"><Command name=\"" + std::string(name) +
           "\" group=\"g\" enabled=\"true\" states=\"\"><description></description>" + std::string(contents) +
           "</Command></Commands>\r\n";
}

} // namespace

TEST(XmlDocumentReader, ReadsTheSameTreeFromEveryEncoding) {
    const std::string text = "<?xml version=\"1.0\"?>\r\n<!DOCTYPE a [ <!ENTITY x \"y\"> ]>\r\n<!-- note -->"
                             "<a k=\"1 &amp; &lt;2&gt; &#233;&#xE9;\" j='q'><b><![CDATA[<x> & ]]]]><![CDATA[>]]></b>"
                             "<c/>t&quot;\xC3\xA9<?pi x?></a>";
    Bytes utf8Bom{0xEF, 0xBB, 0xBF};
    utf8Bom.insert(utf8Bom.end(), text.begin(), text.end());
    const Bytes utf8Plain(text.begin(), text.end());
    for (const auto& bytes : {utf16(text), utf16(text, true), utf8Bom, utf8Plain}) {
        const auto root = xml::parse(bytes);
        EXPECT_EQ(root.name, "a");
        EXPECT_EQ(root.attributeOr("k"), "1 & <2> \xC3\xA9\xC3\xA9");
        EXPECT_EQ(root.attributeOr("j"), "q");
        ASSERT_EQ(root.children.size(), 2u);
        EXPECT_EQ(root.children[0].text, "<x> & ]]>");
        EXPECT_EQ(root.children[1].name, "c");
        EXPECT_EQ(root.text, "t\"\xC3\xA9");
    }
}

TEST(XmlDocumentReader, RefusesWhatIsNotWellFormedWithItsLine) {
    const auto lineOf = [](std::string_view text) -> std::size_t {
        try {
            xml::parseText(text);
        } catch (const xml::XmlError& e) {
            return e.line();
        }
        return 0;
    };
    EXPECT_EQ(lineOf("<a>\n<b></a>"), 2u);
    EXPECT_EQ(lineOf("<a>\n\n&bogus;</a>"), 3u);
    EXPECT_EQ(lineOf("<a x=1/>"), 1u);
    EXPECT_EQ(lineOf("<a><![CDATA[open</a>"), 1u);
    EXPECT_EQ(lineOf("<a></a><b/>"), 1u);
    EXPECT_EQ(lineOf("<a>&#0;</a>"), 1u);
    EXPECT_EQ(lineOf("<a x='1' x='2'/>"), 1u);
    EXPECT_EQ(lineOf(""), 1u);
    // Entities declared by the document are never expanded, and nesting has a limit.
    EXPECT_EQ(lineOf("<!DOCTYPE a [<!ENTITY x 'yyyy'>]>\n<a>&x;</a>"), 2u);
    std::string deep;
    for (int i = 0; i < 500; ++i) deep += "<a>";
    EXPECT_EQ(lineOf(deep), 1u);
    EXPECT_THROW(xml::parse(Bytes{0xFF, 0xFE, '<'}), xml::XmlError);       // odd UTF-16
    EXPECT_THROW(xml::parse(Bytes{0xFF, 0xFE, 0x00, 0xD8, '<', 0}), xml::XmlError); // lone surrogate
    EXPECT_THROW(xml::parse(Bytes{'<', 'a', 0xC3, '/', '>'}), xml::XmlError);    // broken UTF-8
}

TEST(XmlDocumentWriter, TextsComeBackAsWritten) {
    xml::Writer w;
    w.open("r", {{"a", "x\"<&>\r\n\t"}});
    w.textElement("t", "line ]]> end\r\nnext");
    w.textElement("c", std::string("bell\x07", 5));
    w.close();
    const auto root = xml::parse(xml::utf16LittleEndianWithMark(w.text()));
    EXPECT_EQ(root.attributeOr("a"), "x\"<&>\r\n\t");
    EXPECT_EQ(root.children[0].text, "line ]]> end\r\nnext");
    EXPECT_EQ(root.children[1].text, std::string("bell\x07", 5));
}

// Export and import again give the same file, byte for byte, in every family.
TEST_F(DragonXml, EveryKindOfEveryFamilyComesBackTheSame) {
    const std::pair<std::uint8_t, std::string> families[] = {{3, "6.0"}, {4, "6.1"}, {5, "7.x"}, {6, "8/9"}, {7, "10"}};
    for (const auto& [code, version] : families) {
        SCOPED_TRACE(version);
        auto builder = everyKind(code);
        const Bytes original = builder.build();
        auto& w = open(builder);
        fs::remove(xmlFile());
        ASSERT_TRUE(exportAll(w).isDone()) << prompter.last().text;
        EXPECT_EQ(exported, (std::vector<std::string>{"save <color> now", "launch", "new page", "wake up"}));
        EXPECT_TRUE(leftOut.empty());
        fs::remove(newFile());
        const auto o = importNew(version);
        ASSERT_TRUE(o.isDone()) << prompter.last().text;
        EXPECT_EQ(o.text, "Imported 11 commands and 1 LISTs into " + newFile().string());
        EXPECT_EQ(readFileBytes(newFile()), original);
        EXPECT_EQ(rowsOf(newFile()), rowsOf(file()));
    }
}

TEST_F(DragonXml, ExportWritesDragonsLayout) {
    auto& w = open(everyKind(7));
    const auto o = exportAll(w);
    ASSERT_TRUE(o.isDone());
    EXPECT_EQ(o.text, "Exported 11 commands and 1 LISTs to " + xmlFile().string() + "\r\n" +
                          std::string(optexts::XmlOwnForm) + "save <color> now, launch, new page, wake up");
    const auto bytes = readFileBytes(xmlFile());
    ASSERT_GE(bytes.size(), 2u);
    EXPECT_EQ(bytes[0], 0xFF);
    EXPECT_EQ(bytes[1], 0xFE);
    const auto text = xml::decodeDocument(bytes);
    EXPECT_EQ(text.rfind("<?xml version=\"1.0\" encoding=\"utf-16\"?>\r\n<!DOCTYPE MyCommands ", 0), 0u);
    const auto root = xml::parseText(text);
    EXPECT_EQ(root.attributeOr("version"), "2.0");
    EXPECT_EQ(root.attributeOr("language"), "0x409");
    const auto scopes = root.childrenNamed("Commands");
    ASSERT_EQ(scopes.size(), 4u);
    EXPECT_EQ(scopes[0]->attributeOr("type"), "global");
    EXPECT_EQ(scopes[1]->attributeOr("type"), "application");
    EXPECT_EQ(scopes[1]->children[0].name, "module");
    EXPECT_EQ(scopes[1]->children[1].name, "company");
    EXPECT_EQ(scopes[1]->children[1].text, "Editors & Co");
    EXPECT_EQ(scopes[1]->children[2].name, "description");
    EXPECT_EQ(scopes[2]->attributeOr("type"), "window");
    EXPECT_EQ(scopes[2]->child("caption")->text, "Document1 - Word");
    EXPECT_EQ(scopes[2]->child("class")->text, "OpusApp");
    const auto* first = scopes[0]->child("Command");
    EXPECT_EQ(first->attributeOr("name"), "save [color] now");
    EXPECT_EQ(first->attributeOr("group"), "Files & \"quotes\"");
    EXPECT_EQ(first->attributeOr("enabled"), "true");
    EXPECT_EQ(first->child("description")->text, "Saves <all> & more \xC3\xA9");
    const auto commands = scopes[0]->childrenNamed("Command");
    EXPECT_EQ(commands[1]->child("contents")->attributeOr("type"), "DVC_SCRIPT");
    EXPECT_EQ(commands[2]->child("contents")->attributeOr("type"), "SCRIPT");
    EXPECT_EQ(commands[2]->child("contents")->text, "Sub Main\r\n  If a < b And c > d Then x = \"]]>\"\r\nEnd Sub");
    const auto* plain = commands[3]->child("contents");
    EXPECT_EQ(plain->attributeOr("type"), "TEXT-GRAPHICS");
    EXPECT_EQ(plain->child("TEXT")->text, "Dear Caf\xC3\xA9,\r\n\tregards\r\n");
    EXPECT_EQ(plain->child("RTF")->text.find("\\pict"), std::string::npos);
    EXPECT_EQ(commands[4]->child("contents")->child("RTF")->text, kRich);
    const auto actions = commands[6]->child("contents")->childrenNamed("action");
    ASSERT_EQ(actions.size(), 10u);
    EXPECT_EQ(actions[0]->attributeOr("type"), "move");
    EXPECT_EQ(actions[0]->attributeOr("x"), "120");
    EXPECT_EQ(actions[0]->attributeOr("y"), "45");
    EXPECT_EQ(actions[1]->attributeOr("type"), "leftdown");
    EXPECT_EQ(actions[6]->attributeOr("type"), "keydown");
    EXPECT_EQ(actions[7]->attributeOr("type"), "keyup");
    const auto* list = root.child("Lists")->child("List");
    EXPECT_EQ(list->attributeOr("name"), "color");
    EXPECT_EQ(list->childrenNamed("Value")[1]->text, "green \xC3\xA9");
}

// A file written by hand in Dragon's form, UTF-16 with its mark, gives the records a builder
// writes for the same commands.
TEST_F(DragonXml, HandWrittenFileImportsToTheExpectedRecords) {
    writeXml(xmlDocument(
        "<Commands type=\"global\">\r\n"
        "  <Command name=\"[mouse] [1to9]\" group=\"Mouse &amp; keys\" enabled=\"true\" states=\"\">\r\n"
        "    <description>Clicks</description>\r\n"
        "    <contents type=\"SCRIPT\"><![CDATA[Sub Main\r\n  ButtonClick 1, 1\r\nEnd Sub]]></contents>\r\n"
        "  </Command>\r\n"
        "  <Command name=\"sign off\" group=\"\" enabled=\"true\" states=\"\">\r\n"
        "    <description/>\r\n"
        "    <contents type=\"TEXT-GRAPHICS\"><RTF><![CDATA[{\\rtf1\\ansi Regards}]]></RTF>"
        "<TEXT><![CDATA[Regards,\r\nJos\xC3\xA9]]></TEXT></contents>\r\n"
        "  </Command>\r\n"
        "  <Command name=\"click here\" group=\"Mouse\" enabled=\"true\" states=\"\">\r\n"
        "    <description></description>\r\n"
        "    <contents type=\"ACTIONS\"><action time=\"2614\" type=\"leftdown\" x=\"47\" y=\"125\" window=\"0\"/>"
        "<action time=\"2700\" type=\"leftup\" x=\"47\" y=\"125\" window=\"0\"/></contents>\r\n"
        "  </Command>\r\n"
        "</Commands>\r\n"
        "<Commands type=\"application\"><module>notepad</module><company>Maker</company>"
        "<description>Text editor</description>\r\n"
        "  <Command name=\"go [direction]\" group=\"Moves\" enabled=\"true\" states=\"\"><description>d</description>"
        "<contents type=\"DVC_SCRIPT\"><![CDATA[SendKeys \"{Down}\"]]></contents></Command>\r\n"
        "</Commands>\r\n"
        "<Commands type=\"window\"><module>winword</module><company>Maker</company><description>Word</description>"
        "<caption>Document1</caption><class>OpusApp</class>\r\n"
        "  <Command name=\"bold\" group=\"Fonts\" enabled=\"true\" states=\"\"><description></description>"
        "<contents type=\"SCRIPT\"><![CDATA[Sub Main\nEnd Sub]]></contents></Command>\r\n"
        "</Commands>\r\n",
        "<List name=\"direction\"><Value><![CDATA[down]]></Value><Value><![CDATA[up]]></Value></List>"
        "<List name=\"mouse\"><Value>mouse</Value></List>"
        "<List name=\"1to9\"><Value>1</Value><Value>2</Value></List>"));
    ASSERT_TRUE(importNew("8/9").isDone()) << prompter.last().text;

    CommandFileBuilder expected(6, 9);
    auto mouse = command("<mouse> <1to9>", kKindAdvancedScript, "Sub Main\r\n  ButtonClick 1, 1\r\nEnd Sub", "Mouse & keys");
    mouse.description = "Clicks";
    expected.add(mouse);
    auto signOff = command("sign off", kKindText, "Regards,\r\nJos\xE9", "");
    signOff.formatted = "{\\rtf1\\ansi Regards}"; // rich text is kept as Dragon wrote it
    expected.add(signOff);
    auto click = command("click here", kKindRecorder, "", "Mouse");
    auto down = event::mouse(event::kLeftDown, 47, 125);
    auto up = event::mouse(event::kLeftUp, 47, 125);
    down[1] = 2614 & 0xFF, down[2] = 2614 >> 8; // the time follows the event type
    up[1] = 2700 & 0xFF, up[2] = 2700 >> 8;
    click.rawBody = recorderBody({}, {down, up});
    expected.add(click);
    auto go = inEditor(command("go <direction>", kKindScript, "SendKeys \"{Down}\"", "Moves"), "notepad");
    go.description = "d";
    go.company = "Maker";
    expected.add(go);
    auto bold = inEditorWindow(command("bold", kKindAdvancedScript, "Sub Main\r\nEnd Sub", "Fonts"), "winword", "Document1", "OpusApp");
    bold.programDescription = "Word";
    bold.company = "Maker";
    expected.add(bold);
    expected.add(BuiltList("direction", {"down", "up"}));
    expected.add(BuiltList("mouse", {"mouse"}));
    expected.add(BuiltList("1to9", {"1", "2"}));
    EXPECT_EQ(readFileBytes(newFile()), expected.build());
}

TEST_F(DragonXml, VersionAndLanguageOfTheNewFile) {
    writeXml(xmlDocument(globalCommand("a", "<contents type=\"SCRIPT\">x</contents>")));
    ASSERT_TRUE(importNew().isDone());
    auto bytes = readFileBytes(newFile());
    EXPECT_EQ(bytes[4], 7) << "the newest family by default";
    EXPECT_EQ(bytes[15], 9) << "the low byte of 0x809";
    fs::remove(newFile());
    ASSERT_TRUE(importNew("6.1", "0x407").isDone());
    bytes = readFileBytes(newFile());
    EXPECT_EQ(bytes[4], 4);
    EXPECT_EQ(bytes[15], 7);
    fs::remove(newFile());
    ASSERT_TRUE(importNew("7.x", "French").isDone());
    EXPECT_EQ(readFileBytes(newFile())[15], 12);

    fs::remove(newFile());
    auto o = importNew("9");
    EXPECT_EQ(o.kind, Outcome::Kind::Refused);
    EXPECT_EQ(prompter.last().text, std::string(optexts::XmlUnknownVersion) + "9");
    o = importNew("", "Klingon");
    EXPECT_EQ(prompter.last().text, std::string(optexts::XmlUnknownLanguage) + "Klingon");
    EXPECT_FALSE(fs::exists(newFile()));
}

TEST_F(DragonXml, EachRefusalNamesTheCommandAndWritesNothing) {
    const std::pair<std::string, std::string> cases[] = {
        {globalCommand("a", "<contents type=\"HTML\">x</contents>"), "a: unknown contents type HTML"},
        {globalCommand("b", "<contents type=\"SCRIPT\">\xE6\x97\xA5</contents>"), "b: "},
        {globalCommand("c", "<contents type=\"TEXT-GRAPHICS\"><RTF>{\\pict \xE6\x97\xA5}</RTF><TEXT>t</TEXT></contents>"),
         "c: " + std::string(texts::XmlNoCp1252)},
        {globalCommand("use [Mouse]", "<contents type=\"SCRIPT\">x</contents>"),
         "use <Mouse>: " + std::string(optexts::ListNameCharacters)},
        {globalCommand("use [nowhere]", "<contents type=\"SCRIPT\">x</contents>"),
         "use <nowhere>: " + std::string(optexts::XmlListNowhere) + "nowhere"},
        {globalCommand("tab&#9;name", "<contents type=\"SCRIPT\">x</contents>"), "tab\tname: "},
        {globalCommand("d", "") , "d: " + std::string(texts::XmlNoContents)},
        {globalCommand("e", "<contents type=\"ACTIONS\"><action type=\"wiggle\"/></contents>"),
         "e: " + std::string(texts::XmlBadAction) + "wiggle"},
        {globalCommand("f", "<contents type=\"STEP-BY-STEP\"><step type=\"wait\" milliseconds=\"x\"/></contents>"),
         "f: " + std::string(texts::XmlBadNumber) + "milliseconds=\"x\" (<step>)"},
        {globalCommand("g", "<contents type=\"SCRIPT\">x</contents>") +
             globalCommand("G", "<contents type=\"SCRIPT\">y</contents>"),
         "G: " + std::string(optexts::XmlTwice)},
    };
    for (const auto& [commands, line] : cases) {
        SCOPED_TRACE(line);
        // A good command beside the bad one is not imported either.
        writeXml(xmlDocument(globalCommand("fine", "<contents type=\"SCRIPT\">x</contents>") + commands));
        expectRefusedNaming(importNew(), line);
    }
    writeXml(xmlDocument(globalCommand("x", "<contents type=\"SCRIPT\">x</contents>"),
                         "<List name=\"Bad Name\"><Value>v</Value></List>"));
    expectRefusedNaming(importNew(), "Bad Name: " + std::string(optexts::ListNameCharacters));
}

TEST_F(DragonXml, WhatDragonsFilesCannotTakeIsRefusedBeforeTheNewFileIsMade) {
    const auto script = std::string("<contents type=\"SCRIPT\">x</contents>");
    writeXml(xmlDocument(globalCommand("a", script)));
    // Languages are known by their primary language, whatever the sublanguage.
    for (const std::string language : {"0xFFFF", "0x410", "0x3FF", "1040"}) {
        SCOPED_TRACE(language);
        EXPECT_EQ(importNew("", language).kind, Outcome::Kind::Refused);
        EXPECT_EQ(prompter.last().text, std::string(optexts::XmlUnknownLanguage) + language);
        EXPECT_FALSE(fs::exists(newFile()));
    }
    ASSERT_TRUE(importNew("", "0xC0C").isDone());
    EXPECT_EQ(readFileBytes(newFile())[15], 12);
    fs::remove(newFile());
    // The document's own language, when none is given.
    std::string portuguese = xmlDocument(globalCommand("a", script));
    portuguese.replace(portuguese.find("0x809"), 5, "0x416");
    writeXml(portuguese);
    EXPECT_EQ(importNew().kind, Outcome::Kind::Refused);
    EXPECT_EQ(prompter.last().text, std::string(optexts::XmlUnknownLanguage) + "0x416");
    EXPECT_EQ(prompter.last().title, xmlFile().string());
    EXPECT_FALSE(fs::exists(newFile()));

    // A LIST whose item count a reader would take modulo 65536, and names whose brackets Dragon
    // cannot read (the XML's square brackets are LIST references).
    std::string values;
    for (int i = 0; i < 65540; ++i) values += "<Value>v</Value>";
    writeXml(xmlDocument(globalCommand("pick [big]", script), "<List name=\"big\">" + values + "</List>"));
    expectRefusedNaming(importNew(), "big: The LIST big would have 65540 items; a LIST holds at most 65535");
    for (const std::string name : {"go [color", "go color]", "go [a] b]"}) {
        SCOPED_TRACE(name);
        writeXml(xmlDocument(globalCommand(name, script)));
        expectRefusedNaming(importNew(), dragonxml::bracketsForFile(name) + ": " +
                                             std::string(optexts::NameBracketsUnreadable));
    }
}

TEST_F(DragonXml, FilesThatAreNoMyCommandsAreRefusedWithWhy) {
    writeBytes(xmlFile(), utf16("<MyCommands><Commands type=\"global\">"));
    auto o = importNew();
    EXPECT_EQ(o.kind, Outcome::Kind::Refused);
    EXPECT_EQ(prompter.last().text.rfind(optexts::XmlUnreadable, 0), 0u);
    EXPECT_NE(prompter.last().text.find("Line 1: "), std::string::npos) << prompter.last().text;
    writeBytes(xmlFile(), utf16("<Other/>"));
    o = importNew();
    EXPECT_EQ(prompter.last().text, std::string(optexts::XmlUnreadable) + "Line 1: " + std::string(texts::XmlNotMyCommands));
    writeXml(xmlDocument(""));
    o = importNew();
    EXPECT_EQ(prompter.last().text, optexts::XmlNoCommands);
    fs::remove(xmlFile());
    o = importNew();
    EXPECT_EQ(o.kind, Outcome::Kind::Refused);
    EXPECT_FALSE(fs::exists(newFile()));
}

TEST_F(DragonXml, TheNewFileFollowsTheOutputRules) {
    writeXml(xmlDocument(globalCommand("a", "<contents type=\"SCRIPT\">x</contents>")));
    writeBytes(newFile(), Bytes{1, 2, 3});
    auto o = importNew();
    EXPECT_EQ(o.kind, Outcome::Kind::Declined);
    EXPECT_EQ(prompter.last().text, optexts::FileExistsOverwrite);
    EXPECT_EQ(readFileBytes(newFile()), (Bytes{1, 2, 3}));
    prompter.answers = {"ok"};
    EXPECT_TRUE(importNew().isDone());

    o = ops::ImportXmlToNewFile(prompter, xmlFile(), xmlFile()).run();
    EXPECT_EQ(prompter.last().text, optexts::XmlTargetIsSource);
    o = ops::ImportXmlToNewFile(prompter, xmlFile(), newFile(), {}, {}, newFile()).run();
    EXPECT_EQ(prompter.last().text, optexts::OutputIsCommandFile);
    o = ops::ImportXmlToNewFile(prompter, xmlFile(), dir.path() / "none" / "x.dat").run();
    EXPECT_EQ(o.kind, Outcome::Kind::Refused);

    // The new file is a command file: another writer holding it keeps this one out.
    const auto held = readFileBytes(newFile());
    {
        FakeClock other;
        CommandFileLock lock(newFile(), other);
        prompter.answers = {"ok"};
        EXPECT_EQ(importNew().kind, Outcome::Kind::Refused);
        EXPECT_EQ(prompter.last().text, newFile().string() + ": " + std::string(vocabrella::texts::WriterBusy));
    }
    EXPECT_EQ(readFileBytes(newFile()), held);
}

// Into an existing file: appended in its layout, duplicates replaced or kept as answered, LISTs
// the file has kept as they are, every refusal leaving the file as it was.
TEST_F(DragonXml, ImportIntoAFileMergesAsAnAppendingExportDoes) {
    const auto target = [] {
        CommandFileBuilder b(5, 9);
        b.add(command("first", kKindKeys, "{F1}"));
        b.add(command("pick <color>", kKindKeys, "old"));
        b.add(BuiltList("color", {"red"}));
        return b;
    };
    writeXml(xmlDocument(globalCommand("pick [color]", "<contents type=\"SCRIPT\">new</contents>") +
                             globalCommand("other [shade]", "<contents type=\"KEYS\">k</contents>"),
                         "<List name=\"color\"><Value>blue</Value></List><List name=\"shade\"><Value>dark</Value></List>"));

    auto& keep = open(target());
    ops::ImportXmlIntoFile kept(keep, xmlFile(), ops::XmlDuplicates::Keep);
    auto o = kept.run();
    ASSERT_TRUE(o.isDone()) << prompter.last().text;
    EXPECT_EQ(o.text, "Imported 1 commands and 1 LISTs into " + file().string() + "\r\n" +
                          std::string(optexts::XmlKept) + "pick <color>");
    EXPECT_EQ(readFileBytes(file())[4], 5) << "the file keeps its version";
    auto rows = rowsOf(file());
    ASSERT_EQ(rows.size(), 5u);
    const auto find = [&](const std::string& name) {
        return *std::find_if(rows.begin(), rows.end(), [&](const RowKey& r) { return std::get<2>(r) == name; });
    };
    EXPECT_EQ(std::get<4>(find("pick <color>")), "old");
    EXPECT_EQ(std::get<4>(find("color")), "red\r\n") << "the file's LIST keeps its items";
    EXPECT_EQ(std::get<4>(find("shade")), "dark\r\n");
    EXPECT_EQ(std::get<3>(find("other <shade>")), "K");
    EXPECT_EQ(session->store().findUser("Global Commands", "Global Commands", "first")->script, "{F1}");

    auto& replace = open(target());
    ASSERT_TRUE(ops::ImportXmlIntoFile(replace, xmlFile(), ops::XmlDuplicates::Replace).run().isDone());
    rows = rowsOf(file());
    EXPECT_EQ(rows.size(), 5u) << "one copy of the replaced command";
    EXPECT_EQ(std::get<4>(find("pick <color>")), "new");
    EXPECT_EQ(std::get<3>(find("pick <color>")), "A");
    EXPECT_GT(session->store().findUser("Global Commands", "Global Commands", "pick <color>")->offset,
              session->store().findUser("Global Commands", "Global Commands", "first")->offset)
        << "the new command comes after the file's older ones";
}

TEST_F(DragonXml, ImportIntoAFileAsksAboutEachDuplicate) {
    CommandFileBuilder b(7, 9);
    b.add(command("a", kKindKeys, "old a"));
    b.add(command("b", kKindKeys, "old b"));
    writeXml(xmlDocument(globalCommand("a", "<contents type=\"KEYS\">new a</contents>") +
                         globalCommand("b", "<contents type=\"KEYS\">new b</contents>")));
    auto& w = open(b);
    const auto before = readFileBytes(file());
    auto o = ops::ImportXmlIntoFile(w, xmlFile()).run();
    EXPECT_EQ(o.kind, Outcome::Kind::Declined) << "unanswered: cancelled";
    EXPECT_EQ(prompter.last().title, texts::OverwriteTitle);
    EXPECT_EQ(readFileBytes(file()), before);

    prompter.answers = {"1", "0"}; // no to a, yes to b
    ASSERT_TRUE(ops::ImportXmlIntoFile(w, xmlFile()).run().isDone());
    EXPECT_EQ(session->store().findUser("Global Commands", "Global Commands", "a")->script, "old a");
    EXPECT_EQ(session->store().findUser("Global Commands", "Global Commands", "b")->script, "new b");
}

TEST_F(DragonXml, ImportIntoAFileRefusesWithoutWriting) {
    CommandFileBuilder b(7, 7); // German
    b.add(command("a", kKindKeys, "x"));
    auto& w = open(b);
    const auto before = readFileBytes(file());
    writeXml(xmlDocument(globalCommand("n", "<contents type=\"KEYS\">x</contents>")));
    auto o = ops::ImportXmlIntoFile(w, xmlFile(), ops::XmlDuplicates::Replace).run();
    EXPECT_EQ(o.kind, Outcome::Kind::Refused);
    EXPECT_EQ(prompter.last().text, std::string(optexts::XmlOtherLanguage) + "0x809 / German");
    EXPECT_EQ(readFileBytes(file()), before);

    CommandFileBuilder english(7, 9);
    english.add(command("a", kKindKeys, "x"));
    english.add(BuiltList("known", {"k"}));
    auto& e = open(english);
    const auto englishBefore = readFileBytes(file());
    writeXml(xmlDocument(globalCommand("n [known]", "<contents type=\"KEYS\">x</contents>") +
                         globalCommand("m", "<contents type=\"VOICE\">x</contents>")));
    o = ops::ImportXmlIntoFile(e, xmlFile(), ops::XmlDuplicates::Replace).run();
    EXPECT_EQ(o.kind, Outcome::Kind::Refused);
    EXPECT_NE(prompter.last().text.find("\r\nm: unknown contents type VOICE"), std::string::npos);
    EXPECT_EQ(prompter.last().text.find("n <known>"), std::string::npos) << "the file's LISTs count";
    EXPECT_EQ(readFileBytes(file()), englishBefore);
}

TEST_F(DragonXml, EncryptedCommandsAreLeftOutAndSaidSo) {
    CommandFileBuilder b(7, 9);
    b.add(command("plain", kKindKeys, "x"));
    auto bold = command("bold text", kKindText, "Hi");
    bold.formatted = "{\\rtf1 {\\b Hi}}";
    b.add(bold);
    auto secret = command("secret", kKindAdvancedScript, "");
    secret.encryption = 1;
    secret.encryptionBlock = "opaque";
    b.add(secret);
    auto& w = open(b);
    const auto o = exportAll(w);
    ASSERT_TRUE(o.isDone());
    EXPECT_EQ(leftOut, std::vector<std::string>{"secret"});
    EXPECT_NE(o.text.find(std::string(optexts::XmlLeftOut) + "secret"), std::string::npos);
    const auto root = xml::parse(readFileBytes(xmlFile()));
    EXPECT_EQ(root.child("Commands")->childrenNamed("Command").size(), 2u);
    ASSERT_TRUE(importNew().isDone());
    const auto rows = rowsOf(newFile());
    ASSERT_EQ(rows.size(), 2u);
    EXPECT_EQ(std::get<2>(rows[0]), "bold text");
    EXPECT_EQ(std::get<3>(rows[0]), "T") << "its formatting comes back, picture or none";
    EXPECT_EQ(std::get<4>(rows[0]), "Hi");
}

TEST_F(DragonXml, ExportTakesTheSelectionAndTheOutputRules) {
    auto& w = open(everyKind(7));
    ops::BatchSelection notepad;
    notepad.scope = ops::BatchScope::CurrentApp;
    notepad.program = "NOTEPAD";
    notepad.state = "Application-specific";
    ASSERT_TRUE(ops::ExportXml(w, notepad, xmlFile()).run().isDone());
    auto root = xml::parse(readFileBytes(xmlFile()));
    ASSERT_EQ(root.childrenNamed("Commands").size(), 1u);
    EXPECT_EQ(root.child("Commands")->childrenNamed("Command").size(), 2u);
    EXPECT_EQ(root.child("Lists")->children.size(), 0u);

    const auto before = readFileBytes(xmlFile());
    auto o = ops::ExportXml(w, {}, xmlFile()).run();
    EXPECT_EQ(o.kind, Outcome::Kind::Declined) << "an existing file is replaced only after OK";
    EXPECT_EQ(readFileBytes(xmlFile()), before);
    o = ops::ExportXml(w, {}, file()).run();
    EXPECT_EQ(prompter.last().text, optexts::OutputIsCommandFile);
}

// Files Dragon wrote: exported, imported into a new file of their version, the same store.
TEST_F(DragonXml, RealSamplesComeBackTheSame) {
    for (const auto* name : {"clear-categories.dat", "move-dock-window.dat", "reply.dat"}) {
        SCOPED_TRACE(name);
        auto& w = open(sample(name));
        ASSERT_TRUE(exportAll(w).isDone()) << prompter.last().text;
        const auto versionCode = readFileBytes(sample(name))[4];
        fs::remove(newFile());
        const std::string versions[] = {"6.0", "6.1", "7.x", "8/9", "10"};
        ASSERT_TRUE(importNew(versions[versionCode - 3]).isDone()) << prompter.last().text;
        EXPECT_EQ(rowsOf(newFile()), rowsOf(sample(name)));
        fs::remove(xmlFile());
    }
}
