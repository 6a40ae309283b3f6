#pragma once

#include "ops/Outcome.h"

#include <exception>
#include <functional>
#include <optional>
#include <string>

namespace vocabrella {
class Prompter;
class Trace;
} // namespace vocabrella

namespace vocabrella::ops {

class Workspace;

// The one translation of what an operation throws into its Outcome, the user told through the
// prompter:
// - a refusal (Refusal, InputRefusal, EncodingError): refused with its text;
// - a file that cannot be read or written (filesystem_error): failed, titled with the path;
// - a damaged command file (FormatError) or a failing store (StoreError): failed with a text
//   that says which, followed by the cause.
// Failures also go to the trace. EndProgram and anything else pass through.
struct FailureHandling {
    // Runs before the user is told, on every way out by an exception (clearing row marks, say).
    // What it throws is traced, never told in place of the first failure.
    std::function<void()> cleanUp;
    // The title of a refusal that brings none.
    std::string refusalTitle;
    // The title of a damaged command file: its path.
    std::string commandFile;
    // The title of a file that cannot be read or written; none: the file's path.
    std::string fileFailureTitle;

    static FailureHandling cleaningUp(std::function<void()> cleanUp) {
        FailureHandling h;
        h.cleanUp = std::move(cleanUp);
        return h;
    }
    static FailureHandling titled(std::string title) {
        FailureHandling h;
        h.refusalTitle = h.fileFailureTitle = std::move(title);
        return h;
    }
};
Outcome translatingFailures(Prompter& prompter, Trace* trace, const std::function<Outcome()>& body,
                            const FailureHandling& handling = {});
// The same translation of an exception caught elsewhere, not told yet (nor cleaned up after);
// nothing for an exception that passes through.
std::optional<Outcome> failureOf(std::exception_ptr caught, Trace* trace, const FailureHandling& handling = {});
// The same with the open file's prompter, trace and path.
Outcome translatingFailures(Workspace& ws, const std::function<Outcome()>& body, FailureHandling handling = {});

} // namespace vocabrella::ops
