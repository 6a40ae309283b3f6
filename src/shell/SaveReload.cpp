#include "shell/Application.h"

#include "cmdfile/AtomicFile.h"
#include "cmdfile/Clock.h"
#include "cmdfile/Errors.h"
#include "cmdfile/Format.h"
#include "cmdfile/Prompter.h"
#include "cmdfile/TimeText.h"
#include "shell/ApplicationTexts.h"
#include "shell/ProfileFile.h"
#include "shell/platform/DragonFiles.h"

#include "cmdfile/System.h"

#include <ctime>
#include <optional>

namespace vocabrella {
namespace fs = std::filesystem;

namespace {

// The language byte of a command file for the engine's language identifier of a speaker.
std::uint8_t languageByte(int identifier) {
    switch (identifier) {
    case 1031: return 7;
    case 1033:
    case 2057:
    case 3081:
    case 61449: return 9;
    case 1034: return 10;
    case 1036: return 12;
    case 1043: return 19;
    default: return 0;
    }
}

std::string hhnnss(std::chrono::system_clock::time_point t) { return localTimeText(t, "%H%M%S"); }

} // namespace

void Application::SaveAndReload(bool newListWritten) {
    if (!nat_ || !nat_->ProductionOpen(commandFile())) {
        FileRefresh();
        return;
    }
    try {
        const std::string speaker = dragon_.engine().currentSpeaker();
        if (nat_->RoamingOn() && nat_->IsRoamingUser()) {
            if (!settings_->options().dontShowRoamSaveUser) {
                bool neverAgain = false;
                if (roamingNotice_) neverAgain = roamingNotice_();
                else prompter_.message(texts::RoamingNotice, texts::RoamingNoticeCaption);
                if (neverAgain) settings_->setDontShowRoamSaveUser();
            }
            namespace df = platform::dragonfiles;
            ProfileFile(nat_->RoamingCacheDirectory() / speaker / df::CurrentFolder / df::LocalFile)
                .write(df::Options, df::MyCommandsChanged, "1");
        }
    } catch (const std::exception& e) {
        session_->trace().Tracy(texts::UnableToSaveTitle, e.what());
        prompter_.message(texts::UnableToSave, texts::UnableToSaveTitle);
    }
    if (newListWritten) {
        FileRefresh();
        prompter_.status(texts::CreateCommandNext);
        return;
    }
    prompter_.status(texts::OperationInProgress);
    FastSave(options_.home / "placer.dat");
}

bool Application::FastSave(const fs::path& templateFile) {
    auto& trace = session_->trace();
    const fs::path file = commandFile();
    try {
        int identifier = 0;
        try {
            identifier = dragon_.engine().speakerLanguage(dragon_.engine().currentSpeaker());
        } catch (const platform::DragonError& e) {
            // The template then carries language 0, which the merge tool accepts for any user.
            trace.Tracy(texts::trace::EngineError, e.what());
        }
        auto bytes = readFileBytes(templateFile);
        if (bytes.size() > format::kLanguageOffset) {
            bytes[format::kLanguageOffset] = languageByte(identifier);
            writeFileAtomically(templateFile, bytes, false);
        }
    } catch (const fs::filesystem_error& e) {
        trace.Tracy(texts::UnableToSaveTitle, e.what());
        prompter_.message(texts::UnableToSave, texts::UnableToSaveTitle);
    }
    mergePerformed_ = true;

    const std::string tool = mergeTool_ ? os::pathText(*mergeTool_) : std::string();
    const std::string commandLine =
        tool + " \"" + os::pathText(file) + "\" \"" + os::pathText(templateFile) + "\"";
    // The file's time at full precision: a merge within the same second is seen too.
    const auto before = writeTimeStamp(file);
    const std::string second = hhnnss(fromStamp(before.value_or(0)));
    trace.Tracy(texts::trace::FileTime, second + "\r\n" + commandLine);
    // A change within the same second could go unseen by a coarse clock: wait for the next one.
    while (hhnnss(clock_.now()) == second) {
        clock_.sleep(std::chrono::milliseconds(100));
        trace.Tracy(texts::trace::WaitingForTimeChange);
    }
    const std::int64_t pid =
        mergeTool_ ? os::startDetached({tool, os::pathText(file), os::pathText(templateFile)}) : -1;
    for (int counter = 0; counter < 51;) {
        os::reapIfFinished(pid); // once the tool is done
        const auto now = writeTimeStamp(file);
        if (now && now != before) {
            trace.Tracy(texts::trace::AfterFastSave, displayTime(fromStamp(*now)), displayTime(clock_.now()));
            clock_.sleep(std::chrono::milliseconds(200));
            FileRefresh();
            trace.Tracy(texts::trace::AfterFastSaveRefresh);
            prompter_.status(texts::UpdateProcessed);
            return true;
        }
        clock_.sleep(std::chrono::milliseconds(100));
        ++counter;
        trace.Tracy(texts::trace::Counter, std::to_string(counter));
    }
    os::reapIfFinished(pid);
    prompter_.message(texts::UnableToUpdate, os::pathText(file));
    mergePerformed_ = false;
    FileRefresh();
    return false;
}

bool Application::ownCommandsPresent() {
    const auto row = session_->store().findUser(names::GlobalCommands, names::GlobalCommands, texts::OwnCommand);
    return row && row->script.find(texts::OwnProgram) != std::string::npos;
}

bool Application::importOwnCommands() {
    const fs::path shipped = options_.home / "vocglobal.dat";
    if (!fs::exists(shipped)) {
        prompter_.message(texts::ShippedFileMissing, os::pathText(shipped));
        return false;
    }
    const fs::path file = os::pathText(options_.home).find("(86)") != std::string::npos
                              ? options_.home / "vocglobal64bit.dat"
                              : shipped;
    auto bytes = readFileBytes(file);
    if (bytes.size() > format::kLanguageOffset) {
        std::string speaker;
        std::optional<int> identifier;
        try {
            speaker = dragon_.engine().currentSpeaker();
            identifier = dragon_.engine().speakerLanguage(speaker);
        } catch (const platform::DragonError& e) {
            // Without the speaker's language the shipped file keeps its own.
            session_->trace().Tracy(texts::trace::EngineError, e.what());
        }
        const auto low = static_cast<std::uint8_t>(identifier.value_or(0) & 0xFF);
        if (identifier && bytes[format::kLanguageOffset] != low) {
            prompter_.message(texts::ConvertLanguageAdvice, speaker);
            bytes[format::kLanguageOffset] = low;
            writeFileAtomically(file, bytes, false);
        }
    }
    return FastSave(file);
}

} // namespace vocabrella
