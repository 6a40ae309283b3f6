#include "shell/platform/windows/DragonControls.h"

#include <shlobj.h>

#include <cstdlib>

namespace vocabrella::platform {
using automation::Arguments;
using automation::Object;
using automation::Ref;
using automation::Variant;

automation::Ref<IDispatch> createControl(std::wstring_view name) {
    CLSID clsid;
    const std::wstring progId(name);
    if (FAILED(CLSIDFromProgID(progId.c_str(), &clsid))) return {};
    Ref<IDispatch> control;
    if (FAILED(CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER | CLSCTX_LOCAL_SERVER, IID_IDispatch,
                                reinterpret_cast<void**>(control.out()))))
        return {};
    return control;
}

namespace {

// A window handle as the controls take it: a 32-bit value (handles of top-level windows fit).
std::int32_t handleValue(WindowHandle window) { return static_cast<std::int32_t>(static_cast<std::uint32_t>(window)); }

} // namespace

// ---- the engine

AutomationEngine::~AutomationEngine() {
    if (events_) events_->unadvise();
}

void AutomationEngine::Register(int flag) {
    Arguments arguments;
    arguments.push_back(Variant::integer(flag));
    engine_.call(controls::Register, std::move(arguments));
}

void AutomationEngine::setRegisteredOption(bool on) { engine_.put(controls::RegisteredOption, Variant::boolean(on)); }

std::uint32_t AutomationEngine::productFlags() {
    const Variant product = engine_.get(controls::Product);
    IDispatch* object = product.asObject();
    if (!object) return static_cast<std::uint32_t>(product.asInteger()); // a bare number is the flags
    object->AddRef();
    Object info{Ref<IDispatch>(object)};
    return static_cast<std::uint32_t>(info.get(info.idOf(controls::ProductFlags)).asInteger());
}

EngineVersion AutomationEngine::version() {
    std::int16_t major = 0, minor = 0, third = 0;
    Arguments arguments;
    arguments.push_back(Variant::refShort(&major));
    arguments.push_back(Variant::refShort(&minor));
    arguments.push_back(Variant::refShort(&third));
    engine_.call(controls::Version, std::move(arguments));
    return {major, minor, third};
}

std::string AutomationEngine::currentSpeaker() { return engine_.get(controls::Speaker).asText(); }

int AutomationEngine::speakerLanguage(std::string_view speaker) {
    Arguments arguments;
    arguments.push_back(Variant::text(speaker));
    return engine_.call(controls::SpeakerLanguage, std::move(arguments)).asInteger();
}

std::string AutomationEngine::moduleOfWindow(WindowHandle window) {
    std::int32_t handle = handleValue(window);
    Arguments arguments;
    arguments.push_back(Variant::refInteger(&handle));
    return engine_.call(controls::ModuleOfWindow, std::move(arguments)).asText();
}

std::string AutomationEngine::userDataPrefix() { return engine_.get(controls::UserDataPrefix).asText(); }

void AutomationEngine::openDialog(int dialog, WindowHandle owner) {
    Arguments arguments;
    arguments.push_back(Variant::integer(dialog));
    arguments.push_back(Variant::integer(handleValue(owner)));
    engine_.call(controls::OpenDialog, std::move(arguments));
}

void AutomationEngine::onSpeakerChange(SpeakerChangeHandler handler) {
    handlers_.push_back(std::move(handler));
    if (events_) return;
    events_ = automation::EventSink::advise(engine_.get(), [this](DISPID event, const auto&) {
        if (event != controls::SpeakerChangedEvent) return;
        for (const auto& h : std::vector<SpeakerChangeHandler>(handlers_)) h();
    });
}

// ---- voice menus

void AutomationVoiceMenu::add(int id, std::string_view spoken, std::string_view category, std::string_view description,
                              std::string_view action, int actionType) {
    Arguments arguments;
    arguments.push_back(Variant::integer(id));
    arguments.push_back(Variant::text(spoken));
    arguments.push_back(Variant::text(category));
    arguments.push_back(Variant::text(description));
    arguments.push_back(Variant::text(action));
    arguments.push_back(Variant::integer(actionType));
    menu_.call(controls::MenuAdd, std::move(arguments));
}

void AutomationVoiceMenu::setList(std::string_view name, const std::vector<std::string>& words) {
    Arguments arguments;
    arguments.push_back(Variant::text(name));
    arguments.push_back(Variant::texts(words));
    menu_.call(controls::MenuListSet, std::move(arguments));
}

void AutomationVoiceMenu::activate(bool on) { menu_.put(controls::MenuActive, Variant::boolean(on)); }

void AutomationVoiceMenu::remove(int id) {
    Arguments arguments;
    arguments.push_back(Variant::integer(id));
    menu_.call(controls::MenuRemove, std::move(arguments));
}

void AutomationVoiceMenu::attach(WindowHandle window) {
    menu_.put(controls::MenuWindow, Variant::integer(handleValue(window)));
}

// ---- voice commands

AutomationVoiceCommands::~AutomationVoiceCommands() {
    if (events_) events_->unadvise();
}

void AutomationVoiceCommands::Register(std::string_view site) {
    microphone_.call(controls::MicrophoneStart);
    Arguments arguments;
    arguments.push_back(Variant::text(site));
    voice_.call(controls::VoiceRegister, std::move(arguments));
}

VoiceMenu& AutomationVoiceCommands::createMenu(std::string_view name, std::string_view state, int language,
                                               std::string_view dialect, int flags) {
    Arguments arguments;
    arguments.push_back(Variant::text(name));
    arguments.push_back(Variant::text(state));
    arguments.push_back(Variant::integer(language));
    arguments.push_back(Variant::text(dialect));
    arguments.push_back(Variant::integer(flags));
    const Variant menu = voice_.call(controls::MenuCreate, std::move(arguments));
    IDispatch* object = menu.asObject();
    if (!object) throw DragonError(DragonError::kMenuExists, "The voice menu " + std::string(name) + " was not made");
    object->AddRef();
    menus_.push_back(std::make_unique<AutomationVoiceMenu>(Object{Ref<IDispatch>(object)}));
    return *menus_.back();
}

int AutomationVoiceCommands::checkScript(std::string_view script, std::string& errorText) {
    BSTR error = nullptr;
    Arguments arguments;
    arguments.push_back(Variant::text(script));
    arguments.push_back(Variant::refText(&error));
    int line = 0;
    try {
        line = voice_.call(controls::CheckScript, std::move(arguments)).asInteger();
    } catch (...) {
        SysFreeString(error);
        throw;
    }
    errorText = error ? automation::utf8({error, SysStringLen(error)}) : std::string();
    SysFreeString(error);
    return line;
}

void AutomationVoiceCommands::onRecognition(RecognitionHandler handler) {
    handlers_.push_back(std::move(handler));
    if (events_) return;
    events_ = automation::EventSink::advise(voice_.get(), [this](DISPID event, const std::vector<const VARIANT*>& args) {
        if (event != controls::RecognitionEvent || args.size() < 2) return;
        Recognition recognition;
        Variant words, id;
        VariantCopyInd(words.get(), const_cast<VARIANT*>(args[0]));
        VariantCopyInd(id.get(), const_cast<VARIANT*>(args[1]));
        recognition.words = words.asText();
        recognition.id = id.asInteger();
        if (args.size() > 2) {
            Variant lists;
            VariantCopyInd(lists.get(), const_cast<VARIANT*>(args[2]));
            if ((lists.type() & VT_ARRAY) && lists.get()->parray) {
                SAFEARRAY* array = lists.get()->parray;
                LONG low = 0, high = -1;
                SafeArrayGetLBound(array, 1, &low);
                SafeArrayGetUBound(array, 1, &high);
                for (LONG i = low; i <= high; ++i) {
                    Variant item;
                    if ((lists.type() & VT_TYPEMASK) == VT_VARIANT) {
                        SafeArrayGetElement(array, &i, item.get());
                    } else {
                        BSTR text = nullptr;
                        SafeArrayGetElement(array, &i, &text);
                        item = Variant::text(text ? automation::utf8({text, SysStringLen(text)}) : std::string());
                        SysFreeString(text);
                    }
                    recognition.arguments.push_back(item.asText());
                }
            }
        }
        for (const auto& h : std::vector<RecognitionHandler>(handlers_)) h(recognition);
    });
}

// ---- Dragon

DragonControls::DragonControls(std::unique_ptr<WindowSystem> windows, const ControlFactory& factory)
    : windows_(std::move(windows)),
      engine_(Object{factory(controls::EngineName)}),
      voice_(Object{factory(controls::VoiceCommandName)}, Object{factory(controls::MicrophoneName)}) {}

namespace {

std::filesystem::path knownFolder(REFKNOWNFOLDERID id) {
    PWSTR path = nullptr;
    std::filesystem::path out;
    if (SUCCEEDED(SHGetKnownFolderPath(id, 0, nullptr, &path)) && path) out = std::filesystem::path(std::wstring(path));
    CoTaskMemFree(path);
    return out;
}

} // namespace

SpecialFolders DragonControls::specialFolders() const {
    std::filesystem::path appData;
    if (const wchar_t* value = _wgetenv(L"APPDATA"); value && *value) appData = std::filesystem::path(std::wstring(value));
    return {knownFolder(FOLDERID_ProgramData), knownFolder(FOLDERID_RoamingAppData), appData};
}

} // namespace vocabrella::platform
