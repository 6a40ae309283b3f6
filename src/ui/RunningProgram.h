#pragma once

#include "shell/Application.h"
#include "shell/platform/DragonChoice.h"

#include <QObject>
#include <QTimer>

#include <functional>
#include <memory>

namespace vocabrella {
class Clock;
class Prompter;
} // namespace vocabrella

namespace vocabrella::ui {

class Form1;
class SpokenControls;

// The program with its window: the load sequence, the window shown on the program and scope
// of the calling window or the command line, the offer to import the program's own voice
// commands, and Dragon's events (speaker changes, the spoken controls) polled while it runs.
class RunningProgram : public QObject {
    Q_OBJECT
public:
    // dragonRoot: the simulated installation, when there is one. Without one the program runs
    // beside Dragon where Dragon is installed (on Windows), and otherwise on command files alone:
    // no speech user, no spoken controls, no events.
    RunningProgram(StartupOptions options, std::optional<std::filesystem::path> dragonRoot, Prompter& prompter,
                   Clock& clock);
    ~RunningProgram() override;

    // Up to the shown window and the import offer. False when the program ended on the way
    // (a second instance, no Dragon, an unreadable file ...); exitCode() then says how.
    bool start();
    int exitCode() const { return exitCode_; }
    bool ended() const { return ended_; }

    Application& app() { return *app_; }
    platform::Dragon& dragon() { return *dragon_.dragon; }
    platform::SimulatedDragon* simulatedDragon() { return dragon_.simulated; } // null beside Dragon itself
    Form1& window() { return *window_; }
    SpokenControls& spokenControls() { return *spoken_; } // with Dragon only

    // Delivers the events the simulated Dragon sent since the last poll; a timer calls it while
    // running. Dragon's own controls deliver theirs through the window's message loop.
    void poll();
    static constexpr int kPollMilliseconds = 200;

    // How the offer to import the voice commands is answered; by default the autoimport dialog.
    struct ImportAnswer {
        bool import = false;
        bool dontShowAgain = false;
    };
    std::function<ImportAnswer()> askImport;

signals:
    // The program ended after it had started (Exit, a speaker change, a fatal error).
    void finished(int exitCode);

private:
    // The window's place among Dragon's: its spoken controls, keystrokes and speaker changes.
    void connectDragon();
    void offerImport();
    ImportAnswer showImportDialog();
    void end(int exitCode);

    Prompter& prompter_;
    platform::ChosenDragon dragon_;
    std::unique_ptr<Application> app_;
    std::unique_ptr<Form1> window_;
    std::unique_ptr<SpokenControls> spoken_;
    QTimer timer_;
    std::uint64_t handle_ = 0; // the window among the desktop's windows
    int exitCode_ = 0;
    bool ended_ = false;
};

} // namespace vocabrella::ui
