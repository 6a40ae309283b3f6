#pragma once

// Dragon's own controls on Windows: the engine, the voice commands and the microphone button,
// created by their names and called late-bound by dispatch identifier. Windows only.

#include "shell/platform/windows/Automation.h"
#include "shell/platform/Dragon.h"
#include "shell/platform/DragonEngine.h"
#include "shell/platform/VoiceCommands.h"
#include "shell/platform/WindowSystem.h"

#include <functional>
#include <memory>
#include <string_view>
#include <vector>

namespace vocabrella::platform {

// The controls' names, and what the program calls on them.
namespace controls {
inline constexpr std::wstring_view EngineName = L"DNSToolsCtl.DgnEngineControl";
inline constexpr std::wstring_view VoiceCommandName = L"DNSToolsCtl.DgnVoiceCmd";
inline constexpr std::wstring_view MicrophoneName = L"DNSToolsCtl.DgnMicBtn";

// The engine.
inline constexpr DISPID Register = 1;
inline constexpr DISPID RegisteredOption = 24;
inline constexpr DISPID Product = 23;
inline constexpr DISPID Version = 22;
inline constexpr DISPID Speaker = 4;
inline constexpr DISPID SpeakerLanguage = 203;
inline constexpr DISPID ModuleOfWindow = 29;
inline constexpr DISPID UserDataPrefix = 210;
inline constexpr DISPID OpenDialog = 106;
// The member of the product object that carries the edition's flags.
inline constexpr std::string_view ProductFlags = "Flags";
// The engine's event that tells of a new speech user (all others are ignored).
inline constexpr DISPID SpeakerChangedEvent = 1;

// The microphone button.
inline constexpr DISPID MicrophoneStart = 5;

// The voice commands, and the voice menus they create (by member name).
inline constexpr DISPID CheckScript = 1;
inline constexpr std::string_view VoiceRegister = "Register";
inline constexpr std::string_view MenuCreate = "MenuCreate";
inline constexpr std::string_view MenuAdd = "Add";
inline constexpr std::string_view MenuListSet = "ListSet";
inline constexpr std::string_view MenuActive = "Active";
inline constexpr std::string_view MenuRemove = "Remove";
inline constexpr std::string_view MenuWindow = "hWnd";
// The voice commands' recognition event: the words heard, the command's identifier, and the
// words heard for each LIST of its spoken form.
inline constexpr DISPID RecognitionEvent = 1;
} // namespace controls

// Makes the control of a name; null when it cannot (Dragon is not installed). The program's
// factory uses CLSIDFromProgID and CoCreateInstance; tests hand in their own objects.
using ControlFactory = std::function<automation::Ref<IDispatch>(std::wstring_view name)>;
automation::Ref<IDispatch> createControl(std::wstring_view name);

class AutomationEngine final : public DragonEngine {
public:
    explicit AutomationEngine(automation::Object engine) : engine_(std::move(engine)) {}
    ~AutomationEngine() override;

    void Register(int flag) override;
    void setRegisteredOption(bool on) override;
    std::uint32_t productFlags() override;
    EngineVersion version() override;
    std::string currentSpeaker() override;
    int speakerLanguage(std::string_view speaker) override;
    std::string moduleOfWindow(WindowHandle window) override;
    std::string userDataPrefix() override;
    void openDialog(int dialog, WindowHandle owner) override;
    void onSpeakerChange(SpeakerChangeHandler handler) override;

private:
    automation::Object engine_;
    automation::Ref<automation::EventSink> events_;
    std::vector<SpeakerChangeHandler> handlers_;
};

class AutomationVoiceMenu final : public VoiceMenu {
public:
    explicit AutomationVoiceMenu(automation::Object menu) : menu_(std::move(menu)) {}

    void add(int id, std::string_view spoken, std::string_view category, std::string_view description,
             std::string_view action, int actionType) override;
    void setList(std::string_view name, const std::vector<std::string>& words) override;
    void activate(bool on) override;
    void remove(int id) override;
    void attach(WindowHandle window) override;

private:
    automation::Object menu_;
};

class AutomationVoiceCommands final : public VoiceCommands {
public:
    // The microphone button is started with the registration, as the program starts both.
    AutomationVoiceCommands(automation::Object voice, automation::Object microphone)
        : voice_(std::move(voice)), microphone_(std::move(microphone)) {}
    ~AutomationVoiceCommands() override;

    void Register(std::string_view site) override;
    VoiceMenu& createMenu(std::string_view name, std::string_view state, int language, std::string_view dialect,
                          int flags) override;
    int checkScript(std::string_view script, std::string& errorText) override;
    void onRecognition(RecognitionHandler handler) override;

private:
    automation::Object voice_;
    automation::Object microphone_;
    automation::Ref<automation::EventSink> events_;
    std::vector<RecognitionHandler> handlers_;
    std::vector<std::unique_ptr<AutomationVoiceMenu>> menus_;
};

// Dragon as it runs beside the program on Windows. Controls that cannot be made raise
// DragonError (kNotInstalled) on their first use, so the program reports a missing Dragon where
// it reports any failed registration.
class DragonControls final : public Dragon {
public:
    explicit DragonControls(std::unique_ptr<WindowSystem> windows, const ControlFactory& factory = createControl);
    DragonControls(const DragonControls&) = delete;
    DragonControls& operator=(const DragonControls&) = delete;

    AutomationEngine& engine() override { return engine_; }
    AutomationVoiceCommands& voiceCommands() override { return voice_; }
    WindowSystem& windows() override { return *windows_; }
    SpecialFolders specialFolders() const override;

private:
    automation::Apartment apartment_;
    std::unique_ptr<WindowSystem> windows_;
    AutomationEngine engine_;
    AutomationVoiceCommands voice_;
};

} // namespace vocabrella::platform
