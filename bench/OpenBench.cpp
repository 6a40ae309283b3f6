// Times the start of the program on a command file whose store is current (the file unchanged
// since its last parse): the load sequence (home folder, trace, store, the file read and found
// unchanged) and the main window built and shown on it, best of N, for a file of 1,300 commands
// and one of 13,000. What is checked is the ratio of the two: a start that does work in
// proportion to the file's size when nothing has to be parsed shows as a ratio near 10, one
// that does not as a ratio near 1. The seconds depend on the machine.
#include "CommandFileGenerator.h"
#include "ScriptedPrompter.h"

#include "cmdfile/AtomicFile.h"
#include "cmdfile/Clock.h"
#include "shell/Application.h"
#include "shell/platform/SimulatedDragon.h"
#include "shell/platform/SimulatedInstallation.h"
#include "ui/Form1.h"

#include <QApplication>

#include <stdlib.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <limits>
#include <string>

namespace fs = std::filesystem;
using namespace vocabrella;

namespace {

constexpr std::uint64_t kSeed = 20240601;
constexpr std::size_t kSmall = 1300;
constexpr std::size_t kLarge = 13000;
constexpr double kRatioLimit = 1.5;

using Clocked = std::chrono::steady_clock;

double msSince(Clocked::time_point start) {
    return std::chrono::duration<double, std::milli>(Clocked::now() - start).count();
}

struct StartTimes {
    double load = std::numeric_limits<double>::max();   // Application::load
    double window = std::numeric_limits<double>::max(); // load, then the window built and shown
};

// One speech user whose mycmds.dat is the generated file, with its own home folder.
class Installation {
public:
    Installation(const fs::path& folder, std::size_t commands) : folder_(folder) {
        fs::create_directories(folder_);
        const fs::path file = folder_ / "generated.dat";
        writeFileAtomically(file, bench::generate({commands, 7, 9, kSeed}));
        platform::InstallationOptions options;
        options.commands = file;
        platform::createInstallation(root(), options);
    }
    fs::path root() const { return folder_ / "dragon"; }
    fs::path home() const { return folder_ / "home"; }

    // One start of the program; false when it did not load.
    bool start(bool withWindow, double& ms) {
        testsupport::ScriptedPrompter prompter;
        SystemClock clock;
        ::sync(); // the previous run's writes are not this run's to wait for
        const auto begin = Clocked::now();
        platform::SimulatedDragon dragon(root());
        Application app({home(), {}}, dragon, prompter, clock);
        if (!app.load()) return false;
        if (withWindow) {
            ui::Form1 window(app);
            window.show();
            QApplication::processEvents();
            ms = msSince(begin);
            window.close();
        } else {
            ms = msSince(begin);
        }
        return true;
    }

private:
    fs::path folder_;
};

bool timeStarts(Installation& installation, int runs, StartTimes& times) {
    double ms = 0;
    // The first start parses the file; the store is current for the timed ones.
    if (!installation.start(false, ms)) return false;
    for (int run = 0; run < runs; ++run) {
        if (!installation.start(false, ms)) return false;
        times.load = std::min(times.load, ms);
        if (!installation.start(true, ms)) return false;
        times.window = std::min(times.window, ms);
    }
    return true;
}

} // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication qapp(argc, argv);
    bool check = false;
    int runs = 7;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--check") == 0) check = true;
        else if (std::strcmp(argv[i], "--runs") == 0 && i + 1 < argc) runs = std::max(1, std::atoi(argv[++i]));
        else {
            std::fprintf(stderr, "usage: vocabrella-bench-open [--check] [--runs N]\n");
            return 2;
        }
    }

    char pattern[] = "/tmp/vocabrella-bench-open-XXXXXX";
    const char* made = ::mkdtemp(pattern);
    if (!made) {
        std::fprintf(stderr, "cannot create a temporary folder\n");
        return 2;
    }
    const fs::path work = made;
    int status = 0;
    {
        Installation small(work / "small", kSmall), large(work / "large", kLarge);
        StartTimes smallTimes, largeTimes;
        // Alternating, so that a slow spell of the machine falls on both.
        for (int round = 0; round < 2 && status == 0; ++round)
            if (!timeStarts(small, (runs + 1) / 2, smallTimes) || !timeStarts(large, (runs + 1) / 2, largeTimes)) {
                std::fprintf(stderr, "the program did not load\n");
                status = 2;
            }
        if (status == 0) {
            const double loadRatio = largeTimes.load / smallTimes.load;
            const double windowRatio = largeTimes.window / smallTimes.window;
            std::printf("start on a current store, %zu commands: load %.1f ms, with the window %.1f ms\n", kSmall,
                        smallTimes.load, smallTimes.window);
            std::printf("start on a current store, %zu commands: load %.1f ms, with the window %.1f ms\n", kLarge,
                        largeTimes.load, largeTimes.window);
            std::printf("ratio %zu / %zu: load %.2f, with the window %.2f (limit %.2f)%s\n", kLarge, kSmall, loadRatio,
                        windowRatio, kRatioLimit, windowRatio <= kRatioLimit ? "" : "  MISSED");
            if (check && windowRatio > kRatioLimit) status = 1;
        }
    }
    std::error_code ec;
    fs::remove_all(work, ec);
    return status;
}
