#pragma once

#include "shell/platform/Platform.h"

#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace vocabrella::platform {

// A voice menu: spoken commands with identifiers, the LISTs they refer to as <name>, and
// whether it listens.
class VoiceMenu {
public:
    virtual ~VoiceMenu() = default;

    // Adding a command whose identifier and spoken form the menu already holds replaces it;
    // one identifier may carry several spoken forms. An action (action type 1) is a script line
    // that Dragon runs itself, with _arg1 ... standing for the words heard for each LIST.
    virtual void add(int id, std::string_view spoken, std::string_view category, std::string_view description,
                     std::string_view action = {}, int actionType = 0) = 0;
    virtual void setList(std::string_view name, const std::vector<std::string>& words) = 0;
    virtual void activate(bool on) = 0;
    // Removes every spoken form of the identifier.
    virtual void remove(int id) = 0;
    virtual void attach(WindowHandle window) = 0;
};

// A recognised command of one of the program's voice menus.
struct Recognition {
    int id = 0;
    std::string words;                  // as heard, blank-separated
    std::vector<std::string> arguments; // the words heard for each <LIST> of the spoken form, in order
};

// Dragon's voice-command control.
class VoiceCommands {
public:
    static constexpr int kMenuLanguage = 1033;
    static constexpr int kMenuFlags = 1;

    virtual ~VoiceCommands() = default;

    virtual void Register(std::string_view site) = 0;
    // The menu stays owned by the control for the whole run. Raises DragonError when a menu of
    // this name and state exists already.
    virtual VoiceMenu& createMenu(std::string_view name, std::string_view state, int language,
                                  std::string_view dialect, int flags) = 0;
    // Dragon's check of a script: 0 when it is correct, otherwise the 1-based number of the
    // first faulty line, with a description of the fault in errorText.
    virtual int checkScript(std::string_view script, std::string& errorText) = 0;

    using RecognitionHandler = std::function<void(const Recognition&)>;
    virtual void onRecognition(RecognitionHandler handler) = 0;
};

} // namespace vocabrella::platform
