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

Session::Session(const fs::path& home, Prompter& prompter, Clock& clock)
    : home_(home), prompter_(prompter), clock_(clock) {
    if (HomeFolder::prepare(home_) == HomeFolder::State::StoreMissing) {
        prompter_.message(texts::StoreMissing, os::pathText(HomeFolder::storePath(home_)));
        throw EndProgram();
    }
    switch (trace_.open(home_ / "trace.vbl", clock_.now())) {
    case Trace::OpenResult::Opened: break;
    case Trace::OpenResult::Locked:
    case Trace::OpenResult::Failed:
        prompter_.message(texts::AlreadyRunning);
        throw EndProgram();
    }
    openStore();
}

void Session::openStore() {
    reader_.reset();
    store_.reset();
    const fs::path path = HomeFolder::storePath(home_);
    try {
        try {
            store_.emplace(CommandStore::open(path));
        } catch (const StoreError& e) {
            if (!CommandStore::isDamage(e)) throw;
            // The store is only a copy of the command file: a damaged one is made again from it.
            trace_.Tracy(e.what());
            HomeFolder::replaceDamagedStore(home_);
            store_.emplace(CommandStore::open(path));
        }
    } catch (const std::exception& e) {
        trace_.Tracy(e.what());
        prompter_.message(texts::StoreCannotOpen, texts::StoreCannotOpenTitle);
        throw EndProgram();
    }
    store_->setTrace(&trace_);
    reader_.emplace(ReaderEnvironment{*store_, trace_, prompter_, clock_, home_});
}

void Session::replaceDamagedStore() {
    reader_.reset();
    store_.reset();
    try {
        HomeFolder::replaceDamagedStore(home_);
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
    copyFileAtomically(home_ / "savedat", path);
    parseFailure();
}

ReadOutcome Session::readChangedFile() {
    const auto path = reader_->file().path;
    return rebuildingOnDamage(path, [&] { return reader_->ReadCommandFile(true, path); });
}

void Session::parseFailure() {
    // The trace goes after the dump in error.log, behind a line of its own.
    const auto traceText = readFileBytes(home_ / "trace.vbl");
    if (std::ofstream log{home_ / "error.log", std::ios::binary | std::ios::app}) {
        log << texts::NowTrace << "\r\n";
        log.write(reinterpret_cast<const char*>(traceText.data()), static_cast<std::streamsize>(traceText.size()));
    }
    prompter_.message(texts::SendErrorLog, texts::SendErrorLogTitle);
    throw EndProgram();
}

} // namespace vocabrella
