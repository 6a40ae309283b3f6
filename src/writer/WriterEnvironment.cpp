#include "writer/WriterEnvironment.h"

#include "cmdfile/AtomicFile.h"
#include "cmdfile/Codec.h"
#include "cmdfile/CommandRecord.h"
#include "cmdfile/Errors.h"
#include "cmdfile/RawRecord.h"
#include "cmdfile/Reader.h"
#include "cmdfile/Trace.h"
#include "writer/Texts.h"

namespace vocabrella {

const std::filesystem::path& WriterEnvironment::commandFile() const { return reader.file().path; }

void CommitRewrite(const WriterEnvironment& env, std::string_view traceText, const std::vector<std::uint8_t>& previous,
                   std::vector<std::uint8_t> bytes) {
    // The work file is only a record of the last result; it needs no syncing.
    writeFileAtomically(env.home(texts::WorkFile), bytes, false);
    env.trace.Tracy(traceText);
    writeFileAtomically(env.home(texts::SaveDat), previous);
    writeFileAtomically(env.commandFile(), bytes);
    auto& file = env.reader.file();
    file.info.size = bytes.size();
    file.image = std::move(bytes);
}

std::string encodeForFile(std::string_view utf8) {
    try {
        return codec::utf8ToCp1252(utf8);
    } catch (const EncodingError& e) {
        throw Refusal(e.what());
    }
}

std::string encodeName(std::string_view utf8) {
    std::string bytes = encodeForFile(utf8);
    if (!nameIsAcceptable(bytes)) throw Refusal(std::string(texts::ControlCharacterInName));
    return bytes;
}

void checkListReferences(std::string_view name, std::size_t most) {
    if (listReferences(name).size() > most) throw Refusal(std::string(texts::TooManyListReferences));
}

} // namespace vocabrella
