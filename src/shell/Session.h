#pragma once

#include "cmdfile/Reader.h"
#include "cmdfile/Store.h"
#include "cmdfile/Trace.h"
#include "writer/WriterEnvironment.h"

#include <filesystem>
#include <functional>
#include <optional>

namespace vocabrella {

class Clock;
class Prompter;

// The running program's hold on its home folder: the trace, the store and the reader of the
// one open command file.
class Session {
public:
    // Prepares the home folder, takes the trace (refusing a second instance) and opens the
    // store. Failures are reported through the prompter and end the program (EndProgram).
    Session(const std::filesystem::path& home, Prompter& prompter, Clock& clock);
    // A session beside the program's own, as the command line runs: the backups and the history
    // of changes go into the home folder, which it prepares; the store, the trace and the work
    // files into a work folder of its own, prepared like a home, so that it never takes or
    // empties the store of a window that runs meanwhile. Its trace is kept only while no other
    // run holds it: a second run is never refused.
    Session(const std::filesystem::path& home, const std::filesystem::path& work, Prompter& prompter, Clock& clock);

    // Where what is kept across runs goes: the backups of plain files and the history of changes.
    const std::filesystem::path& home() const { return home_; }
    // Where the store, the trace and the work files are.
    const std::filesystem::path& work() const { return work_; }
    CommandStore& store() { return *store_; }
    CommandFileReader& reader() { return *reader_; }
    Trace& trace() { return trace_; }
    Prompter& prompter() { return prompter_; }
    Clock& clock() { return clock_; }

    // Opens a command file into the store. The file last opened is read again only when it
    // changed; another file empties the store first.
    ReadOutcome open(const std::filesystem::path& file);

    // Everything a writer needs to change the open file.
    WriterEnvironment writerEnvironment() { return {*store_, *reader_, trace_, prompter_, work_}; }

    // Reads the open file again after a writer changed it. When it no longer parses, the copy
    // kept before the change is put back, the trace is added to error.log and the program ends.
    void FileRefresh();
    // Reads the open file again after another program changed it. A version that does not parse
    // is that program's: it is left as it is, and the outcome says what is wrong with it.
    ReadOutcome readChangedFile();
    // The steps after a file that cannot be parsed: the messages, the trace into error.log,
    // the end of the program.
    [[noreturn]] void parseFailure();

    // Replaces a damaged store by an empty one (the damaged one kept aside); the next open or
    // refresh fills it from the command file.
    void replaceDamagedStore();

private:
    std::filesystem::path home_;
    std::filesystem::path work_;
    Prompter& prompter_;
    Clock& clock_;
    Trace trace_;
    std::optional<CommandStore> store_;
    std::optional<CommandFileReader> reader_;

    void prepare(const std::filesystem::path& folder);
    void openStore();
    ReadOutcome openInStore(const std::filesystem::path& path);
    // Runs a reading of the file into the store; a store found damaged on the way is made
    // afresh and the file read into it again.
    ReadOutcome rebuildingOnDamage(const std::filesystem::path& path, const std::function<ReadOutcome()>& read);
};

} // namespace vocabrella
