// The files the program writes from nothing: composed command files, the shipped files and the
// demo user's file, each read back with the reader.
#include "TestHome.h"

#include "cmdfile/AtomicFile.h"
#include "cmdfile/Bytes.h"
#include "cmdfile/Errors.h"
#include "cmdfile/Format.h"
#include "cmdfile/RtfReader.h"
#include "shell/DemoCommandFile.h"
#include "shell/ShippedFiles.h"
#include "writer/CommandFileComposer.h"

#include <map>
#include <set>

using namespace vocabrella;
using namespace vocabrella::testsupport;

namespace {

using Bytes = std::vector<std::uint8_t>;

class Composed : public ReaderFixture {
protected:
    std::vector<UserRow> read(const Bytes& bytes) {
        writeFileAtomically(file(), bytes, false);
        const auto outcome = reader->ReadCommandFile(true, file());
        EXPECT_TRUE(outcome.success) << outcome.problem;
        return store->allUsers();
    }
    static const UserRow& row(const std::vector<UserRow>& rows, const std::string& name) {
        for (const auto& r : rows)
            if (r.name == name) return r;
        throw std::runtime_error("no row " + name);
    }
    std::string stateNames(const UserRow& r) {
        std::string names;
        std::istringstream ids(r.states);
        for (std::string id; std::getline(ids, id, ',');) names += store->stateName(std::stoll(id)).value_or("?") + ";";
        return names;
    }
};

ComposedCommand command(std::string type, std::string name, std::string text = {}) {
    ComposedCommand c;
    c.typeCode = std::move(type);
    c.name = std::move(name);
    c.text = std::move(text);
    return c;
}

// A PNG decoder of its own, for pictures whose pixel data sits in stored deflate blocks: checks
// every chunk's CRC and the zlib checksum, and returns width, height and the raw scanlines.
struct DecodedPng {
    std::uint32_t width = 0, height = 0;
    Bytes scanlines;
};

std::uint32_t bitwiseCrc(const std::uint8_t* p, std::size_t n) {
    std::uint32_t crc = 0xFFFFFFFFu;
    for (std::size_t i = 0; i < n; ++i) {
        crc ^= p[i];
        for (int k = 0; k < 8; ++k) crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1)));
    }
    return ~crc;
}

std::uint32_t bigEndian(const Bytes& b, std::size_t at) {
    return std::uint32_t(b[at]) << 24 | std::uint32_t(b[at + 1]) << 16 | std::uint32_t(b[at + 2]) << 8 | b[at + 3];
}

DecodedPng decodeStoredPng(const Bytes& png) {
    const Bytes signature{0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    EXPECT_TRUE(std::equal(signature.begin(), signature.end(), png.begin()));
    DecodedPng out;
    Bytes zlib;
    std::vector<std::string> chunks;
    for (std::size_t at = 8; at + 12 <= png.size();) {
        const std::uint32_t length = bigEndian(png, at);
        const std::string type(png.begin() + static_cast<long>(at + 4), png.begin() + static_cast<long>(at + 8));
        EXPECT_EQ(bitwiseCrc(&png[at + 4], length + 4), bigEndian(png, at + 8 + length)) << type;
        if (type == "IHDR") {
            out.width = bigEndian(png, at + 8);
            out.height = bigEndian(png, at + 12);
            EXPECT_EQ(png[at + 16], 8);  // bit depth
            EXPECT_EQ(png[at + 17], 2);  // RGB
        }
        if (type == "IDAT") zlib.insert(zlib.end(), png.begin() + static_cast<long>(at + 8), png.begin() + static_cast<long>(at + 8 + length));
        chunks.push_back(type);
        at += 12 + length;
    }
    EXPECT_EQ(chunks, (std::vector<std::string>{"IHDR", "IDAT", "IEND"}));
    EXPECT_EQ((zlib[0] * 256 + zlib[1]) % 31, 0);
    std::size_t at = 2;
    for (bool last = false; !last;) {
        last = zlib[at] & 1;
        EXPECT_EQ(zlib[at] >> 1, 0) << "only stored blocks";
        const unsigned n = zlib[at + 1] | zlib[at + 2] << 8;
        EXPECT_EQ(n ^ 0xFFFFu, unsigned(zlib[at + 3] | zlib[at + 4] << 8));
        out.scanlines.insert(out.scanlines.end(), zlib.begin() + static_cast<long>(at + 5), zlib.begin() + static_cast<long>(at + 5 + n));
        at += 5 + n;
    }
    std::uint32_t a = 1, b = 0;
    for (auto x : out.scanlines) {
        a = (a + x) % 65521;
        b = (b + a) % 65521;
    }
    EXPECT_EQ(bigEndian(zlib, at), (b << 16 | a));
    EXPECT_EQ(at + 4, zlib.size());
    return out;
}

} // namespace

TEST_F(Composed, EveryKindAndScopeReadsBackInEveryFamily) {
    for (std::uint8_t code = 3; code <= 7; ++code) {
        SCOPED_TRACE("version code " + std::to_string(code));
        CommandFileComposer f(code, 7);
        auto keys = command("K", "save <what>", "{Ctrl+s}");
        keys.group = "Files";
        keys.states = {"Editing", "Reading"};
        f.add(keys);
        auto script = command("S", "old script", "SendKeys \"x\"\r\n");
        script.program = "WINWORD";
        script.scope = "Application-specific";
        script.programDescription = "Word";
        f.add(script);
        auto sleeping = command("P", "wake up", "awake");
        sleeping.scope = "Asleep";
        f.add(sleeping);
        auto picture = command("T", "logo", "Pat\r\nExample");
        picture.program = "OUTLOOK";
        picture.scope = "Inbox - Outlook";
        picture.windowClass = "rctrl_renwnd32";
        picture.formatted = richTextWithPicture(picture.text, solidColourPng(4, 3, 1, 2, 3), 4, 3);
        f.add(picture);
        auto steps = command("X", "steps");
        steps.steps = {ComposedStep::press(65, modifier::Shift | modifier::Ctrl), ComposedStep::open("notepad.exe"),
                       ComposedStep::open("a", "b", "c", 2), ComposedStep::wait(1500), ComposedStep::stopListening(),
                       ComposedStep::microphoneOn(), ComposedStep::microphoneOff(), ComposedStep::typeText("hi"),
                       ComposedStep::sendKeys("{Tab}")};
        f.add(steps);
        auto recorded = command("R", "recorded");
        recorded.recorderGroups = {{"a", "b", "c", "d", "e", "f"}};
        recorded.events = {ComposedEvent::keyDown(13), ComposedEvent::keyUp(13),
                           ComposedEvent::mouse(mouseAction::Move, 120, 45), ComposedEvent::mouse(mouseAction::LeftDown, 1, 1),
                           ComposedEvent::mouse(mouseAction::RightUp, 1, 1)};
        f.add(recorded);
        f.add(command("A", "advanced", "Sub Main\r\nEnd Sub\r\n"));
        f.add(ComposedList{"what", {"file", "all"}});

        const auto rows = read(f.bytes());
        EXPECT_EQ(reader->file().info.languageCode, 7);
        ASSERT_EQ(rows.size(), 8u);
        std::string types;
        for (const auto& r : rows) types += r.Type;
        EXPECT_EQ(types, "KSPTXRAL");
        EXPECT_EQ(row(rows, "save <what>").lists, 1);
        EXPECT_EQ(row(rows, "save <what>").owner, "Files");
        EXPECT_EQ(stateNames(row(rows, "save <what>")), code >= 6 ? "Editing;Reading;" : "");
        EXPECT_EQ(row(rows, "old script").menu + "|" + row(rows, "old script").state, "WINWORD|Application-specific");
        EXPECT_EQ(row(rows, "wake up").menu + "|" + row(rows, "wake up").state, "Global Commands|Asleep");
        EXPECT_TRUE(row(rows, "wake up").sleeping);
        EXPECT_EQ(row(rows, "wake up").script, "awake");
        EXPECT_EQ(row(rows, "logo").state, "Inbox - Outlook");
        EXPECT_EQ(row(rows, "logo").graphicsize, static_cast<int>(picture.formatted.size()));
        EXPECT_EQ(row(rows, "logo").script, "Pat\r\nExample");
        EXPECT_EQ(row(rows, "steps").script,
                  "Press Shift + Ctrl + A\r\nOpen \"notepad.exe\",\"\",\"\",\"\"\r\nOpen \"a\",\"b\",\"c\",\"2\"\r\n"
                  "wait 1500 milliseconds\r\nStop Listening\r\nMicrophone On\r\nMicrophone Off\r\nType \"hi\"\r\n"
                  "SendKeys \"{Tab}\"");
        EXPECT_EQ(row(rows, "recorded").script,
                  "Enter key down\r\nEnter key up\r\nMouse move (120,45)\r\nMouse left button down\r\n"
                  "Mouse right button up");
        EXPECT_EQ(row(rows, "what").script, "file\r\nall\r\n");
    }
}

TEST_F(Composed, TextWithGraphicsHoldsAValidPngInItsRichText) {
    for (const auto& [width, height] : {std::pair{16u, 16u}, std::pair{200u, 120u}}) { // the second needs two blocks
        SCOPED_TRACE(std::to_string(width) + "x" + std::to_string(height));
        auto c = command("T", "picture", "caf\xC3\xA9 {1}\r\nline two");
        c.formatted = richTextWithPicture(c.text, solidColourPng(width, height, 0x12, 0x34, 0x56), width, height);
        const auto rows = read(CommandFileComposer().add(c).bytes());
        // The rich text as the file holds it, at the body's position.
        ByteReader r(reader->file().image);
        r.seekPosition(static_cast<std::uint32_t>(rows.at(0).offsetbody));
        const std::string rtf(r.readCountedBytes());
        // As the program's own viewer sees it: the text, then the picture at its size at 96 dpi.
        const auto document = rtf::parse(rtf);
        EXPECT_EQ(rtf::plainText(document), "caf\xC3\xA9 {1}\nline two\n\uFFFC");
        const rtf::Picture* picture = nullptr;
        for (const auto& paragraph : document.paragraphs)
            for (const auto& item : paragraph.items)
                if (const auto* p = std::get_if<rtf::Picture>(&item)) picture = p;
        ASSERT_TRUE(picture);
        EXPECT_EQ(picture->kind, rtf::Picture::Kind::Png);
        EXPECT_EQ(picture->widthTwips, static_cast<std::int32_t>(width * 15));
        EXPECT_EQ(picture->heightTwips, static_cast<std::int32_t>(height * 15));

        const auto png = decodeStoredPng(picture->data);
        EXPECT_EQ(png.width, width);
        EXPECT_EQ(png.height, height);
        ASSERT_EQ(png.scanlines.size(), height * (1 + 3 * width));
        for (std::size_t i = 0; i < png.scanlines.size(); ++i) {
            const std::size_t column = i % (1 + 3 * width);
            const std::uint8_t expected = column == 0 ? 0 : std::array<std::uint8_t, 3>{0x12, 0x34, 0x56}[(column - 1) % 3];
            ASSERT_EQ(png.scanlines[i], expected) << "at " << i;
        }
    }
}

TEST(Composer, RefusesWhatMakesNoRecord) {
    EXPECT_THROW(CommandFileComposer(8), InputRefusal);
    CommandFileComposer f;
    EXPECT_THROW(f.add(command("L", "list")), InputRefusal);
    EXPECT_THROW(f.add(command("T", "no rich text", "plain")), InputRefusal);
    auto steps = command("X", "too many");
    steps.steps.assign(256, ComposedStep::stopListening());
    EXPECT_THROW(f.add(steps), InputRefusal);
    auto recorded = command("R", "no cp1252 \xE2\x82\xAC\xE4\xB8\xAD");
    EXPECT_THROW(f.add(recorded), Refusal);
    EXPECT_EQ(f.commandCount(), 0u);
    EXPECT_EQ(f.bytes(), Bytes({76, 72, 83, 80, 7, 2, 135, 0, 0, 0, 0, 0, 0, 0, 0, 9, 4, 0, 0, 0, 0, 0, 0, 0, 0}));
}

TEST_F(Composed, DemoFileHoldsTheWholeMix) {
    const auto bytes = demoCommandFile();
    EXPECT_EQ(bytes, demoCommandFile());
    const auto rows = read(bytes);
    EXPECT_EQ(reader->file().info.versionCode, 7);
    EXPECT_EQ(reader->file().info.languageName, "English");

    std::set<std::string> types, programs, scopes, groups, lists, referenced, dupes;
    int sleeping = 0, withStates = 0;
    for (const auto& r : rows) {
        types.insert(r.Type);
        if (r.Type == "L") {
            lists.insert(r.name);
            continue;
        }
        programs.insert(r.menu);
        scopes.insert(r.state);
        groups.insert(r.owner);
        sleeping += r.sleeping;
        withStates += !r.states.empty();
        if (r.dupe) dupes.insert(r.name);
        for (auto open = r.name.find('<'); open != std::string::npos; open = r.name.find('<', open + 1))
            referenced.insert(r.name.substr(open + 1, r.name.find('>', open) - open - 1));
    }
    EXPECT_EQ(types, (std::set<std::string>{"K", "S", "A", "P", "T", "X", "R", "L"}));
    for (const char* program : {"Global Commands", "WINWORD", "EXCEL", "NOTEPAD", "OUTLOOK"}) EXPECT_TRUE(programs.count(program)) << program;
    EXPECT_TRUE(scopes.count("Application-specific"));
    EXPECT_GE(scopes.size(), 5u); // global, application, asleep and window titles
    EXPECT_GE(sleeping, 2);
    EXPECT_GE(withStates, 1);
    EXPECT_GE(groups.size(), 5u);
    EXPECT_EQ(dupes, std::set<std::string>{"my email address"});
    EXPECT_EQ(referenced, lists) << "every LIST used, every use a LIST";
    EXPECT_NE(readText(home() / "duplicate.log").find("my email address"), std::string::npos);
}

TEST_F(Composed, ShippedFilesStartTheProgramAndAddNothingElse) {
    writeShippedFiles(home());
    const auto voice = readFileBytes(home() / "vocglobal.dat");
    EXPECT_EQ(voice, readFileBytes(home() / "vocglobal64bit.dat"));
    const auto rows = read(voice);
    ASSERT_EQ(rows.size(), 2u);
    const auto& global = row(rows, "global vocabrella");
    const auto& local = row(rows, "local vocabrella");
    for (const auto* r : {&global, &local}) {
        EXPECT_EQ(r->menu + "|" + r->state + "|" + r->Type, "Global Commands|Global Commands|A");
        EXPECT_NE(r->script.find("Vocabrella.exe"), std::string::npos) << r->script;
    }
    EXPECT_NE(global.script.find("global commands"), std::string::npos);
    EXPECT_EQ(local.script.find("global commands"), std::string::npos);

    auto placer = readFileBytes(home() / "placer.dat");
    placer[format::kLanguageOffset] = 7; // as the fast save patches it
    EXPECT_TRUE(read(placer).empty());
    EXPECT_EQ(reader->file().info.languageName, "German");
    EXPECT_EQ(reader->file().info.listCount, 0u);
}
