#include "writer/WriterEnvironment.h"

#include "cmdfile/AtomicFile.h"
#include "cmdfile/Codec.h"
#include "cmdfile/CommandRecord.h"
#include "cmdfile/Errors.h"
#include "cmdfile/RawRecord.h"
#include "cmdfile/Reader.h"
#include "cmdfile/Store.h"
#include "cmdfile/Trace.h"
#include "writer/Texts.h"

#include <future>

namespace vocabrella {

const std::filesystem::path& WriterEnvironment::commandFile() const { return reader.file().path; }

namespace {

void commitRewrite(const WriterEnvironment& env, std::string_view traceText, const FileSnapshot& previous,
                   std::vector<std::uint8_t> bytes, FileSystemCalls& calls) {
    // The new file is built in memory and written beside the command file under a temporary
    // name, which is renamed over it: that temporary file is the work file.
    env.trace.Tracy(traceText);
    // savedat keeps the file as it was read; while that version is still in place it is linked,
    // not copied.
    if (previous.stillAt(env.commandFile())) keepCopyAtomically(env.commandFile(), env.home(texts::SaveDat));
    else writeFileAtomically(env.home(texts::SaveDat), previous.bytes);
    writeFileAtomically(env.commandFile(), bytes, true, calls);
    auto& file = env.reader.file();
    file.info.size = bytes.size();
    file.spare = std::move(file.image);
    file.image = std::move(bytes);
    file.imageUnread = false;
}

// The new file is renamed into place only once the store's change has been made: when that
// fails, the file stays as it was (the temporary file is removed) and the store's failure goes on.
class AfterTheStore final : public FileSystemCalls {
public:
    explicit AfterTheStore(std::future<void>& store) : store_(store) {}
    int rename(const char* from, const char* to) override {
        store_.get();
        return FileSystemCalls::rename(from, to);
    }

private:
    std::future<void>& store_;
};

} // namespace

void CommitRewrite(const WriterEnvironment& env, std::string_view traceText, const FileSnapshot& previous,
                   std::vector<std::uint8_t> bytes) {
    FileSystemCalls calls;
    commitRewrite(env, traceText, previous, std::move(bytes), calls);
}

void CommitRewrite(const WriterEnvironment& env, std::string_view traceText, const FileSnapshot& previous,
                   std::vector<std::uint8_t> bytes, const std::function<void(CommandStore&)>& storeChange) {
    CommandStore::Transaction transaction(env.store);
    // The store is left to the other thread until the future is waited for, on every path.
    auto store = std::async(std::launch::async, [&] { storeChange(env.store); });
    try {
        AfterTheStore calls(store);
        commitRewrite(env, traceText, previous, std::move(bytes), calls);
    } catch (...) {
        if (store.valid()) store.wait();
        throw; // the transaction rolls the store back
    }
    if (store.valid()) store.get();
    transaction.commit();
}

CommandFileOnDisk::CommandFileOnDisk(const WriterEnvironment& env)
    : file_(env.reader.file()), snapshot_(readSnapshot(file_.path, std::move(file_.readBack))) {}

CommandFileOnDisk::~CommandFileOnDisk() { file_.readBack = std::move(snapshot_.bytes); }

std::vector<std::uint8_t> storageForNewVersion(const WriterEnvironment& env) {
    auto storage = std::move(env.reader.file().spare);
    storage.clear();
    return storage;
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
