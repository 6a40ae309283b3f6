#include "ProcessEdges.h"

#include "cmdfile/System.h"
#include "cmdfile/WideText.h"

#include <shellapi.h>

#include <cstdio>
#include <fcntl.h>
#include <io.h>
#include <mutex>

namespace vocabrella::cli {
namespace fs = std::filesystem;

Arguments::Arguments(int argc, char** argv) {
    int count = 0;
    if (LPWSTR* wide = ::CommandLineToArgvW(::GetCommandLineW(), &count)) {
        for (int i = 0; i < count; ++i) texts_.push_back(os::narrow(wide[i]));
        ::LocalFree(wide);
    } else {
        texts_.assign(argv, argv + argc);
    }
    for (const auto& t : texts_) pointers_.push_back(t.c_str());
}

void prepareStandardStreams() {
    ::_setmode(::_fileno(stdout), _O_BINARY);
    ::_setmode(::_fileno(stderr), _O_BINARY);
    ::_setmode(::_fileno(stdin), _O_BINARY);
    // A console shows the UTF-8 the program writes.
    ::SetConsoleOutputCP(CP_UTF8);
}

bool standardOutputIsTerminal() { return ::_isatty(::_fileno(stdout)) != 0; }
bool standardErrorIsTerminal() { return ::_isatty(::_fileno(stderr)) != 0; }

namespace {

// The console's ending events arrive on a thread of their own; the folder to remove is handed
// to it here. Only one temporary home exists in a run.
std::mutex ending;
fs::path* endingFolder = nullptr;

BOOL WINAPI onConsoleEnd(DWORD event) {
    switch (event) {
    case CTRL_C_EVENT:
    case CTRL_BREAK_EVENT:
    case CTRL_CLOSE_EVENT:
    case CTRL_LOGOFF_EVENT:
    case CTRL_SHUTDOWN_EVENT: {
        std::lock_guard lock(ending);
        if (endingFolder) {
            std::error_code ec;
            fs::remove_all(*endingFolder, ec);
        }
        // As a process ended by a signal: 128 + SIGINT for Ctrl+C, + SIGTERM otherwise.
        ::ExitProcess(event == CTRL_C_EVENT || event == CTRL_BREAK_EVENT ? 130 : 143);
    }
    default: return FALSE;
    }
}

} // namespace

TemporaryHome::TemporaryHome() {
    base_ = os::makeTemporaryFolder(fs::temp_directory_path(), "vocabrella-");
    std::lock_guard lock(ending);
    endingFolder = &base_;
    ::SetConsoleCtrlHandler(onConsoleEnd, TRUE);
}

TemporaryHome::~TemporaryHome() {
    {
        std::lock_guard lock(ending);
        endingFolder = nullptr;
    }
    ::SetConsoleCtrlHandler(onConsoleEnd, FALSE);
    finished_ = true;
    std::error_code ec;
    fs::remove_all(base_, ec);
}

} // namespace vocabrella::cli
