#include "ops/Failures.h"

#include "cmdfile/Errors.h"
#include "cmdfile/Prompter.h"
#include "cmdfile/Trace.h"
#include "ops/Texts.h"
#include "ops/Workspace.h"
#include "shell/Session.h"
#include "cmdfile/System.h"

#include <filesystem>

namespace vocabrella::ops {
namespace {

void traced(Trace* trace, std::string_view what, std::string_view cause) {
    if (trace) trace->Tracy(what, cause);
}

Outcome told(Prompter& prompter, Outcome outcome) {
    prompter.message(outcome.text, outcome.title);
    return outcome;
}

} // namespace

Outcome translatingFailures(Prompter& prompter, Trace* trace, const std::function<Outcome()>& body,
                            const FailureHandling& handling) {
    const auto cleanUp = [&] {
        if (!handling.cleanUp) return;
        try {
            handling.cleanUp();
        } catch (const std::exception& e) {
            traced(trace, texts::trace::CleanUpFailed, e.what());
        }
    };
    try {
        return body();
    } catch (const Refusal& r) {
        cleanUp();
        return told(prompter, Outcome::refused(r.what(), r.title().empty() ? handling.refusalTitle : r.title()));
    } catch (const EncodingError& e) {
        cleanUp();
        return told(prompter, Outcome::refused(e.what(), handling.refusalTitle));
    } catch (const std::filesystem::filesystem_error& e) {
        cleanUp();
        traced(trace, texts::trace::FileFailed, e.what());
        return told(prompter, Outcome::failed(
                                   e.what(), handling.fileFailureTitle.empty() ? os::pathText(e.path1()) : handling.fileFailureTitle));
    } catch (const FormatError& e) {
        cleanUp();
        traced(trace, texts::trace::FileDamaged, e.what());
        return told(prompter, Outcome::failed(std::string(texts::CommandFileDamaged) + e.what(), handling.commandFile));
    } catch (const StoreError& e) {
        cleanUp();
        traced(trace, texts::trace::StoreFailed, e.what());
        return told(prompter, Outcome::failed(std::string(texts::StoreFailed) + e.what()));
    }
}

Outcome translatingFailures(Workspace& ws, const std::function<Outcome()>& body, FailureHandling handling) {
    if (handling.commandFile.empty()) handling.commandFile = os::pathText(ws.commandFile());
    return translatingFailures(ws.prompter(), &ws.session().trace(), body, handling);
}

} // namespace vocabrella::ops
