#include "writer/Rebuild.h"

#include "cmdfile/AtomicFile.h"
#include "cmdfile/Bytes.h"
#include "cmdfile/Codec.h"
#include "cmdfile/CommandRecord.h"
#include "cmdfile/Errors.h"
#include "cmdfile/Prompter.h"
#include "cmdfile/Reader.h"
#include "cmdfile/RecordCodec.h"
#include "cmdfile/Store.h"
#include "cmdfile/TextCase.h"
#include "cmdfile/Texts.h"
#include "writer/Texts.h"
#include "cmdfile/System.h"

#include <algorithm>
#include <array>
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

void RecordCopier(const RecordEdit& e, const RecordCodec& target, Bytes& out) {
    const RawRecord& raw = e.raw;
    if (raw.encrypted() && !target.holdsEncryptedBodies())
        throw Refusal(std::string(texts::EncryptedNotConvertible));
    RecordFields fields = RecordFields::of(raw);
    std::array<RawString, 5> scopeStrings;
    if (e.group) fields.group = newText(*e.group);
    if (e.module && !raw.scopeStrings.empty()) {
        std::copy(raw.scopeStrings.begin(), raw.scopeStrings.end(), scopeStrings.begin());
        scopeStrings[0] = newText(*e.module);
        fields.scopeStrings = std::span(scopeStrings).first(raw.scopeStrings.size());
    }
    Bytes body;
    if (e.text || e.kindByte) {
        fields.kindByte = e.kindByte.value_or(raw.kindByte);
        ByteWriter w(body);
        RecordCodec::writeTextBody(fields.kindByte, {}, e.text ? std::string_view(*e.text) : raw.text.text, w);
        fields.body = body;
    }
    ByteWriter w(out);
    target.write(fields, w);
}

RebuildLogs::RebuildLogs(const WriterEnvironment& env) {
    if (!std::filesystem::exists(env.home("keynames")))
        throw Refusal(std::string(texts::KeynamesMissing), std::string(texts::KeynamesMissingTitle));
    conversion_.open(env.home(texts::ConversionLog), std::ios::binary | std::ios::trunc);
    duplicates_.open(env.home("duplicate.log"), std::ios::binary | std::ios::trunc);
    if (!conversion_ || !duplicates_) throw Refusal("The logs of the rebuild cannot be written in " + os::pathText(env.homeFolder));
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
    const auto targetFamily = familyForCode(targetCode);
    if (!targetFamily) throw Refusal("Unknown target version");
    const RecordCodec& source = RecordCodec::forFamily(header.family);
    const RecordCodec& target = RecordCodec::forFamily(*targetFamily);

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
    // LIST names (folded) the records written refer to, and those the records left out do.
    std::unordered_set<std::string> referenced, referencedByDropped;
    std::optional<RawRecord> last;
    for (std::uint32_t i = 0; i < header.declaredCommands; ++i) {
        RawRecord rec = source.scan(r);
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
            RecordCopier(edit, target, out);
            ++written;
            for (const auto& name : listReferences(rec.name.text)) referenced.insert(foldCase(name));
        } else {
            for (const auto& name : listReferences(rec.name.text)) referencedByDropped.insert(foldCase(name));
        }
        last = std::move(rec);
    }
    // Every flagged row must have met its record, or the store does not describe this file.
    for (const auto& m : marks)
        if (m.Type != "L" && m.flag && !flaggedSeen.count(m.offset)) throw Refusal(std::string(texts::NotInFile));
    for (int b = 0; b < 4; ++b) out[format::kCommandCountOffset + b] = static_cast<std::uint8_t>(written >> (8 * b));

    RebuildResult result{true, written, 0};
    const std::size_t listSection = r.cursor();
    if (!op.dropsListsLeftUnused()) {
        out.insert(out.end(), old.begin() + static_cast<long>(listSection), old.end());
        ByteReader lists(old, listSection);
        result.lists = lists.readLong("the LIST count") & 0xFFFF;
    } else {
        const std::uint32_t count = r.readLong("the LIST count") & 0xFFFF;
        const std::size_t countIndex = out.size();
        ByteWriter(out).writeLong(0);
        std::vector<std::string> kept;
        for (std::uint32_t i = 0; i < count; ++i) {
            const RawList list = RecordCodec::scanList(r);
            if (!nameIsAcceptable(list.name.text))
                throw Refusal(std::string(texts::NotInFile));
            const std::string folded = foldCase(list.name.text);
            const bool used = referenced.count(folded) != 0;
            if (!used && referencedByDropped.count(folded)) continue;
            append(out, list.whole);
            if (used) kept.push_back(codec::cp1252ToUtf8(list.name.text));
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
    env.reader.file().info.family = *targetFamily;
    env.reader.file().info.versionName = versionNameForCode(targetCode);
    logs.close();
    op.finish(env);
    return result;
}

} // namespace vocabrella
