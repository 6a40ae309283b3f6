#include "ops/ScriptChecker.h"

#include "cmdfile/TextCase.h"
#include "ops/ScriptTexts.h"

#include <algorithm>
#include <array>
#include <unordered_set>

namespace vocabrella::ops {
namespace ts = texts::script;

namespace {

// ---- key notation

// Key names as Dragon's notation and the SendKeys notation write them in braces, letter case
// and blanks aside ("Page Up" is pageup), with the names of the key-name file.
const std::unordered_set<std::string>& keyNames() {
    static const std::unordered_set<std::string> names = [] {
        std::unordered_set<std::string> n{
            // modifiers, also sent alone
            "ctrl", "control", "alt", "shift", "win", "leftctrl", "rightctrl", "leftalt", "rightalt", "leftshift",
            "rightshift", "leftwin", "rightwin", "lwin", "rwin", "lctrl", "rctrl", "lalt", "ralt", "lshift", "rshift",
            "altgr", "leftwindows", "rightwindows", "windows", "apps", "applications", "menu", "context",
            // editing and moving
            "esc", "escape", "enter", "return", "tab", "space", "spacebar", "backspace", "bs", "bksp", "del",
            "delete", "ins", "insert", "home", "end", "pgup", "pgdn", "pageup", "pagedown", "up", "down", "left",
            "right", "clear", "center", "help", "select", "execute", "print", "printscreen", "prtsc", "prtscn",
            "sysreq", "pause", "break", "cancel", "sleep", "numlock", "capslock", "scrolllock",
            // the extended keys
            "extins", "exthome", "extpgup", "extdel", "extend", "extpgdn", "extup", "extleft", "extdown", "extright",
            "extenter",
            // the keypad
            "numkeyenter", "keypadenter", "padenter", "numkey.", "numkey*", "numkey-", "numkey+", "numkey/",
            "pad.", "pad*", "pad-", "pad+", "pad/", "num.", "num*", "num-", "num+", "num/", "slash", "asterisk",
            "mult", "multiply", "minus", "plus", "add", "subtract", "divide", "decimal", "separator",
            // the rest of the key-name file
            "leftbutton", "rightbutton", "middlebutton", "xbutton1", "xbutton2", "kana", "junja", "final", "kanji",
            "convert", "nonconvert", "accept", "modechange", "browserback", "browserforward", "browserrefresh",
            "browserstop", "browsersearch", "browserfavorites", "browserhome", "volumemute", "volumedown",
            "volumeup", "nexttrack", "previoustrack", "stopmedia", "play/pausemedia", "startmail", "selectmedia",
            "startapplication1", "startapplication2", "oem8", "oem102", "process", "packet", "attn", "crsel",
            "exsel", "eraseeof", "play", "zoom", "pa1", "oemclear"};
        for (int i = 0; i <= 9; ++i)
            for (const char* prefix : {"numkey", "keypad", "numpad", "pad", "num"}) n.insert(prefix + std::to_string(i));
        for (int i = 1; i <= 24; ++i) n.insert("f" + std::to_string(i));
        return n;
    }();
    return names;
}

constexpr std::array<std::string_view, 22> kModifiers{
    "leftctrl", "rightctrl", "leftalt", "rightalt", "leftshift", "rightshift", "leftwin", "rightwin",
    "control",  "ctrl",      "altgr",   "alt",      "shift",     "lctrl",     "rctrl",   "lalt",
    "ralt",     "lshift",    "rshift",  "lwin",     "rwin",      "win"};

bool oneCharacter(std::string_view s) {
    if (s.empty()) return false;
    std::size_t n = 1;
    while (n < s.size() && (static_cast<unsigned char>(s[n]) & 0xC0) == 0x80) ++n;
    return n == s.size();
}

bool startsWithIgnoringCase(std::string_view s, std::string_view prefix) {
    return s.size() >= prefix.size() && foldCase(s.substr(0, prefix.size())) == prefix;
}

bool isDigit(char c) { return c >= '0' && c <= '9'; }

// Whether the text between one pair of braces names keys: modifiers joined by "+", then a key
// name or one character, then perhaps a count ("Left 5").
bool knownKeyGroup(std::string_view group) {
    std::string_view rest = group;
    for (bool more = true; more;) {
        more = false;
        for (const auto m : kModifiers) {
            if (!startsWithIgnoringCase(rest, m)) continue;
            std::size_t i = m.size();
            while (i < rest.size() && rest[i] == ' ') ++i;
            if (i + 1 >= rest.size() || rest[i] != '+') continue;
            rest.remove_prefix(i + 1);
            if (rest.find_first_not_of(' ') != std::string_view::npos) rest.remove_prefix(rest.find_first_not_of(' '));
            more = true;
            break;
        }
    }
    if (oneCharacter(rest)) return true;
    if (const auto blank = rest.find_last_of(' '); blank != std::string_view::npos && blank > 0 &&
                                                   blank + 1 < rest.size() &&
                                                   std::all_of(rest.begin() + static_cast<std::ptrdiff_t>(blank) + 1,
                                                               rest.end(), isDigit))
        rest = rest.substr(0, blank);
    if (oneCharacter(rest)) return true;
    std::string name;
    for (const char c : rest)
        if (c != ' ') name += c;
    name = foldCase(name);
    return oneCharacter(name) || keyNames().contains(name);
}

// ---- reading the script into tokens

enum class Tok { Name, Number, String, Punct, LineEnd };

struct Token {
    Tok type;
    std::string text; // a name or punctuation as written; a string's value without its quotes
    int line;
};

bool isNameStart(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || c == '_' || static_cast<unsigned char>(c) >= 0x80;
}
bool isNameChar(char c) { return isNameStart(c) || isDigit(c); }
bool isBlank(char c) { return c == ' ' || c == '\t' || c == '\r'; }
bool isHexDigit(char c) { return isDigit(c) || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F'); }

class Lexer {
public:
    Lexer(std::string_view text, std::vector<ScriptFault>& faults) : s_(text), faults_(faults) {}

    std::vector<Token> run() {
        while (i_ < s_.size()) step();
        end();
        return std::move(tokens_);
    }

private:
    void step() {
        const char c = s_[i_];
        if (c == '\n') {
            end();
            ++line_;
            ++i_;
        } else if (isBlank(c)) {
            ++i_;
        } else if (c == '\'') {
            skipToLineEnd();
        } else if (c == '"') {
            string();
        } else if (c == '_' && continuation()) {
        } else if (c == '#' && atStatementStart()) {
            skipToLineEnd(); // #If, #Const: directives of the compiler, not statements
        } else if (isNameStart(c)) {
            const std::size_t from = i_;
            while (i_ < s_.size() && isNameChar(s_[i_])) ++i_;
            if (i_ < s_.size() && std::string_view("$%&!#@").find(s_[i_]) != std::string_view::npos &&
                (i_ + 1 >= s_.size() || !isNameChar(s_[i_ + 1])))
                ++i_; // a type character ends the name
            const std::string_view name = s_.substr(from, i_ - from);
            if (atStatementStart() && foldCase(name) == "rem") return skipToLineEnd();
            push(Tok::Name, std::string(name));
        } else if (isDigit(c) || (c == '.' && i_ + 1 < s_.size() && isDigit(s_[i_ + 1])) ||
                   (c == '&' && i_ + 2 < s_.size() && std::string_view("hHoO").find(s_[i_ + 1]) != std::string_view::npos &&
                    isHexDigit(s_[i_ + 2]))) {
            const std::size_t from = i_;
            i_ += c == '&' ? 2 : 1;
            while (i_ < s_.size() && (isNameChar(s_[i_]) || s_[i_] == '.')) ++i_;
            push(Tok::Number, std::string(s_.substr(from, i_ - from)));
        } else if (c == ':' && i_ + 1 < s_.size() && s_[i_ + 1] == '=') {
            push(Tok::Punct, ":=");
            i_ += 2;
        } else {
            push(Tok::Punct, std::string(1, c));
            ++i_;
        }
    }

    // A "_" after a blank and before the line's end joins the next line to this one.
    bool continuation() {
        if (i_ > 0 && !isBlank(s_[i_ - 1])) return false;
        std::size_t j = i_ + 1;
        while (j < s_.size() && isBlank(s_[j])) ++j;
        if (j < s_.size() && s_[j] != '\n') return false;
        if (j >= s_.size() || s_.find_first_not_of(" \t\r\n", j) == std::string_view::npos)
            faults_.push_back({line_, std::string(ts::ContinuationAtEnd)});
        i_ = j + 1;
        ++line_;
        return true;
    }

    void string() {
        std::string value;
        for (++i_;; ++i_) {
            if (i_ >= s_.size() || s_[i_] == '\n' || (s_[i_] == '\r' && (i_ + 1 >= s_.size() || s_[i_ + 1] == '\n'))) {
                faults_.push_back({line_, std::string(ts::UnclosedString)});
                break;
            }
            if (s_[i_] == '"') {
                if (i_ + 1 < s_.size() && s_[i_ + 1] == '"') {
                    value += '"';
                    ++i_;
                    continue;
                }
                ++i_;
                break;
            }
            value += s_[i_];
        }
        push(Tok::String, std::move(value));
    }

    void skipToLineEnd() {
        while (i_ < s_.size() && s_[i_] != '\n') ++i_;
    }

    bool atStatementStart() const {
        return tokens_.empty() || tokens_.back().type == Tok::LineEnd ||
               (tokens_.back().type == Tok::Punct && tokens_.back().text == ":");
    }

    void push(Tok type, std::string text) { tokens_.push_back({type, std::move(text), line_}); }
    void end() {
        if (!tokens_.empty() && tokens_.back().type != Tok::LineEnd) push(Tok::LineEnd, {});
    }

    std::string_view s_;
    std::vector<ScriptFault>& faults_;
    std::vector<Token> tokens_;
    std::size_t i_ = 0;
    int line_ = 1;
};

// ---- statements and blocks

using Tokens = std::vector<Token>;
using Span = std::pair<std::size_t, std::size_t>; // [first, last) of a statement's tokens

enum class Block { Sub, Function, Property, If, For, Do, While, Select, With, Type, Enum };

struct BlockWords {
    std::string_view opening, closing;
};

BlockWords words(Block b) {
    switch (b) {
    case Block::Sub: return {"Sub", "End Sub"};
    case Block::Function: return {"Function", "End Function"};
    case Block::Property: return {"Property", "End Property"};
    case Block::If: return {"If", "End If"};
    case Block::For: return {"For", "Next"};
    case Block::Do: return {"Do", "Loop"};
    case Block::While: return {"While", "Wend"};
    case Block::Select: return {"Select Case", "End Select"};
    case Block::With: return {"With", "End With"};
    case Block::Type: return {"Type", "End Type"};
    case Block::Enum: return {"Enum", "End Enum"};
    }
    return {};
}

bool isProcedure(Block b) { return b == Block::Sub || b == Block::Function || b == Block::Property; }

// The built-in commands, with the number of arguments they take (max -1: no limit).
struct Builtin {
    std::string_view name;
    int min, max;
};
constexpr std::array<Builtin, 40> kBuiltins{{
    {"appbringup", 1, 4},     {"appswapwith", 1, 1},   {"buttonclick", 0, 2},    {"cleardesktop", 0, 0},
    {"controlpick", 1, 1},    {"dllcall", 3, 3},       {"dragtopoint", 0, 1},    {"gotosleep", 0, 0},
    {"heardword", 1, -1},     {"htmlhelp", 1, 3},      {"menucancel", 0, 0},     {"menupick", 1, 1},
    {"mousegrid", 0, 2},      {"msgboxconfirm", 1, 3}, {"playbackspeed", 1, 1},  {"rememberpoint", 0, 0},
    {"runscriptfile", 1, 1},  {"sendkeys", 1, 2},      {"senddragonkeys", 1, 2}, {"sendsystemkeys", 1, 2},
    {"setmicrophone", 0, 1},  {"setmouseposition", 3, 3}, {"setnaturaltext", 1, 1}, {"shellexecute", 1, 4},
    {"shiftkey", 0, 2},       {"ttsplaystring", 0, 2}, {"wait", 1, 1},           {"waitforwindow", 1, 3},
    {"wakeup", 0, 0},         {"winhelp", 1, 3},       {"msgbox", 1, 5},         {"beep", 0, 0},
    {"appactivate", 1, 2},    {"shell", 1, 2},         {"doevents", 0, 0},       {"kill", 1, 1},
    {"mkdir", 1, 1},          {"rmdir", 1, 1},         {"chdir", 1, 1},          {"filecopy", 2, 2},
}};

const Builtin* builtin(std::string_view folded) {
    for (const auto& b : kBuiltins)
        if (b.name == folded) return &b;
    return nullptr;
}

bool isKeysCommand(std::string_view folded) {
    return folded == "sendkeys" || folded == "senddragonkeys" || folded == "sendsystemkeys";
}

// Words that may stand outside every procedure of an advanced script.
bool isDeclaration(std::string_view folded) {
    static const std::unordered_set<std::string_view> words{
        "option", "dim",   "const",  "declare", "type",    "enum",     "private", "public",  "global",
        "friend", "static", "sub",   "function", "property", "attribute", "implements", "event", "end",
        "defint", "deflng", "defsng", "defdbl", "defcur",  "defstr",   "defobj",  "defvar",  "defbool",
        "defbyte", "defdate", "deflnglng", "defdec"};
    return words.contains(folded);
}

std::string argumentsText(int n) {
    if (n == 0) return std::string(ts::NoArguments);
    if (n == 1) return std::string(ts::OneArgument);
    return std::to_string(n) + std::string(ts::Arguments);
}

class Checker {
public:
    Checker(Tokens tokens, ScriptKind kind, std::vector<ScriptFault>& faults)
        : t_(std::move(tokens)), kind_(kind), faults_(faults) {}

    void run() {
        collectProcedures();
        std::size_t start = 0;
        for (std::size_t i = 0; i < t_.size(); ++i) {
            if (t_[i].type != Tok::LineEnd) continue;
            line(start, i);
            start = i + 1;
        }
        while (!open_.empty()) unclosed();
        if (kind_ == ScriptKind::Advanced && !hasMain_) faults_.push_back({1, std::string(ts::NoMain)});
    }

private:
    struct Open {
        Block block;
        int line;
        bool sawElse = false;
    };

    std::string word(std::size_t i) const { return i < t_.size() && t_[i].type == Tok::Name ? foldCase(t_[i].text) : ""; }
    bool punct(std::size_t i, std::string_view p) const {
        return i < t_.size() && t_[i].type == Tok::Punct && t_[i].text == p;
    }
    void fault(int line, std::string what) { faults_.push_back({line, std::move(what)}); }

    // Names the script defines as procedures: calls to them are not the built-ins'.
    void collectProcedures() {
        for (std::size_t i = 0; i + 1 < t_.size(); ++i) {
            const auto w = word(i);
            if ((w == "sub" || w == "function") && t_[i + 1].type == Tok::Name) own_.insert(foldCase(t_[i + 1].text));
        }
    }

    // One line: statements separated by ":"; a single-line If takes the rest of the line.
    void line(std::size_t from, std::size_t to) {
        parentheses(from, to);
        for (std::size_t s = from; s < to;) {
            std::size_t e = s;
            while (e < to && !punct(e, ":")) ++e;
            if (word(s) == "if" || word(s) == "elseif") {
                const std::size_t then = find(s, to, "then");
                if (then == to) {
                    fault(t_[s].line, t_[s].text + std::string(ts::MissingThen));
                } else if (then + 1 < to) {
                    if (word(s) == "elseif") elseIf(s);
                    else singleLineIf(then + 1, to);
                    return;
                }
            }
            statement(s, e);
            s = e + 1;
        }
    }

    std::size_t find(std::size_t from, std::size_t to, std::string_view w) const {
        for (std::size_t i = from; i < to; ++i)
            if (word(i) == w) return i;
        return to;
    }

    // The statements after Then and Else, none of which opens or closes a block.
    void singleLineIf(std::size_t from, std::size_t to) {
        for (std::size_t s = from; s < to;) {
            std::size_t e = s;
            while (e < to && !punct(e, ":") && word(e) != "else") ++e;
            if (word(s) == "exit") exit(s);
            else if (s < e) call(s, e);
            s = e + 1;
        }
    }

    void parentheses(std::size_t from, std::size_t to) {
        std::vector<int> opened;
        for (std::size_t i = from; i < to; ++i) {
            if (punct(i, "(")) {
                opened.push_back(t_[i].line);
            } else if (punct(i, ")")) {
                if (opened.empty()) return fault(t_[i].line, std::string(ts::UnexpectedParen));
                opened.pop_back();
            }
        }
        if (!opened.empty()) fault(opened.back(), std::string(ts::MissingParen));
    }

    bool inProcedure() const {
        return std::any_of(open_.begin(), open_.end(), [](const Open& o) { return isProcedure(o.block); });
    }
    bool inDeclarationBlock() const {
        return !open_.empty() && (open_.back().block == Block::Type || open_.back().block == Block::Enum);
    }

    void statement(std::size_t s, std::size_t e) {
        if (s >= e) return;
        const Token& first = t_[s];
        std::size_t k = s;
        while (k + 1 < e && (word(k) == "private" || word(k) == "public" || word(k) == "friend" ||
                             word(k) == "static" || word(k) == "global"))
            ++k;
        const std::string w = word(k);
        if (inDeclarationBlock()) {
            // The members of a Type or Enum: only its end matters, or a procedure after it
            // when the end was forgotten.
            if (word(s) == "end" && (word(s + 1) == "type" || word(s + 1) == "enum"))
                return close(word(s + 1) == "type" ? Block::Type : Block::Enum, first);
            if (w != "sub" && w != "function" && w != "property") return;
        }
        if (first.type != Tok::Name) {
            if (kind_ == ScriptKind::Legacy) return fault(first.line, std::string(ts::NoCommandName));
            if (first.type == Tok::Number || punct(s, ".") || punct(s, "?") || punct(s, "[")) return;
            return fault(first.line, std::string(ts::BadStatementStart) + "'" + first.text + "'");
        }
        if (punct(s + 1, "=") || punct(s + 1, ".")) return; // an assignment or a call of a member
        if (kind_ == ScriptKind::Advanced && !inProcedure() && !isDeclaration(word(s)) && !toldOutside_) {
            toldOutside_ = true;
            fault(first.line, std::string(ts::OutsideProcedure));
        }
        if (w == "sub" || w == "function" || w == "property") {
            const Block b = w == "sub" ? Block::Sub : w == "function" ? Block::Function : Block::Property;
            while (!open_.empty()) unclosed(); // procedures do not nest
            open_.push_back({b, first.line});
            if (b == Block::Sub && word(k + 1) == "main") hasMain_ = true;
        } else if (w == "declare" || w == "dim" || w == "const" || w == "option") {
        } else if (w == "type" || w == "enum") {
            open_.push_back({w == "type" ? Block::Type : Block::Enum, first.line});
        } else if (w == "end" || w == "endif") {
            end(s, w == "endif" ? "if" : word(s + 1));
        } else if (w == "if") {
            open_.push_back({Block::If, first.line});
        } else if (w == "elseif") {
            elseIf(s);
        } else if (w == "else") {
            if (!reach(Block::If, first, "Else")) return;
            if (open_.back().sawElse) fault(first.line, std::string(ts::SecondElse));
            open_.back().sawElse = true;
        } else if (w == "for") {
            open_.push_back({Block::For, first.line});
        } else if (w == "next") {
            std::size_t count = 1;
            for (std::size_t i = s + 1; i < e; ++i)
                if (punct(i, ",")) ++count;
            for (std::size_t n = 0; n < count; ++n) close(Block::For, first);
        } else if (w == "do") {
            open_.push_back({Block::Do, first.line});
        } else if (w == "loop") {
            close(Block::Do, first);
        } else if (w == "while") {
            open_.push_back({Block::While, first.line});
        } else if (w == "wend") {
            close(Block::While, first);
        } else if (w == "select") {
            if (word(s + 1) != "case") fault(first.line, std::string(ts::SelectWithoutCase));
            open_.push_back({Block::Select, first.line});
        } else if (w == "case") {
            reach(Block::Select, first, "Case");
        } else if (w == "with") {
            open_.push_back({Block::With, first.line});
        } else if (w == "exit") {
            exit(s);
        } else {
            call(s, e);
        }
    }

    void elseIf(std::size_t s) {
        if (!reach(Block::If, t_[s], "ElseIf")) return;
        if (open_.back().sawElse) fault(t_[s].line, std::string(ts::ElseIfAfterElse));
    }

    void end(std::size_t s, const std::string& what) {
        static const std::array<std::pair<std::string_view, Block>, 9> ends{{{"sub", Block::Sub},
                                                                             {"function", Block::Function},
                                                                             {"property", Block::Property},
                                                                             {"if", Block::If},
                                                                             {"select", Block::Select},
                                                                             {"with", Block::With},
                                                                             {"type", Block::Type},
                                                                             {"enum", Block::Enum},
                                                                             {"while", Block::While}}};
        if (what.empty()) return; // End alone ends the run
        for (const auto& [name, block] : ends)
            if (name == what) return close(block, t_[s]);
        fault(t_[s].line, std::string(ts::UnknownEnd) + "End " + t_[s + 1].text);
    }

    void exit(std::size_t s) {
        static const std::array<std::pair<std::string_view, Block>, 5> exits{{{"sub", Block::Sub},
                                                                              {"function", Block::Function},
                                                                              {"property", Block::Property},
                                                                              {"for", Block::For},
                                                                              {"do", Block::Do}}};
        for (const auto& [name, block] : exits) {
            if (name != word(s + 1)) continue;
            if (std::none_of(open_.begin(), open_.end(), [b = block](const Open& o) { return o.block == b; }))
                fault(t_[s].line, "Exit " + t_[s + 1].text + std::string(ts::ExitOutside) + std::string(words(block).opening));
            return;
        }
    }

    // The innermost open block of this kind within the procedure, or nullopt.
    std::optional<std::size_t> innermost(Block b) const {
        for (std::size_t i = open_.size(); i-- > 0;) {
            if (open_[i].block == b) return i;
            if (isProcedure(open_[i].block)) break;
        }
        return std::nullopt;
    }

    // Brings a block of this kind to the top of the open blocks, the blocks left open inside
    // it told as unclosed; false (and told) when there is none.
    bool reach(Block b, const Token& at, std::string_view word) {
        const auto found = innermost(b);
        if (!found) {
            fault(at.line, std::string(word) + std::string(ts::Without) + std::string(words(b).opening));
            return false;
        }
        while (open_.size() > *found + 1) unclosed();
        return true;
    }

    void close(Block b, const Token& at) {
        if (!reach(b, at, words(b).closing)) return;
        open_.pop_back();
    }

    void unclosed() {
        const auto& o = open_.back();
        fault(o.line, std::string(words(o.block).opening) + std::string(ts::Without) + std::string(words(o.block).closing));
        open_.pop_back();
    }

    // A call of a command or procedure: the built-ins' argument counts and keys.
    void call(std::size_t s, std::size_t e) {
        if (word(s) == "call") ++s;
        if (s >= e || t_[s].type != Tok::Name || punct(s + 1, "=") || punct(s + 1, ".")) return;
        const std::string name = word(s);
        if (own_.contains(name)) return;
        const Builtin* b = builtin(name);
        if (!b) return;
        // The arguments: inside the parentheses when they enclose all of them.
        std::size_t from = s + 1, to = e;
        if (punct(from, "(")) {
            int depth = 0;
            std::size_t close = from;
            for (; close < e; ++close) {
                if (punct(close, "(")) ++depth;
                else if (punct(close, ")") && --depth == 0) break;
            }
            if (close + 1 == e) {
                ++from;
                to = close;
            }
        }
        std::vector<Span> arguments;
        if (from < to) {
            int depth = 0;
            std::size_t start = from;
            for (std::size_t i = from; i < to; ++i) {
                if (punct(i, "(")) ++depth;
                else if (punct(i, ")")) --depth;
                else if (punct(i, ",") && depth == 0) {
                    arguments.emplace_back(start, i);
                    start = i + 1;
                }
            }
            arguments.emplace_back(start, to);
        }
        const int n = static_cast<int>(arguments.size());
        if (n < b->min || (b->max >= 0 && n > b->max)) {
            std::string takes;
            if (b->min == b->max) takes = argumentsText(b->min);
            else if (b->max < 0) takes = std::string(ts::ArgumentsAtLeast) + argumentsText(b->min);
            else takes = std::to_string(b->min) + std::string(ts::ArgumentsTo) + argumentsText(b->max);
            fault(t_[s].line, t_[s].text + std::string(ts::Takes) + takes + std::string(ts::Not) + std::to_string(n));
        }
        if (isKeysCommand(name) && !arguments.empty() && arguments[0].second == arguments[0].first + 1 &&
            t_[arguments[0].first].type == Tok::String)
            if (auto what = keysFault(t_[arguments[0].first].text); !what.empty())
                fault(t_[arguments[0].first].line, std::move(what));
    }

    Tokens t_;
    ScriptKind kind_;
    std::vector<ScriptFault>& faults_;
    std::vector<Open> open_;
    std::unordered_set<std::string> own_;
    bool hasMain_ = false;
    bool toldOutside_ = false;
};

} // namespace

std::optional<ScriptKind> scriptKindOf(std::string_view typeCode) {
    if (typeCode == "S") return ScriptKind::Legacy;
    if (typeCode == "A") return ScriptKind::Advanced;
    return std::nullopt;
}

std::string keysFault(std::string_view keys) {
    for (std::size_t i = 0; i < keys.size(); ++i) {
        if (keys[i] == '}') return std::string(ts::StrayBrace);
        if (keys[i] != '{') continue;
        if (keys.substr(i, 3) == "{}}") {
            i += 2;
            continue;
        }
        const auto close = keys.find('}', i + 1);
        if (close == std::string_view::npos) return std::string(ts::UnclosedBrace);
        const auto group = keys.substr(i + 1, close - i - 1);
        if (group.empty()) return std::string(ts::EmptyBraces);
        if (!knownKeyGroup(group)) return std::string(ts::UnknownKey) + "{" + std::string(group) + "}";
        i = close;
    }
    return {};
}

std::vector<ScriptFault> checkScript(std::string_view script, ScriptKind kind) {
    std::vector<ScriptFault> faults;
    auto tokens = Lexer(script, faults).run();
    Checker(std::move(tokens), kind, faults).run();
    std::stable_sort(faults.begin(), faults.end(), [](const ScriptFault& a, const ScriptFault& b) { return a.line < b.line; });
    return faults;
}

} // namespace vocabrella::ops
