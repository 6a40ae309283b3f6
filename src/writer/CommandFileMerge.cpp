#include "writer/CommandFileMerge.h"

#include "cmdfile/TextCase.h"

#include "cmdfile/AtomicFile.h"
#include "cmdfile/Bytes.h"
#include "cmdfile/CommandRecord.h"
#include "cmdfile/Errors.h"
#include "cmdfile/Format.h"
#include "cmdfile/RawRecord.h"
#include "cmdfile/RecordCodec.h"
#include "writer/Rebuild.h"

#include "cmdfile/System.h"

#include <unordered_set>

namespace vocabrella {
namespace {

using Bytes = std::vector<std::uint8_t>;
constexpr std::uint32_t kMostRecords = 0xFFFF; // readers use the low 16 bits of both counts

struct ParsedFile {
    FileHeader header;
    std::vector<RawRecord> commands;
    std::size_t listSection = 0; // 0-based index of the LIST count
    std::vector<RawList> lists;
    std::size_t end = 0; // just after the last LIST record
};

ParsedFile parse(std::span<const std::uint8_t> image, const std::string& which) {
    ParsedFile file;
    try {
        file.header = readHeader(image);
        const RecordCodec& codec = RecordCodec::forFamily(file.header.family);
        ByteReader r(image, format::kHeaderSize);
        for (std::uint32_t i = 0; i < file.header.declaredCommands; ++i) {
            file.commands.push_back(codec.scan(r));
            // A control byte in a name means the walk has left the record boundaries.
            if (!nameIsAcceptable(file.commands.back().name.text))
                throw FormatError(file.commands.back().offset, "a command name");
        }
        file.listSection = r.cursor();
        const std::uint32_t lists = r.readLong("the LIST count") & 0xFFFF;
        for (std::uint32_t i = 0; i < lists; ++i) {
            file.lists.push_back(RecordCodec::scanList(r));
            if (!nameIsAcceptable(file.lists.back().name.text)) throw FormatError(file.lists.back().offset, "a LIST name");
        }
        file.end = r.cursor();
    } catch (const FormatError& e) {
        throw MergeError(which + " is not a readable command file (" + e.what() + ")");
    }
    return file;
}

// Program, scope and name as the store keys a command, without letter case.
std::string recordKey(const RawRecord& r) {
    switch (r.scope()) {
    case 0: return commandKey(names::GlobalCommands, names::GlobalCommands, r.name.text);
    case 1: return commandKey(r.scopeStrings[0].text, names::ApplicationSpecific, r.name.text);
    case 2: return commandKey(r.scopeStrings[0].text, r.scopeStrings[3].text, r.name.text);
    default: // no program or scope of its own
        return commandKey("", "\x1f" + std::to_string(r.scope()), r.name.text);
    }
}

void putLong(Bytes& out, std::size_t at, std::uint32_t value) {
    for (int b = 0; b < 4; ++b) out[at + b] = static_cast<std::uint8_t>(value >> (8 * b));
}

} // namespace

std::vector<std::uint8_t> mergeCommandFiles(std::span<const std::uint8_t> userImage,
                                            std::span<const std::uint8_t> templateImage, MergeResult* result) {
    const ParsedFile user = parse(userImage, "The user's command file");
    const ParsedFile templ = parse(templateImage, "The template");

    std::unordered_set<std::string> commands;
    for (const auto& r : user.commands)
        if (!r.skipped()) commands.insert(recordKey(r));
    std::unordered_set<std::string> lists;
    for (const auto& l : user.lists) lists.insert(foldCase(l.name.text));

    // The user's file up to its LIST count, as it stands.
    Bytes out(userImage.begin(), userImage.begin() + static_cast<long>(user.listSection));
    MergeResult merged;
    const RecordCodec& target = RecordCodec::forFamily(user.header.family);
    try {
        for (const auto& r : templ.commands) {
            if (r.skipped() || !commands.insert(recordKey(r)).second) continue;
            RecordCopier(RecordEdit{r}, target, out);
            ++merged.commandsAdded;
        }
    } catch (const Refusal& e) {
        throw MergeError(std::string("The template cannot be merged: ") + e.what());
    }
    const std::uint32_t commandCount = user.header.declaredCommands + merged.commandsAdded;
    if (commandCount > kMostRecords) throw MergeError("The merged file would hold more than 65535 commands");
    putLong(out, format::kCommandCountOffset, commandCount);

    const std::size_t listCountAt = out.size();
    out.insert(out.end(), userImage.begin() + static_cast<long>(user.listSection),
               userImage.begin() + static_cast<long>(user.end));
    for (const auto& l : templ.lists) {
        if (!lists.insert(foldCase(l.name.text)).second) continue;
        out.insert(out.end(), l.whole.begin(), l.whole.end());
        ++merged.listsAdded;
    }
    const std::uint32_t listCount = static_cast<std::uint32_t>(user.lists.size()) + merged.listsAdded;
    if (listCount > kMostRecords) throw MergeError("The merged file would hold more than 65535 LISTs");
    putLong(out, listCountAt, listCount);
    // Whatever follows the last LIST is no record; it stays where it was, at the end.
    out.insert(out.end(), userImage.begin() + static_cast<long>(user.end), userImage.end());

    if (result) *result = merged;
    return out;
}

void checkCommandFile(std::span<const std::uint8_t> image, const std::string& which) { parse(image, which); }

MergeResult mergeCommandFileInto(const std::filesystem::path& userFile, const std::filesystem::path& templateFile) {
    Bytes user, templ;
    try {
        user = readFileBytes(userFile);
        templ = readFileBytes(templateFile);
    } catch (const std::filesystem::filesystem_error& e) {
        throw MergeError(e.what());
    }
    const auto before = FileVersion::of(userFile);
    if (!before.present) throw MergeError("Cannot read the time of " + os::pathText(userFile));

    MergeResult result;
    try {
        writeFileAtomically(userFile, mergeCommandFiles(user, templ, &result));
    } catch (const MergeError& e) {
        throw MergeError("Cannot merge " + os::pathText(templateFile) + " into " + os::pathText(userFile) + ": " + e.what());
    } catch (const std::filesystem::filesystem_error& e) {
        throw MergeError(e.what());
    }

    // Two rewrites within one tick of the file system's clock get the same time; the program
    // would then wait in vain.
    moveTimeOnIfUnchanged(userFile, before);
    return result;
}

} // namespace vocabrella
