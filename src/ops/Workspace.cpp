#include "ops/Workspace.h"

#include "cmdfile/Reader.h"
#include "cmdfile/Store.h"
#include "cmdfile/AtomicFile.h"
#include "cmdfile/TimeText.h"
#include "shell/Application.h"
#include "shell/FileBackups.h"
#include "shell/Session.h"

namespace vocabrella::ops {
namespace fs = std::filesystem;

Workspace::Workspace(Session& session, Clock& clock) : session_(session), clock_(clock) {}

Workspace::Workspace(Application& program, Clock& clock)
    : session_(program.session()), program_(&program), clock_(clock) {}

CommandStore& Workspace::store() { return session_.store(); }
Prompter& Workspace::prompter() { return session_.prompter(); }
WriterEnvironment Workspace::env() { return session_.writerEnvironment(); }
const fs::path& Workspace::commandFile() { return session_.reader().file().path; }

bool Workspace::dragonAvailable() { return program_ && program_->dragonAvailable(); }

bool Workspace::productionOpen() { return dragonAvailable() && program_->nat().ProductionOpen(commandFile()); }

bool Workspace::changedOnDisk() {
    // Its time at full precision, and its size: two writes within one tick of a coarse clock
    // keep the time, but rarely the size too.
    const auto now = FileVersion::of(commandFile());
    if (!now.present) return true;
    return store().parameters().mycmdstime != now.seconds * 1'000'000'000LL + now.nanoseconds ||
           static_cast<std::uint64_t>(now.size) != session_.reader().file().info.size;
}

void Workspace::FileRefresh() {
    if (program_) program_->FileRefresh();
    else session_.FileRefresh();
}

void Workspace::backup() {
    if (!program_) {
        lastBackup_ = FileBackups::takeDaily(session_.home(), commandFile(), clock_);
        return;
    }
    if (auto copy = program_->RollBackCheck(false)) lastBackup_ = std::move(copy);
    if (program_->dragonAvailable()) program_->RollBackListBuild();
}

void Workspace::SaveAndReload(bool newListWritten) {
    if (program_) program_->SaveAndReload(newListWritten);
    else session_.FileRefresh();
}

int Workspace::checkScript(std::string_view script, std::string& errorText) {
    if (!dragonAvailable()) return 0;
    return program_->dragon().voiceCommands().checkScript(script, errorText);
}

std::vector<ScriptFault> Workspace::scriptFaults(std::string_view typeCode, std::string_view body) {
    const auto kind = scriptKindOf(typeCode);
    if (!kind || body.empty()) return {};
    if (*kind == ScriptKind::Legacy && dragonAvailable()) {
        std::string error;
        if (const int line = checkScript(body, error); line != 0) return {{line, error}};
        return {};
    }
    return ops::checkScript(body, *kind);
}

void Workspace::MRUUpdate(std::string_view program, std::string_view scope, std::string_view name, bool isList,
                          bool lookForExisting) {
    if (!program_ || !program_->hasSettings()) return;
    auto& settings = program_->settings();
    settings.MRUUpdate(Settings::mruEntry(program, scope, name, isList), lookForExisting);
}

} // namespace vocabrella::ops
