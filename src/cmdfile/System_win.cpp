#include "cmdfile/System.h"

#include "cmdfile/WideText.h"

#include <shlobj.h>

#include <random>
#include <system_error>

namespace vocabrella::os {
namespace fs = std::filesystem;

// The library's symlink_status does not see junctions: the attribute does, and every other
// reparse point too.
bool isLink(const fs::path& path) {
    const DWORD attributes = ::GetFileAttributesW(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0;
}

std::int64_t currentProcess() { return static_cast<std::int64_t>(::GetCurrentProcessId()); }

bool processGone(std::int64_t pid) {
    if (pid <= 0) return false;
    HANDLE process = ::OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION | SYNCHRONIZE, FALSE, static_cast<DWORD>(pid));
    if (!process) return ::GetLastError() == ERROR_INVALID_PARAMETER; // no process has that number
    // A process that has ended but whose handle someone still holds is gone too.
    const bool ended = ::WaitForSingleObject(process, 0) == WAIT_OBJECT_0;
    ::CloseHandle(process);
    return ended;
}

fs::path programFile() {
    std::wstring buffer(MAX_PATH, L'\0');
    for (;;) {
        const DWORD n = ::GetModuleFileNameW(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
        if (n == 0) return {};
        if (n < buffer.size()) return fs::path(buffer.substr(0, n));
        buffer.resize(buffer.size() * 2);
    }
}

fs::path defaultHomeFolder() {
    PWSTR folder = nullptr;
    fs::path home;
    if (::SHGetKnownFolderPath(FOLDERID_LocalAppData, KF_FLAG_CREATE, nullptr, &folder) == S_OK)
        home = fs::path(folder) / L"Vocabrella";
    ::CoTaskMemFree(folder);
    if (home.empty()) home = fs::current_path() / L"Vocabrella";
    return home;
}

std::string environment(const char* name) {
    const std::wstring key = wide(name);
    const DWORD n = ::GetEnvironmentVariableW(key.c_str(), nullptr, 0);
    if (n == 0) return {};
    std::wstring value(n, L'\0');
    const DWORD got = ::GetEnvironmentVariableW(key.c_str(), value.data(), n);
    value.resize(got < n ? got : 0);
    return narrow(value);
}

std::tm localTime(std::time_t t) {
    std::tm tm{};
    ::localtime_s(&tm, &t);
    return tm;
}

std::string operatingSystem() {
    // GetVersionEx is told a compatibility version; the system's own DLL knows the real one.
    using RtlGetVersionCall = LONG(WINAPI*)(OSVERSIONINFOW*);
    OSVERSIONINFOW info{};
    info.dwOSVersionInfoSize = sizeof info;
    if (HMODULE ntdll = ::GetModuleHandleW(L"ntdll.dll")) {
        if (auto call = reinterpret_cast<RtlGetVersionCall>(
                reinterpret_cast<void*>(::GetProcAddress(ntdll, "RtlGetVersion"))))
            call(&info);
    }
    if (info.dwMajorVersion == 0) return "Windows";
    return "Windows " + std::to_string(info.dwMajorVersion) + "." + std::to_string(info.dwMinorVersion) + "." +
           std::to_string(info.dwBuildNumber);
}

fs::path makeTemporaryFolder(const fs::path& parent, std::string_view prefix) {
    static constexpr char kLetters[] = "abcdefghijklmnopqrstuvwxyz0123456789";
    std::random_device seed;
    std::mt19937 random(seed() ^ static_cast<unsigned>(::GetCurrentProcessId()));
    std::uniform_int_distribution<std::size_t> pick(0, sizeof kLetters - 2);
    for (int attempt = 0; attempt < 100; ++attempt) {
        std::string name(prefix);
        for (int i = 0; i < 6; ++i) name += kLetters[pick(random)];
        const fs::path folder = parent / pathFrom(name);
        if (::CreateDirectoryW(folder.c_str(), nullptr)) return folder;
        if (::GetLastError() != ERROR_ALREADY_EXISTS)
            throw fs::filesystem_error("Cannot create a temporary folder in", parent, systemError(::GetLastError()));
    }
    throw fs::filesystem_error("Cannot create a temporary folder in", parent,
                               std::make_error_code(std::errc::file_exists));
}

std::int64_t startDetached(const std::vector<std::string>& arguments) {
    if (arguments.empty()) return -1;
    std::wstring line = commandLine(arguments);
    const std::wstring program = pathFrom(arguments.front()).wstring();
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESHOWWINDOW;
    startup.wShowWindow = SW_HIDE;
    PROCESS_INFORMATION process{};
    if (!::CreateProcessW(program.c_str(), line.data(), nullptr, nullptr, FALSE, CREATE_NO_WINDOW, nullptr, nullptr,
                          &startup, &process))
        return -1;
    // Nothing is kept of it: a Windows process leaves nothing behind to be collected.
    ::CloseHandle(process.hThread);
    ::CloseHandle(process.hProcess);
    return static_cast<std::int64_t>(process.dwProcessId);
}

void reapIfFinished(std::int64_t) {}

} // namespace vocabrella::os
