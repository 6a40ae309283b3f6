#include "shell/Session.h"

#include "cmdfile/AtomicFile.h"
#include "cmdfile/Clock.h"
#include "cmdfile/Errors.h"
#include "cmdfile/Prompter.h"
#include "cmdfile/Texts.h"
#include "shell/HomeFolder.h"
#include "shell/Texts.h"
#include "cmdfile/System.h"

#include <fstream>

namespace vocabrella {
namespace fs = std::filesystem;

void Session::prepare(const fs::path& folder) {
    if (HomeFolder::prepare(folder) == HomeFolder::State::StoreMissing) {
        prompter_.message(texts::StoreMissing, os::pathText(HomeFolder::storePath(folder)));
        throw EndProgram();
    }
}

Session::Session(const fs::path& home, Prompter& prompter, Clock& clock)
    : home_(home), work_(home), prompter_(prompter), clock_(clock) {
    prepare(home_);
    switch (trace_.open(work_ / "trace.vbl", clock_.now())) {
    case Trace::OpenResult::Opened: break;
    case Trace::OpenResult::Locked:
    case Trace::OpenResult::Failed:
        prompter_.message(texts::AlreadyRunning);
        throw EndProgram();
    }
    openStore();
}

Session::Session(const fs::path& home, const fs::path& work, Prompter& prompter, Clock& clock)
    : home_(home), work_(work), prompter_(prompter), clock_(clock) {
    prepare(home_);
    fs::create_directories(work_.parent_path());
    prepare(work_);
    // Another run on the same file holds the trace: this one goes on untraced.
    trace_.open(work_ / "trace.vbl", clock_.now());
    openStore();
}

void Session::openStore() {
    reader_.reset();
    store_.reset();
    const fs::path path = HomeFolder::storePath(work_);
    try {
        try {
            store_.emplace(CommandStore::open(path));
        } catch (const StoreError& e) {
            if (!CommandStore::isDamage(e)) throw;
            // The store is only a copy of the command file: a damaged one is made again from it.
            trace_.Tracy(e.what());
            HomeFolder::replaceDamagedStore(work_);
            store_.emplace(CommandStore::open(path));
        }
    } catch (const std::exception& e) {
        trace_.Tracy(e.what());
        prompter_.message(texts::StoreCannotOpen, texts::StoreCannotOpenTitle);
        throw EndProgram();
    }
    store_->setTrace(&trace_);
    reader_.emplace(ReaderEnvironment{*store_, trace_, prompter_, clock_, work_});
}

void Session::replaceDamagedStore() {
    reader_.reset();
    store_.reset();
    try {
        HomeFolder::replaceDamagedStore(work_);
    } catch (const std::exception& e) {
        trace_.Tracy(e.what());
        prompter_.message(texts::StoreCannotOpen, texts::StoreCannotOpenTitle);
        throw EndProgram();
    }
    openStore();
}

ReadOutcome Session::rebuildingOnDamage(const fs::path& path, const std::function<ReadOutcome()>& read) {
    try {
        return read();
    } catch (const StoreError& e) {
        if (!CommandStore::isDamage(e)) throw;
        trace_.Tracy(e.what());
    }
    replaceDamagedStore();
    return openInStore(path);
}

ReadOutcome Session::open(const fs::path& file) {
    const fs::path path = fs::weakly_canonical(fs::absolute(file));
    // Both checked before the store is emptied for it; a pipe is never opened (that would wait).
    if (!fs::exists(path)) return {false, os::pathText(path) + ": " + std::string(texts::FileDoesNotExist), true};
    if (!fs::is_regular_file(path))
        return {false, os::pathText(path) + ": " + std::string(texts::NotARegularFile), true};
    return rebuildingOnDamage(path, [&] { return openInStore(path); });
}

ReadOutcome Session::openInStore(const fs::path& path) {
    auto p = store_->parameters();
    if (p.openfile && *p.openfile == os::pathText(path)) return reader_->ReadCommandFile(false, path);
    {
        CommandStore::Transaction t(*store_);
        store_->deleteAllUsers();
        store_->deleteAllDvcmap();
        store_->deleteAllStates();
        p.openfile = os::pathText(path);
        p.parsed = false;
        store_->setParameters(p);
        t.commit();
    }
    return reader_->ReadCommandFile(true, path);
}

} // namespace vocabrella

namespace vocabrella {

void Session::FileRefresh() {
    const auto path = reader_->file().path;
    if (rebuildingOnDamage(path, [&] { return reader_->ReadCommandFile(true, path); }).success) return;
    prompter_.message(texts::NotCorrectlyWritten, texts::NotCorrectlyWrittenTitle);
    copyFileAtomically(work_ / "savedat", path);
    parseFailure();
}

ReadOutcome Session::readChangedFile() {
    const auto path = reader_->file().path;
    return rebuildingOnDamage(path, [&] { return reader_->ReadCommandFile(true, path); });
}

void Session::parseFailure() {
    // The trace goes after the dump in error.log, behind a line of its own.
    const auto traceText = trace_.isOpen() ? readFileBytes(trace_.path()) : std::vector<std::uint8_t>();
    if (std::ofstream log{work_ / "error.log", std::ios::binary | std::ios::app}) {
        log << texts::NowTrace << "\r\n";
        log.write(reinterpret_cast<const char*>(traceText.data()), static_cast<std::streamsize>(traceText.size()));
    }
    prompter_.message(texts::SendErrorLog, texts::SendErrorLogTitle);
    throw EndProgram();
}

} // namespace vocabrella
