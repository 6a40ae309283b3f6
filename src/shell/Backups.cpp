#include "shell/Application.h"

#include "cmdfile/AtomicFile.h"
#include "cmdfile/Clock.h"
#include "cmdfile/FileLock.h"
#include "cmdfile/Prompter.h"
#include "cmdfile/TimeText.h"
#include "shell/ApplicationTexts.h"
#include "shell/FileBackups.h"
#include "shell/HomeFolder.h"
#include "writer/CommandFileMerge.h"
#include "cmdfile/System.h"

#include <algorithm>
#include <ctime>

namespace vocabrella {
namespace fs = std::filesystem;

namespace {

constexpr std::uintmax_t kCompactAbove = 3000000;

} // namespace

std::optional<fs::path> Application::RollBackCheck(bool force) {
    if (commandFile().empty()) return std::nullopt;
    const fs::path file = fs::weakly_canonical(fs::absolute(commandFile()));
    if (!dragonAvailable()) return FileBackups::takeDaily(options_.home, file, clock_, force);
    const auto user = speechUserOfFile(file);
    if (!user) return std::nullopt; // only a speech user's own file is backed up
    const fs::path folder = backupFolder(*user);
    fs::create_directories(folder);
    const fs::path daily = folder / ("mycmds." + localTimeText(clock_.now(), "%m%d%Y"));
    if (!fs::exists(daily) || force) {
        copyFileAtomically(file, daily);
        RollBackListBuild();
    }
    if (force)
        prompter_.message("User '" + *user + "'\r\n\r\n" + os::pathText(file) + "\r\n\r\n" + std::string(texts::BackupTaken),
                          os::pathText(daily));
    return daily;
}

const std::vector<std::string>& Application::RollBackListBuild() {
    rollbackEntries_.clear();
    const std::string prefix = "mycmds." + localTimeText(clock_.now(), "%m");
    std::error_code ec;
    if (!displayedUser_.empty())
        for (const auto& entry : fs::directory_iterator(backupFolder(displayedUser_), ec)) {
            const std::string name = os::pathText(entry.path().filename());
            if (name.rfind(prefix, 0) == 0) rollbackEntries_.push_back(name);
        }
    std::sort(rollbackEntries_.begin(), rollbackEntries_.end()); // a stable order, oldest day first
    if (rollbackEntries_.empty()) rollbackEntries_.emplace_back(texts::NoneToRollback);
    return rollbackEntries_;
}

std::optional<fs::path> Application::backupOf(const std::string& entry) {
    // Only a backup of the user's own list is restored, and only when it reads as a command file:
    // anything else given here would replace the user's commands with whatever it holds.
    const auto& entries = RollBackListBuild();
    // A backup may be named as listed or by its path in the backup folder.
    std::string name = entry;
    if (const fs::path given(entry); given.has_parent_path() && !displayedUser_.empty()) {
        std::error_code ec, own;
        const auto folder = fs::weakly_canonical(fs::absolute(given).parent_path(), ec);
        if (!ec && folder == fs::weakly_canonical(backupFolder(displayedUser_), own) && !own)
            name = os::pathText(given.filename());
    }
    if (name == texts::NoneToRollback || std::find(entries.begin(), entries.end(), name) == entries.end()) {
        prompter_.message(texts::NotABackup, entry);
        return std::nullopt;
    }
    const fs::path archive = backupFolder(displayedUser_) / name;
    try {
        checkCommandFile(readFileBytes(archive), os::pathText(archive));
    } catch (const std::exception& e) {
        prompter_.message(e.what(), os::pathText(archive));
        return std::nullopt;
    }
    return archive;
}

bool Application::restore(const std::string& entry, const RestorePreview& preview) {
    const auto found = backupOf(entry);
    if (!found) return false;
    const fs::path& archive = *found;
    const std::string name = os::pathText(archive.filename());
    const fs::path target = ownFileOf(displayedUser_);
    const std::string day = name.size() >= 8 ? name.substr(name.size() - 8) : name;
    const std::string details = preview ? preview(archive, target) : std::string();
    if (!prompter_.okCancelDetailed("Restore user '" + displayedUser_ + "'\r\n\r\n" + os::pathText(target) +
                                        "\r\n\r\nto version before first \r\nVocabrella execution on: " + day +
                                        " (mmddyyyy) ?",
                                    texts::RestoreTitle, details))
        return false;
    {
        CommandFileLock lock(target, clock_);
        copyFileAtomically(target, backupFolder(displayedUser_) / texts::PreRollback);
        copyFileAtomically(archive, target);
    }
    if (!session_->reader().ReadCommandFile(true, target).success) parseFailure();
    if (nat_ && nat_->ProductionOpen(target) && dragon_.windows().findWindow("", "Dragon NaturallySpeaking") != 0) SaveAndReload();
    return true;
}

void Application::rollbackset() {
    RollBackCheck(true);
    RollBackListBuild();
}

bool Application::CompactStore(bool force) {
    const fs::path store = HomeFolder::storePath(session_->work());
    std::error_code ec;
    const auto size = fs::file_size(store, ec);
    if (!force && (ec || size <= kCompactAbove)) return false;
    session_->trace().Tracy(texts::trace::BeforeCompact);
    session_->store().vacuum();
    session_->trace().Tracy(texts::trace::AfterCompact);
    return true;
}

} // namespace vocabrella
