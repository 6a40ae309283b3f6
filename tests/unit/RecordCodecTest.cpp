// The record codecs: one battery of cases run for every format family, the conversions between
// families, and the real files written by Dragon.
#include "TestHome.h"

#include "CommandFileBuilder.h"

#include "cmdfile/Bytes.h"
#include "cmdfile/CommandRecord.h"
#include "cmdfile/Format.h"
#include "cmdfile/KeyNames.h"
#include "cmdfile/Prompter.h"
#include "cmdfile/RecordCodec.h"

#include <fstream>

using namespace vocabrella;
using namespace vocabrella::testsupport;

namespace {

// What each family's records hold, as the format lays it down.
struct Family {
    std::uint8_t versionCode;
    bool reserved;   // 12 bytes after the scope byte, 8 after the kind byte
    bool states;
    bool encryption;

    FileVersionFamily family() const { return *familyForCode(versionCode); }
    const RecordCodec& codec() const { return RecordCodec::forFamily(family()); }
    friend void PrintTo(const Family& f, std::ostream* os) { *os << "code " << int(f.versionCode); }
};

const Family kFamilies[] = {
    {3, false, false, false}, {4, false, false, false}, {5, true, false, false},
    {6, true, true, false},   {7, true, true, true},
};

Bytes written(const RecordCodec& codec, const RecordFields& fields) {
    Bytes out;
    ByteWriter w(out);
    codec.write(fields, w);
    return out;
}

std::vector<std::string> textsOf(const std::vector<RawString>& strings) {
    std::vector<std::string> out;
    for (const auto& s : strings) out.emplace_back(s.text);
    return out;
}

Bytes bytesOf(std::span<const std::uint8_t> span) { return Bytes(span.begin(), span.end()); }

// One body of each kind, with what the reader makes of it.
struct Body {
    std::string typeCode;
    std::uint8_t kindByte;
    Bytes bytes;
    std::string readable;
};

Bytes textBody(std::uint8_t kindByte, std::string_view formatted, std::string_view text) {
    Bytes out;
    ByteWriter w(out);
    RecordCodec::writeTextBody(kindByte, formatted, text, w);
    return out;
}

std::vector<Body> everyBody() {
    return {
        {"K", kind::Keys, textBody(kind::Keys, {}, "{Ctrl+s}"), "{Ctrl+s}"},
        {"S", kind::Script, textBody(kind::Script, {}, "SendKeys \"x\""), "SendKeys \"x\""},
        {"T", kind::Text, textBody(kind::Text, "{\\rtf1 hi}", "hi"), "hi"},
        {"P", kind::Text, textBody(kind::Text, {}, "plain\r\ntext"), "plain\r\ntext"},
        {"R", kind::Recorder,
         recorderBody({}, {event::key(1, 0), event::key(1, 0xC0), event::mouse(event::kMouseMove, 10, 20)}),
         "Esc key down\r\nEsc key up\r\nMouse move (10,20)"},
        {"X", kind::StepByStep, stepByStepBody({step::pressKey(2, kCtrl), step::wait(500), step::typeText("hi")}),
         "Press Ctrl + F1\r\nwait 500 milliseconds\r\nType \"hi\""},
        {"A", kind::Advanced, textBody(kind::Advanced, {}, std::string(300, 'a')), std::string(300, 'a')},
    };
}

class EveryFamily : public testing::TestWithParam<Family> {
protected:
    KeyNames keys = KeyNames::fromText("Esc\nF1\n");
    SilentPrompter silent;
    UnknownStepReport quiet{silent};
    RecordContext context() { return {GetParam().family(), keys, quiet}; }
};

} // namespace

TEST_P(EveryFamily, EveryKindWrittenReadsBackEqual) {
    const Family& f = GetParam();
    const RecordCodec& codec = f.codec();
    EXPECT_EQ(codec.family(), f.family());
    EXPECT_EQ(codec.holdsEncryptedBodies(), f.encryption);
    const std::string name = "open <site> in <browser>";
    const auto lists = listNamesOf(name);
    const RawString scope[] = {newText("outlook"), newText("Microsoft Outlook"), newText("Microsoft Corporation"),
                               newText("Inbox"), newText("rctrl_renwnd32")};
    const RawString states[] = {newText("Normal"), newText("Dictation")};
    const std::string description(255, 'd'); // a three-byte prefix
    for (const Body& body : everyBody()) {
        SCOPED_TRACE(body.typeCode);
        RecordFields fields;
        fields.name = newText(name);
        fields.listNames = lists;
        fields.description = newText(description);
        fields.group = newText("Mail");
        fields.scopeByte = 2;
        fields.scopeStrings = scope;
        fields.stateNames = states;
        fields.kindByte = body.kindByte;
        fields.body = body.bytes;
        const Bytes bytes = written(codec, fields);

        ByteReader scanner(bytes);
        const RawRecord raw = codec.scan(scanner);
        EXPECT_EQ(raw.end, bytes.size());
        EXPECT_EQ(raw.name.text, name);
        EXPECT_EQ(bytesOf(raw.listCountLong), (Bytes{2, 0, 0, 0}));
        EXPECT_EQ(textsOf(raw.listNames), (std::vector<std::string>{"site", "browser"}));
        EXPECT_EQ(raw.description.raw.size(), 258u);
        EXPECT_EQ(raw.scopeByte, 2);
        EXPECT_EQ(textsOf(raw.scopeStrings),
                  (std::vector<std::string>{"outlook", "Microsoft Outlook", "Microsoft Corporation", "Inbox",
                                            "rctrl_renwnd32"}));
        EXPECT_EQ(bytesOf(raw.reservedAfterScope), Bytes(f.reserved ? 12 : 0, 0));
        const std::vector<std::string> stateNames = {"Normal", "Dictation"};
        EXPECT_EQ(textsOf(raw.stateNames), f.states ? stateNames : std::vector<std::string>());
        EXPECT_EQ(raw.kindByte, body.kindByte);
        EXPECT_EQ(bytesOf(raw.afterKind), Bytes(f.reserved ? 8 : 0, 0));
        EXPECT_FALSE(raw.encrypted());
        EXPECT_EQ(bytesOf(raw.body), body.bytes);
        EXPECT_EQ(written(codec, RecordFields::of(raw)), bytes);

        ByteReader reader(bytes);
        CurrentRecord rec;
        ASSERT_TRUE(codec.read(reader, context(), rec));
        EXPECT_EQ(reader.cursor(), bytes.size());
        EXPECT_EQ(rec.name, name);
        EXPECT_EQ(rec.listCount, 2u);
        EXPECT_EQ(rec.group, "Mail");
        EXPECT_EQ(rec.scopeCode, "W");
        EXPECT_EQ(rec.program, "outlook");
        EXPECT_EQ(rec.state, "Inbox");
        EXPECT_EQ(rec.companyNameLength, 21u);
        EXPECT_EQ(rec.windowClass, "rctrl_renwnd32");
        EXPECT_EQ(rec.stateNames.size(), f.states ? 2u : 0u);
        EXPECT_EQ(rec.typeCode, body.typeCode);
        EXPECT_EQ(rec.body, body.readable);
        EXPECT_EQ(rec.bodyPosition, bytes.size() - body.bytes.size() + 1);

        // The pieces the updater writes on their own stand where the whole record has them.
        Bytes first, kindBlock;
        ByteWriter firstWriter(first), kindWriter(kindBlock);
        RecordCodec::writeFirstPart(fields, firstWriter);
        codec.writeKindBlock(body.kindByte, kindWriter);
        EXPECT_EQ(first, Bytes(bytes.begin(), bytes.begin() + rec.scopePosition - 1));
        EXPECT_EQ(kindBlock, Bytes(bytes.begin() + rec.kindEndPosition - 2, bytes.begin() + rec.bodyPosition - 1));
    }
}

TEST_P(EveryFamily, ListWrittenReadsBackEqual) {
    const std::vector<std::string> items = {"alpha", "", std::string(70000, 'b')};
    Bytes bytes;
    ByteWriter w(bytes);
    RecordCodec::writeList("site", items, w);
    ByteReader scanner(bytes);
    const RawList list = RecordCodec::scanList(scanner);
    EXPECT_EQ(list.name.text, "site");
    EXPECT_EQ(textsOf(list.items), items);
    EXPECT_EQ(list.whole.size(), bytes.size());
    EXPECT_EQ(bytes[5], 1) << "the Long after the name";
    ByteReader reader(bytes);
    CurrentRecord rec;
    ASSERT_TRUE(RecordCodec::readList(reader, rec));
    EXPECT_EQ(rec.body, "alpha\r\n\r\n" + items[2] + "\r\n");
    EXPECT_EQ(reader.cursor(), bytes.size());
}

// Records as another writer laid them out (wide prefixes, Dragon's reserved bytes, counts with
// high bytes, unknown scopes) are read where they stand and written again byte for byte.
TEST_P(EveryFamily, RecordFromFileWrittenAgainIsByteIdentical) {
    const Family& f = GetParam();
    CommandFileBuilder builder(f.versionCode);
    for (const Body& body : everyBody()) {
        BuiltCommand c;
        c.name = CountedText("cmd " + body.typeCode + " <x>", PrefixWidth::ThreeBytes);
        c.lists = {CountedText("x", PrefixWidth::SevenBytes)};
        c.declaredListCount = 0xABCD0001;
        c.description = "d";
        c.scopeByte = kScopeApplication;
        c.reservedAfterScope = kDragonReservedAfterScope;
        c.module = "winword";
        c.programDescription = CountedText("Word", PrefixWidth::ThreeBytes);
        c.company = "Microsoft";
        c.states = {"s1", CountedText("s2", PrefixWidth::SevenBytes)};
        c.reservedAfterKind = {1, 2, 3, 4, 5, 6, 7, 8};
        c.kind = body.kindByte;
        ByteReader r(body.bytes);
        if (body.kindByte == kind::Text) {
            c.formatted = std::string(r.readCountedBytes());
            c.text = std::string(r.readCountedBytes());
        } else if (body.kindByte == kind::Recorder || body.kindByte == kind::StepByStep) {
            c.rawBody = body.bytes;
        } else {
            c.text = std::string(r.readCountedBytes());
        }
        builder.add(c);
    }
    BuiltCommand skipped;
    skipped.scopeByte = kScopeWindow | kSkippedRecord;
    skipped.name = "asleep";
    skipped.windowTitle = "t";
    skipped.text = "x";
    builder.add(skipped);
    BuiltCommand unknownScope;
    unknownScope.scopeByte = 9;
    unknownScope.name = "nine";
    unknownScope.kind = 99; // no body at all
    builder.add(unknownScope);
    if (f.encryption) {
        BuiltCommand encrypted;
        encrypted.name = "secret";
        encrypted.encryption = 1;
        encrypted.encryptionHeader = {9, 8, 7, 6, 5, 4, 3};
        encrypted.encryptionBlock = "cipher";
        encrypted.text = "body";
        builder.add(encrypted);
    }
    const Bytes file = builder.build();

    const RecordCodec& codec = f.codec();
    ByteReader r(file, format::kHeaderSize);
    Bytes again(file.begin(), file.begin() + format::kHeaderSize);
    for (const RecordPositions& at : builder.commandPositions()) {
        const std::size_t start = r.cursor();
        const RawRecord raw = codec.scan(r);
        EXPECT_EQ(raw.offset, at.offset);
        EXPECT_EQ(raw.kindEndPosition, at.afterKind);
        EXPECT_EQ(raw.bodyPosition, at.body);
        EXPECT_EQ(written(codec, RecordFields::of(raw)), Bytes(file.begin() + start, file.begin() + raw.end))
            << "record at " << at.offset;
        ByteWriter(again).writeBytes(std::span(file).subspan(start, raw.end - start));

        ByteReader d(file, start);
        CurrentRecord rec;
        ASSERT_TRUE(codec.read(d, context(), rec));
        EXPECT_EQ(rec.scopePosition, at.scopeByte);
        EXPECT_EQ(rec.kindEndPosition, at.afterKind);
        EXPECT_EQ(rec.bodyPosition, at.body);
        EXPECT_EQ(d.cursor(), raw.end);
        EXPECT_EQ(rec.encrypted, raw.encrypted());
    }
    EXPECT_EQ(r.position(), builder.listSectionPosition());
}

TEST_P(EveryFamily, NameWithAControlByteStopsAfterTheName) {
    const Family& f = GetParam();
    CommandFileBuilder builder(f.versionCode);
    BuiltCommand c;
    c.name = "tab\there";
    c.text = "x";
    const Bytes file = builder.add(c).build();
    ByteReader r(file, format::kHeaderSize);
    CurrentRecord rec;
    EXPECT_FALSE(f.codec().read(r, context(), rec));
    EXPECT_EQ(r.cursor(), format::kHeaderSize + 9);
    EXPECT_EQ(rec.name, "tab\there");
}

INSTANTIATE_TEST_SUITE_P(AllFamilies, EveryFamily, testing::ValuesIn(kFamilies),
                         [](const auto& testCase) { return "Code" + std::to_string(testCase.param.versionCode); });

namespace {

class Conversion : public testing::TestWithParam<std::tuple<Family, Family>> {};

} // namespace

// Blocks the target lacks are dropped; blocks the source lacks are written as zeros, an empty
// state list as the Long 0; the rest is copied as it stands.
TEST_P(Conversion, DropsWhatTheTargetLacksAndZeroFillsWhatTheSourceLacks) {
    const auto& [source, target] = GetParam();
    BuiltCommand c;
    c.name = "convert me";
    c.scopeByte = kScopeApplication;
    c.reservedAfterScope = kDragonReservedAfterScope;
    c.module = "excel";
    c.states = {"s1"};
    c.reservedAfterKind = {1, 2, 3, 4, 5, 6, 7, 8};
    c.kind = kKindKeys;
    c.text = "{Enter}";
    const Bytes file = CommandFileBuilder(source.versionCode).add(c).build();
    ByteReader r(file, format::kHeaderSize);
    const RawRecord from = source.codec().scan(r);

    const Bytes bytes = written(target.codec(), RecordFields::of(from));
    ByteReader back(bytes);
    const RawRecord to = target.codec().scan(back);
    EXPECT_EQ(to.end, bytes.size());
    EXPECT_EQ(bytesOf(to.name.raw), bytesOf(from.name.raw));
    EXPECT_EQ(textsOf(to.scopeStrings), textsOf(from.scopeStrings));
    EXPECT_EQ(to.kindByte, kKindKeys);
    EXPECT_EQ(bytesOf(to.body), bytesOf(from.body));

    const Bytes dragonReserved(kDragonReservedAfterScope.begin(), kDragonReservedAfterScope.end());
    EXPECT_EQ(bytesOf(to.reservedAfterScope),
              !target.reserved ? Bytes() : source.reserved ? dragonReserved : Bytes(12, 0));
    const Bytes reservedAfterKind = {1, 2, 3, 4, 5, 6, 7, 8};
    EXPECT_EQ(bytesOf(to.afterKind), !target.reserved ? Bytes() : source.reserved ? reservedAfterKind : Bytes(8, 0));
    const Bytes oneState = {1, 0, 0, 0}, noState = {0, 0, 0, 0};
    EXPECT_EQ(bytesOf(to.stateCountLong), !target.states ? Bytes() : source.states ? oneState : noState);
    EXPECT_EQ(textsOf(to.stateNames),
              source.states && target.states ? std::vector<std::string>(1, "s1") : std::vector<std::string>());
    if (source.versionCode == target.versionCode) {
        EXPECT_EQ(bytes, Bytes(file.begin() + format::kHeaderSize, file.begin() + from.end));
    }
}

INSTANTIATE_TEST_SUITE_P(AllPairs, Conversion, testing::Combine(testing::ValuesIn(kFamilies), testing::ValuesIn(kFamilies)),
                         [](const auto& testCase) {
                             return "Code" + std::to_string(std::get<0>(testCase.param).versionCode) + "To" +
                                    std::to_string(std::get<1>(testCase.param).versionCode);
                         });

TEST(RecordCodecEncryption, OnlyAFamilyWithTheFlagTakesAnEncryptedBody) {
    BuiltCommand c;
    c.name = "secret";
    c.encryption = 3;
    c.encryptionHeader = {9, 8, 7, 6, 5, 4, 3};
    c.encryptionBlock = "cipher";
    c.text = "body";
    const Bytes file = CommandFileBuilder(7).add(c).build();
    ByteReader r(file, format::kHeaderSize);
    const RawRecord raw = RecordCodec::forFamily(FileVersionFamily::V10_13).scan(r);
    ASSERT_TRUE(raw.encrypted());
    for (const Family& f : kFamilies) {
        if (f.encryption) {
            EXPECT_EQ(written(f.codec(), RecordFields::of(raw)), Bytes(file.begin() + format::kHeaderSize, file.begin() + raw.end));
        } else {
            EXPECT_THROW(written(f.codec(), RecordFields::of(raw)), std::invalid_argument) << int(f.versionCode);
        }
    }
}

// The files Dragon wrote: every command record comes out of the codec as it went in.
TEST(RecordCodecSamples, EveryRecordWrittenAgainIsByteIdentical) {
    for (const std::string name : {"reply.dat", "move-dock-window.dat", "clear-categories.dat"}) {
        SCOPED_TRACE(name);
        std::ifstream in(sample(name), std::ios::binary);
        const Bytes file((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        const FileHeader header = readHeader(file);
        const RecordCodec& codec = RecordCodec::forFamily(header.family);
        ByteReader r(file, format::kHeaderSize);
        for (std::uint32_t i = 0; i < header.declaredCommands; ++i) {
            const std::size_t start = r.cursor();
            const RawRecord raw = codec.scan(r);
            EXPECT_EQ(written(codec, RecordFields::of(raw)), Bytes(file.begin() + start, file.begin() + raw.end));
        }
        const std::uint32_t lists = r.readLong() & 0xFFFF;
        for (std::uint32_t i = 0; i < lists; ++i) {
            const RawList list = RecordCodec::scanList(r);
            std::vector<std::string> items;
            for (const auto& item : list.items) items.emplace_back(item.text);
            Bytes again;
            ByteWriter w(again);
            RecordCodec::writeList(list.name.text, items, w);
            EXPECT_EQ(again, bytesOf(list.whole));
        }
        EXPECT_EQ(r.cursor(), file.size());
    }
}
