#pragma once

#include "cmdfile/Format.h"

#include <array>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace vocabrella {

// Writes whole command files from plain descriptions: the program's own shipped files, the
// demo user's file, and whatever else needs a command file made from nothing. Texts are UTF-8
// and are checked as the writers check them (Refusal for text with no Windows-1252 form).

// One step of a step-by-step body.
struct ComposedStep {
    std::uint8_t code = 0;
    std::uint8_t keyCode = 0;
    std::uint8_t modifiers = 0;       // 1 Shift, 2 Ctrl, 4 Alt
    std::array<std::string, 3> texts; // open: all three; type text and send keys: the first
    std::uint32_t number = 0;         // open: its number; wait: milliseconds
    // Codes without a step are written as the code byte alone, which is how they are read.

    static ComposedStep press(std::uint8_t keyCode, std::uint8_t modifiers = 0);
    static ComposedStep open(std::string program, std::string second = {}, std::string third = {},
                             std::uint32_t number = 1);
    static ComposedStep wait(std::uint32_t milliseconds);
    static ComposedStep stopListening();
    static ComposedStep microphoneOn();
    static ComposedStep microphoneOff();
    static ComposedStep typeText(std::string text);
    static ComposedStep sendKeys(std::string keys);
};

namespace modifier {
inline constexpr std::uint8_t Shift = 1;
inline constexpr std::uint8_t Ctrl = 2;
inline constexpr std::uint8_t Alt = 4;
} // namespace modifier

// One event of a recorder body: a key going down or up, or the mouse.
struct ComposedEvent {
    enum class Type : std::uint8_t { Key = 1, Mouse = 2 };
    Type type = Type::Key;
    std::uint8_t keyCode = 0;
    bool up = false;
    std::uint8_t action = 0; // mouse: 0 move, 1/2 left down/up, 4/5 right down/up
    std::uint16_t x = 0, y = 0;
    std::uint32_t time = 0; // the Long after the type byte
    // An event of another type (or one to be kept exactly): its bytes, type byte first, written
    // as they stand in place of the fields above.
    std::vector<std::uint8_t> bytes;

    static ComposedEvent keyDown(std::uint8_t keyCode);
    static ComposedEvent keyUp(std::uint8_t keyCode);
    static ComposedEvent mouse(std::uint8_t action, std::uint16_t x, std::uint16_t y);
};

namespace mouseAction {
inline constexpr std::uint8_t Move = 0;
inline constexpr std::uint8_t LeftDown = 1;
inline constexpr std::uint8_t LeftUp = 2;
inline constexpr std::uint8_t RightDown = 4;
inline constexpr std::uint8_t RightUp = 5;
} // namespace mouseAction

// One command. Program and scope are named as the store names them: program "Global Commands"
// or a module name; scope "Global Commands", "Application-specific" or a window title. A
// window title under the program "Global Commands" (such as "Asleep" for sleeping commands)
// makes a window-specific record whose module is "Global Commands".
struct ComposedCommand {
    std::string name; // LIST references ("<name>") are listed in the record as Dragon does
    std::string description;
    std::string group; // empty or "User-defined": none
    std::string program{names::GlobalCommands};
    std::string scope{names::GlobalCommands};
    std::string programDescription, companyName, windowClass;
    std::vector<std::string> states; // written from 8/9 on
    std::string typeCode;            // K S A P T X R
    std::string text;                // the body of K S A P; the plain text of T
    std::string formatted;           // T: the rich text, bytes as they are
    std::vector<ComposedStep> steps; // X, at most 255
    std::vector<ComposedEvent> events;                        // R, at most 65535
    std::vector<std::array<std::string, 6>> recorderGroups;  // R: carried, never read back
};

struct ComposedList {
    std::string name;
    std::vector<std::string> items;
};

// One command record in the layout of the family. Throws Refusal for text the file cannot
// hold and InputRefusal for a description that makes no record (an unknown Type, a "T" without
// rich text, too many steps or events).
std::vector<std::uint8_t> encodeComposedCommand(const ComposedCommand& command, FileVersionFamily family);

class CommandFileComposer {
public:
    // InputRefusal for a version code that is not 3 to 7.
    explicit CommandFileComposer(std::uint8_t versionCode = 7, std::uint8_t languageCode = 9);

    CommandFileComposer& add(const ComposedCommand& command);
    CommandFileComposer& add(const ComposedList& list);

    std::size_t commandCount() const { return commands_; }
    std::size_t listCount() const { return lists_; }
    FileVersionFamily family() const { return family_; }

    // Header, command records in the order added, LIST section.
    std::vector<std::uint8_t> bytes() const;

private:
    std::uint8_t versionCode_;
    std::uint8_t languageCode_;
    FileVersionFamily family_;
    std::vector<std::uint8_t> commandRecords_;
    std::vector<std::uint8_t> listRecords_;
    std::size_t commands_ = 0;
    std::size_t lists_ = 0;
};

// A PNG picture of one colour, 8-bit RGB, its pixel data in stored (uncompressed) deflate
// blocks so that no compression library is needed.
std::vector<std::uint8_t> solidColourPng(std::uint32_t width, std::uint32_t height, std::uint8_t red,
                                         std::uint8_t green, std::uint8_t blue);

// Rich text for a text-with-graphics body: the text (UTF-8, CR LF between paragraphs), then the
// PNG picture embedded as hexadecimal data, shown at its size at 96 dpi.
std::string richTextWithPicture(std::string_view text, std::span<const std::uint8_t> png, std::uint32_t widthPixels,
                                std::uint32_t heightPixels);

} // namespace vocabrella
