#include "CommandFileGenerator.h"

#include <array>
#include <iterator>
#include <string>
#include <string_view>
#include <unordered_set>
#include <vector>

// Every draw from the generator sits in a statement of its own: the order in which operands
// of + or function arguments are evaluated is unspecified, and the bytes must not depend on it.

namespace vocabrella::bench {
namespace {

using testsupport::Bytes;
using testsupport::BuiltCommand;
using testsupport::BuiltList;
using testsupport::CommandFileBuilder;
using testsupport::CountedText;

// splitmix64 with our own range mapping: the standard distributions give different
// sequences in different library versions.
class Random {
public:
    explicit Random(std::uint64_t seed) : state_(seed) {}

    std::uint64_t next() {
        std::uint64_t z = (state_ += 0x9e3779b97f4a7c15ull);
        z = (z ^ (z >> 30)) * 0xbf58476d1ce4e5b9ull;
        z = (z ^ (z >> 27)) * 0x94d049bb133111ebull;
        return z ^ (z >> 31);
    }
    // The modulo bias is far below anything a benchmark could notice.
    std::size_t below(std::size_t n) { return n == 0 ? 0 : static_cast<std::size_t>(next() % n); }
    std::size_t between(std::size_t low, std::size_t high) { return low + below(high - low + 1); }
    bool perMille(std::size_t chance) { return below(1000) < chance; }
    template <typename Table>
    const auto& pick(const Table& table) {
        return table[below(std::size(table))];
    }

private:
    std::uint64_t state_;
};

struct Window {
    const char* title;
    const char* windowClass;
};

struct Program {
    const char* module;
    const char* description;
    const char* company;
    const char* group;
    Window windows[2];
};

constexpr Program kPrograms[] = {
    {"WINWORD", "Microsoft Word", "Microsoft Corporation", "Word",
     {{"Document1 - Word", "OpusApp"}, {"Find and Replace", "bosa_sdm_msword"}}},
    {"EXCEL", "Microsoft Excel", "Microsoft Corporation", "Excel",
     {{"Book1 - Excel", "XLMAIN"}, {"Format Cells", "bosa_sdm_XL9"}}},
    {"OUTLOOK", "Microsoft Outlook", "Microsoft Corporation", "Outlook",
     {{"Inbox - Outlook", "rctrl_renwnd32"}, {"Untitled - Message (HTML)", "rctrl_renwnd32"}}},
    {"POWERPNT", "Microsoft PowerPoint", "Microsoft Corporation", "PowerPoint",
     {{"Presentation1 - PowerPoint", "PPTFrameClass"}, {"Slide Show", "screenClass"}}},
    {"MSACCESS", "Microsoft Access", "Microsoft Corporation", "Access",
     {{"Database1 : Database", "OMain"}, {"Query1", "OForm"}}},
    {"ONENOTE", "Microsoft OneNote", "Microsoft Corporation", "OneNote",
     {{"Notebook - OneNote", "Framework::CFrame"}, {"Insert Link", "NUIDialog"}}},
    {"CHROME", "Google Chrome", "Google LLC", "Browsing",
     {{"New Tab - Google Chrome", "Chrome_WidgetWin_1"}, {"Downloads", "Chrome_WidgetWin_1"}}},
    {"FIREFOX", "Firefox", "Mozilla Corporation", "Browsing",
     {{"Mozilla Firefox", "MozillaWindowClass"}, {"Library", "MozillaDialogClass"}}},
    {"MSEDGE", "Microsoft Edge", "Microsoft Corporation", "Browsing",
     {{"New tab - Microsoft Edge", "Chrome_WidgetWin_1"}, {"Favorites", "Chrome_WidgetWin_1"}}},
    {"NOTEPAD", "Notepad", "Microsoft Corporation", "Editing",
     {{"Untitled - Notepad", "Notepad"}, {"Save As", "#32770"}}},
    {"EXPLORER", "Windows Explorer", "Microsoft Corporation", "Windows",
     {{"Documents", "CabinetWClass"}, {"Program Manager", "Progman"}}},
    {"ACRORD32", "Adobe Reader", "Adobe Systems Incorporated", "Reading",
     {{"Adobe Reader", "AcrobatSDIWindow"}, {"Find", "#32770"}}},
    {"CODE", "Visual Studio Code", "Microsoft Corporation", "Programming",
     {{"Welcome - Visual Studio Code", "Chrome_WidgetWin_1"}, {"Open Folder", "#32770"}}},
    {"DEVENV", "Microsoft Visual Studio", "Microsoft Corporation", "Programming",
     {{"Start Page - Microsoft Visual Studio", "HwndWrapper"}, {"Options", "#32770"}}},
    {"THUNDERBIRD", "Thunderbird", "Mozilla Corporation", "Email",
     {{"Inbox - Mozilla Thunderbird", "MozillaWindowClass"}, {"Write: (no subject)", "MozillaWindowClass"}}},
    {"WORDPAD", "Windows Wordpad Application", "Microsoft Corporation", "Editing",
     {{"Document - WordPad", "WordPadClass"}, {"Font", "#32770"}}},
    {"MSPAINT", "Paint", "Microsoft Corporation", "Graphics",
     {{"Untitled - Paint", "MSPaintApp"}, {"Resize and Skew", "#32770"}}},
    {"CMD", "Windows Command Processor", "Microsoft Corporation", "Windows",
     {{"Command Prompt", "ConsoleWindowClass"}, {"Administrator: Command Prompt", "ConsoleWindowClass"}}},
    {"SKYPE", "Skype", "Skype Technologies S.A.", "Communication",
     {{"Skype", "tSkMainForm"}, {"Call", "TLiveConversationWindow"}}},
    {"CALC", "Calculator", "Microsoft Corporation", "Windows",
     {{"Calculator", "CalcFrame"}, {"Date Calculation", "CalcFrame"}}},
};

// Texts are Windows-1252 bytes, so a few words carry accented letters.
constexpr std::string_view kGroups[] = {"", "Windows", "Editing", "Dictation", "Navigation",
                                        "Mouse", "Utilities"};
constexpr std::string_view kStates[] = {"Normal", "Dictation", "Command", "Spell", "Numbers",
                                        "Editing"};
constexpr std::string_view kVerbs[] = {
    "open", "close", "save", "insert", "go to", "select", "delete", "copy", "paste",
    "show", "hide", "move", "format", "send", "reply to", "forward", "print", "find",
    "next", "previous", "new", "undo", "mark", "zoom", "refresh"};
constexpr std::string_view kObjects[] = {
    "document", "message", "line", "paragraph", "tab", "window", "folder", "table",
    "cell", "row", "column", "file", "page", "link", "picture", "signature", "address",
    "comment", "heading", "bookmark", "r\xe9sum\xe9", "caf\xe9 menu", "invoice", "calendar",
    "note"};
constexpr std::string_view kWords[] = {
    "the", "meeting", "is", "moved", "to", "Thursday", "please", "find", "attached",
    "report", "kind", "regards", "with", "best", "wishes", "and", "thanks", "for", "your",
    "letter", "of", "we", "will", "send", "invoice", "next", "week", "d\xe9j\xe0", "vu",
    "na\xefve", "stra\xdf" "e"};
constexpr std::string_view kListNames[] = {
    "direction", "color", "number", "month", "day", "font", "size", "contact", "folder",
    "project", "language", "heading_level", "zoom_level", "category", "move_or_dock"};
constexpr std::string_view kItems[] = {
    "left", "right", "up", "down", "red", "green", "blue", "one", "two", "three", "four",
    "five", "Monday", "Tuesday", "January", "February", "Arial", "Times New Roman", "bold",
    "italic", "inbox", "drafts", "sent items", "twelve", "twenty", "hundred", "caf\xe9",
    "na\xefve"};
constexpr std::string_view kKeys[] = {
    "{Ctrl+s}", "{Ctrl+Shift+Home}", "{Alt+f}{Down 3}", "{Enter}", "{F5}", "{Win+Left}",
    "{Ctrl+c}", "{Alt+Tab}", "{Esc}", "Dear Sir", "{Ctrl+End}", "{Shift+Up 2}", "{Tab 4}"};
constexpr std::uint8_t kKeyCodes[] = {8,  9,  13, 27, 32, 33, 34, 35, 36, 37,  38,  39,
                                      40, 46, 65, 66, 67, 83, 86, 88, 90, 112, 113, 116};

class Generator {
public:
    explicit Generator(const GeneratorOptions& options)
        : options_(options), random_(options.seed), builder_(options.versionCode, options.languageCode) {}

    CommandFileBuilder run() {
        makeLists((options_.commands + 4) / 9);  // a tenth of all rows
        for (std::size_t i = 0; i < options_.commands; ++i) builder_.add(makeCommand());
        return std::move(builder_);
    }

private:
    void makeLists(std::size_t count) {
        for (std::size_t i = 0; i < count; ++i) {
            std::string name(kListNames[i % std::size(kListNames)]);
            if (i >= std::size(kListNames)) name += "_" + std::to_string(i / std::size(kListNames));
            BuiltList list;
            list.name = name;
            const std::size_t items = random_.between(3, 15);
            const std::size_t first = random_.below(std::size(kItems));
            for (std::size_t k = 0; k < items; ++k)
                list.items.emplace_back(std::string(kItems[(first + k) % std::size(kItems)]));
            listNames_.push_back(std::move(name));
            builder_.add(std::move(list));
        }
    }

    BuiltCommand makeCommand() {
        BuiltCommand command;
        command.reservedAfterScope = testsupport::kDragonReservedAfterScope;
        if (!builder_.commands().empty() && random_.perMille(10))
            copyIdentity(builder_.commands()[random_.below(builder_.commands().size())], command);
        else
            makeIdentity(command);
        if (random_.perMille(300)) command.description = sentence(3, 12);
        if (options_.versionCode >= 6 && random_.perMille(80)) {
            const std::size_t count = random_.between(1, 3);
            const std::size_t first = random_.below(std::size(kStates));
            for (std::size_t k = 0; k < count; ++k)
                command.states.emplace_back(std::string(kStates[(first + k) % std::size(kStates)]));
        }
        makeBody(command);
        return command;
    }

    // Same program, scope and name as an earlier command: a duplicate the reader flags.
    static void copyIdentity(const BuiltCommand& from, BuiltCommand& to) {
        to.name = from.name;
        to.lists = from.lists;
        to.group = from.group;
        to.scopeByte = from.scopeByte;
        to.module = from.module;
        to.programDescription = from.programDescription;
        to.company = from.company;
        to.windowTitle = from.windowTitle;
        to.windowClass = from.windowClass;
    }

    void makeIdentity(BuiltCommand& command) {
        const std::size_t scopeDraw = random_.below(100);
        command.scopeByte = scopeDraw < 40   ? testsupport::kScopeGlobal
                            : scopeDraw < 75 ? testsupport::kScopeApplication
                                             : testsupport::kScopeWindow;
        if (command.scopeByte == testsupport::kScopeGlobal) {
            command.group = std::string(random_.pick(kGroups));
        } else {
            const Program& program = random_.pick(kPrograms);
            command.module = program.module;
            command.programDescription = program.description;
            command.company = program.company;
            const Window& window = random_.pick(program.windows);
            if (command.scopeByte == testsupport::kScopeWindow) {
                command.windowTitle = window.title;
                command.windowClass = window.windowClass;
            }
            if (random_.perMille(700))
                command.group = program.group;
            else
                command.group = std::string(random_.pick(kGroups));
        }
        std::string name = spokenName(command);
        const std::string scopeKey = std::to_string(command.scopeByte) + '\x1f' +
                                     command.module.bytes + '\x1f' + command.windowTitle.bytes + '\x1f';
        std::string unique = name;
        for (int n = 2; !names_.insert(scopeKey + unique).second; ++n) unique = name + " " + std::to_string(n);
        command.name = unique;
    }

    // A verb and an object, or, for some, LIST references in angle brackets.
    std::string spokenName(BuiltCommand& command) {
        std::string name(random_.pick(kVerbs));
        if (listNames_.empty() || !random_.perMille(150)) {
            name += ' ';
            name += random_.pick(kObjects);
            return name;
        }
        const std::size_t first = random_.below(listNames_.size());
        name += " <" + listNames_[first] + ">";
        command.lists.emplace_back(listNames_[first]);
        if (listNames_.size() > 1 && random_.perMille(300)) {
            std::size_t second = random_.below(listNames_.size());
            if (second == first) second = (second + 1) % listNames_.size();
            name += ' ';
            name += random_.pick(kObjects);
            name += " <" + listNames_[second] + ">";
            command.lists.emplace_back(listNames_[second]);
        }
        return name;
    }

    void makeBody(BuiltCommand& command) {
        const std::size_t draw = random_.below(1000);
        if (draw < 450) {
            command.kind = testsupport::kKindAdvancedScript;
            command.text = script(true);
        } else if (draw < 650) {
            command.kind = testsupport::kKindScript;
            command.text = script(false);
        } else if (draw < 770) {
            command.kind = testsupport::kKindKeys;
            command.text = keys();
        } else if (draw < 890) {
            command.kind = testsupport::kKindText;
            command.text = paragraphs();
        } else if (draw < 920) {
            command.kind = testsupport::kKindText;
            command.text = sentence(4, 20);
            command.formatted = richText(command.text.bytes);
        } else if (draw < 960) {
            command.kind = testsupport::kKindStepByStep;
            command.rawBody = stepByStep();
        } else {
            command.kind = testsupport::kKindRecorder;
            command.rawBody = recorder(command);
        }
    }

    std::string sentence(std::size_t minWords, std::size_t maxWords) {
        std::string text;
        const std::size_t words = random_.between(minWords, maxWords);
        for (std::size_t i = 0; i < words; ++i) {
            if (i) text += ' ';
            text += random_.pick(kWords);
        }
        return text;
    }

    std::string paragraphs() {
        std::string text = sentence(2, 30);
        for (std::size_t n = random_.below(4); n > 0; --n) {
            text += "\r\n";
            text += sentence(2, 30);
        }
        return text;
    }

    std::string keys() {
        std::string text;
        for (std::size_t n = random_.between(1, 4); n > 0; --n) text += random_.pick(kKeys);
        return text;
    }

    std::string quoted(std::string_view text) { return "\"" + std::string(text) + "\""; }

    std::string scriptLine(bool advanced) {
        const std::string indent = advanced ? "    " : "";
        switch (random_.below(9)) {
        case 0: return indent + "SendKeys " + quoted(random_.pick(kKeys));
        case 1: return indent + "SendKeys " + quoted(sentence(1, 6));
        case 2: return indent + "Wait " + std::to_string(random_.between(1, 9) * 100);
        case 3: return indent + "AppBringUp " + quoted(random_.pick(kPrograms).module);
        case 4: return indent + "HeardWord " + quoted(random_.pick(kVerbs));
        case 5: return indent + "' " + sentence(3, 12);
        case 6: return indent + "TTSPlayString " + quoted(sentence(2, 8));
        case 7:
            return advanced ? indent + "Dim " + std::string(random_.pick(kListNames)) + " As String"
                            : "MenuPick " + quoted("&File");
        default: {
            const std::string x = std::to_string(random_.below(1920));
            return indent + "SetMousePosition 0, " + x + ", " + std::to_string(random_.below(1080));
        }
        }
    }

    // Advanced scripts are wrapped in Sub Main; both kinds end up 100 to 5000 characters long.
    std::string script(bool advanced) {
        const std::size_t target = random_.between(100, 4900);
        const std::string_view closing = advanced ? "End Sub\r\n" : "";
        std::string text = advanced ? "Sub Main\r\n" : "";
        while (text.size() + closing.size() < target) {
            text += scriptLine(advanced);
            text += "\r\n";
        }
        return text += closing;
    }

    std::string richText(const std::string& plain) {
        static constexpr char kHex[] = "0123456789abcdef";
        std::string rtf = "{\\rtf1\\ansi\\deff0{\\fonttbl{\\f0\\fswiss Arial;}}\\f0\\fs20 " + plain +
                          "\\par{\\pict\\pngblip\\picw16\\pich16\r\n";
        for (std::size_t n = random_.between(32, 512), i = 0; i < n; ++i) {
            const std::size_t byte = random_.below(256);
            rtf += kHex[byte >> 4];
            rtf += kHex[byte & 15];
            if (i % 32 == 31) rtf += "\r\n";
        }
        return rtf + "}\\par}";
    }

    Bytes stepByStep() {
        std::vector<Bytes> steps;
        for (std::size_t n = random_.between(1, 8); n > 0; --n) {
            switch (random_.below(6)) {
            case 0:
            case 1: {
                const std::uint8_t code = random_.pick(kKeyCodes);
                steps.push_back(testsupport::step::pressKey(code, static_cast<std::uint8_t>(random_.below(8))));
                break;
            }
            case 2: steps.push_back(testsupport::step::typeText(sentence(1, 8))); break;
            case 3:
                steps.push_back(testsupport::step::wait(static_cast<std::uint32_t>(random_.between(100, 3000))));
                break;
            case 4: steps.push_back(testsupport::step::sendKeys(std::string(random_.pick(kKeys)))); break;
            default: {
                std::string module = random_.pick(kPrograms).module;
                steps.push_back(testsupport::step::open(module + ".EXE", "", "", 1));
                break;
            }
            }
        }
        return testsupport::stepByStepBody(steps);
    }

    Bytes recorder(const BuiltCommand& command) {
        std::vector<testsupport::RecorderGroup> groups;
        if (random_.perMille(500))
            groups.push_back({command.module, command.windowTitle, command.windowClass, "", "", ""});
        std::vector<Bytes> events;
        for (std::size_t n = random_.between(2, 40); n > 0; --n) {
            switch (random_.below(4)) {
            case 0: {
                const std::uint8_t code = random_.pick(kKeyCodes);
                events.push_back(testsupport::event::key(code, 0));
                events.push_back(testsupport::event::key(code, 128));
                break;
            }
            case 1: {
                const auto x = static_cast<std::uint16_t>(random_.below(1920));
                const auto y = static_cast<std::uint16_t>(random_.below(1080));
                events.push_back(testsupport::event::mouse(testsupport::event::kMouseMove, x, y));
                break;
            }
            case 2:
                events.push_back(testsupport::event::mouse(testsupport::event::kLeftDown));
                events.push_back(testsupport::event::mouse(testsupport::event::kLeftUp));
                break;
            default: events.push_back(testsupport::event::typeThree()); break;
            }
        }
        return testsupport::recorderBody(groups, events);
    }

    GeneratorOptions options_;
    Random random_;
    CommandFileBuilder builder_;
    std::vector<std::string> listNames_;
    std::unordered_set<std::string> names_;  // lookups only: never iterated
};

}  // namespace

CommandFileBuilder makeCommandFile(const GeneratorOptions& options) { return Generator(options).run(); }

Bytes generate(const GeneratorOptions& options) { return makeCommandFile(options).build(); }

}  // namespace vocabrella::bench
