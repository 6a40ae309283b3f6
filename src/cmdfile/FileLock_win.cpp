#include "cmdfile/FileLock.h"

#include "cmdfile/Clock.h"
#include "cmdfile/Errors.h"
#include "cmdfile/System.h"
#include "cmdfile/Texts.h"
#include "cmdfile/WideText.h"

#include <fcntl.h>
#include <io.h>

#include <algorithm>
#include <string>

namespace vocabrella {
namespace fs = std::filesystem;
namespace {

constexpr std::chrono::milliseconds kPoll{50};

[[noreturn]] void refuse(const fs::path& commandFile, std::string_view why) {
    throw Refusal(os::pathText(commandFile) + ": " + std::string(why));
}

} // namespace

CommandFileLock::CommandFileLock(const fs::path& commandFile, Clock& clock, std::chrono::milliseconds patience) {
    const fs::path lockFile = lockFileOf(commandFile);
    // Everyone may open, write and delete around it: only the byte-range lock excludes.
    HANDLE h = ::CreateFileW(lockFile.c_str(), GENERIC_READ | GENERIC_WRITE,
                             FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_ALWAYS,
                             FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE) {
        const DWORD error = ::GetLastError();
        if (error == ERROR_ACCESS_DENIED || error == ERROR_WRITE_PROTECT) refuse(commandFile, texts::FolderNotWritable);
        throw fs::filesystem_error("Cannot open the lock file", lockFile, os::systemError(error));
    }
    const auto deadline = clock.now() + patience;
    for (;;) {
        OVERLAPPED whole{};
        if (::LockFileEx(h, LOCKFILE_EXCLUSIVE_LOCK | LOCKFILE_FAIL_IMMEDIATELY, 0, MAXDWORD, MAXDWORD, &whole)) break;
        const DWORD error = ::GetLastError();
        const auto now = clock.now();
        if (error != ERROR_LOCK_VIOLATION || now >= deadline) {
            ::CloseHandle(h);
            if (error != ERROR_LOCK_VIOLATION)
                throw fs::filesystem_error("Cannot lock", lockFile, os::systemError(error));
            refuse(commandFile, texts::WriterBusy);
        }
        clock.sleep(std::min(kPoll, std::chrono::ceil<std::chrono::milliseconds>(deadline - now)));
    }
    // Kept as a C runtime descriptor, like on the other systems; closing it releases the lock.
    fd_ = ::_open_osfhandle(reinterpret_cast<intptr_t>(h), _O_RDONLY);
    if (fd_ < 0) {
        ::CloseHandle(h);
        throw fs::filesystem_error("Cannot lock", lockFile, std::make_error_code(std::errc::too_many_files_open));
    }
}

CommandFileLock::~CommandFileLock() { ::_close(fd_); }

} // namespace vocabrella
