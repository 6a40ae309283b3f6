#pragma once

#include <cstdint>
#include <filesystem>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace vocabrella::ops {

// One of the two files compared, as its header says.
struct ComparedFile {
    std::filesystem::path path;
    std::uint8_t versionCode = 0;
    std::string versionName; // "6.0" ... "10.0"
    std::string language;    // "English" ...
};

enum class EntryKind { Command, List };

// A command (by program, scope and name) or a LIST (by name; its program and scope are "Global
// Commands").
struct ComparedEntry {
    EntryKind kind = EntryKind::Command;
    std::string program, scope, name;
    std::string type; // the store's Type code: "K", "S", "A", ... "L"
};

// One field that differs: before (the first file) and after (the second). Kinds are Type codes;
// items and states are one per line (CR LF between). Bodies and items also have their lines'
// differences in the unified form.
struct FieldChange {
    std::string field; // texts::FieldBody, FieldDescription, FieldGroup, FieldKind, FieldItems, FieldStates
    std::string before, after;
    std::vector<std::string> diff;
};

struct EntryChange {
    ComparedEntry entry; // as the second file has it
    std::vector<FieldChange> fields;
};

// What the two files' differing format versions account for: not a change anyone made, but what
// a conversion from the first file's version to the second's does.
struct ConversionEffects {
    // Commands whose states (views) the second file's version has no place for.
    std::vector<ComparedEntry> statesDropped;
    // Advanced scripts whose SendKeys / SendDragonKeys the conversion rewrote, and nothing else.
    std::vector<ComparedEntry> scriptsRewritten;
    bool empty() const { return statesDropped.empty() && scriptsRewritten.empty(); }
};

// What the second file holds that the first does not, and the other way round: entries in the
// order of their files (added: the second's; removed and changed: the first's).
struct FileComparison {
    ComparedFile first, second;
    std::vector<ComparedEntry> added, removed;
    std::vector<EntryChange> changed;
    ConversionEffects conversion;

    bool versionDiffers() const { return first.versionCode != second.versionCode; }
    bool languageDiffers() const { return first.language != second.language; }
    bool equal() const {
        return !versionDiffers() && !languageDiffers() && added.empty() && removed.empty() && changed.empty() &&
               conversion.empty();
    }
};

// A file that could not be read for the comparison: what() says why, file() which one.
class CompareError : public std::runtime_error {
public:
    CompareError(std::filesystem::path file, const std::string& problem)
        : std::runtime_error(problem), file_(std::move(file)) {}
    const std::filesystem::path& file() const { return file_; }

private:
    std::filesystem::path file_;
};

// Reads two command files of any version, each into a store of its own that lives only for the
// comparison (neither the open file nor the program's store is touched), and tells their
// differences: commands keyed by program, scope and name, LISTs by name, exactly as written (a
// name whose letter case changed is removed and added); of commands in both, the kind, body,
// description, group and states; of LISTs, the items. A key that a file holds twice is paired in
// file order. When the versions differ, what the conversion between them does is told apart.
class CompareFiles {
public:
    // The key names that render KEYS bodies are taken from this folder's keynames.
    explicit CompareFiles(std::filesystem::path keyNamesFolder) : keyNamesFolder_(std::move(keyNamesFolder)) {}

    // Throws CompareError naming the file that cannot be read.
    FileComparison run(const std::filesystem::path& first, const std::filesystem::path& second) const;

private:
    std::filesystem::path keyNamesFolder_;
};

// The words a comparison is told in: what the two files are called, and the heads of the lines
// of added, removed and changed entries.
struct ComparisonWords {
    std::string_view first, second, added, removed, changed, same;
};
// Two files compared (the command line's diff, the window's Compare with...).
ComparisonWords diffWords();
// A backup (the second file) against the current file (the first), before a restore.
ComparisonWords restoreWords();

// "program / scope / name", or the name alone for a LIST.
std::string entryKey(const ComparedEntry& entry);
// The comparison as lines of text (CR LF between them): the version and language, then each
// added, removed and changed entry (a changed one with its fields and its lines' differences),
// then what the conversion accounts for; or words.same when there is nothing.
std::string comparisonText(const FileComparison& comparison, const ComparisonWords& words);

// What restoring the backup over the current file would change, as text for the restore's
// question; a file that cannot be read is said as such.
std::string restorePreview(const std::filesystem::path& backup, const std::filesystem::path& current,
                           const std::filesystem::path& keyNamesFolder);

} // namespace vocabrella::ops
