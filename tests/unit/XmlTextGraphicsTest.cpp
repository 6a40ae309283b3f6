// Dragon's MyCommands XML at its edges: Text & Graphics bodies keep their rich text through an
// import and an export, and a document with a great many attributes is read in linear time.
#include "TestHome.h"

#include "CommandFileBuilder.h"

#include "cmdfile/AtomicFile.h"
#include "cmdfile/Bytes.h"
#include "cmdfile/Format.h"
#include "cmdfile/RawRecord.h"
#include "cmdfile/RecordCodec.h"
#include "cmdfile/XmlDocument.h"
#include "ops/ExportXml.h"
#include "ops/ImportXmlToNewFile.h"
#include "ops/Workspace.h"
#include "shell/Session.h"
#include "writer/DragonXml.h"

#include <chrono>

using namespace vocabrella;
using namespace vocabrella::testsupport;
namespace fs = std::filesystem;

namespace {

// A tick as Dragon's command browser saves it: a red Wingdings character, its rich text on
// several lines, and the plain text Dragon keeps beside it.
const std::string kTickRtf = "{\\rtf1\\ansi\\ansicpg1252\\deff0\\deflang1033{\\fonttbl{\\f0\\fnil\\fcharset2 "
                             "Wingdings;}}\r\n{\\colortbl ;\\red255\\green0\\blue0;}\r\n"
                             "\\viewkind4\\uc1\\pard\\cf1\\f0\\fs20\\'fc\\cf0\\par\r\n}\r\n";
const std::string kTickText = "\xC3\xBC"; // the character the tick is in Windows-1252

std::string document(std::string_view contents) {
    return "<?xml version=\"1.0\" encoding=\"utf-16\"?>\r\n"
           "<!DOCTYPE MyCommands SYSTEM \"http://example.com/MyCommands.dtd\">\r\n"
           "<MyCommands version=\"2.0\" language=\"0x409\">\r\n"
           "  <Commands type=\"global\">\r\n"
           "    <Command name=\"tick\" group=\"Marks\" enabled=\"true\" states=\"\">\r\n"
           "      <description></description>\r\n" +
           std::string(contents) +
           "    </Command>\r\n  </Commands>\r\n  <Lists>\r\n  </Lists>\r\n</MyCommands>\r\n";
}

std::string textGraphics(std::string_view rtf, std::string_view text) {
    return "      <contents type=\"TEXT-GRAPHICS\"><RTF><![CDATA[" + std::string(rtf) + "]]></RTF><TEXT><![CDATA[" +
           std::string(text) + "]]></TEXT></contents>\r\n";
}

// The single command record of a command file, decoded.
struct Decoded {
    std::uint8_t kindByte = 0;
    std::string formatted, text;
};
Decoded onlyRecord(const Bytes& file) {
    const FileHeader header = readHeader(file);
    EXPECT_EQ(header.declaredCommands, 1u);
    ByteReader r(file, format::kHeaderSize);
    const RawRecord raw = RecordCodec::forFamily(header.family).scan(r);
    Decoded d{raw.kindByte, {}, std::string(raw.text.text)};
    if (!raw.formatted.empty()) {
        ByteReader f(raw.formatted);
        const auto length = f.readCount();
        const auto rich = raw.formatted.subspan(f.cursor(), length);
        d.formatted.assign(rich.begin(), rich.end());
    }
    return d;
}

class XmlTextGraphics : public ::testing::Test {
protected:
    fs::path xmlFile() const { return dir.path() / "commands.xml"; }
    fs::path newFile() const { return dir.path() / "new.dat"; }
    fs::path exported() const { return dir.path() / "again.xml"; }

    ops::Outcome importNew() { return ops::ImportXmlToNewFile(prompter, xmlFile(), newFile(), "10", "").run(); }

    TempDir dir;
    ScriptedPrompter prompter;
    FakeClock clock;
};

} // namespace

// A Text & Graphics body without a picture is still formatted text: the record keeps the rich
// text and the text, the store reads it as Text & Graphics, and the export writes the same
// contents again.
TEST_F(XmlTextGraphics, RichTextWithoutAPictureStaysTextAndGraphics) {
    writeBytes(xmlFile(), xml::utf16LittleEndianWithMark(document(textGraphics(kTickRtf, kTickText))));
    ASSERT_TRUE(importNew().isDone()) << prompter.last().text;
    const auto record = onlyRecord(readFileBytes(newFile()));
    EXPECT_EQ(record.kindByte, kind::Text);
    EXPECT_EQ(record.formatted, kTickRtf);
    EXPECT_EQ(record.text, "\xFC");

    Session session(dir.path() / "home", prompter, clock);
    ASSERT_TRUE(session.open(newFile()).success);
    const auto row = session.store().findUser("Global Commands", "Global Commands", "tick");
    ASSERT_TRUE(row);
    EXPECT_EQ(row->Type, "T");
    EXPECT_EQ(row->script, kTickText);
    EXPECT_EQ(row->graphicsize, static_cast<std::int32_t>(kTickRtf.size()));

    ops::Workspace ws(session, clock);
    ASSERT_TRUE(ops::ExportXml(ws, {}, exported()).run().isDone()) << prompter.last().text;
    const auto root = xml::parse(readFileBytes(exported()));
    const auto* contents = root.child("Commands")->child("Command")->child("contents");
    ASSERT_NE(contents, nullptr);
    EXPECT_EQ(contents->attributeOr("type"), "TEXT-GRAPHICS");
    EXPECT_EQ(contents->child("RTF")->text, kTickRtf);
    EXPECT_EQ(contents->child("TEXT")->text, kTickText);
}

// What stands for plain text stays plain text: no rich text at all, and the rich text an export
// writes for a plain-text body (with the document's line ends or the file's).
TEST_F(XmlTextGraphics, PlainTextStaysPlainText) {
    const std::string twoLines = "first\r\nsecond";
    const std::string cases[] = {"      <contents type=\"TEXT-GRAPHICS\"><TEXT>" + twoLines + "</TEXT></contents>\r\n",
                                 textGraphics(" \r\n", twoLines),
                                 textGraphics(dragonxml::plainRichText(twoLines), twoLines),
                                 textGraphics(dragonxml::plainRichText("first\nsecond"), "first\nsecond")};
    for (const auto& contents : cases) {
        SCOPED_TRACE(contents);
        fs::remove(newFile());
        writeBytes(xmlFile(), xml::utf16LittleEndianWithMark(document(contents)));
        ASSERT_TRUE(importNew().isDone()) << prompter.last().text;
        const auto record = onlyRecord(readFileBytes(newFile()));
        EXPECT_EQ(record.kindByte, kind::Text);
        EXPECT_EQ(record.formatted, "");
        EXPECT_EQ(record.text, twoLines);
    }
}

// 100,000 attributes on one element (a 2 MB document) are read in well under a second; one
// given twice is still refused.
TEST(XmlManyAttributes, AreReadInLinearTimeAndDuplicatesRefused) {
    std::string text = "<a";
    for (int i = 0; i < 100000; ++i) text += " k" + std::to_string(i) + "=\"v\"";
    const auto start = std::chrono::steady_clock::now();
    const auto root = xml::parseText(text + "/>");
    const auto seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    EXPECT_EQ(root.attributes.size(), 100000u);
    EXPECT_EQ(root.attributeOr("k99999"), "v");
    EXPECT_LT(seconds, 3.0) << "parsing took " << seconds << " s";
    EXPECT_THROW(xml::parseText(text + " k512=\"w\"/>"), xml::XmlError);
}
