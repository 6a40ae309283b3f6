#include "shell/ChangeHistory.h"

#include "cmdfile/AtomicFile.h"
#include "cmdfile/Sha256.h"
#include "shell/FileBackups.h"
#include "shell/Texts.h"
#include "cmdfile/System.h"

#include <algorithm>
#include <charconv>
#include <set>
#include <string_view>

namespace vocabrella {
namespace fs = std::filesystem;

namespace {

constexpr std::string_view kFolder = "history";
constexpr std::string_view kList = "changes";
constexpr std::string_view kDamaged = "changes.damaged";
constexpr std::string_view kVersions = "versions";
constexpr std::string_view kHeader = "vocabrella change history 1";
constexpr std::string_view kFileKey = "file ";
constexpr std::string_view kPositionKey = "position ";

fs::path fullPath(const fs::path& file) { return fs::weakly_canonical(fs::absolute(file)); }

// A description on one line: backslashes, tabs and line breaks written as escapes.
std::string escaped(std::string_view text) {
    std::string out;
    for (const char c : text) {
        switch (c) {
        case '\\': out += "\\\\"; break;
        case '\t': out += "\\t"; break;
        case '\r': out += "\\r"; break;
        case '\n': out += "\\n"; break;
        default: out += c;
        }
    }
    return out;
}

std::optional<std::string> unescaped(std::string_view text) {
    std::string out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '\\') {
            out += text[i];
            continue;
        }
        if (++i == text.size()) return std::nullopt;
        switch (text[i]) {
        case '\\': out += '\\'; break;
        case 't': out += '\t'; break;
        case 'r': out += '\r'; break;
        case 'n': out += '\n'; break;
        default: return std::nullopt;
        }
    }
    return out;
}

template <typename Number> std::optional<Number> number(std::string_view text) {
    Number n{};
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), n);
    if (ec != std::errc() || end != text.data() + text.size() || text.empty()) return std::nullopt;
    return n;
}

bool isDigest(std::string_view text) {
    return text.size() == 64 && std::all_of(text.begin(), text.end(), [](char c) {
               return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f');
           });
}

std::vector<std::string_view> split(std::string_view text, char separator) {
    std::vector<std::string_view> parts;
    for (std::size_t from = 0;;) {
        const auto at = text.find(separator, from);
        parts.push_back(text.substr(from, at == std::string_view::npos ? std::string_view::npos : at - from));
        if (at == std::string_view::npos) return parts;
        from = at + 1;
    }
}

std::optional<HistoryEntry> parseEntry(std::string_view line) {
    const auto fields = split(line, '\t');
    if (fields.size() != 6) return std::nullopt;
    HistoryEntry e;
    const auto time = number<std::int64_t>(fields[0]);
    const auto beforeSize = number<std::uint64_t>(fields[2]);
    const auto afterSize = number<std::uint64_t>(fields[4]);
    auto description = unescaped(fields[5]);
    if (!time || !beforeSize || !afterSize || !description || !isDigest(fields[1]) || !isDigest(fields[3]))
        return std::nullopt;
    e.time = *time;
    e.before = fields[1];
    e.beforeSize = *beforeSize;
    e.after = fields[3];
    e.afterSize = *afterSize;
    e.description = std::move(*description);
    return e;
}

} // namespace

fs::path ChangeHistory::folderOf(const fs::path& home, const fs::path& file) {
    return home / kFolder / FileBackups::folderOf(home, file).filename();
}

fs::path ChangeHistory::listOf(const fs::path& home, const fs::path& file) { return folderOf(home, file) / kList; }

ChangeHistory::ChangeHistory(const fs::path& home, const fs::path& file, HistoryLimits limits)
    : folder_(folderOf(home, file)), file_(fullPath(file)), limits_(limits) {
    load();
}

void ChangeHistory::load() {
    const fs::path list = folder_ / kList;
    if (!fs::exists(list)) return;
    std::string text;
    try {
        const auto bytes = readFileBytes(list);
        text.assign(bytes.begin(), bytes.end());
    } catch (const std::exception& e) {
        problem_ = std::string(texts::HistoryDamaged) + os::pathText(list) + " (" + e.what() + ")";
        return;
    }
    auto lines = split(text, '\n');
    if (!lines.empty() && lines.back().empty()) lines.pop_back();
    std::size_t bad = 0; // 1-based line of the first fault
    std::optional<std::size_t> position;
    if (lines.size() < 3 || lines[0] != kHeader) bad = 1;
    else if (!lines[1].starts_with(kFileKey) || lines[1].substr(kFileKey.size()) != os::pathText(file_)) bad = 2;
    else if (!lines[2].starts_with(kPositionKey) ||
             !(position = number<std::size_t>(lines[2].substr(kPositionKey.size()))))
        bad = 3;
    for (std::size_t i = 3; bad == 0 && i < lines.size(); ++i) {
        auto entry = parseEntry(lines[i]);
        if (!entry) bad = i + 1;
        else entries_.push_back(std::move(*entry));
    }
    if (bad == 0 && *position > entries_.size()) bad = 3;
    if (bad != 0) {
        entries_.clear();
        problem_ = std::string(texts::HistoryDamaged) + os::pathText(list) + std::string(texts::HistoryDamagedLine) +
                   std::to_string(bad);
        return;
    }
    position_ = *position;
}

void ChangeHistory::save() {
    std::string text = std::string(kHeader) + "\n" + std::string(kFileKey) + os::pathText(file_) + "\n" +
                       std::string(kPositionKey) + std::to_string(position_) + "\n";
    for (const auto& e : entries_)
        text += std::to_string(e.time) + "\t" + e.before + "\t" + std::to_string(e.beforeSize) + "\t" + e.after + "\t" +
                std::to_string(e.afterSize) + "\t" + escaped(e.description) + "\n";
    writeFileAtomically(folder_ / kList, text);
    removeUnusedVersions();
}

void ChangeHistory::keepVersion(std::span<const std::uint8_t> bytes, const std::string& digest) {
    const fs::path path = folder_ / kVersions / digest;
    if (fs::exists(path) && fs::file_size(path) == bytes.size()) return;
    writeFileAtomically(path, bytes);
}

std::uint64_t ChangeHistory::keptBytes() const {
    std::set<std::string> seen;
    std::uint64_t total = 0;
    for (const auto& e : entries_) {
        if (seen.insert(e.before).second) total += e.beforeSize;
        if (seen.insert(e.after).second) total += e.afterSize;
    }
    return total;
}

void ChangeHistory::dropBeyondLimits() {
    while (entries_.size() > limits_.keepAtLeast &&
           (entries_.size() > limits_.mostEntries || keptBytes() > limits_.mostBytes)) {
        entries_.erase(entries_.begin());
        if (position_ > 0) --position_;
    }
}

void ChangeHistory::removeUnusedVersions() {
    std::set<std::string> used;
    for (const auto& e : entries_) used.insert({e.before, e.after});
    std::error_code ec;
    for (fs::directory_iterator it(folder_ / kVersions, ec), end; !ec && it != end; it.increment(ec)) {
        const auto name = os::pathText(it->path().filename());
        // Temporary files of a write in progress start with a dot and are left to their writer.
        if (!name.starts_with(".") && !used.contains(name)) fs::remove(it->path(), ec);
    }
}

void ChangeHistory::record(std::string description, std::chrono::system_clock::time_point time,
                           std::span<const std::uint8_t> before, std::span<const std::uint8_t> after) {
    fs::create_directories(folder_ / kVersions);
    if (!problem_.empty()) {
        // Kept aside for whoever wants to look; the history starts afresh.
        std::error_code ec;
        fs::rename(folder_ / kList, folder_ / kDamaged, ec);
        problem_.clear();
    }
    if (!fs::exists(folder_ / "path")) writeFileAtomically(folder_ / "path", os::pathText(file_) + "\n", false);
    HistoryEntry e;
    e.time = std::chrono::duration_cast<std::chrono::seconds>(time.time_since_epoch()).count();
    e.description = std::move(description);
    e.before = sha256Hex(before);
    e.beforeSize = before.size();
    e.after = sha256Hex(after);
    e.afterSize = after.size();
    keepVersion(before, e.before);
    keepVersion(after, e.after);
    entries_.resize(position_);
    entries_.push_back(std::move(e));
    position_ = entries_.size();
    dropBeyondLimits();
    save();
}

void ChangeHistory::undone() {
    if (position_ == 0) return;
    --position_;
    save();
}

void ChangeHistory::redone() {
    if (position_ == entries_.size()) return;
    ++position_;
    save();
}

std::optional<std::vector<std::uint8_t>> ChangeHistory::version(const std::string& digest, std::uint64_t size) const {
    if (!isDigest(digest)) return std::nullopt;
    try {
        auto bytes = readFileBytes(folder_ / kVersions / digest);
        if (bytes.size() != size || sha256Hex(bytes) != digest) return std::nullopt;
        return bytes;
    } catch (const std::exception&) {
        return std::nullopt;
    }
}

} // namespace vocabrella
