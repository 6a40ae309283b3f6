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
// redone.
// What cannot be read is told by problem() and put aside by the next write (which its caller
// makes under the list's lock), never deleted: lines of the list that cannot be read are added
// to changes.damaged and the other entries kept; a history that cannot be read at all (or holds
// a link the program did not make, or is far beyond any bound) goes aside whole, as
// NAME-XXXXXXXXXXXXXXXX.damaged-N, and a new one is started. No link under the history is
// followed.
class ChangeHistory {
public:
    ChangeHistory(const std::filesystem::path& home, const std::filesystem::path& file, HistoryLimits limits = {});

    static std::filesystem::path folderOf(const std::filesystem::path& home, const std::filesystem::path& file);
    // The list of changes, which writers lock (CommandFileLock) while they record.
    static std::filesystem::path listOf(const std::filesystem::path& home, const std::filesystem::path& file);
    // Before anything is made under the history (its folder, its lock): a link found in place of
    // HOME/history or of the file's folder goes aside itself, unfollowed. What was put aside, told
    // as the history's problem; empty when nothing was.
    static std::string setAsideLinkedFolders(const std::filesystem::path& home, const std::filesystem::path& file);
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
    // A step that wrote the file but was stopped before the history took it in leaves the file
    // exactly as the next redo makes it, or as the newest undo gives it back, while it is not
    // what the position expects: the position that matches such a file, or nothing. moveTo
    // sets it and writes the history (under the list's lock, as every writer of it).
    std::optional<std::size_t> positionFor(std::span<const std::uint8_t> file) const;
    void moveTo(std::size_t position);

    // The version of the file of that digest and size; nothing when it is missing or its bytes
    // are not that version any more.
    std::optional<std::vector<std::uint8_t>> version(const std::string& digest, std::uint64_t size) const;

private:
    enum class Damage { None, Lines, Whole };
    void load();
    void loadList();
    void damagedWhole(const std::filesystem::path& where, std::string why);
    // Puts aside what load found damaged, before anything is written.
    void putAside();
    void save();
    void keepVersion(std::span<const std::uint8_t> bytes, const std::string& digest);
    void dropBeyondLimits();
    void removeUnusedVersions();

    std::filesystem::path home_;
    std::filesystem::path folder_;
    std::filesystem::path file_;
    HistoryLimits limits_;
    std::vector<HistoryEntry> entries_;
    std::size_t position_ = 0;
    std::string problem_;
    Damage damage_ = Damage::None;
    std::filesystem::path aside_; // with Damage::Whole: what goes aside, the link itself or the folder
    std::string badLines_;        // with Damage::Lines: the lines that go to changes.damaged
};

} // namespace vocabrella
