#pragma once

#include "ops/ScriptChecker.h"
#include "writer/WriterEnvironment.h"

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace vocabrella {
class Application;
class Clock;
class CommandStore;
class Prompter;
class Session;
} // namespace vocabrella

namespace vocabrella::ops {

// The open command file as the changes see it: its session and, when Dragon is installed, the
// running program around it, which backs the speech user's file up and has Dragon reload it.
// A file opened without Dragon is backed up in the home folder (a copy a day, per file), re-read
// after a change, and involves nobody else.
class Workspace {
public:
    Workspace(Session& session, Clock& clock);
    Workspace(Application& program, Clock& clock);

    Session& session() { return session_; }
    CommandStore& store();
    Prompter& prompter();
    Clock& clock() { return clock_; }
    WriterEnvironment env();
    const std::filesystem::path& commandFile();
    Application* program() { return program_; }
    // Whether Dragon stands behind the open file (its script check, its reload).
    bool dragonAvailable();

    // Whether the open file is the current speech user's own file, which Dragon holds loaded.
    bool productionOpen();
    // Whether the file on disk is another version than the one the store was read from.
    bool changedOnDisk();
    // Reads the file into the store again.
    void FileRefresh();
    // The day's backup: with Dragon, of a speech user's own file (and its rollback list);
    // without, of whatever file is open.
    void backup();
    // Where the last backup of a change went (the day's copy, taken now or earlier today); none
    // when no change came to its backup, or the file is not one that is backed up.
    const std::optional<std::filesystem::path>& lastBackup() const { return lastBackup_; }
    void keptBackup(std::filesystem::path copy) { lastBackup_ = std::move(copy); }
    // After a change: the store reads the file again; Dragon takes the user's own file up.
    void SaveAndReload(bool newListWritten = false);
    // Dragon's check of a legacy script: 0 when it passes (or when Dragon is not there to ask),
    // else the faulty line with what is wrong in errorText.
    int checkScript(std::string_view script, std::string& errorText);
    // The faults of a body of this type code: Dragon's check has the word on a legacy script
    // where Dragon is there (it tells the first fault only); this program's own check takes a
    // legacy script without Dragon and every advanced script. Other bodies have none.
    std::vector<ScriptFault> scriptFaults(std::string_view typeCode, std::string_view body);
    // The recently modified list of the file, when settings are kept.
    void MRUUpdate(std::string_view program, std::string_view scope, std::string_view name, bool isList,
                   bool lookForExisting);

private:
    Session& session_;
    Application* program_ = nullptr;
    Clock& clock_;
    std::optional<std::filesystem::path> lastBackup_;
};

} // namespace vocabrella::ops
