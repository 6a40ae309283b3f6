// Dragon's controls as the program calls them on Windows, against fake controls in the test
// process: each member by its dispatch identifier with the arguments and argument types the
// controls expect, their failures, and their events reaching the program.

#include "FakeControl.h"

#include "shell/platform/windows/DragonControls.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <map>

namespace vocabrella::platform {
namespace {
using automation::Variant;
using testing::FakeControl;
using testing::SeenArgument;

class NoWindows final : public WindowSystem {
public:
    WindowHandle foregroundWindow() override { return 0; }
    std::string windowTitle(WindowHandle) override { return {}; }
    WindowHandle findWindow(std::string_view, std::string_view) override { return 0; }
    bool bringToFront(WindowHandle) override { return false; }
    void sendKeys(std::string_view, bool) override {}
};

SeenArgument i2(int v) { return {VT_I2, std::to_string(v)}; }
SeenArgument i4(long v) { return {VT_I4, std::to_string(v)}; }
SeenArgument text(std::string v) { return {VT_BSTR, std::move(v)}; }
SeenArgument boolean(bool v) { return {VT_BOOL, v ? "true" : "false"}; }
SeenArgument byRef(SeenArgument a) {
    a.type = static_cast<VARTYPE>(a.type | VT_BYREF);
    return a;
}

void setText(VARIANT* result, const std::string& value) {
    result->vt = VT_BSTR;
    result->bstrVal = SysAllocString(automation::wide(value).c_str());
}

class DragonControlsTest : public ::testing::Test {
protected:
    void SetUp() override {
        engine = FakeControl::make();
        voice = FakeControl::make();
        microphone = FakeControl::make();
        menu = FakeControl::make();
        product = FakeControl::make();
    }

    DragonControls& dragon() {
        if (!dragon_) {
            std::map<std::wstring, automation::Ref<IDispatch>> made{{std::wstring(controls::EngineName), engine->ref()},
                                                                   {std::wstring(controls::VoiceCommandName), voice->ref()},
                                                                   {std::wstring(controls::MicrophoneName), microphone->ref()}};
            dragon_ = std::make_unique<DragonControls>(std::make_unique<NoWindows>(), [&](std::wstring_view name) {
                asked.emplace_back(name);
                return made[std::wstring(name)];
            });
        }
        return *dragon_;
    }

    automation::Ref<FakeControl> engine, voice, microphone, menu, product;
    std::vector<std::wstring> asked;
    std::unique_ptr<DragonControls> dragon_;
};

TEST_F(DragonControlsTest, TheThreeControlsAreMadeByTheirNames) {
    dragon();
    std::sort(asked.begin(), asked.end());
    EXPECT_EQ(asked, (std::vector<std::wstring>{L"DNSToolsCtl.DgnEngineControl", L"DNSToolsCtl.DgnMicBtn",
                                                L"DNSToolsCtl.DgnVoiceCmd"}));
}

TEST_F(DragonControlsTest, EngineRegistrationAndItsPropertyByTheirIdentifiers) {
    dragon().engine().Register(1);
    dragon().engine().setRegisteredOption(true);

    ASSERT_EQ(engine->calls.size(), 2u);
    EXPECT_EQ(engine->calls[0].id, 1);
    EXPECT_TRUE(engine->calls[0].flags & DISPATCH_METHOD);
    EXPECT_EQ(engine->calls[0].arguments, (std::vector<SeenArgument>{i4(1)}));
    EXPECT_EQ(engine->calls[1].id, 24);
    EXPECT_EQ(engine->calls[1].flags, DISPATCH_PROPERTYPUT);
    EXPECT_TRUE(engine->calls[1].namedPut);
    EXPECT_EQ(engine->calls[1].arguments, (std::vector<SeenArgument>{boolean(true)}));
}

TEST_F(DragonControlsTest, ProductFlagsComeFromTheObjectOfIdentifier23) {
    const DISPID flags = product->idOfName(L"Flags");
    product->answers[flags] = [](const auto&, VARIANT* result, EXCEPINFO*) {
        result->vt = VT_I4;
        result->lVal = 0x18;
        return S_OK;
    };
    engine->answers[23] = [this](const auto&, VARIANT* result, EXCEPINFO*) {
        result->vt = VT_DISPATCH;
        result->pdispVal = product->dispatch();
        product->AddRef(); // the result owns one reference
        return S_OK;
    };
    EXPECT_EQ(dragon().engine().productFlags(), 0x18u);
    ASSERT_EQ(engine->calls.size(), 1u);
    EXPECT_EQ(engine->calls[0].id, 23);
    EXPECT_EQ(engine->calls[0].flags, DISPATCH_PROPERTYGET);
    EXPECT_TRUE(engine->calls[0].arguments.empty());
    ASSERT_NE(product->last(flags), nullptr);
    EXPECT_TRUE(product->last(flags)->flags & DISPATCH_PROPERTYGET);
}

TEST_F(DragonControlsTest, VersionComesBackThroughThreeShortIntegersByReference) {
    engine->answers[22] = [](const std::vector<VARIANT*>& args, VARIANT*, EXCEPINFO*) {
        if (args.size() != 3) return DISP_E_BADPARAMCOUNT;
        for (auto* a : args)
            if (a->vt != (VT_BYREF | VT_I2)) return DISP_E_TYPEMISMATCH;
        *args[0]->piVal = 15;
        *args[1]->piVal = 30;
        *args[2]->piVal = 212;
        return S_OK;
    };
    const auto version = dragon().engine().version();
    EXPECT_EQ(version.major, 15);
    EXPECT_EQ(version.minor, 30);
    EXPECT_EQ(version.third, 212);
    // The three are passed in empty, for the engine to fill.
    EXPECT_EQ(engine->last(22)->arguments, (std::vector<SeenArgument>{byRef(i2(0)), byRef(i2(0)), byRef(i2(0))}));
}

TEST_F(DragonControlsTest, SpeakerAndTheSpeakersLanguage) {
    engine->answers[4] = [](const auto&, VARIANT* result, EXCEPINFO*) {
        setText(result, "Zoë Müller");
        return S_OK;
    };
    engine->answers[203] = [](const std::vector<VARIANT*>& args, VARIANT* result, EXCEPINFO*) {
        if (args.size() != 1 || args[0]->vt != VT_BSTR) return DISP_E_TYPEMISMATCH;
        result->vt = VT_I4;
        result->lVal = 0x0407;
        return S_OK;
    };
    EXPECT_EQ(dragon().engine().currentSpeaker(), "Zoë Müller");
    EXPECT_EQ(engine->last(4)->flags, DISPATCH_PROPERTYGET);
    EXPECT_EQ(dragon().engine().speakerLanguage("Zoë Müller"), 0x0407);
    EXPECT_TRUE(engine->last(203)->flags & DISPATCH_METHOD);
    EXPECT_EQ(engine->last(203)->arguments, (std::vector<SeenArgument>{text("Zoë Müller")}));

    // No user open: the speaker is empty (Dragon may answer with nothing at all).
    engine->answers[4] = [](const auto&, VARIANT*, EXCEPINFO*) { return S_OK; };
    EXPECT_EQ(dragon().engine().currentSpeaker(), "");
}

TEST_F(DragonControlsTest, ModuleOfAWindowTakesTheHandleByReference) {
    engine->answers[29] = [](const std::vector<VARIANT*>& args, VARIANT* result, EXCEPINFO*) {
        if (args.size() != 1 || args[0]->vt != (VT_BYREF | VT_I4)) return DISP_E_TYPEMISMATCH;
        setText(result, *args[0]->plVal == 0x2a0c4 ? "C:\\Program Files\\Nuance\\NaturallySpeaking15\\Program\\natspeak.exe"
                                                   : "wrong window");
        return S_OK;
    };
    EXPECT_EQ(dragon().engine().moduleOfWindow(0x2a0c4), "C:\\Program Files\\Nuance\\NaturallySpeaking15\\Program\\natspeak.exe");
    EXPECT_EQ(engine->last(29)->arguments, (std::vector<SeenArgument>{byRef(i4(0x2a0c4))}));
}

TEST_F(DragonControlsTest, UserDataPrefixAndTheCommandEditorDialog) {
    engine->answers[210] = [](const auto&, VARIANT* result, EXCEPINFO*) {
        setText(result, "C:\\ProgramData\\Nuance\\NaturallySpeaking15\\Users");
        return S_OK;
    };
    EXPECT_EQ(dragon().engine().userDataPrefix(), "C:\\ProgramData\\Nuance\\NaturallySpeaking15\\Users");
    EXPECT_EQ(engine->last(210)->flags, DISPATCH_PROPERTYGET);

    dragon().engine().openDialog(DragonEngine::kCommandEditorDialog, 0x1f00e);
    EXPECT_TRUE(engine->last(106)->flags & DISPATCH_METHOD);
    EXPECT_EQ(engine->last(106)->arguments, (std::vector<SeenArgument>{i4(10), i4(0x1f00e)}));
}

TEST_F(DragonControlsTest, ARaisedErrorCarriesItsCodeAndDescription) {
    engine->answers[1] = [](const auto&, VARIANT*, EXCEPINFO* error) {
        error->scode = static_cast<SCODE>(DragonError::kRoamingUnavailable);
        error->bstrDescription = SysAllocString(L"The roaming user is not available");
        return DISP_E_EXCEPTION;
    };
    try {
        dragon().engine().Register(1);
        FAIL() << "no error raised";
    } catch (const DragonError& e) {
        EXPECT_EQ(e.code(), DragonError::kRoamingUnavailable);
        EXPECT_STREQ(e.what(), "The roaming user is not available");
    }
    // A failure of the call itself (no exception information) keeps its HRESULT.
    engine->answers[4] = [](const auto&, VARIANT*, EXCEPINFO*) { return DISP_E_MEMBERNOTFOUND; };
    try {
        dragon().engine().currentSpeaker();
        FAIL() << "no error raised";
    } catch (const DragonError& e) {
        EXPECT_EQ(e.code(), static_cast<std::uint32_t>(DISP_E_MEMBERNOTFOUND));
    }
}

TEST_F(DragonControlsTest, WithoutDragonEveryCallSaysItIsNotInstalled) {
    DragonControls none(std::make_unique<NoWindows>(), [](std::wstring_view) { return automation::Ref<IDispatch>(); });
    try {
        none.engine().Register(1);
        FAIL() << "no error raised";
    } catch (const DragonError& e) {
        EXPECT_EQ(e.code(), DragonError::kNotInstalled);
    }
    EXPECT_THROW(none.voiceCommands().Register(""), DragonError);
    std::string error;
    EXPECT_THROW(none.voiceCommands().checkScript("Wait 1", error), DragonError);
}

TEST_F(DragonControlsTest, VoiceCommandsRegisterAfterTheMicrophoneAndMakeMenus) {
    const DISPID create = voice->idOfName(L"MenuCreate");
    voice->answers[create] = [this](const auto&, VARIANT* result, EXCEPINFO*) {
        result->vt = VT_DISPATCH;
        result->pdispVal = menu->dispatch();
        menu->AddRef();
        return S_OK;
    };
    dragon().voiceCommands().Register("");
    ASSERT_EQ(microphone->calls.size(), 1u);
    EXPECT_EQ(microphone->calls[0].id, 5);
    EXPECT_TRUE(microphone->calls[0].flags & DISPATCH_METHOD);
    EXPECT_TRUE(microphone->calls[0].arguments.empty());
    ASSERT_NE(voice->last(voice->idOfName(L"Register")), nullptr);
    EXPECT_EQ(voice->last(voice->idOfName(L"Register"))->arguments, (std::vector<SeenArgument>{text("")}));

    auto& global = dragon().voiceCommands().createMenu("Vocabrella", "Global", VoiceCommands::kMenuLanguage, "",
                                                       VoiceCommands::kMenuFlags);
    EXPECT_EQ(voice->last(create)->arguments,
              (std::vector<SeenArgument>{text("Vocabrella"), text("Global"), i4(1033), text(""), i4(1)}));

    global.add(6, "program <programnumbers>", "Spoken controls", "",
               "SendKeys \"{Alt+r}{down \" & _arg1 & \"}{up}{enter}\"", 1);
    global.setList("programnumbers", {"1", "2", "3"});
    global.attach(0x30a2);
    global.activate(true);
    global.remove(6);
    const auto call = [&](const wchar_t* name) { return menu->last(menu->idOfName(name)); };
    EXPECT_EQ(call(L"Add")->arguments,
              (std::vector<SeenArgument>{i4(6), text("program <programnumbers>"), text("Spoken controls"), text(""),
                                         text("SendKeys \"{Alt+r}{down \" & _arg1 & \"}{up}{enter}\""), i4(1)}));
    EXPECT_EQ(call(L"ListSet")->arguments,
              (std::vector<SeenArgument>{text("programnumbers"), {VT_ARRAY | VT_BSTR, "[1|2|3]"}}));
    EXPECT_EQ(call(L"hWnd")->flags, DISPATCH_PROPERTYPUT);
    EXPECT_EQ(call(L"hWnd")->arguments, (std::vector<SeenArgument>{i4(0x30a2)}));
    EXPECT_EQ(call(L"Active")->flags, DISPATCH_PROPERTYPUT);
    EXPECT_EQ(call(L"Active")->arguments, (std::vector<SeenArgument>{boolean(true)}));
    EXPECT_EQ(call(L"Remove")->arguments, (std::vector<SeenArgument>{i4(6)}));

    // A menu that is not made is a failure the program reports.
    voice->answers[create] = [](const auto&, VARIANT*, EXCEPINFO*) { return S_OK; };
    EXPECT_THROW(dragon().voiceCommands().createMenu("Vocabrella", "Numbered", 1033, "", 1), DragonError);
}

TEST_F(DragonControlsTest, ScriptCheckGivesTheLineAndTheErrorTextByReference) {
    voice->answers[1] = [](const std::vector<VARIANT*>& args, VARIANT* result, EXCEPINFO*) {
        if (args.size() != 2 || args[0]->vt != VT_BSTR || args[1]->vt != (VT_BYREF | VT_BSTR)) return DISP_E_TYPEMISMATCH;
        const bool bad = std::wstring(args[0]->bstrVal).find(L"Wiat") != std::wstring::npos;
        SysFreeString(*args[1]->pbstrVal);
        *args[1]->pbstrVal = SysAllocString(bad ? L"Unknown command \u00abWiat\u00bb" : L"");
        result->vt = VT_I4;
        result->lVal = bad ? 2 : 0;
        return S_OK;
    };
    std::string error = "left over";
    EXPECT_EQ(dragon().voiceCommands().checkScript("SendKeys \"a\"\r\nWiat 1", error), 2);
    EXPECT_EQ(error, "Unknown command \u00abWiat\u00bb");
    EXPECT_TRUE(voice->last(1)->flags & DISPATCH_METHOD);
    EXPECT_EQ(voice->last(1)->arguments.size(), 2u);
    EXPECT_EQ(voice->last(1)->arguments[0], text("SendKeys \"a\"\r\nWiat 1"));
    EXPECT_EQ(voice->last(1)->arguments[1].type, VT_BYREF | VT_BSTR);

    EXPECT_EQ(dragon().voiceCommands().checkScript("Wait 1", error), 0);
    EXPECT_EQ(error, "");
}

TEST_F(DragonControlsTest, TheSpeakerChangeEventReachesTheProgram) {
    int changes = 0;
    dragon().engine().onSpeakerChange([&] { ++changes; });
    dragon().engine().onSpeakerChange([&] { changes += 10; });
    EXPECT_EQ(engine->sinks(), 1u); // one sink for all handlers

    engine->raise(controls::SpeakerChangedEvent, {});
    EXPECT_EQ(changes, 11);
    engine->raise(controls::SpeakerChangedEvent + 7, {Variant::integer(3)}); // another engine event: ignored
    EXPECT_EQ(changes, 11);

    dragon_.reset();
    EXPECT_EQ(engine->sinks(), 0u); // unadvised when the program lets go of Dragon
}

TEST_F(DragonControlsTest, TheRecognitionEventReachesTheProgramWithItsWords) {
    std::vector<Recognition> heard;
    dragon().voiceCommands().onRecognition([&](const Recognition& r) { heard.push_back(r); });
    ASSERT_EQ(voice->sinks(), 1u);

    voice->raise(controls::RecognitionEvent,
                 {Variant::text("program three"), Variant::integer(6), Variant::texts({"three"})});
    voice->raise(controls::RecognitionEvent, {Variant::text("lists"), Variant::integer(2)});
    voice->raise(controls::RecognitionEvent + 1, {Variant::text("ignored"), Variant::integer(9)});

    ASSERT_EQ(heard.size(), 2u);
    EXPECT_EQ(heard[0].id, 6);
    EXPECT_EQ(heard[0].words, "program three");
    EXPECT_EQ(heard[0].arguments, (std::vector<std::string>{"three"}));
    EXPECT_EQ(heard[1].id, 2);
    EXPECT_EQ(heard[1].words, "lists");
    EXPECT_TRUE(heard[1].arguments.empty());
}

} // namespace
} // namespace vocabrella::platform
