#include "Cli.h"

#include <atomic>
#include <csignal>
#include <iostream>
#include <pthread.h>
#include <stdexcept>
#include <string>
#include <thread>
#include <unistd.h>
#include <vector>

namespace fs = std::filesystem;
using namespace vocabrella;

namespace {

// A home folder for this run only. It is removed on the way out, also when the run is ended by
// SIGINT, SIGTERM or SIGPIPE: a thread of its own waits for those signals, which every other
// thread blocks.
class TemporaryHome final : public cli::RunHome {
public:
    TemporaryHome() {
        std::string pattern = (fs::temp_directory_path() / "vocabrella-XXXXXX").string();
        if (!::mkdtemp(pattern.data())) throw std::runtime_error("Cannot create a temporary folder");
        base_ = pattern;
        sigemptyset(&signals_);
        for (const int s : {SIGINT, SIGTERM, SIGPIPE, SIGUSR1}) sigaddset(&signals_, s);
        pthread_sigmask(SIG_BLOCK, &signals_, nullptr);
        watcher_ = std::thread([this] {
            int received = 0;
            while (sigwait(&signals_, &received) == 0) {
                if (received == SIGUSR1 && finished_) return;
                if (received == SIGUSR1) continue;
                std::error_code ec;
                fs::remove_all(base_, ec);
                ::_exit(128 + received);
            }
        });
    }
    ~TemporaryHome() {
        finished_ = true;
        ::kill(::getpid(), SIGUSR1);
        watcher_.join();
        std::error_code ec;
        fs::remove_all(base_, ec);
    }
    TemporaryHome(const TemporaryHome&) = delete;
    TemporaryHome& operator=(const TemporaryHome&) = delete;
    fs::path home() const override { return base_ / "home"; }

private:
    fs::path base_;
    sigset_t signals_{};
    std::atomic<bool> finished_{false};
    std::thread watcher_;
};

} // namespace

int main(int argc, char** argv) {
    const std::vector<std::string> args(argv + 1, argv + argc);
    return cli::runCli(args, {std::cout, std::cerr}, [] { return std::make_unique<TemporaryHome>(); });
}
