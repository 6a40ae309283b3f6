#pragma once

#include "shell/platform/Dragon.h"
#include "shell/platform/DragonEngine.h"
#include "shell/platform/EventChannel.h"
#include "shell/platform/VoiceCommands.h"
#include "shell/platform/WindowSystem.h"

#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace vocabrella::platform {

// Dragon as simulated from a simulated installation (see DragonFiles.h and tools/dragonsim):
// engine.ini says what the engine reports, the ini files are Dragon's own, and the events file
// carries speaker changes and recognitions, delivered when the program polls.

// The top-level windows engine.ini lists (sections "Window 1", "Window 2" ...), plus those the
// simulation opens. Keys sent go to the foreground window and are kept there.
class SimulatedWindows final : public WindowSystem {
public:
    struct Window {
        WindowHandle handle = 0;
        std::string title, className, module;
        std::vector<std::string> receivedKeys;
    };

    WindowHandle foregroundWindow() override { return foreground_; }
    std::string windowTitle(WindowHandle window) override;
    WindowHandle findWindow(std::string_view className, std::string_view title) override;
    bool bringToFront(WindowHandle window) override;
    void sendKeys(std::string_view keys, bool wait) override;

    WindowHandle open(std::string title, std::string className, std::string module, bool foreground);
    void close(WindowHandle window);
    const Window* window(WindowHandle handle) const;
    const std::vector<Window>& windows() const { return windows_; }

    // Called for every keystroke text sent, with the window that received it (0 for none).
    using KeysHandler = std::function<void(WindowHandle, const std::string&)>;
    void onKeys(KeysHandler handler) { keyHandlers_.push_back(std::move(handler)); }

private:
    Window* find(WindowHandle handle);
    std::vector<Window> windows_;
    WindowHandle foreground_ = 0;
    WindowHandle next_ = 1;
    std::vector<KeysHandler> keyHandlers_;
};

class SimulatedEngine final : public DragonEngine {
public:
    SimulatedEngine(std::optional<std::filesystem::path> root, SimulatedWindows& windows)
        : root_(std::move(root)), windows_(windows) {}

    void Register(int flag) override;
    void setRegisteredOption(bool on) override;
    std::uint32_t productFlags() override;
    EngineVersion version() override;
    std::string currentSpeaker() override;
    int speakerLanguage(std::string_view speaker) override;
    std::string moduleOfWindow(WindowHandle window) override;
    std::string userDataPrefix() override;
    void openDialog(int dialog, WindowHandle owner) override;
    void onSpeakerChange(SpeakerChangeHandler handler) override { speakerHandlers_.push_back(std::move(handler)); }

    bool registered() const { return registered_; }
    void speakerChanged();

private:
    std::filesystem::path engineFile() const; // raises DragonError when there is no installation
    std::string value(std::string_view key) const;
    std::int64_t number(std::string_view key, std::int64_t fallback) const;

    std::optional<std::filesystem::path> root_;
    SimulatedWindows& windows_;
    bool registered_ = false;
    std::vector<SpeakerChangeHandler> speakerHandlers_;
};

class SimulatedVoiceMenu final : public VoiceMenu {
public:
    struct Command {
        int id = 0;
        std::string spoken, category, description, action;
        int actionType = 0;
    };

    SimulatedVoiceMenu(std::string name, std::string state) : name_(std::move(name)), state_(std::move(state)) {}

    void add(int id, std::string_view spoken, std::string_view category, std::string_view description,
             std::string_view action, int actionType) override;
    void setList(std::string_view name, const std::vector<std::string>& words) override;
    void activate(bool on) override { active_ = on; }
    void remove(int id) override;
    void attach(WindowHandle window) override { attached_ = window; }

    const std::string& name() const { return name_; }
    const std::string& state() const { return state_; }
    bool active() const { return active_; }
    WindowHandle attachedTo() const { return attached_; }
    const std::vector<Command>& commands() const { return commands_; }
    const std::vector<std::string>* list(std::string_view name) const;

    // The first command whose spoken form the words fit (ignoring case and extra blanks), with
    // the words heard for each of its LISTs.
    std::optional<std::pair<const Command*, std::vector<std::string>>> match(std::string_view words) const;

private:
    std::string name_, state_;
    bool active_ = false;
    WindowHandle attached_ = 0;
    std::vector<Command> commands_;
    std::vector<std::pair<std::string, std::vector<std::string>>> lists_;
};

// Recognition listens to every active menu whatever window is in front: the simulated desktop
// does not hold the program's own window. A command with an action has Dragon run it: its
// SendKeys lines go to the foreground window.
class SimulatedVoiceCommands final : public VoiceCommands {
public:
    explicit SimulatedVoiceCommands(SimulatedWindows& windows) : windows_(windows) {}

    void Register(std::string_view site) override;
    VoiceMenu& createMenu(std::string_view name, std::string_view state, int language, std::string_view dialect,
                          int flags) override;
    int checkScript(std::string_view script, std::string& errorText) override;
    void onRecognition(RecognitionHandler handler) override { handlers_.push_back(std::move(handler)); }

    bool registered() const { return registered_; }
    const std::vector<std::unique_ptr<SimulatedVoiceMenu>>& menus() const { return menus_; }
    SimulatedVoiceMenu* menu(std::string_view name, std::string_view state) const;

    // Dragon heard the words: the first fitting command of an active menu is reported and its
    // action run. Nothing when no command fits (Dragon would take them as dictation).
    std::optional<Recognition> hear(std::string_view words);

private:
    SimulatedWindows& windows_;
    bool registered_ = false;
    std::vector<std::unique_ptr<SimulatedVoiceMenu>> menus_;
    std::vector<RecognitionHandler> handlers_;
};

// The keystrokes of a SendKeys action line ("SendKeys " then strings and _arg1 ... joined by
// "&"), or nothing when the line is not of that form.
std::optional<std::string> sendKeysOfAction(std::string_view line, const std::vector<std::string>& arguments);

class SimulatedDragon final : public Dragon {
public:
    // No root: no installation, so registering with the engine fails.
    explicit SimulatedDragon(std::optional<std::filesystem::path> root);
    SimulatedDragon(const SimulatedDragon&) = delete;
    SimulatedDragon& operator=(const SimulatedDragon&) = delete;

    // --dragon-root DIR, else $DRAGON_ROOT, else none.
    static std::optional<std::filesystem::path> rootFrom(const std::optional<std::filesystem::path>& option);

    const std::optional<std::filesystem::path>& root() const { return root_; }
    SimulatedEngine& engine() override { return engine_; }
    SimulatedVoiceCommands& voiceCommands() override { return voice_; }
    SimulatedWindows& windows() override { return windows_; }
    SpecialFolders specialFolders() const override;

    // Reads the events sent since the last poll and delivers each: a speaker change to the
    // engine's handlers, words to the voice commands.
    std::vector<DragonEvent> pollEvents();

private:
    void loadWindows();

    std::optional<std::filesystem::path> root_;
    SimulatedWindows windows_;
    SimulatedEngine engine_;
    SimulatedVoiceCommands voice_;
    std::optional<EventReader> events_;
};

} // namespace vocabrella::platform
