// Writes command files byte by byte, independently of the library's own writer, so that tests
// of the reader and the writers compare against bytes nobody under test produced.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <span>
#include <string>
#include <utility>
#include <vector>

namespace vocabrella::testsupport {

using Bytes = std::vector<std::uint8_t>;

// Auto picks the shortest prefix; the others force a given width even where a shorter one
// would do, because readers must accept every width.
enum class PrefixWidth { Auto, OneByte, ThreeBytes, SevenBytes };

// Raw Windows-1252 bytes and the width of the length prefix to write them with.
struct CountedText {
    std::string bytes;
    PrefixWidth prefix = PrefixWidth::Auto;

    CountedText() = default;
    CountedText(std::string text, PrefixWidth width = PrefixWidth::Auto)
        : bytes(std::move(text)), prefix(width) {}
    CountedText(const char* text) : bytes(text) {}
};

void appendByte(Bytes& out, std::uint8_t value);
void appendLong(Bytes& out, std::uint32_t value);
// Throws std::invalid_argument when the forced width cannot hold the count.
void appendCount(Bytes& out, std::size_t count, PrefixWidth width = PrefixWidth::Auto);
void appendCountedString(Bytes& out, const CountedText& text);

inline constexpr std::uint8_t kScopeGlobal = 0;
inline constexpr std::uint8_t kScopeApplication = 1;
inline constexpr std::uint8_t kScopeWindow = 2;
inline constexpr std::uint8_t kSkippedRecord = 128;  // added to the scope byte

inline constexpr std::uint8_t kKindText = 1;
inline constexpr std::uint8_t kKindRecorder = 2;
inline constexpr std::uint8_t kKindStepByStep = 3;
inline constexpr std::uint8_t kKindAdvancedScript = 4;
inline constexpr std::uint8_t kKindScript = 16;
inline constexpr std::uint8_t kKindKeys = 17;

// The bytes Dragon writes after the scope byte; files it wrote carry them, not zeros.
inline constexpr std::array<std::uint8_t, 12> kDragonReservedAfterScope{0xfd, 0x02, 0xf8, 0xff};

// One command record. Which fields reach the file depends on the version code and on the
// scope and kind bytes; the declared counts, when set, are written instead of the real ones.
struct BuiltCommand {
    CountedText name;
    std::vector<CountedText> lists;
    std::optional<std::uint32_t> declaredListCount;
    CountedText description;
    CountedText group;
    std::uint8_t scopeByte = kScopeGlobal;
    std::array<std::uint8_t, 12> reservedAfterScope{};  // codes 5 to 7
    // Scope data: low 7 bits 1 write the first three, 2 all five.
    CountedText module;
    CountedText programDescription;
    CountedText company;
    CountedText windowTitle;
    CountedText windowClass;
    std::vector<CountedText> states;  // codes 6 and 7
    std::optional<std::uint32_t> declaredStateCount;
    std::uint8_t kind = kKindAdvancedScript;
    std::uint8_t encryption = 0;                        // code 7
    std::array<std::uint8_t, 8> reservedAfterKind{};     // codes 5, 6, and 7 unencrypted
    std::array<std::uint8_t, 7> encryptionHeader{};      // code 7 encrypted
    CountedText encryptionBlock;                        // code 7 encrypted
    CountedText formatted;  // kind 1: the formatted part; its Count is the graphic size
    CountedText text;       // kind 1 plain text; the whole body of kinds 4, 16 and 17
    Bytes rawBody;          // the body of every other kind (see stepByStepBody, recorderBody)
};

struct BuiltList {
    BuiltList() = default;
    BuiltList(CountedText listName, std::vector<CountedText> listItems)
        : name(std::move(listName)), items(std::move(listItems)) {}

    CountedText name;
    std::uint32_t afterName = 1;  // the Long after the name, which nobody reads
    std::vector<CountedText> items;
    std::optional<std::uint32_t> declaredItemCount;
};

// 1-based positions of one command record, as the store keeps them.
struct RecordPositions {
    std::size_t offset = 0;     // the name's length prefix
    std::size_t scopeByte = 0;
    std::size_t afterKind = 0;  // the byte just after the kind byte
    std::size_t body = 0;
};

class CommandFileBuilder {
public:
    // A version code outside 3..7 is written as given and laid out like its nearest family.
    explicit CommandFileBuilder(std::uint8_t versionCode = 7, std::uint8_t languageCode = 9);

    CommandFileBuilder& add(BuiltCommand command);
    CommandFileBuilder& add(BuiltList list);
    CommandFileBuilder& declareCommandCount(std::uint32_t count);
    CommandFileBuilder& declareListCount(std::uint32_t count);

    std::uint8_t versionCode() const { return versionCode_; }
    const std::vector<BuiltCommand>& commands() const { return commands_; }
    const std::vector<BuiltList>& lists() const { return lists_; }

    // Writes the whole file and records the positions below.
    Bytes build();
    void writeFile(const std::filesystem::path& path);

    // Positions found by the latest build().
    const std::vector<RecordPositions>& commandPositions() const { return commandPositions_; }
    const std::vector<std::size_t>& listPositions() const { return listPositions_; }
    std::size_t listSectionPosition() const { return listSectionPosition_; }

private:
    void writeCommand(Bytes& out, const BuiltCommand& command);
    void writeList(Bytes& out, const BuiltList& list);

    std::uint8_t versionCode_;
    std::uint8_t languageCode_;
    std::optional<std::uint32_t> declaredCommandCount_;
    std::optional<std::uint32_t> declaredListCount_;
    std::vector<BuiltCommand> commands_;
    std::vector<BuiltList> lists_;
    std::vector<RecordPositions> commandPositions_;
    std::vector<std::size_t> listPositions_;
    std::size_t listSectionPosition_ = 0;
};

void writeBytes(const std::filesystem::path& path, std::span<const std::uint8_t> bytes);

// Step-by-step steps, each encoded with its step code.
inline constexpr std::uint8_t kShift = 1;
inline constexpr std::uint8_t kCtrl = 2;
inline constexpr std::uint8_t kAlt = 4;

namespace step {
Bytes pressKey(std::uint8_t keyCode, std::uint8_t modifiers = 0);
Bytes open(const CountedText& first, const CountedText& second, const CountedText& third,
           std::uint32_t number);
Bytes wait(std::uint32_t milliseconds);
Bytes stopListening();
Bytes microphoneOn();
Bytes microphoneOff();
Bytes typeText(const CountedText& text);
Bytes sendKeys(const CountedText& keys);
Bytes raw(std::uint8_t code, const Bytes& data = {});
}  // namespace step

Bytes stepByStepBody(const std::vector<Bytes>& steps,
                     std::optional<std::uint32_t> declaredCount = {});

// Macro recorder events, each beginning with its type byte; unused fields are zero.
namespace event {
inline constexpr std::uint8_t kMouseMove = 0;
inline constexpr std::uint8_t kLeftDown = 1;
inline constexpr std::uint8_t kLeftUp = 2;
inline constexpr std::uint8_t kRightDown = 4;
inline constexpr std::uint8_t kRightUp = 5;

Bytes key(std::uint8_t keyCode, std::uint8_t state);
Bytes mouse(std::uint8_t action, std::uint16_t x = 0, std::uint16_t y = 0);
Bytes typeThree();
Bytes other(std::uint8_t type);
}  // namespace event

using RecorderGroup = std::array<CountedText, 6>;

Bytes recorderBody(const std::vector<RecorderGroup>& groups, const std::vector<Bytes>& events,
                   std::optional<std::uint32_t> declaredEventCount = {});

}  // namespace vocabrella::testsupport
