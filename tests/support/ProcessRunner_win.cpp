#include "ProcessRunner.h"

#include "cmdfile/System.h"
#include "cmdfile/WideText.h"

#include <thread>

namespace vocabrella::testsupport {
namespace {

struct Started {
    HANDLE process = nullptr;
    DWORD id = 0;
};

// Starts the program with the given standard handles (inherited), or with its own.
Started start(const std::vector<std::string>& arguments, HANDLE in, HANDLE out, HANDLE err) {
    if (arguments.empty()) return {};
    std::wstring line = os::commandLine(arguments);
    const std::wstring program = os::pathFrom(arguments.front()).wstring();
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    const bool redirected = in && out && err;
    if (redirected) {
        startup.dwFlags = STARTF_USESTDHANDLES;
        startup.hStdInput = in;
        startup.hStdOutput = out;
        startup.hStdError = err;
    }
    PROCESS_INFORMATION info{};
    if (!::CreateProcessW(program.c_str(), line.data(), nullptr, nullptr, redirected ? TRUE : FALSE, CREATE_NO_WINDOW,
                          nullptr, nullptr, &startup, &info))
        return {};
    ::CloseHandle(info.hThread);
    return {info.hProcess, info.dwProcessId};
}

void drain(HANDLE pipe, std::string& into) {
    char buffer[4096];
    DWORD n = 0;
    while (::ReadFile(pipe, buffer, sizeof buffer, &n, nullptr) && n > 0) into.append(buffer, n);
}

int exitStatus(HANDLE process) {
    ::WaitForSingleObject(process, INFINITE);
    DWORD code = 0;
    if (!::GetExitCodeProcess(process, &code)) return -1;
    return static_cast<int>(code);
}

} // namespace

ProcessResult runProgram(const std::vector<std::string>& arguments) {
    ProcessResult result;
    SECURITY_ATTRIBUTES inherit{sizeof(SECURITY_ATTRIBUTES), nullptr, TRUE};
    HANDLE outRead = nullptr, outWrite = nullptr, errRead = nullptr, errWrite = nullptr;
    if (!::CreatePipe(&outRead, &outWrite, &inherit, 0)) return result;
    if (!::CreatePipe(&errRead, &errWrite, &inherit, 0)) {
        ::CloseHandle(outRead), ::CloseHandle(outWrite);
        return result;
    }
    // Only the child's ends are inherited.
    ::SetHandleInformation(outRead, HANDLE_FLAG_INHERIT, 0);
    ::SetHandleInformation(errRead, HANDLE_FLAG_INHERIT, 0);
    HANDLE nul = ::CreateFileW(L"NUL", GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, &inherit, OPEN_EXISTING, 0,
                               nullptr);
    const Started child = start(arguments, nul, outWrite, errWrite);
    ::CloseHandle(outWrite), ::CloseHandle(errWrite), ::CloseHandle(nul);
    // Both pipes are drained together: a child that fills one while the other is read would
    // wait for ever.
    std::thread errReader(drain, errRead, std::ref(result.err));
    drain(outRead, result.out);
    errReader.join();
    ::CloseHandle(outRead), ::CloseHandle(errRead);
    if (child.process) {
        result.status = exitStatus(child.process);
        ::CloseHandle(child.process);
    }
    return result;
}

StartedProgram::StartedProgram(const std::vector<std::string>& arguments) {
    SECURITY_ATTRIBUTES inherit{sizeof(SECURITY_ATTRIBUTES), nullptr, TRUE};
    HANDLE nul = ::CreateFileW(L"NUL", GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, &inherit,
                               OPEN_EXISTING, 0, nullptr);
    const Started child = start(arguments, nul, nul, nul);
    ::CloseHandle(nul);
    if (child.process) {
        handle_ = reinterpret_cast<std::intptr_t>(child.process);
        pid_ = child.id;
    }
}

StartedProgram::~StartedProgram() {
    if (handle_ != -1) {
        kill();
        wait();
    }
}

bool StartedProgram::started() const { return handle_ != -1; }

void StartedProgram::kill() {
    if (handle_ != -1) ::TerminateProcess(reinterpret_cast<HANDLE>(handle_), 137);
}

int StartedProgram::wait() {
    if (handle_ == -1) return -1;
    const auto process = reinterpret_cast<HANDLE>(handle_);
    const int status = exitStatus(process);
    ::CloseHandle(process);
    handle_ = -1;
    pid_ = -1;
    return status == 137 ? -1 : status;
}

} // namespace vocabrella::testsupport
