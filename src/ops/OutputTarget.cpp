#include "ops/OutputTarget.h"

#include "cmdfile/AtomicFile.h"
#include "cmdfile/Prompter.h"
#include "cmdfile/TextCase.h"
#include "cmdfile/Texts.h"
#include "ops/Workspace.h"
#include "writer/Texts.h"
#include "cmdfile/System.h"

namespace vocabrella::ops {
namespace fs = std::filesystem;

bool isSameFile(const fs::path& a, const fs::path& b) {
    std::error_code ec;
    const auto ca = fs::weakly_canonical(fs::absolute(a), ec);
    const auto cb = fs::weakly_canonical(fs::absolute(b), ec);
    if (ca == cb || foldCase(os::pathText(ca)) == foldCase(os::pathText(cb))) return true;
    return fs::equivalent(a, b, ec);
}

Outcome checkOutputTarget(Workspace& ws, const fs::path& target, ExistingOutput existing,
                          std::string_view isCommandFile) {
    return checkOutputTarget(ws.prompter(), ws.commandFile(), target, existing, isCommandFile);
}

Outcome checkOutputTarget(Prompter& prompter, const fs::path& openFile, const fs::path& target,
                          ExistingOutput existing, std::string_view isCommandFile) {
    const auto refuse = [&](std::string_view text, std::string title) {
        prompter.message(text, title);
        return Outcome::refused(std::string(text), std::move(title));
    };
    if (!openFile.empty() && isSameFile(target, openFile)) return refuse(isCommandFile, os::pathText(target));
    const auto folder = fs::absolute(target).parent_path();
    std::error_code ec;
    if (!fs::is_directory(folder, ec)) return refuse(vocabrella::texts::FolderDoesNotExist, os::pathText(folder));
    // What an earlier run killed while writing this target left goes, whatever this run does.
    removeDeadTemporaries(target);
    // Only a file is replaced: a folder, a pipe or a device (a link to one too) stays as it is.
    const auto status = fs::status(target, ec);
    if (fs::exists(status) && !fs::is_regular_file(status))
        return refuse(vocabrella::texts::NotARegularFile, os::pathText(target));
    // A link to nothing is not followed: what it names could be made anywhere.
    if (!fs::exists(status) && fs::is_symlink(fs::symlink_status(target, ec)))
        return refuse(texts::DanglingLink, os::pathText(target));
    if (existing == ExistingOutput::AskOverwrite && fs::exists(target, ec) &&
        !prompter.okCancel(texts::FileExistsOverwrite, os::pathText(target)))
        return Outcome::declined();
    return Outcome::done();
}

} // namespace vocabrella::ops
