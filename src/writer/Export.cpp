#include "writer/Export.h"

#include "cmdfile/TextCase.h"

#include "cmdfile/AtomicFile.h"
#include "cmdfile/Bytes.h"
#include "cmdfile/Clock.h"
#include "cmdfile/FileLock.h"
#include "cmdfile/Texts.h"
#include "cmdfile/CommandRecord.h"
#include "cmdfile/DuplicateLog.h"
#include "cmdfile/Errors.h"
#include "cmdfile/Prompter.h"
#include "cmdfile/RawRecord.h"
#include "cmdfile/RecordCodec.h"
#include "cmdfile/Reader.h"
#include "cmdfile/Store.h"
#include "cmdfile/Trace.h"
#include "writer/Rebuild.h"
#include "cmdfile/System.h"

#include <algorithm>
#include <optional>
#include <unordered_map>
#include <unordered_set>

namespace vocabrella {
namespace {

namespace fs = std::filesystem;
using Bytes = std::vector<std::uint8_t>;

constexpr std::size_t kMostRecords = 0xFFFF; // of commands, and of LISTs

// Program, scope and name compared without letter case, as the store's index compares them.
std::string rowKey(const UserRow& row) { return commandKey(row.menu, row.state, row.name); }

void putLong(Bytes& out, std::size_t index, std::uint32_t value) {
    for (int b = 0; b < 4; ++b) out[index + static_cast<std::size_t>(b)] = static_cast<std::uint8_t>(value >> (8 * b));
}

void append(Bytes& out, std::span<const std::uint8_t> bytes) { out.insert(out.end(), bytes.begin(), bytes.end()); }

// A row of the export store, with what its states column is resolved from.
struct MirrorRow {
    UserRow row;
    std::string program; // as read, before upper-casing
    std::vector<std::string> stateNames;
};

MirrorRow commandRow(CurrentRecord& rec) {
    MirrorRow m;
    UserRow& r = m.row;
    r.filename = texts::ExportFileName;
    r.menu = rec.program == names::GlobalCommands ? rec.program : upperCase(rec.program);
    r.state = rec.state;
    r.name = rec.name;
    r.Type = rec.typeCode;
    r.script = std::move(rec.body);
    r.scope = rec.scopeCode;
    r.owner = rec.group;
    r.lists = static_cast<std::int32_t>(rec.listCount);
    r.description = rec.description;
    r.graphicsize = static_cast<std::int32_t>(rec.graphicLength);
    r.Global = names::isGlobalProgram(r.menu) && names::isGlobalProgram(r.state);
    r.sleeping = r.state == names::Asleep;
    r.globalsort = names::isGlobalProgram(r.menu) ? "G" : "N";
    r.listsort = "C";
    r.pathcode = "U";
    r.PDescript = static_cast<std::int32_t>(rec.programDescriptionLength);
    r.CompanyName = static_cast<std::int32_t>(rec.companyNameLength);
    r.ClassName = static_cast<std::int32_t>(rec.windowClassLength);
    r.encrypted = rec.encrypted;
    m.program = rec.program;
    m.stateNames = std::move(rec.stateNames);
    return m;
}

MirrorRow listRow(CurrentRecord& rec) {
    MirrorRow m;
    UserRow& r = m.row;
    r.filename = texts::ExportFileName;
    r.menu = names::GlobalCommands;
    r.state = names::GlobalCommands;
    r.name = rec.name;
    r.Type = "L";
    r.script = std::move(rec.body);
    r.scope = "G";
    r.owner = names::ListGroup;
    r.lists = 1;
    r.Global = true;
    r.globalsort = "G";
    r.listsort = "L";
    r.pathcode = "U";
    return m;
}

bool sameFile(const fs::path& a, const fs::path& b) {
    const auto normal = [](const fs::path& p) { return foldCase(os::pathText(fs::absolute(p).lexically_normal())); };
    if (normal(a) == normal(b)) return true;
    std::error_code ec;
    return fs::equivalent(a, b, ec); // another path (a link) to the same file
}

// The file a link names (links to links too); any other path as it is.
fs::path followed(const fs::path& path) {
    std::error_code ec;
    if (!fs::is_symlink(path, ec)) return path;
    const auto resolved = fs::weakly_canonical(path, ec);
    return ec ? path : resolved;
}

// One run of the export, from the checks to the written target.
class Export {
public:
    // A link is followed: the file it names is the one appended to or replaced.
    Export(const WriterEnvironment& env, const fs::path& target, ExistingTarget whenExists, Clock* clock,
           const TargetKeeping* keeping)
        : env_(env), target_(followed(fs::absolute(target).lexically_normal())), whenExists_(whenExists),
          clock_(clock ? *clock : systemClock_), keeping_(keeping) {}

    ExportResult run() {
        ExportResult result;
        try {
            result.outcome = runChecked(result);
        } catch (const Refusal& r) {
            env_.prompter.message(r.what(), r.title());
            result = {};
        }
        env_.prompter.status("");
        return result;
    }

private:
    // One command record of the new target, in file order.
    struct Command {
        Bytes bytes;
        std::uint32_t bodyDelta = 0;   // body position less record position
        std::string key;               // empty for records marked skipped
        std::optional<MirrorRow> mirror; // none for a skipped record or a second copy
        bool fromTarget = false;
    };
    struct List {
        Bytes bytes;
        std::optional<MirrorRow> mirror;
    };
    // What the export store holds under a program, scope and name.
    struct Known {
        std::string type;
        bool fromTarget;
    };
    enum class Answer { Yes, No, YesToAll, NoToAll, Cancel };

    ExportOutcome runChecked(ExportResult& result) {
        checkTarget();
        rememberFolder();
        bool append = false;
        seen_ = FileVersion::of(target_);
        if (seen_.present) {
            ExistingTarget action = whenExists_;
            if (action == ExistingTarget::Ask) {
                const int chosen = env_.prompter.exportChoice(
                    {Prompter::ExportQuestion::Kind::FileExists, os::pathText(target_), {}, {}},
                    std::string(texts::ExportFileExists) + "\r\n" + os::pathText(target_), texts::ChooseActionTitle,
                    {std::string(texts::ChooseOverwrite), std::string(texts::ChooseAppend), std::string(texts::ChooseCancel)});
                if (chosen != 0 && chosen != 1) return ExportOutcome::Cancelled;
                action = chosen == 1 ? ExistingTarget::Append : ExistingTarget::Overwrite;
            }
            append = action == ExistingTarget::Append;
        }
        result.appended = append;

        readOpenFile();
        if (append) readTarget();
        RebuildLogs logs(env_);
        env_.prompter.status(texts::Exporting);
        mirrorTarget(append, logs);
        if (!stageFlagged(logs, result)) {
            logs.close();
            return ExportOutcome::Cancelled;
        }
        carryLists(result);

        Bytes built = build(append, logs, result);
        if (result.replaced > 0) built = ExportDeleteReplaced(built, logs);
        logs.close();
        // Readers take the low 16 bits of both counts: more would leave a file that reads wrong.
        if (commands_.size() > kMostRecords || lists_.size() > kMostRecords)
            throw Refusal(std::string(texts::ExportTooManyRecords), os::pathText(target_));
        writeTargetAndStore(built, append);
        result.commands = static_cast<std::uint32_t>(commands_.size());
        result.lists = static_cast<std::uint32_t>(lists_.size());
        return ExportOutcome::Done;
    }

    void checkTarget() {
        if (sameFile(target_, env_.commandFile())) throw Refusal(std::string(texts::ExportToSelf), os::pathText(target_));
        const fs::path folder = target_.parent_path();
        std::error_code ec;
        if (folder.empty() || !fs::is_directory(folder, ec))
            throw Refusal(std::string(texts::FolderDoesNotExist), os::pathText(folder));
    }

    void rememberFolder() {
        auto p = env_.store.parameters();
        const std::string folder = os::pathText(target_.parent_path());
        if (p.exportPath == folder) return;
        p.exportPath = folder;
        env_.store.setParameters(p);
    }

    void readOpenFile() {
        open_ = readFileBytes(env_.commandFile());
        try {
            openHeader_ = readHeader(open_);
        } catch (const FormatError& e) {
            env_.trace.Tracy(texts::NotInFile, e.what());
            throw Refusal(std::string(texts::NotInFile));
        }
    }

    // Appending needs a command file of the open file's version and language.
    void readTarget() {
        targetImage_ = readFileBytes(target_);
        const auto& t = targetImage_;
        const bool isCommandFile =
            t.size() >= format::kHeaderSize && std::equal(format::kMagic.begin(), format::kMagic.end(), t.begin());
        if (!isCommandFile) throw Refusal(std::string(texts::ExportTargetUnreadable), os::pathText(target_));
        if (t[format::kVersionOffset] != open_[format::kVersionOffset])
            throw Refusal(std::string(texts::AppendDifferentVersion), os::pathText(target_));
        if (t[format::kLanguageOffset] != open_[format::kLanguageOffset])
            throw Refusal(std::string(texts::AppendDifferentLanguage), os::pathText(target_));
    }

    RecordContext context() { return {openHeader_.family, env_.reader.keyNames(), quietSteps_}; }
    // Appending needs the same version, so one codec reads both files and writes the new one.
    const RecordCodec& codec() const { return RecordCodec::forFamily(openHeader_.family); }

    // The target's commands and LISTs, as they stand, each with its export-store row.
    void mirrorTarget(bool appending, RebuildLogs& logs) {
        std::uint32_t declared = 0;
        std::size_t listSection = format::kHeaderSize;
        std::uint32_t listCount = 0;
        if (appending) {
            try {
                const Bytes& t = targetImage_;
                declared = readHeader(t).declaredCommands;
                ByteReader r(t, format::kHeaderSize);
                std::optional<RawRecord> lastAdded;
                for (std::uint32_t i = 0; i < declared; ++i) {
                    const std::size_t start = r.cursor();
                    RawRecord raw = codec().scan(r);
                    if (!nameIsAcceptable(raw.name.text)) nameCheckFailed(env_, t, raw, lastAdded ? &*lastAdded : nullptr);
                    Command c;
                    c.bytes.assign(t.begin() + static_cast<long>(start), t.begin() + static_cast<long>(raw.end));
                    c.bodyDelta = raw.bodyPosition - raw.offset;
                    c.fromTarget = true;
                    if (!raw.skipped()) {
                        ByteReader d(t, start);
                        CurrentRecord rec;
                        readCommandRecord(d, context(), rec);
                        MirrorRow m = commandRow(rec);
                        c.key = rowKey(m.row);
                        if (const auto it = commandsByKey_.find(c.key); it != commandsByKey_.end()) {
                            duplicate(logs, it->second.type, m.row.name, m.program, m.row.state);
                        } else {
                            commandsByKey_.emplace(c.key, Known{m.row.Type, true});
                            c.mirror = std::move(m);
                            lastAdded = raw;
                        }
                    }
                    commands_.push_back(std::move(c));
                }
                listSection = r.cursor();
                listCount = r.readLong("the LIST count") & 0xFFFF;
                for (std::uint32_t i = 0; i < listCount; ++i) {
                    const std::size_t start = r.cursor();
                    const RawList raw = RecordCodec::scanList(r);
                    if (!nameIsAcceptable(raw.name.text))
                        throw Refusal(std::string(texts::ExportTargetUnreadable), os::pathText(target_));
                    ByteReader d(t, start);
                    CurrentRecord rec;
                    readListRecord(d, rec);
                    addList(raw, listRow(rec), logs);
                }
                trailing_.assign(t.begin() + static_cast<long>(r.cursor()), t.end());
            } catch (const FormatError& e) {
                env_.trace.Tracy(texts::ExportTargetUnreadable, e.what());
                throw Refusal(std::string(texts::ExportTargetUnreadable), os::pathText(target_));
            }
        }
        logs.conversion() << declared << ' ' << listSection + 1 << ' ' << listCount << texts::exportlog::Original
                          << "\r\n";
    }

    void addList(const RawList& raw, MirrorRow m, RebuildLogs& logs) {
        List l;
        l.bytes.assign(raw.whole.begin(), raw.whole.end());
        const std::string key = foldCase(m.row.name);
        if (listsByName_.count(key)) {
            duplicate(logs, "L", m.row.name, m.row.menu, m.row.state);
        } else {
            listsByName_.insert(key);
            l.mirror = std::move(m);
        }
        lists_.push_back(std::move(l));
    }

    void duplicate(RebuildLogs& logs, std::string_view storedType, std::string_view name, std::string_view program,
                   std::string_view state) {
        if (!duplicateHeadingWritten_) {
            logs.duplicates() << duplicateLogHeading();
            duplicateHeadingWritten_ = true;
        }
        logs.duplicates() << duplicateLogLine(texts::ExportFileName, storedType, name, program, state);
    }

    Answer ask(const std::string& name) {
        const std::string text = std::string(texts::OverwriteExistsIn) + "\r\n" + os::pathText(target_) + "\r\n" + name +
                                 "\r\n" + std::string(texts::OverwriteWithCommandFrom) + "\r\n" +
                                 os::pathText(env_.commandFile());
        const Prompter::ExportQuestion question{Prompter::ExportQuestion::Kind::CommandExists, os::pathText(target_), name,
                                                os::pathText(env_.commandFile())};
        switch (env_.prompter.exportChoice(question, text, texts::OverwriteTitle,
                                     {std::string(texts::OverwriteYes), std::string(texts::OverwriteNo),
                                      std::string(texts::OverwriteYesToAll), std::string(texts::OverwriteNoToAll),
                                      std::string(texts::OverwriteCancelExport)})) {
        case 0: return Answer::Yes;
        case 1: return Answer::No;
        case 2: return Answer::YesToAll;
        case 3: return Answer::NoToAll;
        default: return Answer::Cancel; // Escape too
        }
    }

    // The flagged commands in store order, behind the target's own. False when cancelled.
    bool stageFlagged(RebuildLogs& logs, ExportResult& result) {
        const auto rows = env_.store.allRowMarks();
        bool yesToAll = false, noToAll = false;
        std::optional<RawRecord> lastStaged;
        for (const auto& row : rows) {
            logs.conversion() << row.ID << "\r\n";
            // Rows with offset 0 stand for no record of the file: there is nothing to copy.
            if (!row.flag || row.Type == "L" || row.offset <= 0) continue;
            const std::size_t start = static_cast<std::size_t>(row.offset - 1);
            if (start >= open_.size()) throw Refusal(std::string(texts::NotInFile));
            RawRecord raw;
            CurrentRecord rec;
            try {
                ByteReader r(open_, start);
                raw = codec().scan(r);
                if (!nameIsAcceptable(raw.name.text)) nameCheckFailed(env_, open_, raw, lastStaged ? &*lastStaged : nullptr);
                ByteReader d(open_, start);
                readCommandRecord(d, context(), rec);
            } catch (const FormatError& e) {
                env_.trace.Tracy(texts::NotInFile, e.what());
                throw Refusal(std::string(texts::NotInFile));
            }
            if (raw.skipped() || foldCase(rec.name) != foldCase(row.name)) throw Refusal(std::string(texts::NotInFile));
            MirrorRow m = commandRow(rec);
            const std::string key = rowKey(m.row);
            if (const auto it = commandsByKey_.find(key); it != commandsByKey_.end()) {
                if (!it->second.fromTarget) {
                    // This export wrote the command already (the open file holds it twice).
                    duplicate(logs, it->second.type, m.row.name, m.program, m.row.state);
                    continue;
                }
                Answer answer = yesToAll ? Answer::Yes : noToAll ? Answer::No : ask(m.row.name);
                if (answer == Answer::Cancel) return false;
                if (answer == Answer::YesToAll) yesToAll = true;
                if (answer == Answer::NoToAll) noToAll = true;
                if (answer == Answer::No || answer == Answer::NoToAll) {
                    ++result.skipped;
                    continue;
                }
                replaced_.insert(key);
                ++result.replaced;
                duplicate(logs, it->second.type, m.row.name, m.program, m.row.state);
                it->second = Known{m.row.Type, false};
            } else {
                commandsByKey_.emplace(key, Known{m.row.Type, false});
            }
            Command c;
            RecordCopier(RecordEdit(raw), codec(), c.bytes);
            c.bodyDelta = raw.bodyPosition - raw.offset;
            c.key = key;
            c.mirror = std::move(m);
            commands_.push_back(std::move(c));
            ++result.exported;
            lastStaged = raw;
        }
        return true;
    }

    bool dropped(const Command& c) const { return c.fromTarget && !c.key.empty() && replaced_.count(c.key) > 0; }

    // Every LIST that a command of the new target uses and the target lacks comes from the open file.
    void carryLists(ExportResult& result) {
        std::unordered_map<std::string, std::int32_t> openLists;
        for (const auto& mark : env_.store.rowMarks())
            if (mark.Type == "L") openLists.emplace(foldCase(mark.name), mark.offset);
        for (const Command& c : commands_) {
            if (!c.mirror || dropped(c)) continue;
            for (const auto& name : listReferences(c.mirror->row.name)) {
                const std::string key = foldCase(name);
                if (listsByName_.count(key)) continue;
                const auto found = openLists.find(key);
                if (found == openLists.end()) {
                    if (c.fromTarget) continue; // the target lacked it before; this export cannot mend that
                    throw Refusal(std::string(texts::ExportListNotFound), std::string(name));
                }
                const std::size_t start = static_cast<std::size_t>(found->second - 1);
                try {
                    ByteReader r(open_, start);
                    const RawList raw = RecordCodec::scanList(r);
                    ByteReader d(open_, start);
                    CurrentRecord rec;
                    if (!readListRecord(d, rec) || foldCase(rec.name) != key) throw Refusal(std::string(texts::NotInFile));
                    MirrorRow m = listRow(rec);
                    List l;
                    l.bytes.assign(raw.whole.begin(), raw.whole.end());
                    l.mirror = std::move(m);
                    lists_.push_back(std::move(l));
                    listsByName_.insert(key);
                    ++result.listsAdded;
                } catch (const FormatError& e) {
                    env_.trace.Tracy(texts::NotInFile, e.what());
                    throw Refusal(std::string(texts::NotInFile));
                }
            }
        }
    }

    // The target with every command: its own, then the exported ones; then its LISTs and the added ones.
    Bytes build(bool appending, RebuildLogs& logs, const ExportResult& result) {
        Bytes out;
        if (appending) {
            out.assign(targetImage_.begin(), targetImage_.begin() + format::kHeaderSize);
        } else {
            const auto header = format::newHeader(openHeader_.versionCode, openHeader_.languageCode);
            out.assign(header.begin(), header.end());
        }
        for (const Command& c : commands_) append(out, c.bytes);
        putLong(out, format::kCommandCountOffset, static_cast<std::uint32_t>(commands_.size()));
        const std::size_t listSection = out.size() + 1;
        auto& log = logs.conversion();
        log << texts::exportlog::Copies << result.replaced << "\r\n"
            << texts::exportlog::Staged << result.exported << "\r\n"
            << texts::exportlog::Commands << commands_.size() << "\r\n"
            << texts::exportlog::OutputOffset << listSection << "\r\n";
        ByteWriter(out).writeLong(static_cast<std::uint32_t>(lists_.size()));
        for (const List& l : lists_) append(out, l.bytes);
        append(out, trailing_);
        log << texts::exportlog::OutputOffset << listSection << "\r\n"
            << texts::exportlog::Lists << lists_.size() << "\r\n";
        return out;
    }

    // Drops the target's older copies of the commands that replaced them.
    Bytes ExportDeleteReplaced(const Bytes& built, RebuildLogs& logs) {
        Bytes out(built.begin(), built.begin() + format::kHeaderSize);
        std::size_t read = format::kHeaderSize;
        for (const Command& c : commands_) {
            if (!dropped(c)) out.insert(out.end(), built.begin() + static_cast<long>(read),
                                        built.begin() + static_cast<long>(read + c.bytes.size()));
            read += c.bytes.size();
        }
        std::erase_if(commands_, [this](const Command& c) { return dropped(c); });
        putLong(out, format::kCommandCountOffset, static_cast<std::uint32_t>(commands_.size()));
        const std::size_t listSection = out.size() + 1;
        out.insert(out.end(), built.begin() + static_cast<long>(read), built.end());
        logs.conversion() << texts::exportlog::Delete << "\r\n"
                          << texts::exportlog::Commands << commands_.size() << "\r\n"
                          << texts::exportlog::OutputOffset << listSection << "\r\n"
                          << texts::exportlog::ImageBound << built.size() << "\r\n\r\n";
        return out;
    }

    CommandStore openExportStore() {
        const fs::path path = env_.home(texts::ExportStore);
        if (fs::exists(path)) {
            try {
                return CommandStore::open(path);
            } catch (const StoreError& e) {
                // It only ever mirrors the last export's target: a damaged one is made afresh.
                env_.trace.Tracy(e.what());
                for (const char* suffix : {"", "-wal", "-shm"}) fs::remove(os::pathText(path) + suffix);
            }
        }
        return CommandStore::create(path);
    }

    // The export store is filled in the same transaction that the target is written under, so
    // a failure leaves both as they were.
    void writeTargetAndStore(const Bytes& bytes, bool appending) {
        // The target is a command file: its writer lock is held from the check that it is still
        // the version read (or still absent) until the new one is in place.
        CommandFileLock lock(target_, clock_);
        if (FileVersion::of(target_) != seen_)
            throw Refusal(os::pathText(target_) + ": " +
                          std::string(seen_.present ? vocabrella::texts::ChangedMeanwhile : vocabrella::texts::CreatedMeanwhile));
        CommandStore store = openExportStore();
        CommandStore::Transaction transaction(store);
        store.deleteAllUsers();
        store.deleteAllStates();
        std::unordered_map<std::string, std::int64_t> states;
        const auto add = [&](MirrorRow& m, std::size_t position, std::uint32_t bodyDelta) {
            m.row.offset = static_cast<std::int32_t>(position);
            m.row.offsetbody = bodyDelta ? static_cast<std::int32_t>(position + bodyDelta) : 0;
            for (const auto& name : m.stateNames) {
                const std::string key = foldCase(m.program) + '\x1f' + foldCase(name);
                auto it = states.find(key);
                if (it == states.end()) it = states.emplace(key, store.addState(m.program, name)).first;
                m.row.states += std::to_string(it->second) + ",";
            }
            store.insertUser(m.row);
        };
        std::size_t position = format::kHeaderSize + 1;
        for (Command& c : commands_) {
            if (c.mirror) add(*c.mirror, position, c.bodyDelta);
            position += c.bytes.size();
        }
        store.setOffsetLists(static_cast<std::int32_t>(position));
        position += 4;
        for (List& l : lists_) {
            if (l.mirror) add(*l.mirror, position, 0);
            position += l.bytes.size();
        }
        if (!appending || bytes != targetImage_) {
            // A target that exists is changed like the open file: its copy first, then the
            // record of what it was and became, both while its lock is held.
            Bytes before;
            if (seen_.present && keeping_) {
                before = appending ? targetImage_ : readFileBytes(target_);
                if (keeping_->backup) keeping_->backup();
            }
            writeFileIfUnchanged(target_, seen_, bytes);
            if (seen_.present && keeping_ && keeping_->record) keeping_->record(before, bytes);
        }
        transaction.commit();
    }

    const WriterEnvironment& env_;
    fs::path target_;
    ExistingTarget whenExists_;
    SystemClock systemClock_;
    Clock& clock_;
    const TargetKeeping* keeping_;
    FileVersion seen_; // the target when it was looked at, before anything was read from it
    SilentPrompter silent_;
    UnknownStepReport quietSteps_{silent_};
    Bytes open_;
    FileHeader openHeader_;
    Bytes targetImage_;
    std::vector<Command> commands_;
    std::vector<List> lists_;
    Bytes trailing_; // whatever the target holds behind its LISTs, kept at the end
    std::unordered_map<std::string, Known> commandsByKey_;
    std::unordered_set<std::string> listsByName_;
    std::unordered_set<std::string> replaced_;
    bool duplicateHeadingWritten_ = false;
};

} // namespace

ExportPath normaliseExportPath(const std::filesystem::path& typed) {
    ExportPath result{fs::absolute(typed).lexically_normal(), false};
    const std::string name = os::pathText(result.path.filename());
    if (name.size() < 4 || foldCase(name.substr(name.size() - 4)) != ".dat") {
        result.path += ".dat";
        result.datAppended = true;
    }
    return result;
}

ExportToCommandFile::ExportToCommandFile(const WriterEnvironment& env, std::filesystem::path target,
                                         ExistingTarget whenExists, Clock* clock)
    : env_(env), target_(std::move(target)), whenExists_(whenExists), clock_(clock) {}

ExportResult ExportToCommandFile::run() {
    return Export(env_, target_, whenExists_, clock_, keeping_ ? &*keeping_ : nullptr).run();
}

} // namespace vocabrella
