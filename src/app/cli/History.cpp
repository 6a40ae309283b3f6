#include "CliPrompter.h"
#include "Command.h"

#include "cmdfile/TimeText.h"
#include "ops/Texts.h"
#include "ops/UndoRedo.h"
#include "cmdfile/System.h"

#include <ostream>

namespace vocabrella::cli {
namespace {

// Lists the changes kept for the file, newest first, marking the one an undo takes back and
// the one a redo makes again.
class History final : public Command {
public:
    History() : Command("history", "List the changes kept for undo and redo, newest first") {}

    int execute(Runtime& rt) override {
        const auto view = ops::historyOf(rt.workspace);
        if (!view.problem.empty()) {
            rt.prompter.message(view.problem, os::pathText(rt.workspace.commandFile()));
            return 1;
        }
        if (view.entries.empty()) {
            rt.io.out << ops::texts::HistoryEmpty << '\n';
            return 0;
        }
        rt.io.out << ops::texts::HistoryOf << os::pathText(rt.workspace.commandFile()) << ops::texts::HistoryNewestFirst
                  << '\n';
        for (std::size_t i = view.entries.size(); i-- > 0;) {
            const auto& e = view.entries[i];
            const std::string_view mark = i + 1 == view.position ? ops::texts::HistoryUndoMark
                                          : i == view.position   ? ops::texts::HistoryRedoMark
                                          : i > view.position    ? ops::texts::HistoryUndoneMark
                                                                 : ops::texts::HistoryMadeMark;
            rt.io.out << mark << "  " << displayTime(std::chrono::system_clock::time_point(std::chrono::seconds(e.time)))
                      << "  " << forTerminal(e.description) << '\n';
        }
        if (!view.fileAsExpected) rt.io.out << ops::texts::HistoryFileChanged << '\n';
        return 0;
    }

protected:
    void options(CLI::App&) override {}
};

// Undo or redo of the file's newest change, as the window's Edit menu does it.
template <typename Step> class StepCommand final : public Command {
public:
    using Command::Command;

    int execute(Runtime& rt) override {
        Step step(rt.workspace);
        const auto outcome = step.run();
        return report(rt.io, outcome, forTerminal(outcome.text));
    }

protected:
    void options(CLI::App&) override {}
};

} // namespace

std::unique_ptr<Command> makeHistory() { return std::make_unique<History>(); }
std::unique_ptr<Command> makeUndo() {
    return std::make_unique<StepCommand<ops::Undo>>("undo", "Undo the newest change of the file kept in its history");
}
std::unique_ptr<Command> makeRedo() {
    return std::make_unique<StepCommand<ops::Redo>>("redo", "Make the newest undone change of the file again");
}

} // namespace vocabrella::cli
