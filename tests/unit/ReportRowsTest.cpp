// Reports and exports hold what the command file holds: the copies of global LISTs that
// browsing puts into scopes never show in them, whichever scopes were looked at.
#include "TestHome.h"

#include "BuiltCommands.h"
#include "CommandFileBuilder.h"
#include "OpenCommandFile.h"

#include "cmdfile/AtomicFile.h"
#include "cmdfile/RawRecord.h"
#include "ops/Names.h"
#include "ops/WriteDvcFile.h"
#include "ops/WriteReport.h"
#include "ops/Workspace.h"
#include "shell/Session.h"

using namespace vocabrella;
using namespace vocabrella::testsupport;
namespace fs = std::filesystem;
using ops::BatchScope;
using ops::BatchSelection;

namespace {

BuiltCommand command(std::string name, std::string module = {}) {
    auto c = globalCommand(std::move(name), kKindKeys, "{Enter}");
    return module.empty() ? c : inProgram(std::move(c), std::move(module), "Text editor", "Editors");
}

class ReportRows : public OpenCommandFile<> {
protected:
    void SetUp() override {
        CommandFileBuilder b(7, 9);
        b.add(command("save"))
            .add(command("paint <color>", "notepad"))
            .add(command("fill <color>", "winword"))
            .add(BuiltList("color", {"red", "blue"}));
        b.writeFile(file());
        session.emplace(dir.path() / "home", prompter, clock);
        ASSERT_TRUE(session->open(file()).success);
        workspace.emplace(*session, clock);
    }

    // Each report and export of each selection, as written.
    std::vector<Bytes> everyOutput() {
        std::vector<Bytes> out;
        for (const auto& selection : {everything(), program("NOTEPAD"), program("WINWORD")}) {
            for (const char* format : {"txt", "csv"}) {
                const fs::path target = dir.path() / (std::string("report.") + format);
                fs::remove(target);
                ops::WriteReport report(*workspace, selection, target, format);
                EXPECT_TRUE(report.run().isDone()) << prompter.last().text;
                out.push_back(readFileBytes(target));
            }
            const fs::path dvc = dir.path() / "report.dvc";
            fs::remove(dvc);
            EXPECT_TRUE(ops::WriteDvcFile(*workspace, selection, dvc, false).run().isDone()) << prompter.last().text;
            out.push_back(readFileBytes(dvc));
        }
        return out;
    }
    static BatchSelection everything() { return {}; }
    static BatchSelection program(std::string name) {
        BatchSelection s;
        s.scope = BatchScope::CurrentApp;
        s.program = std::move(name);
        s.state = "Application-specific";
        return s;
    }
    static BatchSelection picked(std::string programName, std::string name) {
        auto s = program(std::move(programName));
        s.scope = BatchScope::PickAndChoose;
        s.picked = {std::move(name)};
        return s;
    }
    // What the window does when a scope whose commands use a global LIST is shown.
    void browse(const std::string& programName) {
        const auto global = session->store().findUser("Global Commands", "Global Commands", "color");
        ASSERT_TRUE(global);
        session->store().copyListIntoScope(*global, programName, "Application-specific", std::nullopt, false);
    }
};

} // namespace

TEST_F(ReportRows, BrowsingChangesNoReportOrExport) {
    const auto read = everyOutput();
    browse("NOTEPAD");
    browse("WINWORD");
    const auto browsed = everyOutput();
    ASSERT_EQ(browsed.size(), read.size());
    for (std::size_t i = 0; i < read.size(); ++i)
        EXPECT_EQ(std::string(browsed[i].begin(), browsed[i].end()), std::string(read[i].begin(), read[i].end()))
            << "output " << i;

    // The whole report has one row per record of the file, as a fresh parse finds them.
    ops::WriteReport all(*workspace, everything(), dir.path() / "all.csv", "csv");
    ASSERT_TRUE(all.run().isDone());
    EXPECT_EQ(all.rows(), 4u);
}

// A LIST picked where a scope shows it is the global LIST the file holds.
TEST_F(ReportRows, APickedListCopyIsTheGlobalList) {
    browse("NOTEPAD");
    const auto report = [&](const BatchSelection& s) {
        const fs::path target = dir.path() / "picked.txt";
        fs::remove(target);
        EXPECT_TRUE(ops::WriteReport(*workspace, s, target, "txt").run().isDone()) << prompter.last().text;
        return readFileBytes(target);
    };
    auto global = picked("Global Commands", "color");
    global.state = "Global Commands";
    EXPECT_EQ(report(picked("NOTEPAD", "color")), report(global));
}
