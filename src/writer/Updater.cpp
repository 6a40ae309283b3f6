#include "writer/Updater.h"

#include "cmdfile/AtomicFile.h"
#include "cmdfile/Bytes.h"
#include "cmdfile/Codec.h"
#include "cmdfile/Errors.h"
#include "cmdfile/RawRecord.h"
#include "cmdfile/Reader.h"
#include "cmdfile/RecordCodec.h"
#include "cmdfile/Store.h"
#include "writer/BodyText.h"
#include "writer/Texts.h"

#include <algorithm>

namespace vocabrella {
namespace {

using Bytes = std::vector<std::uint8_t>;

// Of commands, and of LISTs: readers take the low 16 bits of each count.
constexpr std::uint32_t kMostRecordsOfAKind = 0xFFFF;

void append(Bytes& out, std::span<const std::uint8_t> bytes) { out.insert(out.end(), bytes.begin(), bytes.end()); }

// The bytes before index, the piece, the bytes from index `resume` on, built in the storage
// the writers keep for a new version.
Bytes splice(const WriterEnvironment& env, const Bytes& old, std::size_t index, const Bytes& piece,
             std::size_t resume) {
    Bytes out = storageForNewVersion(env);
    out.reserve(old.size() - (resume - index) + piece.size());
    out.insert(out.end(), old.begin(), old.begin() + static_cast<long>(index));
    append(out, piece);
    out.insert(out.end(), old.begin() + static_cast<long>(resume), old.end());
    return out;
}

// The bytes unchanged, in the same storage, for a change made in place.
Bytes copyOf(const WriterEnvironment& env, const Bytes& old) { return splice(env, old, old.size(), {}, old.size()); }

void patchLong(Bytes& bytes, std::size_t index, std::uint32_t value) {
    for (int i = 0; i < 4; ++i) bytes.at(index + i) = static_cast<std::uint8_t>(value >> (8 * i));
}

std::uint32_t longAt(const Bytes& bytes, std::size_t index) {
    ByteReader r(bytes, index);
    return r.readLong("a 4-byte number");
}

Bytes listRecord(std::string_view name, std::string_view body) { return encodeList(name, listItems(body)); }

// A LIST body as the reader stores it: each item followed by CR LF.
std::string storedListBody(std::string_view body) {
    std::string stored;
    for (const auto& item : listItems(body)) stored.append(item).append("\r\n");
    return stored;
}

} // namespace

UserRow CommandFileUpdater::rowInFile(std::int64_t rowId) {
    auto row = env_.store.userById(rowId);
    if (!row || row->offset <= 0) throw Refusal(std::string(texts::NotInFile));
    // A LIST of another program is a copy of the global LIST, which alone stands in the file.
    if (row->Type == "L" && !names::isGlobalProgram(row->menu)) {
        auto global = env_.store.findUser(names::GlobalCommands, names::GlobalCommands, row->name);
        if (!global || global->offset <= 0) throw Refusal(std::string(texts::NotInFile));
        return *global;
    }
    return *row;
}

namespace {

// The new bytes of one body and the stretch of the old file they replace.
struct BodyPiece {
    Bytes piece;
    std::size_t start = 0, resume = 0;
};

BodyPiece bodyPiece(const Bytes& old, const UserRow& row, FileVersionFamily family, std::string_view newText) {
    if (newText.empty()) throw Refusal(std::string(texts::EmptyContent));
    BodyPiece p;
    ByteReader r(old);
    r.seekPosition(static_cast<std::uint32_t>(row.offset));
    if (row.Type == "L") {
        const RawList list = RecordCodec::scanList(r);
        p.piece = listRecord(codec::cp1252ToUtf8(list.name.text), newText);
        p.start = list.offset - 1;
        p.resume = p.start + list.whole.size();
        return p;
    }
    const RawRecord rec = RecordCodec::forFamily(family).scan(r);
    ByteWriter w(p.piece);
    switch (rec.kindByte) {
    case kind::Text:
        if (!rec.formatted.empty() && rec.formatted[0] != 0)
            throw Refusal("A command with formatted text cannot be changed here");
        w.writeByte(0);
        break;
    case kind::Advanced:
    case kind::Script:
    case kind::Keys: break;
    default: throw Refusal("The body of this kind of command cannot be changed here");
    }
    if (rec.encrypted()) throw Refusal("This command has been encrypted, and cannot be edited");
    w.writeCountedBytes(encodeForFile(newText));
    p.start = rec.bodyPosition - 1;
    p.resume = rec.end;
    return p;
}

} // namespace

void CommandFileUpdater::Update1Body(std::int64_t rowId, std::string_view newText) {
    if (newText.empty()) throw Refusal(std::string(texts::EmptyContent));
    const UserRow row = rowInFile(rowId);
    const bool isList = row.Type == "L";
    const CommandFileOnDisk onDisk(env_);
    const FileSnapshot& snapshot = onDisk.snapshot();
    const Bytes& old = snapshot.bytes;
    const BodyPiece p = bodyPiece(old, row, env_.reader.file().info.family, newText);
    const auto delta = static_cast<std::int32_t>(p.piece.size()) - static_cast<std::int32_t>(p.resume - p.start);
    Bytes updated = splice(env_, old, p.start, p.piece, p.resume);
    const std::string stored = isList ? storedListBody(newText) : std::string(newText);
    CommitRewrite(env_, texts::trace::Update1Body, snapshot, std::move(updated), [&](CommandStore& store) {
        // The changed row first, then the shift: a page touched early and again late costs
        // the write-ahead log a rewrite of everything written in between.
        store.setScript(rowId, stored);
        if (row.ID != rowId) store.setScript(row.ID, stored);
        store.shiftPositionsAfter(row.offset, delta);
    });
}

void CommandFileUpdater::UpdateBodies(const std::vector<BodyChange>& changes) {
    if (changes.empty()) return;
    struct Planned {
        std::int64_t rowId;
        UserRow row;
        BodyPiece piece;
        std::string stored;
    };
    std::vector<Planned> plan;
    const CommandFileOnDisk onDisk(env_);
    const FileSnapshot& snapshot = onDisk.snapshot();
    const Bytes& old = snapshot.bytes;
    const auto family = env_.reader.file().info.family;
    for (const auto& c : changes) {
        UserRow row = rowInFile(c.rowId);
        BodyPiece piece = bodyPiece(old, row, family, c.text);
        std::string stored = row.Type == "L" ? storedListBody(c.text) : c.text;
        plan.push_back({c.rowId, std::move(row), std::move(piece), std::move(stored)});
    }
    std::sort(plan.begin(), plan.end(), [](const Planned& a, const Planned& b) { return a.piece.start < b.piece.start; });
    for (std::size_t i = 1; i < plan.size(); ++i)
        if (plan[i].piece.start < plan[i - 1].piece.resume) throw Refusal("The same body cannot be changed twice at once");

    Bytes updated = storageForNewVersion(env_);
    updated.reserve(old.size() + old.size() / 8);
    std::size_t from = 0;
    for (const auto& p : plan) {
        updated.insert(updated.end(), old.begin() + static_cast<long>(from), old.begin() + static_cast<long>(p.piece.start));
        append(updated, p.piece.piece);
        from = p.piece.resume;
    }
    updated.insert(updated.end(), old.begin() + static_cast<long>(from), old.end());
    CommitRewrite(env_, texts::trace::Update1Body, snapshot, std::move(updated), [&](CommandStore& store) {
        for (const auto& p : plan) {
            store.setScript(p.rowId, p.stored);
            if (p.row.ID != p.rowId) store.setScript(p.row.ID, p.stored);
        }
        // Every shift at once, each naming a position of the old file: one pass over the rows.
        std::vector<CommandStore::PositionShift> shifts;
        shifts.reserve(plan.size());
        for (const auto& p : plan)
            shifts.push_back({p.row.offset, static_cast<std::int32_t>(p.piece.piece.size()) -
                                                static_cast<std::int32_t>(p.piece.resume - p.piece.start)});
        store.shiftPositions(std::move(shifts));
    });
}

void CommandFileUpdater::Updatechangetype(std::int64_t rowId, KindChange change) {
    const UserRow row = rowInFile(rowId);
    const CommandFileOnDisk onDisk(env_);
    const FileSnapshot& snapshot = onDisk.snapshot();
    const Bytes& old = snapshot.bytes;
    const RecordCodec& codec = RecordCodec::forFamily(env_.reader.file().info.family);
    ByteReader r(old);
    r.seekPosition(static_cast<std::uint32_t>(row.offset));
    const RawRecord rec = codec.scan(r);
    if (rec.kindByte != kind::Keys) throw Refusal("Only a KEYS command changes its kind here");
    if (rec.encrypted()) throw Refusal("This command has been encrypted, and cannot be edited");
    const std::size_t kindIndex = rec.kindEndPosition - 2;

    Bytes updated;
    std::int32_t delta = 0;
    if (change == KindChange::ToAdvancedScript) {
        updated = copyOf(env_, old);
        updated[kindIndex] = kind::Advanced;
    } else {
        // Kind 1 and its fixed bytes, then an empty formatted part before the text.
        Bytes piece;
        ByteWriter w(piece);
        codec.writeKindBlock(kind::Text, w);
        w.writeCount(0);
        const std::size_t resume = rec.bodyPosition - 1;
        delta = static_cast<std::int32_t>(piece.size()) - static_cast<std::int32_t>(resume - kindIndex);
        updated = splice(env_, old, kindIndex, piece, resume);
    }
    CommitRewrite(env_, texts::trace::Updatechangetype, snapshot, std::move(updated), [&](CommandStore& store) {
        store.setType(rowId, change == KindChange::ToPlainText ? "P" : "A");
        store.shiftPositionsAfter(row.offset, delta);
    });
}

void CommandFileUpdater::UpdateFirstThings(std::int64_t rowId, std::string_view newName, std::string_view description,
                                           std::string_view group) {
    const auto stored = env_.store.userById(rowId);
    if (stored && stored->Type == "L") return UpdateListRename(rowId, newName);
    checkListReferences(newName, kMaxListReferences);
    const std::string name = encodeName(newName);
    const std::string descriptionBytes = encodeForFile(description);
    const std::string groupBytes = group == names::UserDefined ? std::string() : encodeForFile(group);
    const UserRow row = rowInFile(rowId);
    const CommandFileOnDisk onDisk(env_);
    const FileSnapshot& snapshot = onDisk.snapshot();
    const Bytes& old = snapshot.bytes;
    ByteReader r(old);
    r.seekPosition(static_cast<std::uint32_t>(row.offset));
    const RawRecord rec = RecordCodec::forFamily(env_.reader.file().info.family).scan(r);

    const std::vector<RawString> lists = listNamesOf(name);
    RecordFields first;
    first.name = newText(name);
    first.listNames = lists;
    first.description = newText(descriptionBytes);
    first.group = newText(groupBytes);
    Bytes piece;
    ByteWriter w(piece);
    RecordCodec::writeFirstPart(first, w);
    const std::size_t start = row.offset - 1;
    const std::size_t resume = rec.group.raw.data() + rec.group.raw.size() - old.data();
    const auto delta = static_cast<std::int32_t>(piece.size()) - static_cast<std::int32_t>(resume - start);
    CommitRewrite(env_, texts::trace::UpdateFirstThings, snapshot,
                  splice(env_, old, start, piece, resume), [&](CommandStore& store) {
                      store.moveBody(rowId, delta); // the body follows the rewritten first part
                      store.setIdentity(rowId, newName, description, group.empty() ? names::UserDefined : group,
                                        static_cast<std::int32_t>(lists.size()));
                      store.shiftPositionsAfter(row.offset, delta);
                  });
}

void CommandFileUpdater::UpdateListRename(std::int64_t rowId, std::string_view newName) {
    const std::string name = encodeName(newName);
    const UserRow row = rowInFile(rowId);
    const CommandFileOnDisk onDisk(env_);
    const FileSnapshot& snapshot = onDisk.snapshot();
    const Bytes& old = snapshot.bytes;
    ByteReader r(old);
    r.seekPosition(static_cast<std::uint32_t>(row.offset));
    const RawList list = RecordCodec::scanList(r);
    // The old name is skipped by its real prefix, whatever its length.
    Bytes piece;
    ByteWriter(piece).writeCountedBytes(name);
    const std::size_t start = row.offset - 1;
    const std::size_t resume = start + list.name.raw.size();
    const auto delta = static_cast<std::int32_t>(piece.size()) - static_cast<std::int32_t>(list.name.raw.size());
    CommitRewrite(env_, texts::trace::UpdateListRename, snapshot,
                  splice(env_, old, start, piece, resume), [&](CommandStore& store) {
                      store.shiftPositionsAfter(row.offset, delta);
                      const auto current = store.userById(rowId);
                      store.setIdentity(rowId, newName, current ? current->description : "",
                                        current ? current->owner : "", 1);
                  });
}

void CommandFileUpdater::UpdateNewCommand(const NewCommandRecord& record) {
    if (record.typeCode == "L") {
        UpdateNewList(record.name, record.body);
        return;
    }
    if (record.body.empty()) throw Refusal(std::string(texts::EmptyContent));
    const Bytes piece = encodeNewCommand(record, env_.reader.file().info.family);
    const CommandFileOnDisk onDisk(env_);
    const FileSnapshot& snapshot = onDisk.snapshot();
    const Bytes& old = snapshot.bytes;
    const auto listSection = static_cast<std::size_t>(env_.store.parameters().OffsetLists);
    if (listSection < format::kHeaderSize + 1 || listSection + 3 > old.size())
        throw Refusal(std::string(texts::NotInFile));
    writeFileAtomically(env_.home(texts::CommandNew), piece, false);
    if (longAt(old, format::kCommandCountOffset) >= kMostRecordsOfAKind) throw Refusal(std::string(texts::FileFullOfCommands));
    Bytes updated = splice(env_, old, listSection - 1, piece, listSection - 1);
    patchLong(updated, format::kCommandCountOffset, longAt(updated, format::kCommandCountOffset) + 1);
    CommitRewrite(env_, texts::trace::UpdateNewCommand, snapshot, std::move(updated));
}

void CommandFileUpdater::UpdateNewList(std::string_view name, std::string_view items) {
    const std::string body = NormalizeBodyEnding(items);
    const Bytes piece = listRecord(name, body);
    const CommandFileOnDisk onDisk(env_);
    const FileSnapshot& snapshot = onDisk.snapshot();
    const Bytes& old = snapshot.bytes;
    const auto listSection = static_cast<std::size_t>(env_.store.parameters().OffsetLists);
    if (listSection < format::kHeaderSize + 1 || listSection + 3 > old.size())
        throw Refusal(std::string(texts::NotInFile));
    if (longAt(old, listSection - 1) >= kMostRecordsOfAKind) throw Refusal(std::string(texts::FileFullOfLists));
    Bytes updated = copyOf(env_, old);
    append(updated, piece);
    patchLong(updated, listSection - 1, longAt(updated, listSection - 1) + 1);
    CommitRewrite(env_, texts::trace::UpdateNewList, snapshot, std::move(updated));
}

void CommandFileUpdater::UpdateDeleteList(std::int64_t rowId) {
    const UserRow row = rowInFile(rowId);
    if (row.Type != "L") throw Refusal(std::string(texts::NotInFile));
    const CommandFileOnDisk onDisk(env_);
    const FileSnapshot& snapshot = onDisk.snapshot();
    const Bytes& old = snapshot.bytes;
    const auto listSection = static_cast<std::size_t>(env_.store.parameters().OffsetLists);
    if (listSection < format::kHeaderSize + 1 || listSection + 3 > old.size() ||
        static_cast<std::size_t>(row.offset) <= listSection)
        throw Refusal(std::string(texts::NotInFile));
    ByteReader r(old);
    r.seekPosition(static_cast<std::uint32_t>(row.offset));
    const RawList list = RecordCodec::scanList(r);
    const std::size_t start = row.offset - 1;
    const std::size_t resume = start + list.whole.size();
    Bytes updated = splice(env_, old, start, {}, resume);
    const std::uint32_t lists = longAt(updated, listSection - 1);
    patchLong(updated, listSection - 1, lists > 0 ? lists - 1 : 0);
    const auto delta = -static_cast<std::int32_t>(list.whole.size());
    CommitRewrite(env_, texts::trace::DeleteList, snapshot, std::move(updated), [&](CommandStore& store) {
        for (const auto id : store.listRowsNamed(row.name)) store.deleteUser(id);
        store.shiftPositionsAfter(row.offset, delta);
    });
}

} // namespace vocabrella
