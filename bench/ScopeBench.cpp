// Times choosing a scope in the main window on a 50,000-command file: the Commands list filled
// through the window's own path (store query, LIST check, list widget), best of 5, against a
// floor measured in the same run: the bare SELECT of that scope's rows with their names copied
// out, on its own connection to the same store.
#include "CommandFileGenerator.h"
#include "ScriptedPrompter.h"

#include "cmdfile/AtomicFile.h"
#include "cmdfile/Clock.h"
#include "cmdfile/Format.h"
#include "shell/Application.h"
#include "shell/HomeFolder.h"
#include "shell/platform/SimulatedDragon.h"
#include "shell/platform/SimulatedInstallation.h"
#include "ui/Finder.h"
#include "ui/Form1.h"
#include "ui/NameList.h"

#include <QApplication>
#include <QMenu>

#include <sqlite3.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <functional>
#include <limits>
#include <optional>
#include <string>
#include <vector>

namespace fs = std::filesystem;
using namespace vocabrella;

namespace {

constexpr std::size_t kCommands = 50000;
constexpr std::uint64_t kSeed = 20240601;
constexpr int kRuns = 5;
constexpr double kLimitMs = 100.0;
constexpr double kFindLimitMs = 500.0;

double bestMs(const std::function<void()>& work) {
    double best = std::numeric_limits<double>::max();
    for (int i = 0; i < kRuns; ++i) {
        const auto start = std::chrono::steady_clock::now();
        work();
        best = std::min(best, std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count());
    }
    return best;
}

struct Scope {
    std::string program, scope;
    long rows = 0;
};

// The program and scope with the most rows, read straight from the store.
Scope biggestScope(sqlite3* db) {
    sqlite3_stmt* s = nullptr;
    sqlite3_prepare_v2(db, "SELECT menu, state, COUNT(*) AS n FROM user GROUP BY menu, state ORDER BY n DESC LIMIT 1", -1,
                       &s, nullptr);
    Scope out;
    if (sqlite3_step(s) == SQLITE_ROW)
        out = {reinterpret_cast<const char*>(sqlite3_column_text(s, 0)),
               reinterpret_cast<const char*>(sqlite3_column_text(s, 1)), sqlite3_column_int(s, 2)};
    sqlite3_finalize(s);
    return out;
}

// The floor: the rows of the scope in list order, their names copied out.
std::size_t bareSelect(sqlite3* db, const Scope& scope) {
    sqlite3_stmt* s = nullptr;
    // Keyed as the store keys it, so that the floor reads the same index and no body.
    sqlite3_prepare_v2(db,
                       "SELECT ID, name, Type, owner FROM user WHERE globalsort = ? AND menu = ? AND state = ? "
                       "ORDER BY name, ID",
                       -1, &s, nullptr);
    sqlite3_bind_text(s, 1, names::isGlobalProgram(scope.program) ? "G" : "N", -1, SQLITE_STATIC);
    sqlite3_bind_text(s, 2, scope.program.c_str(), -1, SQLITE_STATIC);
    sqlite3_bind_text(s, 3, scope.scope.c_str(), -1, SQLITE_STATIC);
    std::vector<std::string> names;
    while (sqlite3_step(s) == SQLITE_ROW) names.emplace_back(reinterpret_cast<const char*>(sqlite3_column_text(s, 1)));
    sqlite3_finalize(s);
    return names.size();
}

// The floor of a search that finds nothing: every body read and scanned once.
std::size_t bareBodyScan(sqlite3* db, const char* text) {
    sqlite3_stmt* s = nullptr;
    sqlite3_prepare_v2(db, "SELECT script FROM user", -1, &s, nullptr);
    std::size_t hits = 0;
    while (sqlite3_step(s) == SQLITE_ROW)
        if (const auto* body = reinterpret_cast<const char*>(sqlite3_column_text(s, 0)); body && std::strstr(body, text))
            ++hits;
    sqlite3_finalize(s);
    return hits;
}

int indexOf(QMenu* menu, const std::string& name) {
    int i = 0;
    for (auto* a : menu->actions()) {
        if (!a->property("entryName").isValid()) continue;
        if (a->property("entryName").toString().toStdString() == name) return i;
        ++i;
    }
    return -1;
}

} // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication qapp(argc, argv);
    const bool check = argc > 1 && std::strcmp(argv[1], "--check") == 0;

    char pattern[] = "/tmp/vocabrella-bench-scope-XXXXXX";
    const fs::path work = ::mkdtemp(pattern);
    const fs::path home = work / "home", root = work / "dragon", file = work / "generated.dat";
    writeFileAtomically(file, bench::generate({kCommands, 7, 9, kSeed}));
    platform::InstallationOptions options;
    options.commands = file;
    platform::createInstallation(root, options);

    testsupport::ScriptedPrompter prompter;
    SystemClock clock;
    int status = 0;
    {
        platform::SimulatedDragon dragon(root);
        Application app({home, {}}, dragon, prompter, clock);
        if (!app.load()) {
            std::fprintf(stderr, "the program did not load\n");
            return 2;
        }
        ui::Form1 window(app);
        window.resize(900, 700);
        window.show();

        sqlite3* db = nullptr;
        sqlite3_open_v2(HomeFolder::storePath(home).c_str(), &db, SQLITE_OPEN_READONLY, nullptr);
        const Scope scope = biggestScope(db);
        window.choosePlace(scope.program, scope.scope);
        auto* scopes = window.findChild<QMenu*>(QStringLiteral("statecommand"));
        const int index = indexOf(scopes, scope.scope);
        auto* list = window.findChild<ui::NameList*>(QStringLiteral("List1"));

        std::size_t floorRows = 0;
        const double floor = bestMs([&] { floorRows = bareSelect(db, scope); });
        const double figure = bestMs([&] { window.chooseEntry(ui::DynamicMenu::Scope, index); });
        const double withProgram = bestMs([&] { window.choosePlace(scope.program, scope.scope); });
        const double query = bestMs([&] {
            (void)app.session().store().visitRowsOfScope(scope.program, scope.scope,
                                                         [](const CommandStore::RowView&) { return true; });
        });
        // Find over every body without a hit, the longest search there is.
        const char* missing = "no body holds this text";
        std::size_t floorHits = 0;
        const double scanFloor = bestMs([&] { floorHits = bareBodyScan(db, missing); });
        ui::Finder finder;
        std::optional<ui::FindHit> found;
        const ui::FindQuery search{missing, ui::FindField::Body, false};
        const double find = bestMs([&] { found = finder.first(app.session().store(), search, window.selection()); });
        sqlite3_close(db);

        std::printf("file: %zu commands; biggest scope %s / %s: %ld rows, %d listed (floor read %zu)\n", kCommands,
                    scope.program.c_str(), scope.scope.c_str(), scope.rows, list->count(), floorRows);
        std::printf("choose the scope, fill the Commands list: %8.2f ms (best of %d)\n", figure, kRuns);
        std::printf("  floor, bare SELECT of its rows:         %8.2f ms   ratio %.2f\n", floor, figure / floor);
        std::printf("  of which the store's query of the rows: %8.2f ms   ratio %.2f\n", query, query / floor);
        std::printf("choose program and scope (refresh):       %8.2f ms   ratio %.2f\n", withProgram, withProgram / floor);
        std::printf("limit: under %.0f ms\n", kLimitMs);
        if (check && figure >= kLimitMs) status = 1;
        if (found || floorHits) std::fprintf(stderr, "the text to miss was found\n");
        std::printf("Find in every body, without a hit:        %8.2f ms\n", find);
        std::printf("  floor, bare scan of every body:         %8.2f ms   ratio %.2f\n", scanFloor, find / scanFloor);
        std::printf("limit: under %.0f ms\n", kFindLimitMs);
        if (check && find >= kFindLimitMs) status = 1;
        window.close();
    }
    std::error_code ec;
    fs::remove_all(work, ec);
    return status;
}
