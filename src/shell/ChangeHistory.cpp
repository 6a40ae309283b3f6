#include "shell/ChangeHistory.h"

#include "cmdfile/AtomicFile.h"
#include "cmdfile/Sha256.h"
#include "shell/FileBackups.h"
#include "shell/Texts.h"
#include "cmdfile/System.h"

#include <algorithm>
#include <limits>
#include <charconv>
#include <string_view>
#include <unordered_map>
#include <unordered_set>

namespace vocabrella {
namespace fs = std::filesystem;

namespace {

constexpr std::string_view kFolder = "history";
constexpr std::string_view kList = "changes";
constexpr std::string_view kDamaged = "changes.damaged";
constexpr std::string_view kVersions = "versions";
constexpr std::string_view kPathFile = "path";
constexpr std::string_view kAside = ".damaged-";
constexpr std::string_view kHeader = "vocabrella change history 1";
constexpr std::string_view kFileKey = "file ";
constexpr std::string_view kPositionKey = "position ";

// Far beyond what any limits keep (500 entries by default): such a list was not written here, and
// is not parsed.
constexpr std::size_t kMostLines = 100000;
constexpr std::uintmax_t kMostListBytes = 64ull << 20;

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

// The first NAME.damaged-N beside path that is free.
fs::path asideOf(const fs::path& path) {
    for (int n = 1;; ++n) {
        fs::path aside = path;
        aside += std::string(kAside) + std::to_string(n);
        std::error_code ec;
        if (!fs::exists(fs::symlink_status(aside, ec)) && !os::isLink(aside)) return aside;
    }
}

} // namespace

fs::path ChangeHistory::folderOf(const fs::path& home, const fs::path& file) {
    return home / kFolder / FileBackups::folderOf(home, file).filename();
}

fs::path ChangeHistory::listOf(const fs::path& home, const fs::path& file) { return folderOf(home, file) / kList; }

std::string ChangeHistory::setAsideLinkedFolders(const fs::path& home, const fs::path& file) {
    for (const fs::path& place : {home / kFolder, folderOf(home, file)}) {
        if (!os::isLink(place)) continue;
        fs::rename(place, asideOf(place));
        return std::string(texts::HistoryDamaged) + os::pathText(place) + std::string(texts::HistoryLinked);
    }
    return {};
}

ChangeHistory::ChangeHistory(const fs::path& home, const fs::path& file, HistoryLimits limits)
    : home_(home), folder_(folderOf(home, file)), file_(fullPath(file)), limits_(limits) {
    load();
}

void ChangeHistory::damagedWhole(const fs::path& where, std::string why) {
    damage_ = Damage::Whole;
    aside_ = where;
    problem_ = std::string(texts::HistoryDamaged) + why;
    entries_.clear();
    position_ = 0;
}

void ChangeHistory::load() {
    // Whoever can put a link here could have the history read, and its unused versions
    // removed, somewhere else: a link is never followed.
    const fs::path all = home_ / kFolder;
    if (os::isLink(all)) return damagedWhole(all, os::pathText(all) + std::string(texts::HistoryLinked));
    if (os::isLink(folder_)) return damagedWhole(folder_, os::pathText(folder_) + std::string(texts::HistoryLinked));
    std::error_code ec;
    if (!fs::is_directory(folder_, ec)) return;
    for (const auto name : {kList, kDamaged, kPathFile, kVersions})
        if (os::isLink(folder_ / name))
            return damagedWhole(folder_, os::pathText(folder_ / name) + std::string(texts::HistoryLinked));
    for (fs::directory_iterator it(folder_ / kVersions, ec), end; !ec && it != end; it.increment(ec))
        if (os::isLink(it->path()))
            return damagedWhole(folder_, os::pathText(it->path()) + std::string(texts::HistoryLinked));
    loadList();
}

void ChangeHistory::loadList() {
    const fs::path list = folder_ / kList;
    std::error_code ec;
    if (!fs::exists(list, ec)) return;
    const auto tooBig = [&] { damagedWhole(folder_, os::pathText(list) + std::string(texts::HistoryTooBig)); };
    if (const auto size = fs::file_size(list, ec); !ec && size > kMostListBytes) return tooBig();
    std::string text;
    try {
        const auto bytes = readFileBytes(list);
        text.assign(bytes.begin(), bytes.end());
    } catch (const std::exception& e) {
        return damagedWhole(folder_, os::pathText(list) + " (" + e.what() + ")");
    }
    if (text.size() > kMostListBytes || static_cast<std::size_t>(std::count(text.begin(), text.end(), '\n')) > kMostLines)
        return tooBig();
    auto lines = split(text, '\n');
    if (!lines.empty() && lines.back().empty()) lines.pop_back();
    const auto badAt = [&](std::size_t line) {
        return os::pathText(list) + std::string(texts::HistoryDamagedLine) + std::to_string(line);
    };
    if (lines.size() < 3 || lines[0] != kHeader) return damagedWhole(folder_, badAt(1));
    // Lists written before paths were escaped hold the path as it is.
    const auto path = os::pathText(file_);
    const auto fileLine = lines[1].substr(std::min(lines[1].size(), kFileKey.size()));
    if (!lines[1].starts_with(kFileKey) || (fileLine != escaped(path) && fileLine != path))
        return damagedWhole(folder_, badAt(2));

    // Every entry that can be read is kept; the position counts the readable ones before it.
    // Without a readable position every entry counts as made.
    constexpr std::size_t kAll = std::numeric_limits<std::size_t>::max();
    std::size_t made = kAll;
    if (lines[2].starts_with(kPositionKey))
        made = number<std::size_t>(lines[2].substr(kPositionKey.size())).value_or(kAll);
    if (made != kAll && made > lines.size() - 3) made = kAll;
    std::size_t firstBad = made != kAll ? 0 : 3;
    if (made == kAll) badLines_ = std::string(lines[2]) + "\n";
    entries_.reserve(lines.size() - 3);
    for (std::size_t i = 3; i < lines.size(); ++i) {
        auto entry = parseEntry(lines[i]);
        if (!entry) {
            if (firstBad == 0) firstBad = i + 1;
            badLines_ += std::string(lines[i]) + "\n";
            continue;
        }
        entries_.push_back(std::move(*entry));
        if (i - 3 < made) position_ = entries_.size();
    }
    if (firstBad != 0) {
        damage_ = Damage::Lines;
        problem_ = std::string(texts::HistoryLinesDamaged) + badAt(firstBad);
    }
}

void ChangeHistory::putAside() {
    if (damage_ == Damage::Whole) {
        if (aside_ != folder_ || os::isLink(folder_)) {
            // A link goes aside itself, whatever it names.
            fs::rename(aside_, asideOf(aside_));
        } else {
            // The lock file stays where the writers look for it, as do temporary files; the rest
            // goes aside together, versions with the list that names them.
            const fs::path to = asideOf(folder_);
            fs::create_directory(to);
            std::vector<fs::path> names;
            for (const auto& entry : fs::directory_iterator(folder_))
                if (!os::pathText(entry.path().filename()).starts_with(".")) names.push_back(entry.path().filename());
            for (const auto& name : names) fs::rename(folder_ / name, to / name);
        }
    } else if (damage_ == Damage::Lines) {
        std::string kept;
        const fs::path damaged = folder_ / kDamaged;
        if (fs::exists(damaged)) {
            const auto bytes = readFileBytes(damaged);
            kept.assign(bytes.begin(), bytes.end());
            if (!kept.empty() && kept.back() != '\n') kept += '\n';
        }
        writeFileAtomically(damaged, kept + badLines_);
    }
    damage_ = Damage::None;
    aside_.clear();
    badLines_.clear();
    problem_.clear();
}

void ChangeHistory::save() {
    putAside();
    std::string text = std::string(kHeader) + "\n" + std::string(kFileKey) + escaped(os::pathText(file_)) + "\n" +
                       std::string(kPositionKey) + std::to_string(position_) + "\n";
    for (const auto& e : entries_)
        text += std::to_string(e.time) + "\t" + e.before + "\t" + std::to_string(e.beforeSize) + "\t" + e.after + "\t" +
                std::to_string(e.afterSize) + "\t" + escaped(e.description) + "\n";
    writeFileAtomically(folder_ / kList, text);
    removeUnusedVersions();
}

void ChangeHistory::keepVersion(std::span<const std::uint8_t> bytes, const std::string& digest) {
    const fs::path path = folder_ / kVersions / digest;
    std::error_code ec;
    if (os::isLink(path)) {
        fs::remove(path); // the link itself, never what it names
    } else if (fs::is_regular_file(path, ec) && fs::file_size(path, ec) == bytes.size()) {
        // A version damaged in place may keep its size: its bytes decide.
        try {
            if (sha256Hex(readFileBytes(path)) == digest) return;
        } catch (const std::exception&) {
        }
    }
    writeFileAtomically(path, bytes);
}

std::uint64_t ChangeHistory::keptBytes() const {
    std::unordered_set<std::string_view> seen;
    std::uint64_t total = 0;
    for (const auto& e : entries_) {
        if (seen.insert(e.before).second) total += e.beforeSize;
        if (seen.insert(e.after).second) total += e.afterSize;
    }
    return total;
}

void ChangeHistory::dropBeyondLimits() {
    // Each version is counted while some entry still names it: dropping from the front only
    // updates the counts, so a list of any length is trimmed in one pass.
    std::unordered_map<std::string_view, std::size_t> uses;
    std::uint64_t kept = 0;
    for (const auto& e : entries_) {
        if (uses[e.before]++ == 0) kept += e.beforeSize;
        if (uses[e.after]++ == 0) kept += e.afterSize;
    }
    std::size_t dropped = 0;
    const auto left = [&] { return entries_.size() - dropped; };
    while (left() > limits_.keepAtLeast && (left() > limits_.mostEntries || kept > limits_.mostBytes)) {
        const auto& e = entries_[dropped++];
        if (--uses[e.before] == 0) kept -= e.beforeSize;
        if (--uses[e.after] == 0) kept -= e.afterSize;
    }
    uses.clear();
    entries_.erase(entries_.begin(), entries_.begin() + static_cast<std::ptrdiff_t>(dropped));
    position_ = position_ > dropped ? position_ - dropped : 0;
}

void ChangeHistory::removeUnusedVersions() {
    const fs::path versions = folder_ / kVersions;
    if (os::isLink(versions)) return;
    std::unordered_set<std::string> used;
    for (const auto& e : entries_) used.insert({e.before, e.after});
    // The lines put aside name versions too, for whoever looks at them: those stay. When they
    // cannot be read, every version stays.
    const fs::path damaged = folder_ / kDamaged;
    std::error_code ec;
    if (os::isLink(damaged)) return;
    if (fs::exists(damaged, ec)) {
        try {
            if (fs::file_size(damaged) > kMostListBytes) return;
            const auto bytes = readFileBytes(damaged);
            const std::string_view text(reinterpret_cast<const char*>(bytes.data()), bytes.size());
            for (const auto line : split(text, '\n'))
                for (const auto field : split(line, '\t'))
                    if (isDigest(field)) used.emplace(field);
        } catch (const std::exception&) {
            return;
        }
    }
    for (fs::directory_iterator it(versions, ec), end; !ec && it != end; it.increment(ec)) {
        const auto name = os::pathText(it->path().filename());
        // Temporary files of a write in progress start with a dot and are left to their writer.
        // A link is removed itself, never what it names.
        std::error_code removing;
        if (!name.starts_with(".") && !used.contains(name)) fs::remove(it->path(), removing);
    }
}

void ChangeHistory::record(std::string description, std::chrono::system_clock::time_point time,
                           std::span<const std::uint8_t> before, std::span<const std::uint8_t> after) {
    putAside();
    fs::create_directories(folder_ / kVersions);
    if (!fs::exists(folder_ / kPathFile))
        writeFileAtomically(folder_ / kPathFile, escaped(os::pathText(file_)) + "\n", false);
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
    if (position_ > 0) moveTo(position_ - 1);
}

void ChangeHistory::redone() { moveTo(position_ + 1); }

std::optional<std::size_t> ChangeHistory::positionFor(std::span<const std::uint8_t> file) const {
    const HistoryEntry* undo = undoable();
    const HistoryEntry* redo = redoable();
    const bool redoneMaybe = redo && redo->afterSize == file.size();
    const bool undoneMaybe = undo && undo->beforeSize == file.size();
    if (!redoneMaybe && !undoneMaybe) return std::nullopt;
    const auto digest = sha256Hex(file);
    const auto is = [&](const std::string& d, std::uint64_t size) { return size == file.size() && d == digest; };
    if ((undo && is(undo->after, undo->afterSize)) || (redo && is(redo->before, redo->beforeSize))) return std::nullopt;
    if (redoneMaybe && redo->after == digest) return position_ + 1;
    if (undoneMaybe && undo->before == digest) return position_ - 1;
    return std::nullopt;
}

void ChangeHistory::moveTo(std::size_t position) {
    if (position > entries_.size() || position == position_) return;
    position_ = position;
    save();
}

std::optional<std::vector<std::uint8_t>> ChangeHistory::version(const std::string& digest, std::uint64_t size) const {
    const fs::path path = folder_ / kVersions / digest;
    if (damage_ == Damage::Whole || !isDigest(digest) || os::isLink(path)) return std::nullopt;
    try {
        auto bytes = readFileBytes(path);
        if (bytes.size() != size || sha256Hex(bytes) != digest) return std::nullopt;
        return bytes;
    } catch (const std::exception&) {
        return std::nullopt;
    }
}

} // namespace vocabrella
