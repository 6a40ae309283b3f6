#pragma once

#include "cmdfile/Format.h"
#include "cmdfile/RawRecord.h"
#include "writer/WriterEnvironment.h"

#include <cstdint>
#include <fstream>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace vocabrella {

// One command record on its way through a rebuild: the record as it stands in the old file,
// whether the store has it flagged, and the fields an operation replaced (Windows-1252 bytes).
struct RecordEdit {
    explicit RecordEdit(const RawRecord& record) : raw(record) {}
    const RawRecord& raw;
    bool flagged = false;
    std::optional<std::string> group;
    std::optional<std::string> module;
    std::optional<std::string> text;        // the body text of a script, KEYS or plain-text body
    std::optional<std::uint8_t> kindByte;   // kind 1 makes the text a plain-text body
};

class RecordCodec;

// Writes one record with the codec of the target family. Blocks the target lacks are dropped;
// blocks the source lacks are written as zeros (an empty state list as Long 0); everything
// else is copied as it stands, byte for byte. Refusal for an encrypted body that the target
// cannot hold.
void RecordCopier(const RecordEdit& edit, const RecordCodec& target, std::vector<std::uint8_t>& out);

// A record name with a byte below 32: the image is not being read at a record boundary. Tells
// the user, dumps 3000 bytes of the image from the last good record into error.log and ends
// the program.
[[noreturn]] void nameCheckFailed(const WriterEnvironment& env, const std::vector<std::uint8_t>& image,
                                  const RawRecord& bad, const RawRecord* last);

// The logs of a rebuild: Vocabrella.log (conversion report) and duplicate.log, both started
// afresh. Opening them checks that keynames is there: without it no rebuild starts.
class RebuildLogs {
public:
    explicit RebuildLogs(const WriterEnvironment& env); // BeginRebuild; throws Refusal
    std::ofstream& conversion() { return conversion_; }
    std::ofstream& duplicates() { return duplicates_; }
    void close();

private:
    std::ofstream conversion_;
    std::ofstream duplicates_;
};

// What a rebuild operation decides. Hooks act on flagged records only; the engine calls them
// for every record and tells them whether it is flagged.
class RebuildOperation {
public:
    virtual ~RebuildOperation() = default;
    virtual std::string_view OperationMode() const = 0;
    virtual std::string_view traceText() const = 0;
    // The version code of the new file (by default that of the old one).
    virtual std::uint8_t targetVersionCode(std::uint8_t source) const { return source; }
    // Refusals before anything is written (questions too: false stops quietly).
    virtual bool prepare(const WriterEnvironment&) { return true; }
    virtual bool keep(const RecordEdit&) const { return true; }
    virtual void edit(RecordEdit&, RebuildLogs&) {}
    // Delete drops the LISTs that the records it leaves out referred to and no record written
    // refers to; every other LIST stays, used or not.
    virtual bool dropsListsLeftUnused() const { return false; }
    virtual void finish(const WriterEnvironment&) {}
};

struct RebuildResult {
    bool done = false; // false when prepare() stopped it
    std::uint32_t commands = 0;
    std::uint32_t lists = 0;
};

// Rebuilds the open command file record by record in file order, then replaces it as the
// updater does. The store's flags choose the records the operation acts on; records the store
// does not hold (marked skipped in the file) are carried over as they are.
RebuildResult runRebuild(const WriterEnvironment& env, RebuildOperation& operation);

} // namespace vocabrella
