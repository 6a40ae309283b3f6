#include "cmdfile/Reader.h"

#include "cmdfile/AtomicFile.h"
#include "cmdfile/Bytes.h"
#include "cmdfile/Clock.h"
#include "cmdfile/Codec.h"
#include "cmdfile/DuplicateLog.h"
#include "cmdfile/Errors.h"
#include "cmdfile/KeyIndex.h"
#include "cmdfile/Prompter.h"
#include "cmdfile/Store.h"
#include "cmdfile/TextCase.h"
#include "cmdfile/Texts.h"
#include "cmdfile/TimeText.h"
#include "cmdfile/Trace.h"
#include "cmdfile/System.h"

#include <algorithm>
#include <array>
#include <fstream>
#include <unordered_map>

namespace vocabrella {
namespace {

// False when it cannot be read now (it may be opened by another program for a moment); a path
// that is no regular file is refused (Refusal), as no waiting changes that.
bool readWholeFile(const std::filesystem::path& path, std::vector<std::uint8_t>& out) {
    try {
        readFileInto(path, out);
        return true;
    } catch (const std::filesystem::filesystem_error&) {
        return false;
    }
}

// The first bytes of the file (fewer when it is shorter); false when it cannot be read now.
bool readFileStart(const std::filesystem::path& path, std::size_t count, std::vector<std::uint8_t>& out) {
    try {
        readFileStartInto(path, count, out);
        return true;
    } catch (const std::filesystem::filesystem_error&) {
        return false;
    }
}

// Back to the file's own code page for the diagnostics written beside its bytes.
std::string asFileText(std::string_view utf8) {
    try {
        return codec::utf8ToCp1252(utf8);
    } catch (const EncodingError&) {
        return std::string(utf8);
    }
}

} // namespace

// The state of one full parse: counters, the duplicate and state lookups, the logs.
class CommandFileReader::Parse {
public:
    struct KnownRow {
        std::int64_t id;
        std::int32_t offset;
        std::optional<std::string> filename; // none: the file being read
        std::string type;
    };

    // expectedRows sizes the duplicate check, so that it is not rebuilt as it grows.
    Parse(CommandFileReader& reader, std::size_t expectedRows)
        : r_(reader), env_(reader.env_), known_(expectedRows) {
        duplicateLogPath_ = env_.homeFolder / "duplicate.log";
        duplicateLog_.open(duplicateLogPath_, std::ios::binary | std::ios::trunc);
        // Rows not read from the file (offset 0) survive the parse and take part in the check.
        for (const auto& row : env_.store.rowsNotFromFile()) {
            makeCommandKey(key_, row.menu, row.state, row.name);
            if (!known_.find(key_)) known_.add(key_, KnownRow{row.ID, row.offset, row.filename, row.Type});
        }
        filename_ = os::pathText(r_.file_.path.filename());
    }

    // Rows are stored in batches: reading a run of records and then inserting their rows
    // keeps each side's working memory in the processor's caches, where alternating record by
    // record would have each push out the other's. Everything visible happens in file order
    // all the same: the duplicate check, duplicate.log and the IDs.
    static constexpr std::size_t kBatchRows = 64;

    void storeRow(CurrentRecord& rec) {
        makeCommandKey(key_, rec.program, rec.state, rec.name);
        const auto found = known_.find(key_);
        // The entry that gets this row's ID once stored: a new one, or that of a row not from
        // the file, which this row replaces.
        std::size_t entry = kNoEntry;
        if (found) {
            const KnownRow& known = known_[*found];
            writeDuplicateLine(known, rec);
            if (known.offset == 0) {
                env_.store.deleteUser(known.id);
                entry = *found;
            }
        }

        UserRow& row = batch_[batched_];
        row.filename = filename_;
        row.menu = rec.program;
        if (rec.program != names::GlobalCommands) toUpperCase(row.menu);
        row.state = rec.state;
        row.name = rec.name;
        row.Type = rec.typeCode;
        row.script.swap(rec.body); // the record's storage goes on to the next record
        rec.body.clear();
        row.scope = rec.scopeCode;
        row.owner = rec.group;
        row.lists = static_cast<std::int32_t>(rec.listCount);
        row.offset = static_cast<std::int32_t>(rec.offset);
        row.offsetbody = static_cast<std::int32_t>(rec.bodyPosition);
        row.description = rec.description;
        row.states = rec.stateIds;
        row.graphicsize = static_cast<std::int32_t>(rec.graphicLength);
        row.Global = names::isGlobalProgram(row.menu) && names::isGlobalProgram(row.state);
        row.sleeping = row.state == names::Asleep;
        row.globalsort = names::isGlobalProgram(row.menu) ? "G" : "N";
        row.listsort = rec.typeCode == "L" ? "L" : "C";
        row.pathcode = "U";
        row.dupe = found.has_value();
        row.PDescript = static_cast<std::int32_t>(rec.programDescriptionLength);
        row.CompanyName = static_cast<std::int32_t>(rec.companyNameLength);
        row.ClassName = static_cast<std::int32_t>(rec.windowClassLength);
        row.encrypted = rec.encrypted;

        const KnownRow stored{0, row.offset, std::nullopt, row.Type};
        if (!found) entry = known_.add(key_, stored);
        else if (entry != kNoEntry) known_[entry] = stored;
        batchEntries_[batched_] = entry;
        if (++batched_ == kBatchRows) flush();
    }

    // Stores the rows read so far.
    void flush() {
        if (batched_ == 0) return;
        const std::int64_t first = env_.store.insertUsers(std::span<const UserRow>(batch_.data(), batched_));
        for (std::size_t i = 0; i < batched_; ++i)
            if (batchEntries_[i] != kNoEntry) known_[batchEntries_[i]].id = first + static_cast<std::int64_t>(i);
        if (!firstRowId) firstRowId = first;
        batched_ = 0;
    }

    // The IDs of the states named, each followed by a comma, written into ids.
    void stateIds(std::string& ids, std::string_view program, const std::vector<std::string>& names) {
        ids.clear();
        for (const auto& name : names) {
            stateKey_.clear();
            appendFolded(stateKey_, program);
            stateKey_.push_back('\x1f');
            appendFolded(stateKey_, name);
            auto it = states_.find(stateKey_);
            if (it == states_.end()) it = states_.emplace(stateKey_, env_.store.addState(program, name)).first;
            ids += std::to_string(it->second);
            ids.push_back(',');
        }
    }

    // error.log: the bytes from the last stored row on, then what went wrong and where.
    void writeErrorLog(std::string_view badName, std::uint32_t badPosition) {
        flush(); // the rows before the damage are stored, and the log starts at the last of them
        std::ofstream log(env_.homeFolder / "error.log", std::ios::binary | std::ios::trunc);
        const auto last = env_.store.lastUser();
        const auto& image = r_.file_.image;
        const std::size_t start = std::min<std::size_t>(
            last && last->offset > 0 ? static_cast<std::size_t>(last->offset - 1) : badPosition - 1, image.size());
        const std::size_t length = std::min<std::size_t>(3000, image.size() - start);
        log.write(reinterpret_cast<const char*>(image.data() + start), static_cast<std::streamsize>(length));

        log << texts::ErrorStars1 << texts::ErrorBadName << badName << texts::ErrorStars2;
        const auto tagged = [&log](const std::string& utf8) {
            std::string text = asFileText(utf8);
            if (text.size() > 0xFFFF) text.resize(0xFFFF);
            const char tag[4] = {8, 0, static_cast<char>(text.size() & 0xFF), static_cast<char>(text.size() >> 8)};
            log.write(tag, 4);
            log << text;
        };
        tagged(std::string(texts::ErrorPrevious) + (last ? last->name + last->Type + last->script : std::string()));
        tagged(std::string(texts::ErrorOffset) + std::to_string(last ? last->offset : 0));
        tagged(std::string(texts::ErrorWhich) + std::to_string(commandNumber) + "/" + std::to_string(declared) +
               " " + std::to_string(listNumber) + "/" + std::to_string(listCount));
        const auto parmtime = env_.store.parameters().mycmdstime;
        tagged(std::string(texts::ErrorParmtime) + (parmtime ? displayStamp(*parmtime) : std::string()) +
               std::string(texts::ErrorFiletime) + displayStamp(r_.file_.info.modified));
    }

    std::uint32_t declared = 0;
    std::uint32_t commandNumber = 0;
    std::uint32_t skipped = 0;
    std::uint32_t listCount = 0;
    std::uint32_t listNumber = 0;
    // Written with mycmdstime at the end: touching the parameters page early and again late
    // makes SQLite rewrite every log frame in between at commit.
    std::optional<std::int64_t> firstRowId;
    std::optional<std::int32_t> offsetLists;

private:
    void writeDuplicateLine(const KnownRow& found, const CurrentRecord& rec) {
        if (!duplicateHeaderWritten_) {
            duplicateLog_ << duplicateLogHeading();
            duplicateHeaderWritten_ = true;
        }
        duplicateLog_ << duplicateLogLine(found.filename.value_or(filename_), found.type, rec.name, rec.program,
                                          rec.state);
    }

    CommandFileReader& r_;
    ReaderEnvironment env_;
    std::filesystem::path duplicateLogPath_;
    std::ofstream duplicateLog_;
    bool duplicateHeaderWritten_ = false;
    KeyIndex<KnownRow> known_;
    std::unordered_map<std::string, std::int64_t> states_;
    std::string filename_;
    std::string key_, stateKey_;
    std::array<UserRow, kBatchRows> batch_;
    static constexpr std::size_t kNoEntry = static_cast<std::size_t>(-1);
    std::array<std::size_t, kBatchRows> batchEntries_{};
    std::size_t batched_ = 0;
};

const std::vector<std::uint8_t>& LoadedFile::bytes() const {
    if (!imageUnread) return image;
    std::vector<std::uint8_t> read;
    readFileInto(path, read);
    const auto stamp = writeTimeStamp(path);
    // Positions in the store are those of the version it was made from.
    if (!stamp || *stamp != info.modified || read.size() != info.size)
        throw FormatError(0, "the file as it was when opened, not a version changed since");
    image = std::move(read);
    imageUnread = false;
    return image;
}

bool CommandFileReader::loadKeyNames() {
    auto loaded = KeyNames::load(env_.homeFolder / "keynames");
    if (!loaded) return false;
    keys_ = std::move(*loaded);
    return true;
}

bool CommandFileReader::ReadCommandRecord(ByteReader& reader, bool store) {
    if (!parse_) unknownSteps_.startAgain(); // a record read on its own is a reading of its own
    if (!readCommandRecord(reader, recordContext(), rec_)) return false;
    if (store && !rec_.skipped && parse_) {
        parse_->stateIds(rec_.stateIds, rec_.program, rec_.stateNames);
        parse_->storeRow(rec_);
        rec_.clear();
    } else if (parse_ && rec_.skipped) {
        ++parse_->skipped;
    }
    return true;
}

ReadOutcome CommandFileReader::ReadCommandFile(bool force, const std::filesystem::path& path) {
    auto& store = env_.store;
    auto& trace = env_.trace;
    auto& prompter = env_.prompter;

    file_.path = path;
    std::error_code ec;
    if (!std::filesystem::exists(path, ec)) {
        prompter.message(texts::CommandFileMissing, os::pathText(path));
        throw EndProgram();
    }
    // A file unchanged since the last parse is not read again: its header is enough, and its
    // bytes are read when first wanted (LoadedFile::bytes).
    const auto lastParse = store.parameters().mycmdstime;
    const auto unchanged = [&] {
        std::error_code e;
        const auto stamp = writeTimeStamp(path);
        return !force && stamp && lastParse && *lastParse == *stamp && std::filesystem::is_regular_file(path, e);
    };
    bool current = unchanged();
    const auto readFile = [&](bool headerOnly) -> std::optional<ReadOutcome> {
        try {
            for (int attempt = 0; !(headerOnly ? readFileStart(path, format::kHeaderSize, file_.image)
                                               : readWholeFile(path, file_.image));
                 ++attempt) {
                if (attempt + 1 >= kOpenAttempts)
                    return ReadOutcome{false, os::pathText(path) + ": the file cannot be opened for reading", true};
                env_.clock.sleep(std::chrono::milliseconds(500));
                const std::string number = std::to_string(attempt + 1);
                prompter.counts(std::string(texts::Retrying) + number);
                trace.Tracy(texts::Retrying, number); // the count line and the trace say the same
            }
        } catch (const Refusal& notAFile) {
            return ReadOutcome{false, notAFile.what(), true};
        }
        file_.imageUnread = headerOnly;
        return std::nullopt;
    };
    if (auto failed = readFile(current)) return *failed;

    FileInformation& info = file_.info;
    const auto stampNow = [&] {
        return writeTimeStamp(path).value_or(fileTimeStamp(std::filesystem::file_time_type::min()));
    };
    info.modified = stampNow();
    if (current && (!lastParse || *lastParse != info.modified)) {
        // Changed while its header was read: read and parse it after all.
        current = false;
        if (auto failed = readFile(false)) return *failed;
        info.modified = stampNow();
    }
    info.size = current ? static_cast<std::uint64_t>(std::filesystem::file_size(path, ec)) : file_.image.size();
    FileHeader header;
    try {
        header = readHeader(file_.image);
    } catch (const FormatError& e) {
        return {false, os::pathText(path) + ": " + e.what()};
    }
    info.versionCode = header.versionCode;
    info.versionName = versionNameForCode(header.versionCode);
    info.family = header.family;
    info.languageCode = header.languageCode;
    info.languageName = languageName(header.languageCode);

    if (current) {
        info.commandCount = static_cast<std::uint32_t>(store.countCommands());
        info.listCount = static_cast<std::uint32_t>(store.countLists());
        prompter.counts(std::to_string(info.commandCount) + std::string(texts::CountSeparator) +
                        std::to_string(info.listCount));
        return {};
    }

    // Full parse, in one transaction.
    trace.Tracy(texts::trace::Before);
    prompter.status(std::string(texts::Processing) + os::pathText(path.filename()));
    CommandStore::Transaction transaction(store);
    CommandStore::Rebuild rebuild(store);
    store.deleteParsedUsers();
    store.deleteAllStates();
    // Commands, and LISTs at about one for every ten.
    Parse parse(*this, header.declaredCommands + header.declaredCommands / 8);
    parse_ = &parse;
    unknownSteps_.startAgain();
    struct Detach {
        CommandFileReader* r;
        ~Detach() { r->parse_ = nullptr; }
    } detach{this};

    trace.Tracy(texts::trace::BeforeKeynames, os::pathText(path));
    if (!loadKeyNames()) {
        prompter.message(texts::KeynamesMissing, texts::KeynamesMissingTitle);
        throw EndProgram();
    }
    trace.Tracy(texts::trace::Real);

    ReadOutcome outcome;
    parse.declared = header.declaredCommands;
    info.commandCount = parse.declared;
    info.listCount = 0;
    ByteReader reader(file_.image, format::kHeaderSize);
    const auto badName = [&](std::uint32_t position) {
        parse.writeErrorLog(rec_.name, position);
        outcome = {false, os::pathText(path) + ": at byte " + std::to_string(position) +
                              ": expected a name without control characters"};
    };
    try {
        for (parse.commandNumber = 1; parse.commandNumber <= parse.declared; ++parse.commandNumber) {
            if (!ReadCommandRecord(reader, true)) {
                badName(rec_.offset);
                break;
            }
        }
        if (outcome.success) {
            trace.Tracy(texts::trace::BeforeLists);
            // The LIST settings carry over from one LIST row to the next.
            rec_.clear();
            rec_.program = names::GlobalCommands;
            rec_.state = names::GlobalCommands;
            rec_.typeCode = "L";
            rec_.scopeCode = "G";
            rec_.group = names::ListGroup;
            rec_.listCount = 1;
            parse.offsetLists = static_cast<std::int32_t>(reader.position());
            parse.listCount = reader.readLong("the LIST count") & 0xFFFF;
            info.listCount = parse.listCount;
            prompter.counts(std::to_string(parse.declared - parse.skipped) + std::string(texts::CountSeparator) +
                            std::to_string(parse.listCount));
            for (parse.listNumber = 1; parse.listNumber <= parse.listCount; ++parse.listNumber) {
                if (!readListRecord(reader, rec_)) {
                    badName(rec_.offset);
                    break;
                }
                parse.storeRow(rec_);
            }
        }
    } catch (const FormatError& e) {
        parse.writeErrorLog(std::string("(damaged file: ") + e.what() + ")", static_cast<std::uint32_t>(e.position()));
        outcome = {false, os::pathText(path) + ": " + e.what()};
    }

    parse.flush();
    if (parse.firstRowId) store.setLastdvcID(static_cast<std::int32_t>(*parse.firstRowId));
    if (parse.offsetLists) store.setOffsetLists(*parse.offsetLists);
    // A failed parse must not be taken for an up-to-date store at the next start.
    store.setMycmdstime(outcome.success ? std::optional<std::int64_t>(info.modified) : std::nullopt);
    prompter.status("");
    rebuild.finish();
    trace.Tracy(texts::trace::Done);
    transaction.commit();
    return outcome;
}

} // namespace vocabrella
