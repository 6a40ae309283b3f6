#pragma once

#include <chrono>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace vocabrella {

// One change of a command file as its history keeps it: what it was called, when it was made,
// and the two versions of the file, each named by the SHA-256 digest of its bytes and its size.
struct HistoryEntry {
    std::int64_t time = 0; // seconds since the Unix epoch
    std::string description;
    std::string before, after;
    std::uint64_t beforeSize = 0, afterSize = 0;
};

// How much the history of one file keeps. The newest keepAtLeast changes are always kept; older
// ones only while there are no more than mostEntries in all and the versions kept take no more
// than mostBytes. The oldest change goes first.
struct HistoryLimits {
    std::size_t keepAtLeast = 50;
    std::size_t mostEntries = 500;
    std::uint64_t mostBytes = 64ull << 20;
};

// The changes made to one command file, kept in the home folder so that they can be undone and
// redone after a restart: HOME/history/NAME-XXXXXXXXXXXXXXXX/ (named as the file's backups are)
// holds the list of changes ("changes", a text file replaced atomically at each change) and the
// versions of the file they lead from and to (versions/DIGEST, each version once however many
// changes share it). Entries [0, position) are made; [position, end) were undone and can be
// redone. A damaged list is read as an empty history, with problem() saying what is wrong; the
// next change puts it aside (changes.damaged) and starts afresh.
class ChangeHistory {
public:
    ChangeHistory(const std::filesystem::path& home, const std::filesystem::path& file, HistoryLimits limits = {});

    static std::filesystem::path folderOf(const std::filesystem::path& home, const std::filesystem::path& file);
    // The list of changes, which writers lock (CommandFileLock) while they record.
    static std::filesystem::path listOf(const std::filesystem::path& home, const std::filesystem::path& file);
    const std::filesystem::path& folder() const { return folder_; }

    const std::vector<HistoryEntry>& entries() const { return entries_; }
    std::size_t position() const { return position_; }
    // Empty unless the history could not be read.
    const std::string& problem() const { return problem_; }
    // The change an undo takes back, and the one a redo makes again; null when there is none.
    const HistoryEntry* undoable() const { return position_ > 0 ? &entries_[position_ - 1] : nullptr; }
    const HistoryEntry* redoable() const { return position_ < entries_.size() ? &entries_[position_] : nullptr; }
    // What the versions kept take, each counted once.
    std::uint64_t keptBytes() const;

    // A change was made: the changes undone before it can no longer be redone, it is added, the
    // oldest beyond the limits are dropped, and the history is written.
    void record(std::string description, std::chrono::system_clock::time_point time,
                std::span<const std::uint8_t> before, std::span<const std::uint8_t> after);
    // The newest change was undone, or the next undone one made again: the position moves.
    void undone();
    void redone();

    // The version of the file of that digest and size; nothing when it is missing or its bytes
    // are not that version any more.
    std::optional<std::vector<std::uint8_t>> version(const std::string& digest, std::uint64_t size) const;

private:
    void load();
    void save();
    void keepVersion(std::span<const std::uint8_t> bytes, const std::string& digest);
    void dropBeyondLimits();
    void removeUnusedVersions();

    std::filesystem::path folder_;
    std::filesystem::path file_;
    HistoryLimits limits_;
    std::vector<HistoryEntry> entries_;
    std::size_t position_ = 0;
    std::string problem_;
};

} // namespace vocabrella
