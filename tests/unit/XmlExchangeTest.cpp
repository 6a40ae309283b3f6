// The exchange XML as a user meets it: files saved by other programs in any Unicode form, with
// characters of every length, and the questions of an import into a file that has some of the
// commands already. What ends up in the command file is read afresh and checked field by field.
#include "TestHome.h"

#include "BuiltCommands.h"
#include "CommandFileBuilder.h"
#include "OpenCommandFile.h"
#include "FileState.h"

#include "cmdfile/AtomicFile.h"
#include "cmdfile/RawRecord.h"
#include "cmdfile/Format.h"
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

using namespace vocabrella;
using namespace vocabrella::testsupport;
namespace fs = std::filesystem;
using ops::Outcome;

namespace {

// Code points of UTF-8 text, decoded here rather than by the code under test.
std::vector<char32_t> codePoints(std::string_view utf8) {
    std::vector<char32_t> out;
    for (std::size_t i = 0; i < utf8.size();) {
        const auto b = static_cast<unsigned char>(utf8[i]);
        const std::size_t n = b < 0x80 ? 1 : b < 0xE0 ? 2 : b < 0xF0 ? 3 : 4;
        char32_t c = n == 1 ? b : n == 2 ? (b & 0x1F) : n == 3 ? (b & 0x0F) : (b & 0x07);
        for (std::size_t k = 1; k < n; ++k) c = c << 6 | (static_cast<unsigned char>(utf8[i + k]) & 0x3F);
        out.push_back(c);
        i += n;
    }
    return out;
}

enum class Form { Utf8, Utf8Mark, Utf16Le, Utf16LeMark, Utf16Be, Utf16BeMark };
constexpr Form kEveryForm[] = {Form::Utf8, Form::Utf8Mark, Form::Utf16Le, Form::Utf16LeMark, Form::Utf16Be, Form::Utf16BeMark};

const char* nameOf(Form f) {
    switch (f) {
    case Form::Utf8: return "UTF-8";
    case Form::Utf8Mark: return "UTF-8 with its mark";
    case Form::Utf16Le: return "UTF-16 LE";
    case Form::Utf16LeMark: return "UTF-16 LE with its mark";
    case Form::Utf16Be: return "UTF-16 BE";
    case Form::Utf16BeMark: return "UTF-16 BE with its mark";
    }
    return "";
}

Bytes encoded(std::string_view utf8, Form form) {
    Bytes out;
    if (form == Form::Utf8 || form == Form::Utf8Mark) {
        if (form == Form::Utf8Mark) out = {0xEF, 0xBB, 0xBF};
        for (const char c : utf8) out.push_back(static_cast<std::uint8_t>(c));
        return out;
    }
    const bool big = form == Form::Utf16Be || form == Form::Utf16BeMark;
    const auto unit = [&](std::uint32_t u) {
        if (big) out.insert(out.end(), {static_cast<std::uint8_t>(u >> 8), static_cast<std::uint8_t>(u)});
        else out.insert(out.end(), {static_cast<std::uint8_t>(u), static_cast<std::uint8_t>(u >> 8)});
    };
    if (form == Form::Utf16LeMark || form == Form::Utf16BeMark) unit(0xFEFF);
    for (const char32_t c : codePoints(utf8)) {
        if (c >= 0x10000) {
            unit(0xD800 + ((c - 0x10000) >> 10));
            unit(0xDC00 + ((c - 0x10000) & 0x3FF));
        } else {
            unit(c);
        }
    }
    return out;
}

// One character of each UTF-8 length, and those at the edges of each length: U+007F, U+0080,
// U+07FF, U+0800, U+FFFD, U+10000, U+1F600 and U+10FFFF.
const std::string kEveryLength = "A\x7F\xC2\x80\xC3\xA9\xDF\xBF\xE0\xA0\x80\xE2\x82\xAC\xEF\xBF\xBD"
                                 "\xF0\x90\x80\x80\xF0\x9F\x98\x80\xF4\x8F\xBF\xBF";

BuiltCommand keysCommand(std::string name, std::string text, std::string group = "Old") {
    auto c = globalCommand(std::move(name), kKindKeys, std::move(text), std::move(group));
    c.description = "from the file";
    return c;
}

std::string document(std::string_view commands, std::string_view lists = {}) {
    return "<?xml version=\"1.0\" encoding=\"utf-16\"?>\r\n"
           "<!DOCTYPE MyCommands SYSTEM \"MyCommands.dtd\">\r\n"
           "<MyCommands version=\"2.0\" language=\"0x409\">\r\n"
           "<Commands type=\"global\">\r\n" +
           std::string(commands) + "</Commands>\r\n<Lists>" + std::string(lists) + "</Lists>\r\n</MyCommands>\r\n";
}

std::string keysElement(std::string_view name, std::string_view keys, std::string_view description = "new") {
    return "<Command name=\"" + std::string(name) + "\" group=\"Imported\" enabled=\"true\" states=\"\">"
           "<description>" + std::string(description) + "</description><contents type=\"KEYS\">" +
           std::string(keys) + "</contents></Command>\r\n";
}

class XmlExchange : public OpenCommandFile<> {
protected:
    fs::path xmlFile() const { return dir.path() / "commands.xml"; }
    fs::path newFile() const { return dir.path() / "new.dat"; }

    // A file with a, b and c, and an XML with new versions of them and one more, d.
    ops::Workspace& openThreeAndOffer() {
        CommandFileBuilder b(7);
        b.add(keysCommand("a", "old a"));
        b.add(keysCommand("b", "old b"));
        b.add(keysCommand("c", "old c"));
        b.add(BuiltList("spare", {"one"}));
        writeBytes(xmlFile(), encoded(document(keysElement("a", "new a") + keysElement("b", "new b") +
                                               keysElement("c", "new c") + keysElement("d", "new d")),
                                      Form::Utf16LeMark));
        return open(b);
    }
    static ExpectedRow oldRow(std::string_view name) {
        return command(name).ofType("K").withBody("old " + std::string(name)).withDescription("from the file").inGroup("Old");
    }
    static ExpectedRow newRow(std::string_view name) {
        return command(name).ofType("K").withBody("new " + std::string(name)).withDescription("new").inGroup("Imported");
    }
    std::size_t questions() const {
        return static_cast<std::size_t>(std::count_if(prompter.shown.begin(), prompter.shown.end(), [](const auto& s) {
            return s.kind == ScriptedPrompter::Kind::Choice && s.title == texts::OverwriteTitle;
        }));
    }
};

} // namespace

// Every Unicode form a saved document may come in, each with characters of every UTF-8 length
// (surrogate pairs in UTF-16), in attributes, text, CDATA and character references.
TEST(XmlEveryEncoding, EveryFormGivesTheSameCharacters) {
    const std::string text = "<r k=\"" + kEveryLength + "\">\r\n<t>" + kEveryLength + "</t>\r\n<c><![CDATA[" +
                             kEveryLength + "]]></c>\r\n<n>&#x1F600;&#65;&#x10FFFF;&#xE9;&#x20AC;</n>\r\n</r>";
    for (const Form form : kEveryForm) {
        SCOPED_TRACE(nameOf(form));
        const auto bytes = encoded(text, form);
        EXPECT_EQ(xml::decodeDocument(bytes), text);
        const auto root = xml::parse(bytes);
        EXPECT_EQ(root.attributeOr("k"), kEveryLength);
        ASSERT_EQ(root.children.size(), 3u);
        EXPECT_EQ(root.children[0].text, kEveryLength);
        EXPECT_EQ(root.children[0].line, 2u);
        EXPECT_EQ(root.children[1].text, kEveryLength);
        EXPECT_EQ(root.children[2].text, "\xF0\x9F\x98\x80" "A\xF4\x8F\xBF\xBF\xC3\xA9\xE2\x82\xAC");
        EXPECT_EQ(root.children[2].line, 4u);
    }
    // What the program writes comes back, characters of every length included.
    xml::Writer w;
    w.open("r", {{"k", kEveryLength}});
    w.textElement("t", kEveryLength);
    w.textElement("e", kEveryLength, {}, false);
    w.close();
    const auto written = xml::utf16LittleEndianWithMark(w.text());
    EXPECT_EQ(written, encoded(w.text(), Form::Utf16LeMark));
    const auto root = xml::parse(written);
    EXPECT_EQ(root.attributeOr("k"), kEveryLength);
    EXPECT_EQ(root.children.at(0).text, kEveryLength);
    EXPECT_EQ(root.children.at(1).text, kEveryLength);
}

// Broken forms are refused with the line they are on, never read as other characters.
TEST(XmlEveryEncoding, BrokenCharactersAreRefusedWithTheirLine) {
    const auto lineOf = [](const Bytes& bytes) -> std::size_t {
        try {
            xml::parse(bytes);
        } catch (const xml::XmlError& e) {
            return e.line() ? e.line() : 1000;
        }
        return 0;
    };
    const auto le = [](std::initializer_list<std::uint16_t> units) {
        Bytes out{0xFF, 0xFE};
        for (const auto u : units) out.insert(out.end(), {static_cast<std::uint8_t>(u), static_cast<std::uint8_t>(u >> 8)});
        return out;
    };
    EXPECT_EQ(lineOf(le({'<', 'a', '>', '\n', '\n', 0xDC00, '<', '/', 'a', '>'})), 3u) << "a low surrogate alone";
    EXPECT_EQ(lineOf(le({'<', 'a', '>', '\n', 0xD83D, 'x', '<', '/', 'a', '>'})), 2u) << "a high one without its pair";
    EXPECT_EQ(lineOf(le({'<', 'a', '>', '\n', 0xD83D, 0xE000, '<', '/', 'a', '>'})), 2u) << "a high one before no low one";
    EXPECT_EQ(lineOf(le({'<', 'a', '>', 0xD83D})), 1u) << "a pair cut short by the end";
    EXPECT_EQ(lineOf(le({'<', 'a', '/', '>', 0xD83D, 0xDE00})), 1u) << "a whole pair after the root is text";
    for (const Bytes& broken : {Bytes{'<', 'a', '>', '\n', 0xF0, 0x9F, 0x98, '<', '/', 'a', '>'},
                                Bytes{'<', 'a', '>', '\n', 0xE2, 0x82, '<', '/', 'a', '>'},
                                Bytes{'<', 'a', '>', '\n', 0x80, '<', '/', 'a', '>'},
                                Bytes{'<', 'a', '>', '\n', 0xF8, 0x80, 0x80, 0x80, 0x80, '<', '/', 'a', '>'},
                                Bytes{'<', 'a', '>', '\n', 0xC3}})
        EXPECT_EQ(lineOf(broken), 2u);
    for (const char* reference : {"&#xD800;", "&#x110000;", "&#0;", "&#x;", "&#12a;"})
        EXPECT_THROW(xml::parseText(std::string("<a>") + reference + "</a>"), xml::XmlError) << reference;
}

// A command and a LIST saved in each form come into a new command file with the same texts.
TEST_F(XmlExchange, ImportsTheSameCommandsFromEveryForm) {
    const std::string doc = document("<Command name=\"price [unit]\" group=\"Caf\xC3\xA9\" enabled=\"true\" states=\"\">"
                                     "<description>costs \xE2\x82\xAC 5 &amp; more</description>"
                                     "<contents type=\"SCRIPT\">Sub Main\n  s = \"\xE2\x80\xB0 \xC3\xA9\"\r\nEnd Sub\n"
                                     "</contents></Command>\r\n",
                                     "<List name=\"unit\"><Value>\xE2\x82\xAC</Value><Value>na\xC3\xAFve</Value></List>");
    for (const Form form : kEveryForm) {
        SCOPED_TRACE(nameOf(form));
        writeBytes(xmlFile(), encoded(doc, form));
        fs::remove(newFile());
        const auto o = ops::ImportXmlToNewFile(prompter, xmlFile(), newFile()).run();
        ASSERT_TRUE(o.isDone()) << o.text;
        EXPECT_TRUE(FileHolds(newFile(),
                              {command("price <unit>")
                                   .ofType("A")
                                   .withBody("Sub Main\r\n  s = \"\xE2\x80\xB0 \xC3\xA9\"\r\nEnd Sub\r\n")
                                   .withDescription("costs \xE2\x82\xAC 5 & more")
                                   .inGroup("Caf\xC3\xA9")
                                   .withListCount(1),
                               list("unit", {"\xE2\x82\xAC", "na\xC3\xAFve"})}));
    }
}

// Export and import again: every command of every program and scope comes back with every
// field as the file had it.
TEST_F(XmlExchange, ExportedScopesComeBackFieldByField) {
    CommandFileBuilder b(7);
    b.add(keysCommand("save <unit>", "{Ctrl+s}", "Files"));
    auto inWord = keysCommand("bold it", "{Ctrl+b}", "Writing");
    inWord.scopeByte = kScopeApplication;
    inWord.module = "WINWORD";
    inWord.programDescription = "Word processor";
    inWord.company = "Maker & Sons";
    b.add(inWord);
    auto inWindow = inWord;
    inWindow.name = "italic it";
    inWindow.description = "only in the letter";
    inWindow.scopeByte = kScopeWindow;
    inWindow.windowTitle = "Letter - Word";
    inWindow.windowClass = "OpusApp";
    inWindow.states = {"Normal", "Busy"};
    b.add(inWindow);
    auto inExcel = inWord;
    inExcel.name = "sum it";
    inExcel.module = "EXCEL";
    inExcel.programDescription = "Spreadsheet";
    inExcel.company = "Other Maker";
    b.add(inExcel);
    b.add(BuiltList("unit", {"cm", "\xE9"}));
    auto& w = open(b);
    const auto original = FileState::read(file());
    ASSERT_TRUE(ops::ExportXml(w, ops::BatchSelection{}, xmlFile()).run().isDone());
    ASSERT_TRUE(ops::ImportXmlToNewFile(prompter, xmlFile(), newFile(), "10").run().isDone());
    EXPECT_TRUE(FileHolds(newFile(), original));
    const auto back = FileState::read(newFile());
    const auto* italic = back.find("WINWORD", "Letter - Word", "italic it");
    ASSERT_TRUE(italic);
    EXPECT_EQ(italic->states, (std::vector<std::string>{"Normal", "Busy"}));
}

// "Yes to all" and "No to all" answer the rest of the duplicates: asked once, every later
// duplicate follows, and the new command comes in either way.
TEST_F(XmlExchange, ToAllAnswersTheRestOfTheDuplicates) {
    openThreeAndOffer();
    prompter.answers = {"2"};
    auto o = ops::ImportXmlIntoFile(*workspace, xmlFile()).run();
    ASSERT_TRUE(o.isDone()) << o.text;
    EXPECT_EQ(questions(), 1u);
    EXPECT_TRUE(FileHolds(file(), {newRow("a"), newRow("b"), newRow("c"), newRow("d"), list("spare", {"one"})}));
    EXPECT_TRUE(StoreAgreesWithFile(session->store(), file()));

    prompter.shown.clear();
    openThreeAndOffer();
    prompter.answers = {"3"};
    o = ops::ImportXmlIntoFile(*workspace, xmlFile()).run();
    ASSERT_TRUE(o.isDone()) << o.text;
    EXPECT_EQ(questions(), 1u);
    EXPECT_EQ(o.text, "Imported 1 commands and 0 LISTs into " + file().string() + "\r\n" +
                          std::string(ops::texts::XmlKept) + "a, b, c");
    EXPECT_TRUE(FileHolds(file(), {oldRow("a"), oldRow("b"), oldRow("c"), newRow("d"), list("spare", {"one"})}));

    // One at a time first, then for all.
    prompter.shown.clear();
    openThreeAndOffer();
    prompter.answers = {"0", "3"};
    ASSERT_TRUE(ops::ImportXmlIntoFile(*workspace, xmlFile()).run().isDone());
    EXPECT_EQ(questions(), 2u);
    EXPECT_TRUE(FileHolds(file(), {newRow("a"), oldRow("b"), oldRow("c"), newRow("d"), list("spare", {"one"})}));

    prompter.shown.clear();
    openThreeAndOffer();
    prompter.answers = {"1", "2"};
    ASSERT_TRUE(ops::ImportXmlIntoFile(*workspace, xmlFile()).run().isDone());
    EXPECT_EQ(questions(), 2u);
    EXPECT_TRUE(FileHolds(file(), {oldRow("a"), newRow("b"), newRow("c"), newRow("d"), list("spare", {"one"})}));
    EXPECT_TRUE(StoreAgreesWithFile(session->store(), file()));

    // Each on its own, and cancel at the last question: nothing is written.
    prompter.shown.clear();
    openThreeAndOffer();
    const auto before = readFileBytes(file());
    prompter.answers = {"0", "1", "4"};
    EXPECT_EQ(ops::ImportXmlIntoFile(*workspace, xmlFile()).run().kind, Outcome::Kind::Declined);
    EXPECT_EQ(questions(), 3u);
    EXPECT_EQ(readFileBytes(file()), before);
    const auto& asked = prompter.last().text;
    EXPECT_NE(asked.find(file().string() + "\r\nc\r\n"), std::string::npos) << asked;
    EXPECT_NE(asked.find(xmlFile().string()), std::string::npos) << asked;
}
