#include "shell/platform/EventFile.h"

#include "cmdfile/WideText.h"

namespace vocabrella::platform::eventfile {
namespace fs = std::filesystem;
namespace {

constexpr DWORD kShareAll = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;

std::uintmax_t identityOf(const BY_HANDLE_FILE_INFORMATION& info) {
    return (static_cast<std::uintmax_t>(info.nFileIndexHigh) << 32) | info.nFileIndexLow;
}

std::uintmax_t sizeOf(const BY_HANDLE_FILE_INFORMATION& info) {
    return (static_cast<std::uintmax_t>(info.nFileSizeHigh) << 32) | info.nFileSizeLow;
}

} // namespace

void appendLine(const fs::path& file, const std::string& line) {
    // Appending access alone: every write goes to the end, as with O_APPEND.
    HANDLE h = ::CreateFileW(file.c_str(), FILE_APPEND_DATA, kShareAll, nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL,
                             nullptr);
    if (h == INVALID_HANDLE_VALUE) throw fs::filesystem_error("Cannot open", file, os::systemError(::GetLastError()));
    OVERLAPPED beyond{};
    beyond.OffsetHigh = 0x40000000;
    ::LockFileEx(h, LOCKFILE_EXCLUSIVE_LOCK, 0, 1, 0, &beyond);
    DWORD written = 0;
    const BOOL ok = ::WriteFile(h, line.data(), static_cast<DWORD>(line.size()), &written, nullptr);
    const DWORD error = ::GetLastError();
    ::CloseHandle(h);
    if (!ok || written != line.size())
        throw fs::filesystem_error("Cannot write", file, os::systemError(ok ? ERROR_WRITE_FAULT : error));
}

End endOf(const fs::path& file) {
    HANDLE h = ::CreateFileW(file.c_str(), FILE_READ_ATTRIBUTES, kShareAll, nullptr, OPEN_EXISTING, 0, nullptr);
    if (h == INVALID_HANDLE_VALUE) return {};
    BY_HANDLE_FILE_INFORMATION info{};
    const bool ok = ::GetFileInformationByHandle(h, &info) != 0;
    ::CloseHandle(h);
    if (!ok) return {};
    return {true, sizeOf(info), identityOf(info)};
}

bool readAdded(const fs::path& file, std::uintmax_t& offset, std::uintmax_t& identity, std::string& added) {
    HANDLE h = ::CreateFileW(file.c_str(), GENERIC_READ, kShareAll, nullptr, OPEN_EXISTING, 0, nullptr);
    if (h == INVALID_HANDLE_VALUE) return false;
    BY_HANDLE_FILE_INFORMATION info{};
    if (!::GetFileInformationByHandle(h, &info)) {
        ::CloseHandle(h);
        return false;
    }
    const auto size = sizeOf(info);
    if (identityOf(info) != identity || size < offset) {
        offset = 0;
        identity = identityOf(info);
    }
    if (size > offset) {
        added.resize(static_cast<std::size_t>(size - offset));
        OVERLAPPED at{};
        at.Offset = static_cast<DWORD>(offset);
        at.OffsetHigh = static_cast<DWORD>(offset >> 32);
        DWORD n = 0;
        if (!::ReadFile(h, added.data(), static_cast<DWORD>(added.size()), &n, &at)) n = 0;
        added.resize(n);
    }
    ::CloseHandle(h);
    return true;
}

} // namespace vocabrella::platform::eventfile
