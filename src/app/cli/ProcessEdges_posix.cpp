#include "ProcessEdges.h"

#include "cmdfile/System.h"

#include <csignal>
#include <pthread.h>
#include <unistd.h>

namespace vocabrella::cli {
namespace fs = std::filesystem;

Arguments::Arguments(int argc, char** argv) : texts_(argv, argv + argc) {
    for (const auto& t : texts_) pointers_.push_back(t.c_str());
}

void prepareStandardStreams() {}

bool standardOutputIsTerminal() { return ::isatty(STDOUT_FILENO) == 1; }
bool standardErrorIsTerminal() { return ::isatty(STDERR_FILENO) == 1; }

namespace {
sigset_t endingSignals() {
    sigset_t signals{};
    sigemptyset(&signals);
    for (const int s : {SIGINT, SIGTERM, SIGPIPE, SIGUSR1}) sigaddset(&signals, s);
    return signals;
}
} // namespace

// A thread of its own waits for the ending signals, which every other thread blocks.
TemporaryHome::TemporaryHome() {
    base_ = os::makeTemporaryFolder(fs::temp_directory_path(), "vocabrella-");
    const sigset_t signals = endingSignals();
    pthread_sigmask(SIG_BLOCK, &signals, nullptr);
    watcher_ = std::thread([this, signals] {
        int received = 0;
        while (sigwait(&signals, &received) == 0) {
            if (received == SIGUSR1 && finished_) return;
            if (received == SIGUSR1) continue;
            std::error_code ec;
            fs::remove_all(base_, ec);
            ::_exit(128 + received);
        }
    });
}

TemporaryHome::~TemporaryHome() {
    finished_ = true;
    ::kill(::getpid(), SIGUSR1);
    watcher_.join();
    std::error_code ec;
    fs::remove_all(base_, ec);
}

} // namespace vocabrella::cli
