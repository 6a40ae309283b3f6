#include "ui/FileWatch.h"

#include "cmdfile/AtomicFile.h"
#include "cmdfile/Prompter.h"
#include "cmdfile/Reader.h"
#include "cmdfile/System.h"
#include "ops/Workspace.h"
#include "shell/Application.h"
#include "shell/Session.h"
#include "shell/Texts.h"
#include "ui/CommandLists.h"
#include "ui/Form1.h"
#include "ui/Texts.h"
#include "ui/WindowText.h"

namespace vocabrella::ui {
namespace {

// Long enough for a writer's burst of notices (a temporary file, a rename) to end first.
constexpr int kQuietMs = 250;
// While the window is busy (a change under way, a dialog open) the look is put off this long.
constexpr int kBusyRetryMs = 500;

} // namespace

FileWatch::FileWatch(WindowContext& ctx, QObject* parent) : QObject(parent), ctx_(ctx) {
    quiet_.setSingleShot(true);
    connect(&quiet_, &QTimer::timeout, this, &FileWatch::check);
    const auto notice = [this] { quiet_.start(kQuietMs); };
    connect(&watcher_, &QFileSystemWatcher::fileChanged, this, notice);
    connect(&watcher_, &QFileSystemWatcher::directoryChanged, this, notice);
}

void FileWatch::follow() {
    const std::filesystem::path now = ctx_.fileOpen() ? ctx_.session.reader().file().path : std::filesystem::path();
    if (now != file_) {
        if (!watcher_.files().isEmpty()) watcher_.removePaths(watcher_.files());
        if (!watcher_.directories().isEmpty()) watcher_.removePaths(watcher_.directories());
        file_ = now;
        toldEditOf_.reset();
        goneTold_ = seenWhileEditing_ = false;
    }
    if (file_.empty()) return;
    // The folder tells of a file renamed over the open one. On Linux the file's own watch stays
    // with the file it watched (the backup's hard link keeps it alive), so it is made again for
    // the file now at that path.
    const QString folder = qs(os::pathText(file_.parent_path()));
    const QString file = qs(os::pathText(file_));
    if (!watcher_.directories().contains(folder)) watcher_.addPath(folder);
    if (watcher_.files().contains(file)) watcher_.removePath(file);
    std::error_code ec;
    if (std::filesystem::exists(file_, ec)) watcher_.addPath(file);
}

void FileWatch::editEnded() {
    if (seenWhileEditing_) quiet_.start(0);
}

void FileWatch::check() {
    if (ctx_.window.ended()) return;
    follow();
    if (file_.empty()) return;
    if (ctx_.window.busy()) {
        // Never under a change that is being made: it has read the store and may be asking.
        quiet_.start(kBusyRetryMs);
        return;
    }
    ops::Workspace ws(ctx_.app, ctx_.clock);
    if (!ws.changedOnDisk()) return;
    const auto version = writeTimeStamp(file_);
    if (!version) {
        // Gone, or being replaced by a writer that deletes first: the window keeps what it shows.
        if (!goneTold_)
            ctx_.window.guarded(
                [&] { ctx_.prompter().message(vocabrella::texts::FileDoesNotExist, os::pathText(file_)); });
        goneTold_ = true;
        return;
    }
    goneTold_ = false;
    if (ctx_.window.editOpen()) {
        seenWhileEditing_ = true;
        if (toldEditOf_ != version)
            ctx_.window.guarded([&] {
                ctx_.prompter().message(ctx_.edit.creating() ? texts::FileChangedWhileCreating
                                                             : texts::FileChangedWhileEditing,
                                        os::pathText(file_));
            });
        toldEditOf_ = version;
        return;
    }
    readAgain();
}

void FileWatch::readAgain() {
    seenWhileEditing_ = false;
    toldEditOf_.reset();
    ctx_.window.guarded([&] {
        const auto shown = ctx_.lists->shownEntry();
        if (!ctx_.app.refreshChangedFile()) return;
        ctx_.lists->refreshAfterChange();
        ctx_.lists->showAgain(shown);
        ctx_.prompter().status(texts::FileChangedReadAgain);
    });
}

} // namespace vocabrella::ui
