#include "ui/SpokenControls.h"

#include "shell/platform/VoiceCommands.h"
#include "ui/Texts.h"

#include <QMenu>

#include <algorithm>
#include <cctype>

namespace vocabrella::ui {
namespace {

std::vector<std::string> numberWords(int count) {
    std::vector<std::string> words;
    for (int i = 1; i <= count; ++i) words.push_back(std::to_string(i));
    return words;
}

std::string lower(std::string s) {
    std::transform(s.begin(), s.end(), s.begin(), [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return s;
}

enum Id { kCommands = 1, kLists, kRecentlyCreated, kRecentlyModified, kSlider, kProgram, kScope, kGroup,
          kProgramNumber = 20, kScopeNumber, kGroupNumber };

platform::VoiceMenu& createMenu(platform::VoiceCommands& voice, std::string_view state) {
    return voice.createMenu(texts::voice::MenuName, state, platform::VoiceCommands::kMenuLanguage, {},
                            platform::VoiceCommands::kMenuFlags);
}

} // namespace

SpokenControls::SpokenControls(Form1& window, platform::VoiceCommands& voice, std::uint64_t windowHandle)
    : window_(window),
      global_((voice.Register({}), createMenu(voice, texts::voice::GlobalState))),
      numbered_(createMenu(voice, texts::voice::NumberedState)) {
    namespace v = texts::voice;
    global_.add(kCommands, v::Commands, v::Category, v::CommandsDescription);
    global_.add(kLists, v::Lists, v::Category, v::ListsDescription);
    global_.add(kRecentlyCreated, v::RecentlyCreated, v::Category, v::RecentlyCreatedDescription);
    global_.add(kRecentlyModified, v::RecentlyModified, v::Category, v::RecentlyModifiedDescription);
    global_.setList(v::SliderNumbers, numberWords(10));
    global_.add(kSlider, v::Slider, v::Category, v::SliderDescription);
    global_.add(kGroup, v::GroupAllGroups, v::Category, v::AllGroupsDescription, v::AllGroupsAction, 1);
    global_.add(kGroup, v::AllGroups, v::Category, v::AllGroupsDescription, v::AllGroupsAction, 1);
    global_.attach(windowHandle);
    global_.activate(true);
    numbered_.activate(false);
    voice.onRecognition([this](const platform::Recognition& r) { recognized(r); });
}

void SpokenControls::menuBuilt(DynamicMenu menu, int words) {
    namespace v = texts::voice;
    switch (menu) {
    case DynamicMenu::Program:
        global_.setList(v::ProgramNumbers, numberWords(words));
        global_.add(kProgram, v::Program, v::Category, v::ProgramDescription, v::ProgramAction, 1);
        break;
    case DynamicMenu::Scope:
        global_.setList(v::StateNumbers, numberWords(words));
        global_.add(kScope, v::Scope, v::Category, v::ScopeDescription, v::ScopeAction, 1);
        break;
    case DynamicMenu::Group:
        global_.setList(v::GroupNumbers, numberWords(words));
        global_.add(kGroup, v::Group, v::Category, v::GroupDescription, v::GroupAction, 1);
        break;
    }
}

void SpokenControls::menuOpened(DynamicMenu menu, int words) {
    namespace v = texts::voice;
    const auto list = menu == DynamicMenu::Program ? v::ProgramNumbers
                      : menu == DynamicMenu::Scope ? v::StateNumbers
                                                   : v::GroupNumbers;
    const int id = menu == DynamicMenu::Program ? kProgramNumber : menu == DynamicMenu::Scope ? kScopeNumber : kGroupNumber;
    numbered_.setList(list, numberWords(words));
    numbered_.add(id, "<" + std::string(list) + ">", v::Category, v::NumberDescription, v::NumberAction, 1);
    numbered_.activate(true);
    // A menu opened by the mouse has no entry highlighted yet.
    openMenu_ = menu;
    highlighted_ = -1;
}

void SpokenControls::recognized(const platform::Recognition& r) {
    window_.guarded([&] {
        switch (r.id) {
        case kCommands:
        case kLists:
        case kRecentlyCreated:
        case kRecentlyModified: window_.showTab(r.id - kCommands); break;
        case kSlider:
            // The number follows "slider ".
            if (r.words.size() > 7) window_.setSlider(std::atoi(r.words.c_str() + 7));
            break;
        case kProgramNumber:
        case kScopeNumber:
        case kGroupNumber:
            numbered_.activate(false);
            numbered_.remove(r.id);
            break;
        default: break; // Dragon carries out the others as keystrokes
        }
    });
}

void SpokenControls::keys(const std::string& keystrokes) {
    // Entries the keyboard can reach: separators are skipped, the ends wrap round.
    const auto step = [&](int by) {
        if (!openMenu_) return;
        const int count = window_.entryCount(*openMenu_);
        if (count == 0) return;
        int at = highlighted_;
        for (int moved = 0; moved < std::abs(by);) {
            at = at < 0 ? (by > 0 ? 0 : count - 1) : ((at + (by > 0 ? 1 : -1)) % count + count) % count;
            if (!window_.isSeparator(*openMenu_, at)) ++moved;
        }
        highlighted_ = at;
    };
    window_.guarded([&] {
        for (std::size_t at = 0; (at = keystrokes.find('{', at)) != std::string::npos;) {
            const auto end = keystrokes.find('}', at);
            if (end == std::string::npos) break;
            const std::string key = lower(keystrokes.substr(at + 1, end - at - 1));
            at = end + 1;
            if (key == "alt+r" || key == "alt+s" || key == "alt+g") {
                // Opened by its accelerator, a menu highlights its first entry.
                openMenu_ = key == "alt+r" ? DynamicMenu::Program : key == "alt+s" ? DynamicMenu::Scope : DynamicMenu::Group;
                highlighted_ = -1;
                step(1);
            } else if (key.rfind("down", 0) == 0) {
                step(key.size() > 4 ? std::max(1, std::atoi(key.c_str() + 4)) : 1);
            } else if (key.rfind("up", 0) == 0) {
                step(-(key.size() > 2 ? std::max(1, std::atoi(key.c_str() + 2)) : 1));
            } else if (key == "enter" && openMenu_) {
                const DynamicMenu menu = *openMenu_;
                const int chosen = highlighted_;
                openMenu_.reset();
                highlighted_ = -1;
                if (chosen >= 0) window_.chooseEntry(menu, chosen);
            } else if (key == "esc" || key == "escape") {
                openMenu_.reset();
            }
        }
    });
}

} // namespace vocabrella::ui
