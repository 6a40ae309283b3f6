// Times the full parse of generated command files against two floors measured in the same run,
// both inserting exactly the rows the parse stores, in one transaction, into a fresh database
// with the store's schema and indexes and SQLite's default settings (page size, cache, journal,
// synchronous):
// - the sqlite3 shell given those rows as a script of INSERT statements, what one would do
//   without this program; the parse's limit is half of it;
// - the same rows bound to prepared statements through SQLite's C API, nothing else: the least
//   any insert of them costs, held to a looser limit so that a slower parse still shows.
// Neither floor moves with the store's own settings, so a better setting shows as a better
// ratio. The ratios are what is checked; the seconds depend on the machine.
// Also measures the peak memory of `vocabrella-cli info` on the largest file.
#include "CommandFileGenerator.h"
#include "ScriptedPrompter.h"

#include "cmdfile/Bytes.h"
#include "cmdfile/Clock.h"
#include "cmdfile/CommandRecord.h"
#include "cmdfile/Format.h"
#include "cmdfile/Reader.h"
#include "cmdfile/ScratchFolder.h"
#include "cmdfile/Store.h"
#include "cmdfile/Trace.h"

#include <sqlite3.h>

#include <fcntl.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <exception>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <memory>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

extern char** environ;

namespace fs = std::filesystem;
using namespace vocabrella;

namespace {

constexpr std::uint64_t kSeed = 20240601;
constexpr double kParseRatioLimit = 0.50;       // of the sqlite3 shell's time
constexpr double kPreparedRatioLimit = 0.75;    // of the prepared inserts' time
constexpr double kParseSecondsLimit = 1.0;      // for the 13,000-command file
constexpr std::size_t kCheckedCommands = 13000; // the size the limits apply to
constexpr double kMemoryFactor = 4.0;           // times the file size ...
constexpr double kMemorySlackMb = 30.0;         // ... plus this much
constexpr double kMb = 1024.0 * 1024.0;

using Clocked = std::chrono::steady_clock;

// Writes back what earlier runs left dirty, so that the disk is quiet when a timing starts
// rather than busy with the previous run's store.
void settleDisk() { ::sync(); }

double secondsSince(Clocked::time_point start) {
    return std::chrono::duration<double>(Clocked::now() - start).count();
}

// One home folder as the program would have it: keynames, a new store and a trace.
struct Home {
    explicit Home(const fs::path& folder) : path(folder) {
        fs::create_directories(path);
        fs::copy_file(fs::path(VOCABRELLA_DATA_DIR) / "keynames", path / "keynames");
        store.emplace(CommandStore::create(path / "global.mdb"));
        trace.open(path / "trace.vbl", clock.now());
    }
    // Removed at once: the stores of the larger files would otherwise fill the temporary folder.
    ~Home() {
        store.reset();
        trace.close();
        std::error_code ec;
        fs::remove_all(path, ec);
    }
    Home(const Home&) = delete;
    Home& operator=(const Home&) = delete;

    fs::path path;
    testsupport::ScriptedPrompter prompter;
    NoWaitClock clock;
    Trace trace;
    std::optional<CommandStore> store;
};

struct StateRow {
    std::string appname, statename;
};

// What one parse leaves in the store; the floor inserts exactly this.
struct ParsedRows {
    std::vector<UserRow> users;
    std::vector<StateRow> states;
};

std::vector<StateRow> allStates(CommandStore& store) {
    sqlite3_stmt* s = nullptr;
    if (sqlite3_prepare_v2(store.handle(), "SELECT appname, statename FROM states ORDER BY ID", -1, &s, nullptr) !=
        SQLITE_OK)
        throw std::runtime_error("cannot read the states");
    std::vector<StateRow> rows;
    const auto text = [s](int i) {
        const auto* p = reinterpret_cast<const char*>(sqlite3_column_text(s, i));
        return p ? std::string(p, static_cast<std::size_t>(sqlite3_column_bytes(s, i))) : std::string();
    };
    while (sqlite3_step(s) == SQLITE_ROW) rows.push_back({text(0), text(1)});
    sqlite3_finalize(s);
    return rows;
}

// One full parse into a fresh home; returns its seconds, and the stored rows when asked.
double timeParse(const fs::path& folder, const fs::path& file, ParsedRows* rows) {
    Home home(folder);
    CommandFileReader reader(
        ReaderEnvironment{*home.store, home.trace, home.prompter, home.clock, home.path});
    settleDisk();
    const auto start = Clocked::now();
    const ReadOutcome outcome = reader.ReadCommandFile(true, file);
    const double seconds = secondsSince(start);
    if (!outcome.success) throw std::runtime_error("the parse failed: " + outcome.problem);
    if (home.prompter.messageCount() != 0)
        throw std::runtime_error("the parse showed a message: " + home.prompter.last().text);
    if (rows) {
        rows->users = home.store->allUsers();
        rows->states = allStates(*home.store);
    }
    return seconds;
}

pid_t spawn(const std::vector<std::string>& command, posix_spawn_file_actions_t* actions) {
    std::vector<std::string> args = command;
    std::vector<char*> argv;
    for (auto& a : args) argv.push_back(a.data());
    argv.push_back(nullptr);
    pid_t pid = 0;
    const int rc = posix_spawn(&pid, argv[0], actions, nullptr, argv.data(), environ);
    if (rc != 0) throw std::runtime_error("cannot run " + command.front() + ": " + std::strerror(rc));
    return pid;
}

int waitFor(pid_t pid, const std::string& what, rusage* usage = nullptr) {
    int status = 0;
    rusage ignored{};
    while (::wait4(pid, &status, 0, usage ? usage : &ignored) < 0)
        if (errno != EINTR) throw std::runtime_error("cannot wait for " + what);
    return status;
}

// A database of the store's schema with SQLite's default settings, removed afterwards unless
// asked to stay for another program to fill.
class DefaultDatabase {
public:
    explicit DefaultDatabase(const fs::path& folder, bool removeAfter = true)
        : folder_(folder), removeAfter_(removeAfter) {
        fs::create_directories(folder_);
        if (sqlite3_open_v2(path().c_str(), &db_, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE,
                            nullptr) != SQLITE_OK)
            throw std::runtime_error("cannot create the floor's database");
        exec(CommandStore::schema());
    }
    ~DefaultDatabase() {
        sqlite3_close(db_);
        std::error_code ec;
        if (removeAfter_) fs::remove_all(folder_, ec);
    }
    DefaultDatabase(const DefaultDatabase&) = delete;
    DefaultDatabase& operator=(const DefaultDatabase&) = delete;

    void exec(const char* sql) {
        if (sqlite3_exec(db_, sql, nullptr, nullptr, nullptr) != SQLITE_OK)
            throw std::runtime_error(std::string("the floor failed: ") + sqlite3_errmsg(db_));
    }
    sqlite3_stmt* prepare(const char* sql) {
        sqlite3_stmt* s = nullptr;
        if (sqlite3_prepare_v2(db_, sql, -1, &s, nullptr) != SQLITE_OK)
            throw std::runtime_error(std::string("the floor failed: ") + sqlite3_errmsg(db_));
        return s;
    }
    void step(sqlite3_stmt* s) {
        if (sqlite3_step(s) != SQLITE_DONE) throw std::runtime_error(std::string("the floor failed: ") + sqlite3_errmsg(db_));
        sqlite3_reset(s);
    }

    fs::path path() const { return folder_ / "floor.db"; }

private:
    fs::path folder_;
    bool removeAfter_;
    sqlite3* db_ = nullptr;
};

constexpr const char* kStateInsert = "INSERT INTO states (appname, statename) VALUES ";
constexpr const char* kUserInsert =
    R"(INSERT INTO user (menu, state, name, filename, Type, script, scope, owner, lists, "offset", )"
    R"(offsetbody, description, states, graphicsize, Global, noglobals, sleeping, singleline, )"
    R"(globalsort, listsort, pathcode, dupe, listcopy, flag, PDescript, CompanyName, ClassName, )"
    R"(encrypted) VALUES )";

// The values of one stored row in the order of kUserInsert's columns, each handed to `text` or
// to `integer`: both floors insert exactly these.
template <class Text, class Integer>
void eachValue(const UserRow& u, Text&& text, Integer&& integer) {
    for (const std::string* v : {&u.menu, &u.state, &u.name, &u.filename, &u.Type, &u.script, &u.scope, &u.owner})
        text(*v);
    for (const std::int64_t v : {u.lists, u.offset, u.offsetbody}) integer(v);
    text(u.description);
    text(u.states);
    for (const std::int64_t v : {std::int64_t(u.graphicsize), std::int64_t(u.Global), std::int64_t(u.noglobals),
                                 std::int64_t(u.sleeping), std::int64_t(u.singleline)})
        integer(v);
    for (const std::string* v : {&u.globalsort, &u.listsort, &u.pathcode}) text(*v);
    for (const std::int64_t v : {std::int64_t(u.dupe), std::int64_t(u.listcopy), std::int64_t(u.flag),
                                 std::int64_t(u.PDescript), std::int64_t(u.CompanyName), std::int64_t(u.ClassName),
                                 std::int64_t(u.encrypted)})
        integer(v);
}

// The same rows inserted with prepared statements in one transaction, nothing else, into a
// database with SQLite's default settings: a floor that stays where it is whatever the store's
// own settings are.
double timeFloor(const fs::path& folder, const ParsedRows& rows) {
    DefaultDatabase db(folder);
    sqlite3_stmt* state = db.prepare((std::string(kStateInsert) + "(?, ?)").c_str());
    std::string placeholders = "(?";
    for (int i = 1; i < 28; ++i) placeholders += ",?";
    sqlite3_stmt* user = db.prepare((std::string(kUserInsert) + placeholders + ")").c_str());
    const auto text = [](sqlite3_stmt* s, int i, const std::string& v) {
        sqlite3_bind_text(s, i, v.data(), static_cast<int>(v.size()), SQLITE_STATIC);
    };
    settleDisk();
    const auto start = Clocked::now();
    db.exec("BEGIN");
    for (const auto& s : rows.states) {
        text(state, 1, s.appname);
        text(state, 2, s.statename);
        db.step(state);
    }
    for (const auto& u : rows.users) {
        int i = 0;
        eachValue(
            u, [&](const std::string& v) { text(user, ++i, v); },
            [&](std::int64_t v) { sqlite3_bind_int64(user, ++i, v); });
        db.step(user);
    }
    db.exec("COMMIT");
    const double seconds = secondsSince(start);
    sqlite3_finalize(state);
    sqlite3_finalize(user);
    return seconds;
}

// A text as an SQL literal, quoted as the sqlite3 shell's own dumps quote it.
void appendQuoted(std::string& out, const std::string& v) {
    out += '\'';
    for (const char c : v) {
        if (c == '\'') out += '\'';
        out += c;
    }
    out += '\'';
}

// The same rows as a script of INSERT statements in one transaction, as one would give them to
// the sqlite3 shell; it stops at the first error.
std::string insertScript(const ParsedRows& rows) {
    std::string sql = ".bail on\nBEGIN;\n";
    for (const auto& s : rows.states) {
        sql += kStateInsert;
        sql += '(';
        appendQuoted(sql, s.appname);
        sql += ',';
        appendQuoted(sql, s.statename);
        sql += ");\n";
    }
    for (const auto& u : rows.users) {
        sql += kUserInsert;
        char separator = '(';
        eachValue(
            u,
            [&](const std::string& v) {
                sql += std::exchange(separator, ',');
                appendQuoted(sql, v);
            },
            [&](std::int64_t v) {
                sql += std::exchange(separator, ',');
                sql += std::to_string(v);
            });
        sql += ");\n";
    }
    sql += "COMMIT;\n";
    return sql;
}

// The sqlite3 shell found on the PATH, if there is one.
std::optional<fs::path> sqliteShell() {
    const char* path = std::getenv("PATH");
    std::string_view rest = path ? path : "";
    while (!rest.empty()) {
        const auto colon = rest.find(':');
        const fs::path candidate = fs::path(rest.substr(0, colon)) / "sqlite3";
        if (::access(candidate.c_str(), X_OK) == 0) return candidate;
        rest = colon == std::string_view::npos ? std::string_view() : rest.substr(colon + 1);
    }
    return std::nullopt;
}

// The sqlite3 shell inserting the same rows from their script into a fresh database of the
// store's schema with SQLite's default settings, from its start to its exit. The rows it left
// are counted, so that a shell that stopped early never passes for a fast one.
double timeShell(const fs::path& folder, const fs::path& shell, const fs::path& script, const ParsedRows& rows) {
    // The folder goes whatever happens in it.
    const std::unique_ptr<const fs::path, void (*)(const fs::path*)> removed(&folder, [](const fs::path* f) {
        std::error_code ec;
        fs::remove_all(*f, ec);
    });
    const fs::path database = DefaultDatabase(folder, false).path();
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, STDIN_FILENO, script.c_str(), O_RDONLY, 0);
    posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
    settleDisk();
    const auto start = Clocked::now();
    pid_t pid = 0;
    try {
        pid = spawn({shell.string(), database.string()}, &actions);
    } catch (...) {
        posix_spawn_file_actions_destroy(&actions);
        throw;
    }
    posix_spawn_file_actions_destroy(&actions);
    const int status = waitFor(pid, shell.string());
    const double seconds = secondsSince(start);
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0)
        throw std::runtime_error("the sqlite3 shell failed on the rows (wait status " + std::to_string(status) + ")");
    sqlite3* db = nullptr;
    sqlite3_stmt* count = nullptr;
    std::int64_t stored = -1;
    if (sqlite3_open_v2(database.c_str(), &db, SQLITE_OPEN_READONLY, nullptr) == SQLITE_OK &&
        sqlite3_prepare_v2(db, "SELECT count(*) FROM user", -1, &count, nullptr) == SQLITE_OK &&
        sqlite3_step(count) == SQLITE_ROW)
        stored = sqlite3_column_int64(count, 0);
    sqlite3_finalize(count);
    sqlite3_close(db);
    if (stored != static_cast<std::int64_t>(rows.users.size()))
        throw std::runtime_error("the sqlite3 shell left " + std::to_string(stored) + " rows of " +
                                 std::to_string(rows.users.size()));
    return seconds;
}

// The records read as the parse reads them but stored nowhere: the part of the parse that is
// not the store's, shown beside the ratio so that a rise can be placed at once.
double timeDecode(const fs::path& folder, const fs::path& file) {
    Home home(folder);
    CommandFileReader reader(
        ReaderEnvironment{*home.store, home.trace, home.prompter, home.clock, home.path});
    if (!reader.loadKeyNames()) throw std::runtime_error("no keynames in " + home.path.string());
    const auto start = Clocked::now();
    auto& image = reader.file().image;
    {
        // Read in one piece, as the reader does.
        std::ifstream in(file, std::ios::binary);
        image.resize(static_cast<std::size_t>(fs::file_size(file)));
        if (!in.read(reinterpret_cast<char*>(image.data()), static_cast<std::streamsize>(image.size())))
            throw std::runtime_error("cannot read " + file.string());
    }
    const FileHeader header = readHeader(image);
    reader.file().info.family = header.family;
    ByteReader bytes(image, format::kHeaderSize);
    for (std::uint32_t i = 0; i < header.declaredCommands; ++i)
        if (!reader.ReadCommandRecord(bytes, false)) throw std::runtime_error("a command name failed its check");
    const std::uint32_t lists = bytes.readLong("the LIST count") & 0xFFFF;
    CurrentRecord list;
    for (std::uint32_t i = 0; i < lists; ++i)
        if (!readListRecord(bytes, list)) throw std::runtime_error("a LIST name failed its check");
    return secondsSince(start);
}

struct ParseFigures {
    std::size_t commands = 0;
    std::size_t rows = 0;
    std::uintmax_t fileBytes = 0;
    double parse = 0;
    double shell = 0;
    double floor = 0;
    double decode = 0;
    double shellRatio() const { return parse / shell; }
    double floorRatio() const { return parse / floor; }
};

ParseFigures benchParse(const fs::path& scratch, const fs::path& file, const fs::path& shell, std::size_t commands,
                        int runs) {
    ParseFigures f;
    f.commands = commands;
    f.fileBytes = fs::file_size(file);

    // One untimed parse collects the rows and warms the page cache for both sides alike.
    ParsedRows rows;
    int home = 0;
    const auto nextHome = [&] { return scratch / ("home" + std::to_string(++home)); };
    timeParse(nextHome(), file, &rows);
    f.rows = rows.users.size();
    const fs::path script = scratch / "rows.sql";
    {
        std::ofstream out(script, std::ios::binary);
        const std::string sql = insertScript(rows);
        if (!out.write(sql.data(), static_cast<std::streamsize>(sql.size())))
            throw std::runtime_error("cannot write " + script.string());
    }

    // Parse and floors alternate so that a slow spell of the machine falls on each.
    f.parse = f.shell = f.floor = f.decode = 1e300;
    for (int run = 0; run < runs; ++run) {
        f.parse = std::min(f.parse, timeParse(nextHome(), file, nullptr));
        f.shell = std::min(f.shell, timeShell(nextHome(), shell, script, rows));
        f.floor = std::min(f.floor, timeFloor(nextHome(), rows));
        f.decode = std::min(f.decode, timeDecode(nextHome(), file));
    }
    fs::remove(script);
    return f;
}

constexpr std::string_view kPeakRunnerOption = "--peak-resident-kb-of";

// Runs the command with its printout discarded (its messages still reach the terminal) and
// prints its peak resident set in kilobytes. Done in a process of its own started afresh: a
// child's peak also counts the memory of the process it was started from, which here would be
// this benchmark with its file image and rows.
int peakRunner(const std::vector<std::string>& command) {
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
    const pid_t pid = spawn(command, &actions);
    posix_spawn_file_actions_destroy(&actions);
    rusage usage{};
    const int status = waitFor(pid, command.front(), &usage);
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) {
        std::cerr << command.front() << " did not finish cleanly (wait status " << status << ")\n";
        return 1;
    }
    std::printf("%ld\n", usage.ru_maxrss); // kilobytes on Linux
    return 0;
}

// The peak resident set of the command in bytes, measured by the runner above.
std::uint64_t peakResidentBytes(const std::vector<std::string>& command) {
    int out[2];
    if (::pipe(out) != 0) throw std::runtime_error("cannot make a pipe");
    std::vector<std::string> runner{"/proc/self/exe", std::string(kPeakRunnerOption)};
    runner.insert(runner.end(), command.begin(), command.end());
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, out[1], STDOUT_FILENO);
    posix_spawn_file_actions_addclose(&actions, out[0]);
    posix_spawn_file_actions_addclose(&actions, out[1]);
    pid_t pid = 0;
    try {
        pid = spawn(runner, &actions);
    } catch (...) {
        posix_spawn_file_actions_destroy(&actions);
        ::close(out[0]);
        ::close(out[1]);
        throw;
    }
    posix_spawn_file_actions_destroy(&actions);
    ::close(out[1]);
    std::string text;
    char buffer[64];
    for (ssize_t n; (n = ::read(out[0], buffer, sizeof buffer)) != 0;) {
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) break;
        text.append(buffer, static_cast<std::size_t>(n));
    }
    ::close(out[0]);
    const int status = waitFor(pid, "the memory runner");
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0 || text.empty())
        throw std::runtime_error("the peak memory of " + command.front() + " could not be measured");
    return std::stoull(text) * 1024;
}

struct Options {
    bool check = false;
    std::vector<std::size_t> sizes{13000, 50000};
    fs::path cli = VOCABRELLA_CLI_PATH;
    std::optional<fs::path> shell;
    bool memory = true;
    int runs = 7;
};

void usage() {
    std::cerr << "usage: vocabrella-bench-parse [--check] [--commands N]... [--runs N] [--cli PATH] [--sqlite3 PATH]\n"
                 "                              [--no-memory]\n"
                 "  --check       exit 1 when a figure misses its limit\n"
                 "  --commands N  time a file of N commands (repeatable; default 13000 and 50000)\n"
                 "  --runs N      best of N timings of each (default 7)\n"
                 "  --cli PATH    the vocabrella-cli whose peak memory is measured (default: the built one)\n"
                 "  --sqlite3 PATH  the sqlite3 shell that inserts the rows (default: sqlite3 on the PATH)\n"
                 "  --no-memory   skip the peak memory of vocabrella-cli info\n";
}

Options parseOptions(int argc, char** argv) {
    Options o;
    bool sizesGiven = false;
    for (int i = 1; i < argc; ++i) {
        const std::string_view a = argv[i];
        const auto value = [&]() -> std::string {
            if (i + 1 >= argc) throw std::invalid_argument(std::string(a) + " needs a value");
            return argv[++i];
        };
        if (a == "--check") {
            o.check = true;
        } else if (a == "--commands") {
            if (!sizesGiven) o.sizes.clear();
            sizesGiven = true;
            o.sizes.push_back(static_cast<std::size_t>(std::stoull(value())));
        } else if (a == "--cli") {
            o.cli = value();
        } else if (a == "--sqlite3") {
            o.shell = value();
        } else if (a == "--runs") {
            o.runs = std::max(1, std::stoi(value()));
        } else if (a == "--no-memory") {
            o.memory = false;
        } else {
            throw std::invalid_argument("unknown option " + std::string(a));
        }
    }
    return o;
}

} // namespace

int main(int argc, char** argv) {
    if (argc >= 3 && argv[1] == kPeakRunnerOption) {
        try {
            return peakRunner(std::vector<std::string>(argv + 2, argv + argc));
        } catch (const std::exception& e) {
            std::cerr << "vocabrella-bench-parse: " << e.what() << '\n';
            return 1;
        }
    }

    Options options;
    try {
        options = parseOptions(argc, argv);
    } catch (const std::exception& e) {
        std::cerr << "vocabrella-bench-parse: " << e.what() << '\n';
        usage();
        return 2;
    }

    if (options.memory && options.cli.empty()) {
        std::cerr << "vocabrella-bench-parse: vocabrella-cli was not built here; pass --cli PATH or --no-memory\n";
        return 2;
    }

    if (!options.shell) options.shell = sqliteShell();
    if (!options.shell) {
        std::cerr << "vocabrella-bench-parse: the sqlite3 shell is not on the PATH; install it or pass --sqlite3 PATH\n";
        return 2;
    }

    bool missed = false;
    try {
        ScratchFolder scratch("bench");
        for (const std::size_t commands : options.sizes) {
            const fs::path file = scratch.path() / ("mycmds-" + std::to_string(commands) + ".dat");
            testsupport::writeBytes(file, bench::generate({.commands = commands, .versionCode = 7, .seed = kSeed}));

            const ParseFigures f =
                benchParse(scratch.path() / std::to_string(commands), file, *options.shell, commands, options.runs);
            const bool checked = commands == kCheckedCommands;
            // Judged on the ratios as printed, so that the lines never contradict themselves.
            const auto within = [](double ratio, double limit) { return std::round(ratio * 100) / 100 <= limit; };
            const bool ok = within(f.shellRatio(), kParseRatioLimit) && f.parse < kParseSecondsLimit;
            const bool preparedOk = within(f.floorRatio(), kPreparedRatioLimit);
            std::printf("parse %zu commands: %.3f s  sqlite3 shell %.3f s  ratio %.2f", commands, f.parse, f.shell,
                        f.shellRatio());
            if (checked)
                std::printf(" (limit %.2f, under %.1f s)%s\n", kParseRatioLimit, kParseSecondsLimit, ok ? "" : "  MISSED");
            else
                std::printf("  (%zu rows, file %.1f MB)\n", f.rows, static_cast<double>(f.fileBytes) / kMb);
            std::printf("  prepared inserts %.3f s  ratio %.2f", f.floor, f.floorRatio());
            if (checked) std::printf(" (limit %.2f)%s", kPreparedRatioLimit, preparedOk ? "" : "  MISSED");
            std::printf("\n  reading the records alone %.3f s, storing them %.3f s\n", f.decode, f.parse - f.decode);
            std::fflush(stdout);
            if (checked && !(ok && preparedOk)) missed = true;

            if (options.memory && commands == *std::max_element(options.sizes.begin(), options.sizes.end())) {
                // A home of its own, made by the program on first use as any new home is, keeps
                // the run away from the user's store.
                const fs::path home = scratch.path() / "cli-home";
                const double peak =
                    static_cast<double>(peakResidentBytes(
                        {options.cli.string(), "--home", home.string(), "info", file.string()})) /
                    kMb;
                const double fileMb = static_cast<double>(fs::file_size(file)) / kMb;
                const double limit = kMemoryFactor * fileMb + kMemorySlackMb;
                std::printf("peak memory of info on %zu commands: %.1f MB  limit %.1f MB (file %.1f MB)%s\n", commands,
                            peak, limit, fileMb, peak <= limit ? "" : "  MISSED");
                std::fflush(stdout);
                if (peak > limit) missed = true;
            }
        }
    } catch (const std::exception& e) {
        std::cerr << "vocabrella-bench-parse: " << e.what() << '\n';
        return 2;
    }
    return options.check && missed ? 1 : 0;
}
