#pragma once

#include "writer/Texts.h"
#include "writer/WriterEnvironment.h"

#include <cstdint>
#include <filesystem>
#include <functional>
#include <optional>
#include <span>
#include <vector>
#include <string_view>

namespace vocabrella {

class Clock;

// The target as typed, made absolute, with ".dat" appended when its name does not end so (in
// any letter case). When datAppended is true the caller says "Appending .dat to your filename"
// (OK / Cancel) and goes on only after OK.
struct ExportPath {
    std::filesystem::path path;
    bool datAppended = false;
};
ExportPath normaliseExportPath(const std::filesystem::path& typed);

// What to do when the target exists: ask ("Choose action below"), or what the user chose already.
enum class ExistingTarget { Ask, Overwrite, Append };

enum class ExportOutcome { Done, Cancelled, Refused };

// What goes with the replacement of a target that exists, its writer lock held: a copy of it
// before (the day's backup), and the record of what it was and what it became (its history).
struct TargetKeeping {
    std::function<void()> backup;
    std::function<void(std::span<const std::uint8_t> before, std::span<const std::uint8_t> after)> record;
};

struct ExportResult {
    ExportOutcome outcome = ExportOutcome::Refused;
    bool appended = false;        // the commands went behind those the target had
    std::uint32_t exported = 0;   // commands written from the open file
    std::uint32_t replaced = 0;   // of those, commands the target had already (answered yes)
    std::uint32_t skipped = 0;    // flagged commands left out: the target has them (answered no)
    std::uint32_t listsAdded = 0; // LISTs carried along from the open file
    std::uint32_t commands = 0;   // command count of the target as written
    std::uint32_t lists = 0;      // LIST count of the target as written
};

// Writes the flagged commands of the open command file, with every LIST they use, into another
// command file: a new one, or an existing one of the same version and language whose commands
// are kept (those that the user lets the exported ones replace are dropped). The new target is
// built in memory and written in one atomic step, so a refusal, a cancel or a failure leaves
// the target exactly as it was (or absent). The target is a command file like the open one:
// it is written under its writer lock and only while it is still the version that was read
// (or still absent); a link to it is followed. A target that would hold more than 65535
// commands or LISTs is refused. The export store export.mdb in the home folder
// then mirrors the target: its commands and LISTs in file order, with their positions.
//
// Every refusal has been told to the user when run() returns Refused; file and store failures
// are thrown. A name with a control character in either file ends the program (EndProgram)
// after the name-check message and the error.log dump of every rebuild.
class ExportToCommandFile {
public:
    // clock: what the wait for the target's writer lock is measured with (the system's when none).
    ExportToCommandFile(const WriterEnvironment& env, std::filesystem::path target,
                        ExistingTarget whenExists = ExistingTarget::Ask, Clock* clock = nullptr);

    static constexpr std::string_view OperationMode() { return texts::ExportMode; }

    // A target that exists is backed up and its change recorded through these.
    void keeping(TargetKeeping keeping) { keeping_ = std::move(keeping); }

    ExportResult run();

private:
    const WriterEnvironment& env_;
    std::filesystem::path target_;
    ExistingTarget whenExists_;
    Clock* clock_;
    std::optional<TargetKeeping> keeping_;
};

} // namespace vocabrella
