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
    } catch (...) {
        auto failure = failureOf(std::current_exception(), trace, handling);
        if (!failure) throw;
        cleanUp();
        return told(prompter, std::move(*failure));
    }
}

std::optional<Outcome> failureOf(std::exception_ptr caught, Trace* trace, const FailureHandling& handling) {
    try {
        std::rethrow_exception(caught);
    } catch (const Refusal& r) {
        return Outcome::refused(r.what(), r.title().empty() ? handling.refusalTitle : r.title());
    } catch (const EncodingError& e) {
        return Outcome::refused(e.what(), handling.refusalTitle);
    } catch (const std::filesystem::filesystem_error& e) {
        traced(trace, texts::trace::FileFailed, e.what());
        return Outcome::failed(e.what(),
                               handling.fileFailureTitle.empty() ? os::pathText(e.path1()) : handling.fileFailureTitle);
    } catch (const FormatError& e) {
        traced(trace, texts::trace::FileDamaged, e.what());
        return Outcome::failed(std::string(texts::CommandFileDamaged) + e.what(), handling.commandFile);
    } catch (const StoreError& e) {
        traced(trace, texts::trace::StoreFailed, e.what());
        return Outcome::failed(std::string(texts::StoreFailed) + e.what());
    } catch (...) {
        return std::nullopt;
    }
}

Outcome translatingFailures(Workspace& ws, const std::function<Outcome()>& body, FailureHandling handling) {
    if (handling.commandFile.empty()) handling.commandFile = os::pathText(ws.commandFile());
    return translatingFailures(ws.prompter(), &ws.session().trace(), body, handling);
}

} // namespace vocabrella::ops
