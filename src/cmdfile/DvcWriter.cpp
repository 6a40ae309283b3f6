#include "cmdfile/DvcWriter.h"

#include "cmdfile/RowMarks.h"

#include "cmdfile/AtomicFile.h"
#include "cmdfile/Codec.h"
#include "cmdfile/Errors.h"
#include "cmdfile/Format.h"
#include "cmdfile/Texts.h"

#include <algorithm>
#include <string_view>

namespace vocabrella {
namespace {

constexpr std::string_view kCrLf = "\r\n";
constexpr std::string_view kBodyIndent = "\t\t\t\t";

bool endsWith(std::string_view text, std::string_view tail) {
    return text.size() >= tail.size() && text.substr(text.size() - tail.size()) == tail;
}

std::string replaceAll(std::string_view text, std::string_view from, std::string_view to) {
    std::string out;
    out.reserve(text.size());
    std::size_t start = 0;
    for (std::size_t at; (at = text.find(from, start)) != std::string_view::npos; start = at + from.size()) {
        out += text.substr(start, at - start);
        out += to;
    }
    out += text.substr(start);
    return out;
}

// Backslashes are escaped once: a text that already holds a pair is taken as escaped.
std::string escapeBackslashes(std::string_view text) {
    if (text.find("\\\\") != std::string_view::npos) return std::string(text);
    return replaceAll(text, "\\", "\\\\");
}

class DvcText {
public:
    void row(const UserRow& r) {
        if (!started_) {
            programLine(r);
            stateLine(r);
            started_ = true;
        } else if (r.menu != menu_) {
            line("\t}");
            line("}");
            line("");
            programLine(r);
            stateLine(r);
        } else if (r.state != state_) {
            line("\t}");
            stateLine(r);
        }
        if (firstEntry_)
            firstEntry_ = false;
        else
            line("");
        if (r.Type == "L")
            list(r);
        else
            command(r);
    }

    std::string finish() {
        if (started_) {
            line("\t}");
            line("}");
        }
        return std::move(text_);
    }

private:
    void line(std::string_view content) {
        text_ += content;
        text_ += kCrLf;
    }

    void programLine(const UserRow& r) {
        line("MENU \"" + r.menu + "\" {");
        menu_ = r.menu;
    }

    void stateLine(const UserRow& r) {
        std::string keywords;
        if (r.Global) keywords += "GLOBAL ";
        if (r.noglobals) keywords += "NOGLOBALS ";
        if (r.sleeping) keywords += "SLEEPING ";
        line("\tSTATE \"" + r.state + "\" " + keywords + "{");
        state_ = r.state;
        firstEntry_ = true;
    }

    void command(const UserRow& r) {
        line("\t\tCOMMAND \"" + r.name + "\" {");
        // A Type without a display name still shows what it is.
        std::string_view typeName = typeDisplayName(r.Type);
        if (typeName.empty()) typeName = r.Type;
        const std::string head = "\t\t\t" + std::string(typeName) + " ";
        const std::string script = escapeBackslashes(r.script);
        if (r.singleline) {
            line(head + "\"" + script + "\"");
        } else {
            line(head + "{");
            std::string body = replaceAll(script, kCrLf, std::string(kCrLf) + std::string(kBodyIndent));
            if (endsWith(body, std::string(kCrLf) + std::string(kBodyIndent)))
                body.resize(body.size() - kCrLf.size() - kBodyIndent.size());
            line(std::string(kBodyIndent) + body);
            line("\t\t\t}");
        }
        line("\t\t}");
    }

    // One line per item, each in quotes. An item that already begins with a quote gets no
    // second one, and one that ends with a quote gets no closing one, unless that quote is
    // escaped by a backslash and so belongs to the item.
    void list(const UserRow& r) {
        line("\t\tLIST \"" + r.name + "\" {");
        const std::string items = escapeBackslashes(r.script);
        std::size_t start = 0;
        while (start < items.size()) {
            std::size_t end = items.find(kCrLf, start);
            if (end == std::string::npos) end = items.size();
            const std::string_view item = std::string_view(items).substr(start, end - start);
            std::string out = "\t\t\t";
            if (item.empty() || item.front() != '"') out += '"';
            out += item;
            if (!endsWith(item, "\"") || endsWith(item, "\\\"")) out += '"';
            line(out);
            start = end + kCrLf.size();
        }
        line("\t\t}");
    }

    std::string text_;
    std::string menu_, state_;
    bool started_ = false;
    bool firstEntry_ = false;
};

} // namespace

std::optional<std::string> dvcRefusal(const UserRow& r) {
    const auto refusal = [&](std::string_view why) {
        return std::string(texts::DvcCannotHold) + "\"" + r.name + "\"" + std::string(why);
    };
    for (const auto* text : {&r.name, &r.menu, &r.state})
        if (text->find('"') != std::string::npos) return refusal(texts::DvcQuote);
    if (r.Type == "L") return std::nullopt; // each item stands in its own quotes
    // Any line break counts: a reader need not wait for CR LF.
    for (std::size_t start = 0; start < r.script.size();) {
        const auto end = std::min(r.script.find_first_of("\r\n", start), r.script.size());
        const auto first = r.script.find_first_not_of(" \t", start);
        if (first < end && r.script[first] == '}') return refusal(texts::DvcClosingBrace);
        start = end + 1;
    }
    return std::nullopt;
}

std::string dvcText(const std::vector<UserRow>& rows) {
    DvcText out;
    for (const auto& r : rows) out.row(r);
    return out.finish();
}

void WriteDvc(CommandStore& store, const std::filesystem::path& path) { WriteDvc(store, path, FileVersion::of(path)); }

void WriteDvc(CommandStore& store, const std::filesystem::path& path, const FileVersion& seen) {
    const RowMarks marks(store);
    const auto rows = store.flaggedForDvc();
    for (const auto& row : rows)
        if (auto refusal = dvcRefusal(row)) throw Refusal(*refusal, row.name);
    const std::string bytes = codec::utf8ToCp1252(dvcText(rows));
    writeFileIfUnchanged(path, seen, std::span(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size()));
}

} // namespace vocabrella
