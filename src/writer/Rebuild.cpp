#include "writer/Rebuild.h"

#include "cmdfile/AtomicFile.h"
#include "cmdfile/Bytes.h"
#include "cmdfile/Codec.h"
#include "cmdfile/CommandRecord.h"
#include "cmdfile/Errors.h"
#include "cmdfile/Prompter.h"
#include "cmdfile/Reader.h"
#include "cmdfile/Store.h"
#include "cmdfile/TextCase.h"
#include "cmdfile/Texts.h"
#include "writer/Texts.h"

#include <algorithm>
#include <unordered_map>
#include <unordered_set>

namespace vocabrella {
namespace {

using Bytes = std::vector<std::uint8_t>;

void append(Bytes& out, std::span<const std::uint8_t> bytes) { out.insert(out.end(), bytes.begin(), bytes.end()); }

} // namespace

// The rebuild met a name with a control byte: it is not reading at a record boundary.
void nameCheckFailed(const WriterEnvironment& env, const std::vector<std::uint8_t>& image, const RawRecord& bad,
                     const RawRecord* last) {
    const auto namePosition = bad.offset + static_cast<std::uint32_t>(bad.name.raw.size() - bad.name.text.size());
    const std::string lastName = last ? codec::cp1252ToUtf8(last->name.text) : std::string();
    env.prompter.message(std::string(texts::RebuildParsingError) + codec::cp1252ToUtf8(bad.name.text) + "\r\n" +
                             std::string(texts::RebuildParsingErrorOffset) + std::to_string(namePosition) + "\r\n" +
                             std::string(texts::RebuildParsingErrorLast) + lastName,
                         texts::RebuildParsingErrorTitle);
    const std::size_t start = std::min<std::size_t>(last ? last->offset - 1 : bad.offset - 1, image.size());
    const std::size_t length = std::min<std::size_t>(3000, image.size() - start);
    writeFileAtomically(env.home("error.log"), std::span(image.data() + start, length), false);
    throw EndProgram();
}

void RecordCopier(const RecordEdit& e, FileVersionFamily source, FileVersionFamily target, Bytes& out) {
    const RawRecord& raw = e.raw;
    if (raw.encrypted() && !hasEncryptionFlag(target))
        throw Refusal(std::string(texts::EncryptedNotConvertible));
    ByteWriter w(out);
    append(out, raw.name.raw);
    append(out, raw.listCountLong);
    for (const auto& list : raw.listNames) append(out, list.raw);
    append(out, raw.description.raw);
    if (e.group) w.writeCountedBytes(*e.group);
    else append(out, raw.group.raw);
    w.writeByte(raw.scopeByte);
    if (hasReservedBytes(target)) {
        if (hasReservedBytes(source)) append(out, raw.reservedAfterScope);
        else w.writeZeros(format::kScopeReserved);
    }
    for (std::size_t i = 0; i < raw.scopeStrings.size(); ++i) {
        if (i == 0 && e.module) w.writeCountedBytes(*e.module);
        else append(out, raw.scopeStrings[i].raw);
    }
    if (hasStateList(target)) {
        if (raw.hasStateList) {
            append(out, raw.stateCountLong);
            for (const auto& state : raw.stateNames) append(out, state.raw);
        } else {
            w.writeLong(0);
        }
    }
    w.writeByte(e.kindByte.value_or(raw.kindByte));
    if (hasEncryptionFlag(target)) w.writeByte(raw.encryptionFlag);
    if (raw.encrypted()) {
        append(out, raw.afterKind); // the 7 bytes and the block, carried as they are
    } else if (hasReservedBytes(target)) {
        if (hasReservedBytes(source)) append(out, raw.afterKind);
        else w.writeZeros(format::kKindReserved);
    }
    if (e.text || e.kindByte) {
        if (e.plainTextBody) w.writeByte(0);
        w.writeCountedBytes(e.text ? std::string_view(*e.text) : raw.text.text);
    } else {
        append(out, raw.body);
    }
}

RebuildLogs::RebuildLogs(const WriterEnvironment& env) {
    if (!std::filesystem::exists(env.home("keynames")))
        throw Refusal(std::string(texts::KeynamesMissing), std::string(texts::KeynamesMissingTitle));
    conversion_.open(env.home(texts::ConversionLog), std::ios::binary | std::ios::trunc);
    duplicates_.open(env.home("duplicate.log"), std::ios::binary | std::ios::trunc);
    if (!conversion_ || !duplicates_) throw Refusal("The logs of the rebuild cannot be written in " + env.homeFolder.string());
}

void RebuildLogs::close() {
    conversion_.close();
    duplicates_.close();
}

RebuildResult runRebuild(const WriterEnvironment& env, RebuildOperation& op) {
    if (!op.prepare(env)) return {};
    RebuildLogs logs(env);
    const CommandFileOnDisk onDisk(env);
    const FileSnapshot& snapshot = onDisk.snapshot();
    const Bytes& old = snapshot.bytes;
    const FileHeader header = readHeader(old);
    const auto targetCode = op.targetVersionCode(header.versionCode);
    const auto target = familyForCode(targetCode);
    if (!target) throw Refusal("Unknown target version");
    const FileVersionFamily source = header.family;

    // The store's marks, by record position; only command rows stand for command records.
    std::unordered_map<std::int32_t, const CommandStore::RowMark*> byOffset;
    const auto marks = env.store.rowMarks();
    for (const auto& m : marks)
        if (m.Type != "L") byOffset.emplace(m.offset, &m);
    std::unordered_set<std::int32_t> flaggedSeen;

    Bytes out = storageForNewVersion(env);
    out.reserve(old.size() + old.size() / 8);
    out.assign(old.begin(), old.begin() + format::kHeaderSize); // the header's unread bytes are kept
    out[format::kVersionOffset] = targetCode;
    ByteReader r(old, format::kHeaderSize);
    std::uint32_t written = 0;
    std::unordered_set<std::string> referenced;
    std::optional<RawRecord> last;
    for (std::uint32_t i = 0; i < header.declaredCommands; ++i) {
        RawRecord rec = scanCommandRecord(r, source);
        if (!nameIsAcceptable(rec.name.text)) nameCheckFailed(env, old, rec, last ? &*last : nullptr);
        RecordEdit edit{rec};
        if (const auto it = byOffset.find(static_cast<std::int32_t>(rec.offset)); it != byOffset.end()) {
            const auto& mark = *it->second;
            if (foldCase(mark.name) != foldCase(codec::cp1252ToUtf8(rec.name.text)))
                throw Refusal(std::string(texts::NotInFile));
            edit.flagged = mark.flag;
            if (mark.flag) flaggedSeen.insert(mark.offset);
        }
        if (op.keep(edit)) {
            op.edit(edit, logs);
            RecordCopier(edit, source, *target, out);
            ++written;
            for (const auto& name : listReferences(rec.name.text)) referenced.insert(foldCase(name));
        }
        last = std::move(rec);
    }
    // Every flagged row must have met its record, or the store does not describe this file.
    for (const auto& m : marks)
        if (m.Type != "L" && m.flag && !flaggedSeen.count(m.offset)) throw Refusal(std::string(texts::NotInFile));
    for (int b = 0; b < 4; ++b) out[format::kCommandCountOffset + b] = static_cast<std::uint8_t>(written >> (8 * b));

    RebuildResult result{true, written, 0};
    const std::size_t listSection = r.cursor();
    if (!op.keepsOnlyReferencedLists()) {
        out.insert(out.end(), old.begin() + static_cast<long>(listSection), old.end());
        ByteReader lists(old, listSection);
        result.lists = lists.readLong("the LIST count") & 0xFFFF;
    } else {
        const std::uint32_t count = r.readLong("the LIST count") & 0xFFFF;
        const std::size_t countIndex = out.size();
        ByteWriter(out).writeLong(0);
        std::vector<std::string> kept;
        for (std::uint32_t i = 0; i < count; ++i) {
            const RawList list = scanListRecord(r);
            if (!nameIsAcceptable(list.name.text))
                throw Refusal(std::string(texts::NotInFile));
            if (!referenced.count(foldCase(list.name.text))) continue;
            append(out, list.whole);
            kept.push_back(codec::cp1252ToUtf8(list.name.text));
            ++result.lists;
        }
        for (int b = 0; b < 4; ++b) out[countIndex + b] = static_cast<std::uint8_t>(result.lists >> (8 * b));
        // The store learns which global LISTs the remaining commands still use.
        CommandStore::Transaction t(env.store);
        env.store.clearNoGlobals();
        for (const auto& name : kept)
            if (auto row = env.store.findUser(names::GlobalCommands, names::GlobalCommands, name))
                env.store.setNoGlobals(row->ID, true);
        t.commit();
    }

    CommitRewrite(env, op.traceText(), snapshot, std::move(out));
    env.reader.file().info.versionCode = targetCode;
    env.reader.file().info.family = *target;
    env.reader.file().info.versionName = versionNameForCode(targetCode);
    logs.close();
    op.finish(env);
    return result;
}

} // namespace vocabrella
