#pragma once

#include "cmdfile/RawRecord.h"
#include "writer/CommandFileComposer.h"

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace vocabrella {

// Dragon's MyCommands XML, the form its command browser imports and exports: UTF-16 with a
// byte-order mark, one <Commands> element per scope, each command with its <contents>, and the
// LISTs at the end. Command names write LIST references in square brackets.
//
// Contents Dragon itself writes: SCRIPT (advanced scripting), DVC_SCRIPT (legacy script),
// TEXT-GRAPHICS (rich and plain text) and ACTIONS (recorded mouse and key actions). Kinds it has
// no form for are written in forms of this program's own: KEYS (the keys text) and
// STEP-BY-STEP (one <step> per step).

namespace dragonxml {
inline constexpr std::string_view Script = "SCRIPT";
inline constexpr std::string_view LegacyScript = "DVC_SCRIPT";
inline constexpr std::string_view TextGraphics = "TEXT-GRAPHICS";
inline constexpr std::string_view Actions = "ACTIONS";
inline constexpr std::string_view Keys = "KEYS";
inline constexpr std::string_view StepByStep = "STEP-BY-STEP";
inline constexpr std::uint16_t DefaultLanguage = 0x409;

// "<mouse> <1to9>" as "[mouse] [1to9]", and back.
std::string bracketsForXml(std::string_view name);
std::string bracketsForFile(std::string_view name);
// "0x809", "2057", "9": a Windows language identifier; nullopt when it is not one.
std::optional<std::uint16_t> parseLanguageId(std::string_view text);
std::string languageIdText(std::uint16_t id); // "0x809"
// A rich text whose only content is the plain text, for a plain-text command.
std::string plainRichText(std::string_view utf8);
} // namespace dragonxml

// The commands and LISTs of an exchange file, ready for a command file.
struct XmlCommandSet {
    std::uint16_t language = dragonxml::DefaultLanguage;
    std::vector<ComposedCommand> commands; // names with LIST references in angle brackets
    std::vector<ComposedList> lists;
    // What cannot be taken, each line naming the command (or LIST) and why.
    std::vector<std::string> problems;
};

// Reads an exchange file. A document that is not well-formed, or not MyCommands, throws
// xml::XmlError; what is wrong with single commands is listed in problems.
XmlCommandSet readDragonXml(std::span<const std::uint8_t> bytes);

// Writes an exchange file from the records of a command file.
class DragonXmlWriter {
public:
    explicit DragonXmlWriter(std::uint16_t language) : language_(language) {}

    // A command as its record stands in the file. Encrypted bodies and kinds without a body
    // cannot be written: they are left out and listed.
    void add(const RawRecord& record);
    void addList(std::string_view name, std::span<const std::string> items); // UTF-8

    std::vector<std::uint8_t> bytes() const;
    std::size_t commandCount() const { return commandCount_; }
    std::size_t listCount() const { return lists_.size(); }
    // Commands written in a form of this program's own, and commands left out.
    const std::vector<std::string>& ownForm() const { return ownForm_; }
    const std::vector<std::string>& leftOut() const { return leftOut_; }

private:
    struct Scope {
        int type = 0; // 0 global, 1 application, 2 window
        std::vector<std::string> strings; // module, description, company[, caption, class]
        std::vector<std::string> commands; // each command written out already
    };

    std::uint16_t language_;
    std::vector<Scope> scopes_;
    std::vector<std::pair<std::string, std::vector<std::string>>> lists_;
    std::vector<std::string> ownForm_, leftOut_;
    std::size_t commandCount_ = 0;
};

} // namespace vocabrella
