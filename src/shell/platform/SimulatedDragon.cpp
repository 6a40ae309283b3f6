#include "shell/platform/SimulatedDragon.h"

#include "shell/ProfileFile.h"
#include "shell/platform/DragonFiles.h"
#include "shell/platform/ScriptCheck.h"
#include "cmdfile/System.h"

#include <algorithm>
#include <cstdlib>
#include <sstream>

namespace vocabrella::platform {
namespace fs = std::filesystem;
namespace {

std::vector<std::string> wordsOf(std::string_view text) {
    std::vector<std::string> words;
    std::istringstream in{std::string(text)};
    for (std::string w; in >> w;) words.push_back(std::move(w));
    return words;
}

std::string joined(const std::vector<std::string>& words, std::size_t from, std::size_t to) {
    std::string out;
    for (std::size_t i = from; i < to; ++i) out.append(i > from ? " " : "").append(words[i]);
    return out;
}

std::optional<std::int64_t> parseNumber(std::string_view text) {
    if (text.empty()) return std::nullopt;
    const std::string s(text);
    char* end = nullptr;
    const std::int64_t v = std::strtoll(s.c_str(), &end, 0); // decimal, or 0x... for flags and error numbers
    if (end == s.c_str() || *end != '\0') return std::nullopt;
    return v;
}

} // namespace

// ---- windows

SimulatedWindows::Window* SimulatedWindows::find(WindowHandle handle) {
    for (auto& w : windows_)
        if (w.handle == handle) return &w;
    return nullptr;
}

const SimulatedWindows::Window* SimulatedWindows::window(WindowHandle handle) const {
    for (const auto& w : windows_)
        if (w.handle == handle) return &w;
    return nullptr;
}

std::string SimulatedWindows::windowTitle(WindowHandle window) {
    const auto* w = find(window);
    return w ? w->title : std::string();
}

WindowHandle SimulatedWindows::findWindow(std::string_view className, std::string_view title) {
    for (const auto& w : windows_)
        if ((className.empty() || w.className == className) && (title.empty() || w.title == title)) return w.handle;
    return 0;
}

bool SimulatedWindows::bringToFront(WindowHandle window) {
    if (!find(window)) return false;
    foreground_ = window;
    return true;
}

void SimulatedWindows::sendKeys(std::string_view keys, bool) {
    if (auto* w = find(foreground_)) w->receivedKeys.emplace_back(keys);
    for (const auto& handler : keyHandlers_) handler(foreground_, std::string(keys));
}

WindowHandle SimulatedWindows::open(std::string title, std::string className, std::string module, bool foreground) {
    const WindowHandle handle = next_++;
    windows_.push_back({handle, std::move(title), std::move(className), std::move(module), {}});
    if (foreground) foreground_ = handle;
    return handle;
}

void SimulatedWindows::close(WindowHandle window) {
    std::erase_if(windows_, [window](const Window& w) { return w.handle == window; });
    if (foreground_ == window) foreground_ = 0;
}

// ---- engine

fs::path SimulatedEngine::engineFile() const {
    if (!root_)
        throw DragonError(DragonError::kNotInstalled,
                          "Dragon NaturallySpeaking is not installed (no --dragon-root DIR and no DRAGON_ROOT)");
    const fs::path file = *root_ / simulated::EngineFile;
    std::error_code ec;
    if (!fs::is_regular_file(file, ec))
        throw DragonError(DragonError::kNotInstalled, "Dragon NaturallySpeaking is not installed in " + root_->string());
    return file;
}

std::string SimulatedEngine::value(std::string_view key) const {
    return ProfileFile(engineFile()).read(simulated::EngineSection, key);
}

std::int64_t SimulatedEngine::number(std::string_view key, std::int64_t fallback) const {
    return parseNumber(value(key)).value_or(fallback);
}

void SimulatedEngine::Register(int) {
    if (const auto error = parseNumber(value(simulated::RegisterError)); error && *error != 0)
        throw DragonError(static_cast<std::uint32_t>(*error), "The engine refused the registration");
    registered_ = true;
}

void SimulatedEngine::setRegisteredOption(bool) { engineFile(); }

std::uint32_t SimulatedEngine::productFlags() { return static_cast<std::uint32_t>(number(simulated::ProductFlags, 0)); }

EngineVersion SimulatedEngine::version() {
    return {static_cast<int>(number(simulated::MajorVersion, 0)), static_cast<int>(number(simulated::MinorVersion, 0)),
            static_cast<int>(number(simulated::BuildNumber, 0))};
}

std::string SimulatedEngine::currentSpeaker() { return value(simulated::CurrentSpeaker); }

int SimulatedEngine::speakerLanguage(std::string_view speaker) {
    const auto language = parseNumber(ProfileFile(engineFile()).read(simulated::SpeakersSection, speaker));
    if (!language) throw DragonError(DragonError::kInvalidArgument, "Unknown speaker " + std::string(speaker));
    return static_cast<int>(*language);
}

std::string SimulatedEngine::moduleOfWindow(WindowHandle window) {
    engineFile();
    const auto* w = windows_.window(window);
    if (!w) throw DragonError(DragonError::kInvalidArgument, "No such window");
    return w->module;
}

std::string SimulatedEngine::userDataPrefix() { return value(simulated::UserDataPrefix); }

void SimulatedEngine::openDialog(int dialog, WindowHandle) {
    engineFile();
    if (dialog != kCommandEditorDialog) throw DragonError(DragonError::kInvalidArgument, "No such dialog");
    if (const auto open = windows_.findWindow({}, dragonfiles::CommandEditorTitle)) {
        windows_.bringToFront(open);
        return;
    }
    windows_.open(std::string(dragonfiles::CommandEditorTitle), "DgnCommandEditor",
                  os::pathText(*root_ / simulated::ProgramFolder / simulated::DragonModule), true);
}

void SimulatedEngine::speakerChanged() {
    for (const auto& handler : speakerHandlers_) handler();
}

// ---- voice menus

void SimulatedVoiceMenu::add(int id, std::string_view spoken, std::string_view category,
                             std::string_view description, std::string_view action, int actionType) {
    Command c{id, std::string(spoken), std::string(category), std::string(description), std::string(action), actionType};
    for (auto& existing : commands_)
        if (existing.id == id && existing.spoken == spoken) {
            existing = std::move(c);
            return;
        }
    commands_.push_back(std::move(c));
}

void SimulatedVoiceMenu::setList(std::string_view name, const std::vector<std::string>& words) {
    for (auto& [n, w] : lists_)
        if (ProfileFile::sameName(n, name)) {
            w = words;
            return;
        }
    lists_.emplace_back(std::string(name), words);
}

void SimulatedVoiceMenu::remove(int id) {
    std::erase_if(commands_, [id](const Command& c) { return c.id == id; });
}

const std::vector<std::string>* SimulatedVoiceMenu::list(std::string_view name) const {
    for (const auto& [n, w] : lists_)
        if (ProfileFile::sameName(n, name)) return &w;
    return nullptr;
}

std::optional<std::pair<const SimulatedVoiceMenu::Command*, std::vector<std::string>>>
SimulatedVoiceMenu::match(std::string_view words) const {
    const auto heard = wordsOf(words);
    for (const auto& command : commands_) {
        const auto tokens = wordsOf(command.spoken);
        std::vector<std::string> arguments;
        // Tokens are literal words or <LIST> references; a LIST entry may be several words.
        std::function<bool(std::size_t, std::size_t)> fits = [&](std::size_t t, std::size_t w) -> bool {
            if (t == tokens.size()) return w == heard.size();
            const auto& token = tokens[t];
            if (token.size() > 2 && token.front() == '<' && token.back() == '>') {
                const auto* entries = list(std::string_view(token).substr(1, token.size() - 2));
                if (!entries) return false;
                for (const auto& entry : *entries) {
                    const auto entryWords = wordsOf(entry);
                    if (entryWords.empty() || w + entryWords.size() > heard.size()) continue;
                    bool same = true;
                    for (std::size_t i = 0; i < entryWords.size() && same; ++i)
                        same = ProfileFile::sameName(entryWords[i], heard[w + i]);
                    if (!same) continue;
                    arguments.push_back(joined(heard, w, w + entryWords.size()));
                    if (fits(t + 1, w + entryWords.size())) return true;
                    arguments.pop_back();
                }
                return false;
            }
            return w < heard.size() && ProfileFile::sameName(token, heard[w]) && fits(t + 1, w + 1);
        };
        if (fits(0, 0)) return std::make_pair(&command, arguments);
    }
    return std::nullopt;
}

// ---- voice commands

void SimulatedVoiceCommands::Register(std::string_view) { registered_ = true; }

VoiceMenu& SimulatedVoiceCommands::createMenu(std::string_view name, std::string_view state, int, std::string_view,
                                              int) {
    if (menu(name, state))
        throw DragonError(DragonError::kMenuExists, "The voice menu " + std::string(name) + " exists already");
    menus_.push_back(std::make_unique<SimulatedVoiceMenu>(std::string(name), std::string(state)));
    return *menus_.back();
}

SimulatedVoiceMenu* SimulatedVoiceCommands::menu(std::string_view name, std::string_view state) const {
    for (const auto& m : menus_)
        if (ProfileFile::sameName(m->name(), name) && ProfileFile::sameName(m->state(), state)) return m.get();
    return nullptr;
}

int SimulatedVoiceCommands::checkScript(std::string_view script, std::string& errorText) {
    return checkLegacyScript(script, errorText);
}

std::optional<Recognition> SimulatedVoiceCommands::hear(std::string_view words) {
    for (const auto& m : menus_) {
        if (!m->active()) continue;
        const auto found = m->match(words);
        if (!found) continue;
        const auto& [command, arguments] = *found;
        Recognition recognition{command->id, joined(wordsOf(words), 0, wordsOf(words).size()), arguments};
        if (!command->action.empty()) {
            std::istringstream lines(command->action);
            for (std::string line; std::getline(lines, line);)
                if (const auto keys = sendKeysOfAction(line, arguments)) windows_.sendKeys(*keys, false);
        }
        // The handlers may change the menus (remove the command just heard), so they come last.
        for (const auto& handler : std::vector<RecognitionHandler>(handlers_)) handler(recognition);
        return recognition;
    }
    return std::nullopt;
}

std::optional<std::string> sendKeysOfAction(std::string_view line, const std::vector<std::string>& arguments) {
    constexpr std::string_view keyword = "SendKeys";
    const auto start = line.find_first_not_of(" \t");
    if (start == std::string_view::npos || line.size() - start < keyword.size() ||
        !ProfileFile::sameName(line.substr(start, keyword.size()), keyword))
        return std::nullopt;
    std::size_t i = start + keyword.size();
    std::string keys;
    bool expectTerm = true;
    const auto skipBlanks = [&] {
        while (i < line.size() && (line[i] == ' ' || line[i] == '\t' || line[i] == '\r')) ++i;
    };
    for (skipBlanks(); i < line.size(); skipBlanks()) {
        if (expectTerm && line[i] == '"') {
            for (++i;; ++i) {
                if (i >= line.size()) return std::nullopt;
                if (line[i] == '"') {
                    if (i + 1 < line.size() && line[i + 1] == '"') {
                        keys += '"';
                        ++i;
                        continue;
                    }
                    ++i;
                    break;
                }
                keys += line[i];
            }
        } else if (expectTerm && line.substr(i).starts_with("_arg")) {
            i += 4;
            std::size_t n = 0;
            const std::size_t digits = i;
            while (i < line.size() && line[i] >= '0' && line[i] <= '9') n = n * 10 + static_cast<std::size_t>(line[i++] - '0');
            if (i == digits || n == 0 || n > arguments.size()) return std::nullopt;
            keys += arguments[n - 1];
        } else if (!expectTerm && line[i] == '&') {
            ++i;
            expectTerm = true;
            continue;
        } else if (!expectTerm && line[i] == ',') {
            break; // the wait flag that may follow
        } else {
            return std::nullopt;
        }
        expectTerm = false;
    }
    if (expectTerm) return std::nullopt;
    return keys;
}

// ---- the simulated Dragon

SimulatedDragon::SimulatedDragon(std::optional<fs::path> root)
    : root_(root ? std::optional<fs::path>(fs::absolute(*root)) : std::nullopt),
      engine_(root_, windows_),
      voice_(windows_) {
    if (!root_) return;
    loadWindows();
    events_.emplace(eventsFile(*root_));
}

std::optional<fs::path> SimulatedDragon::rootFrom(const std::optional<fs::path>& option) {
    if (option && !option->empty()) return option;
    if (const char* env = std::getenv(std::string(simulated::RootVariable).c_str()); env && *env) return fs::path(env);
    return std::nullopt;
}

void SimulatedDragon::loadWindows() {
    const ProfileFile ini(*root_ / simulated::EngineFile);
    const auto foreground = parseNumber(ini.read(simulated::EngineSection, simulated::ForegroundWindow));
    for (int n = 1;; ++n) {
        const std::string section = std::string(simulated::WindowSectionPrefix) + std::to_string(n);
        const auto title = ini.read(section, simulated::WindowTitle);
        const auto className = ini.read(section, simulated::WindowClass);
        if (title.empty() && className.empty()) break;
        fs::path module = ini.read(section, simulated::WindowModule);
        if (!module.empty() && module.is_relative()) module = *root_ / module;
        windows_.open(title, className, os::pathText(module), foreground && *foreground == n);
    }
}

SpecialFolders SimulatedDragon::specialFolders() const {
    if (!root_) return {};
    const fs::path userAppData = *root_ / simulated::UserAppDataFolder;
    return {*root_ / simulated::CommonAppDataFolder, userAppData, userAppData};
}

std::vector<DragonEvent> SimulatedDragon::pollEvents() {
    if (!events_) return {};
    auto events = events_->poll();
    for (const auto& event : events) {
        if (event.kind == DragonEvent::Kind::SpeakerChange)
            engine_.speakerChanged();
        else
            voice_.hear(event.text);
    }
    return events;
}

} // namespace vocabrella::platform
