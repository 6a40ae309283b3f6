#pragma once

#include "cmdfile/BodyRender.h"
#include "cmdfile/CommandRecord.h"
#include "cmdfile/Format.h"
#include "cmdfile/KeyNames.h"

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace vocabrella {

class ByteReader;
class Clock;
class CommandStore;
class Prompter;
class Trace;

// What the reader learns of a file before deciding whether to parse it.
struct FileInformation {
    std::uint8_t versionCode = 7;
    std::string versionName = "10.0";
    FileVersionFamily family = FileVersionFamily::V10_13;
    std::uint8_t languageCode = 9;
    std::string languageName = "English";
    std::int64_t modified = 0; // file-time stamp
    std::uint64_t size = 0;
    std::uint32_t commandCount = 0;
    std::uint32_t listCount = 0;
};

// The open command file: its path, its bytes (the loaded image, which the writers work on)
// and what is known of it.
struct LoadedFile {
    std::filesystem::path path;
    // A start on a store that is current reads only the file's header: the bytes are read when
    // first wanted (bytes()), so that opening a large file costs no more than a small one.
    mutable std::vector<std::uint8_t> image;
    mutable bool imageUnread = false;
    FileInformation info;
    // The file's bytes, read now when they were left unread. Throws FormatError when the file
    // is no longer the version the store was made from, and filesystem_error when it cannot be
    // read.
    const std::vector<std::uint8_t>& bytes() const;
    // Memory the writers keep from one change to the next, so that changing a large file does
    // not cost fresh memory each time: where the file is read back before a change, and where
    // the next version is built (the previous image, once replaced).
    std::vector<std::uint8_t> readBack, spare;
};

struct ReadOutcome {
    bool success = true;
    std::string problem; // where and what, when success is false
    bool unread = false; // the file was never read: not there, not a file, or held by another program
};

// Everything the reader works with, owned by the running program.
struct ReaderEnvironment {
    CommandStore& store;
    Trace& trace;
    Prompter& prompter;
    Clock& clock;
    std::filesystem::path homeFolder; // keynames, duplicate.log and error.log live here
};

// Reads command files into the store.
class CommandFileReader {
public:
    explicit CommandFileReader(ReaderEnvironment env) : env_(env), unknownSteps_(env.prompter) {}

    static constexpr int kOpenAttempts = 20; // every 500 ms: ten seconds in all

    // Parses the file into the store unless force is false and the file is unchanged since the
    // last parse. The path must be settled by the caller. A missing file or keynames file is
    // reported and ends the program (EndProgram).
    ReadOutcome ReadCommandFile(bool force, const std::filesystem::path& path);

    // Reads one record at the cursor into the current record, adding its row when store is
    // true and the record is not marked skipped. Returns false when the name fails the check.
    bool ReadCommandRecord(ByteReader& reader, bool store);

    const LoadedFile& file() const { return file_; }
    LoadedFile& file() { return file_; }
    const CurrentRecord& currentRecord() const { return rec_; }
    const KeyNames& keyNames() const { return keys_; }
    RecordContext recordContext() { return {file_.info.family, keys_, unknownSteps_}; }

    // Loads keynames from the home folder; false when it is missing.
    bool loadKeyNames();

private:
    class Parse;
    friend class Parse;

    ReaderEnvironment env_;
    UnknownStepReport unknownSteps_;
    LoadedFile file_;
    KeyNames keys_;
    CurrentRecord rec_;
    Parse* parse_ = nullptr; // the full parse under way, if any
};

} // namespace vocabrella
