#pragma once

#include "shell/platform/Platform.h"

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

namespace vocabrella::platform {

// What the engine control reports about itself and its user.
struct EngineVersion {
    int major = 0;
    int minor = 0; // the engine's own number: the program divides it by 10
    int third = 0; // not used
};

// Dragon's engine control. Every member may raise DragonError.
class DragonEngine {
public:
    static constexpr std::uint32_t kProfessional = 0x10; // product flag of the professional series
    static constexpr int kCommandEditorDialog = 10;

    virtual ~DragonEngine() = default;

    // Registers the program with the running engine (the program passes 1).
    virtual void Register(int flag) = 0;
    // The property the program sets once after registering.
    virtual void setRegisteredOption(bool on) = 0;
    virtual std::uint32_t productFlags() = 0;
    virtual EngineVersion version() = 0;
    // Empty when no user is open.
    virtual std::string currentSpeaker() = 0;
    // The speaker's language identifier (1033 ...); its low 8 bits are the primary language.
    virtual int speakerLanguage(std::string_view speaker) = 0;
    // Full path of the module file of the process that owns the window.
    virtual std::string moduleOfWindow(WindowHandle window) = 0;
    // A path prefix of Dragon's user data, used to shorten the window caption.
    virtual std::string userDataPrefix() = 0;
    // Opens one of Dragon's dialogs (kCommandEditorDialog: the "MyCommands Editor").
    virtual void openDialog(int dialog, WindowHandle owner) = 0;

    // Dragon changed its speech user; the handler asks currentSpeaker() for the new one.
    using SpeakerChangeHandler = std::function<void()>;
    virtual void onSpeakerChange(SpeakerChangeHandler handler) = 0;
};

} // namespace vocabrella::platform
