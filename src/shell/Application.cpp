#include "shell/Application.h"

#include "cmdfile/AtomicFile.h"
#include "cmdfile/System.h"
#include "cmdfile/Clock.h"
#include "cmdfile/Errors.h"
#include "cmdfile/Prompter.h"
#include "cmdfile/TextCase.h"
#include "cmdfile/TimeText.h"
#include "shell/ApplicationTexts.h"
#include "shell/HomeFolder.h"
#include "shell/Properties.h"
#include "shell/Texts.h"
#include "shell/platform/DragonFiles.h"

#include <algorithm>
#include <cctype>

namespace vocabrella {
namespace fs = std::filesystem;

namespace {

std::string trimmed(std::string_view s) {
    const auto first = s.find_first_not_of(' ');
    if (first == std::string_view::npos) return {};
    return std::string(s.substr(first, s.find_last_not_of(' ') - first + 1));
}

// Every occurrence of `from`, ignoring case, becomes `to`.
std::string replaceAllIgnoringCase(const std::string& text, const std::string& from, std::string_view to) {
    if (from.empty()) return text;
    const std::string lowered = foldCase(text), needle = foldCase(from);
    std::string out;
    std::size_t at = 0;
    for (std::size_t hit; (hit = lowered.find(needle, at)) != std::string::npos; at = hit + from.size())
        out.append(text, at, hit - at).append(to);
    return out.append(text, at);
}

} // namespace

Application::Application(StartupOptions options, platform::Dragon& dragon, Prompter& prompter, Clock& clock)
    : options_(std::move(options)), prompter_(prompter), clock_(clock), dragon_(dragon) {}

Application::~Application() = default;

bool Application::load() {
    auto& windows = dragon_.windows();
    callingWindow_ = windows.foregroundWindow();
    callingTitle_ = windows.windowTitle(callingWindow_);

    session_ = options_.work.empty() ? std::make_unique<Session>(options_.home, prompter_, clock_)
                                     : std::make_unique<Session>(options_.home, options_.work, prompter_, clock_);
    auto& trace = session_->trace();
    trace.Tracy("");
    trace.Tracy(texts::trace::CallingWindow, callingTitle_);
    trace.Tracy("vocabrella", "1.00", displayTime(clock_.now()));
    trace.Tracy(texts::trace::AfterOpenDb);
    trace.Tracy(texts::trace::AfterOpenUser);
    trace.Tracy(texts::trace::AfterOpenParameters);
    trace.Tracy(texts::trace::AfterOpenDvcmap);
    trace.Tracy(texts::trace::AfterOpenStates);
    if (!dragonAvailable()) return loadWithoutDragon();

    if (!registerWithEngine(dragon_.engine(), prompter_, trace)) return false;
    nat_ = std::make_unique<Nat>(DiscoveryEnvironment{session_->store(), trace, prompter_, dragon_.engine(),
                                                      dragon_.specialFolders()});
    nat_->setdatabasename(std::string(texts::DefaultDataBaseName));
    try {
        nat_->initialize(options_.home);
    } catch (const platform::DragonError& e) {
        prompter_.message(texts::NotInstalled, e.what());
        return false;
    }
    if (nat_->aborting()) return false;
    trace.Tracy(texts::trace::AfterVocaux);
    mergeTool_ = findMergeTool(dragon_.engine(), windows);
    trace.Tracy(texts::trace::AfterVoiceCommands);

    const fs::path userFile = currentUserFile();
    startupUserFile_ = fs::weakly_canonical(fs::absolute(userFile));
    if (!session_->reader().ReadCommandFile(false, userFile).success) {
        prompter_.message(std::string(texts::CannotParse) + os::pathText(session_->work() / texts::ErrorLogAndTrace),
                          os::pathText(userFile));
        throw EndProgram();
    }
    displayedUser_ = nat_->UserName();
    settings_ = std::make_unique<Settings>(options_.home, trace);
    RollBackCheck(false);
    RollBackListBuild();
    trace.Tracy(texts::trace::BeforeGetOptions);
    settings_->GetOptions(commandFile());
    trace.Tracy(texts::trace::AfterGetOptions);
    running_ = true;
    return true;
}

bool Application::loadWithoutDragon() {
    auto& store = session_->store();
    {
        // Nothing is open until a file is: what the store kept of an earlier file goes, and the
        // speech user's file is parsed again when Dragon is next there.
        CommandStore::Transaction t(store);
        store.deleteAllUsers();
        store.deleteAllDvcmap();
        store.deleteAllStates();
        auto p = store.parameters();
        p.parsed = false;
        p.mycmdstime.reset();
        store.setParameters(p);
        t.commit();
    }
    session_->trace().Tracy(texts::trace::WithoutDragon);
    settings_ = std::make_unique<Settings>(options_.home, session_->trace());
    settings_->GetOptions({});
    running_ = true;
    return true;
}

void Application::shutdown() {
    if (!running_) return;
    CompactStore(false);
    running_ = false;
}

std::string Application::caption() {
    std::string path = os::pathText(commandFile());
    if (path.empty()) return std::string(texts::ApplicationName);
    std::string prefix;
    try {
        prefix = dragon_.engine().userDataPrefix();
    } catch (const platform::DragonError&) {
        // No prefix from the engine: the caption shows the whole path, which is still right.
    }
    return std::string(texts::CaptionPrefix) + replaceAllIgnoringCase(path, prefix, "..");
}

Application::Context Application::SelectCallingContext() {
    auto& trace = session_->trace();
    auto& store = session_->store();
    std::string line = options_.commandLine;
    for (int i = 0; i < 2; ++i)
        if (const auto q = line.find('"'); q != std::string::npos) line.erase(q, 1);
    if (sameIgnoringCase(line, texts::GlobalCommandsArgument)) line = names::GlobalCommands;
    trace.Tracy(texts::trace::CommandLine, line);
    Context context{std::string(names::GlobalCommands), std::string(names::GlobalCommands), false};
    std::error_code ec;
    if (!line.empty() && fs::is_regular_file(line, ec)) {
        context.fileGiven = true;
        context.openedFile = FileOpenNoDialog(line);
        if (const auto first = store.firstScopeFrom(""); first && context.openedFile) {
            context.program = first->first;
            context.scope = first->second;
        }
        return context;
    }
    if (!dragonAvailable()) {
        // No calling window to follow: an argument can only have been meant as a file.
        if (!line.empty() && line != names::GlobalCommands)
            prompter_.message(texts::FileDoesNotExist, os::pathText(fs::absolute(line, ec)));
        return context;
    }
    const std::string title = line.empty() ? callingTitle_ : line;

    // The document part of "document - application", cut to 32 characters.
    const auto dash = title.find('-');
    std::string stateName = dash == std::string::npos ? title : title.substr(0, dash >= 1 ? dash - 1 : 0);
    if (stateName.size() > 32) stateName.resize(32);
    if (title.find(texts::MicrosoftVisualBasic) != std::string::npos) stateName = texts::MicrosoftVisualBasic;
    trace.Tracy(texts::trace::StateName, stateName);
    const auto seek = [&](const std::string& name) -> std::optional<CommandStore::ProgramScope> {
        const auto found = store.firstScopeFrom(name);
        trace.Tracy(texts::trace::AfterStateName);
        trace.Tracy(texts::trace::FoundState, found ? found->second : std::string());
        if (found && sameIgnoringCase(found->second, name)) return found;
        return std::nullopt;
    };
    // A window-specific scope is named by the whole window title: it is looked up first.
    std::optional<CommandStore::ProgramScope> chosen = seek(title.substr(0, 100));
    if (!chosen) chosen = seek(stateName);
    if (!chosen && !title.empty()) {
        const std::string nested = dash == std::string::npos ? title : title.substr(std::min(dash + 2, title.size()));
        trace.Tracy(texts::trace::NestedStateName, nested);
        chosen = seek(nested);
    }
    if (!chosen) {
        trace.Tracy(texts::trace::LeftStateName, stateName);
        for (const auto& pair : store.scopesInStateOrder()) {
            const std::string scope = trimmed(pair.second);
            if (!scope.empty() && stateName.find(scope) != std::string::npos) {
                chosen = pair;
                break;
            }
        }
    }
    if (!chosen) {
        trace.Tracy(texts::trace::BeforeModuleName);
        std::string module;
        try {
            module = os::pathText(fs::path(dragon_.engine().moduleOfWindow(callingWindow_)).stem());
        } catch (const platform::DragonError& e) {
            // A window the engine cannot name matches no program; the global commands are shown.
            trace.Tracy(texts::trace::EngineError, e.what());
        }
        module = upperCase(module);
        trace.Tracy(texts::trace::Module, module);
        if (const auto found = store.firstFromProgram(module, names::ApplicationSpecific);
            found && !module.empty() && sameIgnoringCase(found->first, module))
            chosen = found;
    }
    if (chosen) {
        context.program = chosen->first;
        context.scope = chosen->second;
    }
    trace.Tracy(texts::trace::FormLoadDone);
    return context;
}

fs::path Application::ownFileOf(const std::string& user) const {
    return nat_->UserBaseDirectory() / os::pathFrom(user) / platform::dragonfiles::CurrentFolder / platform::dragonfiles::CommandFile;
}

fs::path Application::currentUserFile() const { return nat_->CurrentPath() / platform::dragonfiles::CommandFile; }

std::optional<std::string> Application::speechUserOfFile(const fs::path& path) {
    if (!nat_) return std::nullopt;
    const fs::path base = nat_->UserBaseDirectory();
    if (base.empty()) return std::nullopt;
    const fs::path relative = path.lexically_relative(base);
    if (relative.empty() || *relative.begin() == "..") return std::nullopt;
    const std::string name = relative.begin()->string();
    if (!sameIgnoringCase(os::pathText(ownFileOf(name)), os::pathText(path))) return std::nullopt;
    return name;
}

bool Application::FileOpenNoDialog(const fs::path& given) {
    const fs::path path = fs::weakly_canonical(fs::absolute(given));
    if (!fs::exists(path)) {
        prompter_.message(texts::FileDoesNotExist, os::pathText(path));
        return false;
    }
    auto& store = session_->store();
    {
        CommandStore::Transaction t(store);
        auto p = store.parameters();
        p.openfile = os::pathText(path);
        p.parsed = false;
        store.setParameters(p);
        store.deleteAllUsers();
        store.deleteAllDvcmap();
        store.deleteAllStates();
        t.commit();
    }
    if (!session_->reader().ReadCommandFile(true, path).success) {
        prompter_.message(texts::ParseProblem, os::pathText(path));
        parseFailure();
    }
    if (const auto user = speechUserOfFile(path)) {
        displayedUser_ = *user;
        RollBackListBuild();
    }
    if (settings_) settings_->GetOptions(path);
    return true;
}

void Application::filereload() {
    if (!nat_) throw Refusal(std::string(texts::NeedsDragon));
    const fs::path userFile = currentUserFile();
    if (!session_->reader().ReadCommandFile(true, userFile).success) {
        prompter_.message(texts::ParseProblem, os::pathText(userFile));
        parseFailure();
    }
    if (settings_) settings_->GetOptions(userFile);
}

void Application::FileRefresh() {
    session_->FileRefresh();
    if (settings_) settings_->MRUOutput(session_->store(), commandFile());
}

bool Application::refreshChangedFile() {
    const fs::path path = commandFile();
    std::error_code ec;
    if (!fs::is_regular_file(path, ec)) {
        prompter_.message(texts::FileDoesNotExist, os::pathText(path));
        return false;
    }
    const auto read = session_->readChangedFile();
    if (read.unread) {
        // Held by its writer, say: the store was not touched, and the next change is read.
        prompter_.message(read.problem, os::pathText(path));
        return false;
    }
    if (!read.success) {
        prompter_.message(texts::ParseProblem, os::pathText(path));
        parseFailure();
    }
    if (settings_) settings_->MRUOutput(session_->store(), path);
    return true;
}

bool Application::RefreshIfChanged(bool refresh) {
    changedOnDisk_ = false;
    if (!nat_ || !nat_->ProductionOpen(commandFile())) return false;
    const auto modified = writeTimeStamp(commandFile());
    if (!modified || session_->store().parameters().mycmdstime == *modified) return false;
    changedOnDisk_ = true;
    if (refresh) FileRefresh();
    return true;
}

std::string Application::properties() {
    if (session_->reader().file().info.commandCount == 0) FileRefresh();
    return propertiesText(commandFile(), session_->reader().file().info);
}

void Application::filereset() {
    auto& store = session_->store();
    CommandStore::Transaction t(store);
    store.deleteAllUsers();
    store.deleteAllDvcmap();
    store.deleteAllStates();
    auto p = store.parameters();
    p.UserName = p.UserSub = p.language = " ";
    p.lastmode = "app";
    p.parsed = false;
    p.dvcmaptime.reset();
    p.mycmdstime.reset();
    store.setParameters(p);
    t.commit();
    prompter_.message(texts::RestartForChanges);
    throw EndProgram(0);
}

void Application::parseFailure() { session_->parseFailure(); }

void Application::speakerChanged() {
    auto& trace = session_->trace();
    trace.Tracy(texts::trace::EnterSpeakerChange);
    try {
        if (dragon_.engine().currentSpeaker() != displayedUser_ &&
            sameIgnoringCase(os::pathText(fs::weakly_canonical(commandFile())), os::pathText(startupUserFile_)))
            throw EndProgram(0); // the store belongs to the previous user
    } catch (const platform::DragonError& e) {
        // An engine that cannot name its speaker leaves the program as it is: the next change
        // of speaker is checked again.
        trace.Tracy(texts::trace::EngineError, e.what());
    }
    trace.Tracy(texts::trace::LeaveSpeakerChange);
}

} // namespace vocabrella
