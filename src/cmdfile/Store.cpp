#include "cmdfile/Store.h"

#include "cmdfile/Errors.h"
#include "cmdfile/Format.h"
#include "cmdfile/System.h"
#include "cmdfile/Texts.h"
#include "cmdfile/Trace.h"

#include <sqlite3.h>

#include <algorithm>
#include <exception>
#include <utility>

namespace vocabrella {
namespace {

constexpr const char* kSchema = R"SQL(
CREATE TABLE user (
  ID INTEGER PRIMARY KEY AUTOINCREMENT,
  menu TEXT NOT NULL DEFAULT '' COLLATE NOCASE,
  state TEXT NOT NULL DEFAULT '' COLLATE NOCASE,
  name TEXT NOT NULL DEFAULT '' COLLATE NOCASE,
  filename TEXT NOT NULL DEFAULT '',
  Type TEXT NOT NULL DEFAULT '' CHECK (length(Type) <= 1),
  scope TEXT NOT NULL DEFAULT '' CHECK (length(scope) <= 1),
  owner TEXT NOT NULL DEFAULT '' COLLATE NOCASE,
  lists INTEGER NOT NULL DEFAULT 0,
  "offset" INTEGER NOT NULL DEFAULT 0,
  offsetbody INTEGER NOT NULL DEFAULT 0,
  description TEXT NOT NULL DEFAULT '',
  states TEXT NOT NULL DEFAULT '',
  graphicsize INTEGER NOT NULL DEFAULT 0,
  Global INTEGER NOT NULL DEFAULT 0,
  noglobals INTEGER NOT NULL DEFAULT 0,
  sleeping INTEGER NOT NULL DEFAULT 0,
  singleline INTEGER NOT NULL DEFAULT 0,
  globalsort TEXT NOT NULL DEFAULT '' CHECK (length(globalsort) <= 1),
  listsort TEXT NOT NULL DEFAULT '' CHECK (length(listsort) <= 1),
  pathcode TEXT NOT NULL DEFAULT '' CHECK (length(pathcode) <= 1),
  dupe INTEGER NOT NULL DEFAULT 0,
  listcopy INTEGER NOT NULL DEFAULT 0,
  flag INTEGER NOT NULL DEFAULT 0,
  PDescript INTEGER NOT NULL DEFAULT 0,
  CompanyName INTEGER NOT NULL DEFAULT 0,
  ClassName INTEGER NOT NULL DEFAULT 0,
  encrypted INTEGER NOT NULL DEFAULT 0,
  script TEXT NOT NULL DEFAULT ''
);
CREATE INDEX "menu" ON user (menu, state, name);
CREATE INDEX "name" ON user (globalsort, menu, state, name, ID, Type, owner);
CREATE INDEX "state" ON user (state, menu);
CREATE INDEX "lists" ON user (name) WHERE Type = 'L';
CREATE INDEX "flagged" ON user (ID) WHERE flag <> 0;
CREATE INDEX "owner" ON user (owner, Type);
CREATE INDEX "scopelists" ON user (menu, state, name) WHERE Type = 'L';

CREATE TABLE states (
  ID INTEGER PRIMARY KEY AUTOINCREMENT,
  appname TEXT NOT NULL DEFAULT '' COLLATE NOCASE,
  statename TEXT NOT NULL DEFAULT '' COLLATE NOCASE
);
CREATE INDEX apps ON states (appname, statename);

CREATE TABLE parameters (
  mycmdstime INTEGER,
  OffsetLists INTEGER NOT NULL DEFAULT 0,
  lastdvcID INTEGER NOT NULL DEFAULT 0,
  openfile TEXT,
  parsed INTEGER NOT NULL DEFAULT 0,
  dvcmaptime INTEGER,
  UserName TEXT NOT NULL DEFAULT ' ',
  UserSub TEXT NOT NULL DEFAULT ' ',
  language TEXT NOT NULL DEFAULT ' ',
  lastmode TEXT NOT NULL DEFAULT 'app',
  exportPath TEXT NOT NULL DEFAULT '',
  InstallPath TEXT NOT NULL DEFAULT ''
);
-- parameters holds exactly one row.
CREATE TRIGGER parameters_one_row BEFORE INSERT ON parameters
  WHEN (SELECT count(*) FROM parameters) >= 1
  BEGIN SELECT RAISE(ABORT, 'parameters holds one row'); END;
CREATE TRIGGER parameters_keep_row BEFORE DELETE ON parameters
  BEGIN SELECT RAISE(ABORT, 'parameters holds one row'); END;
INSERT INTO parameters DEFAULT VALUES;

CREATE TABLE dvcmap (
  ID INTEGER PRIMARY KEY AUTOINCREMENT,
  menu TEXT NOT NULL DEFAULT '' COLLATE NOCASE,
  state TEXT NOT NULL DEFAULT '' COLLATE NOCASE,
  name TEXT NOT NULL DEFAULT '' COLLATE NOCASE,
  Type TEXT NOT NULL DEFAULT '',
  dvcline INTEGER NOT NULL DEFAULT 0
);
)SQL";

// Raised whenever the schema changes: a store of another version is made afresh from the
// command file rather than read. 2: texts are kept whole, whatever their length. 3: indexes of
// the LIST rows by name and of the marked rows. 4: indexes of the groups and of the LISTs of
// each scope; the index state without the names (its seeks want only scope and program).
constexpr int kSchemaVersion = 4;
// A store of this version differs from the current one only by indexes it lacks: it is brought
// up to date on open rather than made again from the command file.
constexpr int kIndexesOnlyVersion = 3;

// The indexes of table user. A full parse drops the large ones and sorts them afresh from the
// rows (see Rebuild); the partial ones, which take a few of a parse's rows (its LISTs) or none
// (marked rows), are kept up row by row, cheaper than one more pass over every row each.
struct UserIndex {
    const char* name;
    const char* sql;
    bool sortedAfterParse;
};
constexpr UserIndex kUserIndexes[] = {
    {"menu", R"(CREATE INDEX IF NOT EXISTS "menu" ON user (menu, state, name))", true},
    {"name", R"(CREATE INDEX IF NOT EXISTS "name" ON user (globalsort, menu, state, name, ID, Type, owner))", true},
    {"state", R"(CREATE INDEX IF NOT EXISTS "state" ON user (state, menu))", true},
    {"lists", R"(CREATE INDEX IF NOT EXISTS "lists" ON user (name) WHERE Type = 'L')", false},
    {"flagged", R"(CREATE INDEX IF NOT EXISTS "flagged" ON user (ID) WHERE flag <> 0)", false},
    {"owner", R"(CREATE INDEX IF NOT EXISTS "owner" ON user (owner, Type))", true},
    {"scopelists", R"(CREATE INDEX IF NOT EXISTS "scopelists" ON user (menu, state, name) WHERE Type = 'L')", false},
};

constexpr const char* kUserColumns =
    R"(ID, menu, state, name, filename, Type, script, scope, owner, lists, "offset", offsetbody, )"
    R"(description, states, graphicsize, Global, noglobals, sleeping, singleline, globalsort, )"
    R"(listsort, pathcode, dupe, listcopy, flag, PDescript, CompanyName, ClassName, encrypted)";

[[noreturn]] void fail(sqlite3* db, const std::string& what) {
    throw StoreError(sqlite3_extended_errcode(db), what + ": " + sqlite3_errmsg(db));
}

// A failure that cannot be thrown (a destructor, or a step already failing) goes to the trace.
void noteTo(Trace* trace, std::string_view what, sqlite3* db, int rc) noexcept {
    if (!trace || rc == SQLITE_OK) return;
    try {
        std::string message = sqlite3_errstr(rc);
        if (db && sqlite3_extended_errcode(db) == rc) message = sqlite3_errmsg(db);
        trace->Tracy(texts::trace::Store, what, message);
    } catch (...) {
        // Nothing more can be done with a trace that cannot be written.
    }
}

// The next row of a query: true for a row, false when there are no more; any other result is
// a failure, never taken for the end of the rows.
bool nextRow(sqlite3* db, sqlite3_stmt* s) {
    const int rc = sqlite3_step(s);
    if (rc == SQLITE_ROW) return true;
    if (rc != SQLITE_DONE) fail(db, "A store query failed");
    return false;
}

// A query that always gives exactly one row, such as count(*).
sqlite3_stmt* oneRow(sqlite3* db, sqlite3_stmt* s) {
    if (!nextRow(db, s)) throw StoreError(SQLITE_CORRUPT, "A store query that gives one row gave none");
    return s;
}

// Finalizes a statement of one use. Its result repeats the failure of the last step, which was
// thrown already when a failure is on its way; any other goes to the trace.
struct Finalize {
    sqlite3_stmt* s;
    Trace* trace = nullptr;
    int failures = std::uncaught_exceptions();
    ~Finalize() {
        sqlite3* db = s ? sqlite3_db_handle(s) : nullptr;
        const int rc = sqlite3_finalize(s);
        if (std::uncaught_exceptions() == failures) noteTo(trace, texts::trace::StoreFinalize, db, rc);
    }
};

sqlite3_stmt* prepare(sqlite3* db, const char* sql) {
    sqlite3_stmt* s = nullptr;
    if (sqlite3_prepare_v2(db, sql, -1, &s, nullptr) != SQLITE_OK) fail(db, "Cannot prepare a statement");
    return s;
}

} // namespace

// Binding helpers: texts are bound without copying; the caller keeps them alive until step.
class StoreBinder {
public:
    explicit StoreBinder(sqlite3_stmt* s) : s_(s) {}
    StoreBinder& text(std::string_view v) {
        return check(sqlite3_bind_text64(s_, ++i_, v.data(), v.size(), SQLITE_STATIC, SQLITE_UTF8));
    }
    StoreBinder& optText(const std::optional<std::string>& v) {
        if (v) return text(*v);
        return check(sqlite3_bind_null(s_, ++i_));
    }
    StoreBinder& integer(std::int64_t v) { return check(sqlite3_bind_int64(s_, ++i_, v)); }
    StoreBinder& optInteger(const std::optional<std::int64_t>& v) {
        if (v) return integer(*v);
        return check(sqlite3_bind_null(s_, ++i_));
    }

private:
    StoreBinder& check(int rc) {
        if (rc != SQLITE_OK) fail(sqlite3_db_handle(s_), "Cannot bind a value");
        return *this;
    }
    sqlite3_stmt* s_;
    int i_ = 0;
};

namespace {
using Binder = StoreBinder;

// A text column as SQLite holds it: valid until the statement steps on (NULL reads as empty).
std::string_view columnView(sqlite3_stmt* s, int i) {
    const auto* p = reinterpret_cast<const char*>(sqlite3_column_text(s, i));
    return p ? std::string_view(p, static_cast<std::size_t>(sqlite3_column_bytes(s, i))) : std::string_view();
}

std::string columnText(sqlite3_stmt* s, int i) { return std::string(columnView(s, i)); }

UserRow readUser(sqlite3_stmt* s) {
    UserRow r;
    int i = 0;
    r.ID = sqlite3_column_int64(s, i++);
    r.menu = columnText(s, i++);
    r.state = columnText(s, i++);
    r.name = columnText(s, i++);
    r.filename = columnText(s, i++);
    r.Type = columnText(s, i++);
    r.script = columnText(s, i++);
    r.scope = columnText(s, i++);
    r.owner = columnText(s, i++);
    r.lists = sqlite3_column_int(s, i++);
    r.offset = sqlite3_column_int(s, i++);
    r.offsetbody = sqlite3_column_int(s, i++);
    r.description = columnText(s, i++);
    r.states = columnText(s, i++);
    r.graphicsize = sqlite3_column_int(s, i++);
    r.Global = sqlite3_column_int(s, i++) != 0;
    r.noglobals = sqlite3_column_int(s, i++) != 0;
    r.sleeping = sqlite3_column_int(s, i++) != 0;
    r.singleline = sqlite3_column_int(s, i++) != 0;
    r.globalsort = columnText(s, i++);
    r.listsort = columnText(s, i++);
    r.pathcode = columnText(s, i++);
    r.dupe = sqlite3_column_int(s, i++) != 0;
    r.listcopy = sqlite3_column_int(s, i++) != 0;
    r.flag = sqlite3_column_int(s, i++) != 0;
    r.PDescript = sqlite3_column_int(s, i++);
    r.CompanyName = sqlite3_column_int(s, i++);
    r.ClassName = sqlite3_column_int(s, i++);
    r.encrypted = sqlite3_column_int(s, i++) != 0;
    return r;
}

// Resets a cached statement when it goes out of scope, whatever happened. Like Finalize, a
// failure already on its way is not told twice.
struct Use {
    sqlite3_stmt* s;
    Trace* trace = nullptr;
    int failures = std::uncaught_exceptions();
    ~Use() {
        const int rc = sqlite3_reset(s);
        if (std::uncaught_exceptions() == failures) noteTo(trace, texts::trace::StoreReset, sqlite3_db_handle(s), rc);
        noteTo(trace, texts::trace::StoreClearBindings, sqlite3_db_handle(s), sqlite3_clear_bindings(s));
    }
};

std::string userSelect(const char* tail) { return std::string("SELECT ") + kUserColumns + " FROM user " + tail; }

} // namespace

CommandStore::CommandStore(sqlite3* db, std::filesystem::path path) : db_(db), path_(std::move(path)) {}

CommandStore::CommandStore(CommandStore&& o) noexcept
    : db_(std::exchange(o.db_, nullptr)), path_(std::move(o.path_)), statements_(std::move(o.statements_)),
      transactionDepth_(std::exchange(o.transactionDepth_, 0)), trace_(o.trace_) {
    o.statements_.clear();
}

namespace {
// Closes the database; a failure goes to the trace.
void closeDatabase(sqlite3* db, Trace* trace) noexcept {
    if (!db) return;
    noteTo(trace, texts::trace::StoreClose, db, sqlite3_close(db));
}
} // namespace

CommandStore& CommandStore::operator=(CommandStore&& o) noexcept {
    if (this != &o) {
        finalizeAll();
        closeDatabase(db_, trace_);
        db_ = std::exchange(o.db_, nullptr);
        path_ = std::move(o.path_);
        statements_ = std::move(o.statements_);
        o.statements_.clear();
        transactionDepth_ = std::exchange(o.transactionDepth_, 0);
        trace_ = o.trace_;
    }
    return *this;
}

CommandStore::~CommandStore() {
    finalizeAll();
    if (!db_) return;
    try {
        checkpoint();
    } catch (const StoreError& e) {
        note(e.what(), e.code());
    }
    closeDatabase(db_, trace_);
}

void CommandStore::note(std::string_view what, int rc) noexcept { noteTo(trace_, what, nullptr, rc); }

void CommandStore::traceFailure(std::string_view what, std::string_view cause) noexcept {
    if (!trace_) return;
    try {
        trace_->Tracy(texts::trace::Store, what, cause);
    } catch (...) {
        // Nothing more can be done with a trace that cannot be written.
    }
}

void CommandStore::finalizeAll() {
    for (auto& [sql, s] : statements_) {
        // A statement's last failure was thrown when it happened.
        sqlite3_finalize(s);
        s = nullptr;
    }
    statements_.clear();
}

namespace {
// Chosen by the parse and writer benchmarks, by absolute speed.
constexpr int kPageSize = 65536;
constexpr int kCacheKiB = 16384;
// While a parse fills the store: room for the rows of a large file, so that they are written
// once at commit and the indexes are made from the cache rather than from the file.
constexpr int kRebuildCacheKiB = 131072;

sqlite3* openDatabase(const std::filesystem::path& path, int flags) {
    sqlite3* db = nullptr;
    // One thread at a time works with a store (a writer hands it to another thread and waits
    // for it), so SQLite need not lock the connection around every call: reading the rows of a
    // large scope makes thousands of them.
    if (sqlite3_open_v2(os::pathText(path).c_str(), &db, flags | SQLITE_OPEN_NOMUTEX, nullptr) != SQLITE_OK) {
        const std::string message = db ? sqlite3_errmsg(db) : "out of memory";
        sqlite3_close(db);
        throw StoreError(SQLITE_CANTOPEN, "Cannot open the store " + os::pathText(path) + ": " + message);
    }
    if (sqlite3_extended_result_codes(db, 1) != SQLITE_OK || sqlite3_busy_timeout(db, 2000) != SQLITE_OK) {
        const std::string message = sqlite3_errmsg(db);
        sqlite3_close(db);
        throw StoreError(SQLITE_CANTOPEN, "Cannot open the store " + os::pathText(path) + ": " + message);
    }
    // The store is rebuilt from the command file whenever needed, so a commit need not wait
    // for the disk; WAL keeps it consistent all the same.
    // Checkpoints wait for idle moments (checkpoint()) rather than landing inside an operation:
    // a full parse or a position shift writes most of the store, and copying it back into the
    // database file at once would double every such operation.
    // A checkpoint keeps the log file for the next operation to write over from its start:
    // writing into a file that already has its blocks is much cheaper than growing one. What
    // is kept is bounded all the same.
    // The page size counts only for a new store, and must be set before it turns to WAL.
    // The first statements to read the file: a file that is no database fails here.
    const std::string pragmas = "PRAGMA page_size = " + std::to_string(kPageSize) +
                          "; PRAGMA cache_size = " + std::to_string(-kCacheKiB) +
                          "; PRAGMA journal_mode = WAL; PRAGMA synchronous = NORMAL; PRAGMA wal_autocheckpoint = 0; "
                          "PRAGMA journal_size_limit = 268435456";
    char* error = nullptr;
    if (sqlite3_exec(db, pragmas.c_str(), nullptr, nullptr, &error) != SQLITE_OK) {
        const int code = sqlite3_extended_errcode(db);
        const std::string message = error ? error : sqlite3_errmsg(db);
        sqlite3_free(error);
        sqlite3_close(db);
        throw StoreError(code, "Cannot open the store " + os::pathText(path) + ": " + message);
    }
    return db;
}
} // namespace

CommandStore CommandStore::open(const std::filesystem::path& path) {
    if (!std::filesystem::exists(path))
        throw StoreError(SQLITE_CANTOPEN, "The store " + os::pathText(path) + " does not exist");
    CommandStore store(openDatabase(path, SQLITE_OPEN_READWRITE), path);
    // A file that is not a store, a store of another version or a cut one (SQLite compares the
    // file's length with the page count of its header) fails here rather than on first use.
    // The check takes the same time whatever the size of the store: damage inside its pages
    // is met by the query that reads them, which fails rather than return fewer rows (the
    // program then makes the store afresh).
    const auto firstValue = [&](const char* sql) {
        Finalize s{prepare(store.db_, sql)};
        return columnText(oneRow(store.db_, s.s), 0);
    };
    const std::string version = firstValue("PRAGMA user_version");
    const bool indexesOnly = version == std::to_string(kIndexesOnlyVersion);
    if (version != std::to_string(kSchemaVersion) && !indexesOnly)
        throw StoreError(SQLITE_NOTADB, "The store " + os::pathText(path) + " is not a store of this version");
    if (firstValue("SELECT count(*) FROM parameters") != "1")
        throw StoreError(SQLITE_CORRUPT, "The store " + os::pathText(path) + " has no parameters row");
    // Indexes a rebuild left unmade (a run that ended inside one) are made again; so are those
    // an older store lacks, and the version changes with them or not at all.
    std::optional<Transaction> upgrade;
    if (indexesOnly) upgrade.emplace(store);
    for (const auto& index : kUserIndexes) store.exec(index.sql);
    if (upgrade) {
        store.exec(("PRAGMA user_version = " + std::to_string(kSchemaVersion)).c_str());
        upgrade->commit();
    }
    return store;
}

const char* CommandStore::schema() { return kSchema; }

bool CommandStore::isDamage(const StoreError& error) {
    const int primary = error.code() & 0xFF;
    return primary == SQLITE_CORRUPT || primary == SQLITE_NOTADB;
}

CommandStore CommandStore::create(const std::filesystem::path& path) {
    if (std::filesystem::exists(path))
        throw StoreError(SQLITE_CANTOPEN, "The store " + os::pathText(path) + " exists already");
    CommandStore store(openDatabase(path, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE), path);
    Transaction t(store);
    store.exec(kSchema);
    store.exec(("PRAGMA user_version = " + std::to_string(kSchemaVersion)).c_str());
    t.commit();
    return store;
}

void CommandStore::exec(const char* sql) {
    char* error = nullptr;
    if (sqlite3_exec(db_, sql, nullptr, nullptr, &error) != SQLITE_OK) {
        const std::string message = error ? error : "unknown error";
        sqlite3_free(error);
        throw StoreError(sqlite3_extended_errcode(db_), message);
    }
}

sqlite3_stmt* CommandStore::cached(const std::string& sql) {
    if (const auto found = statements_.find(sql); found != statements_.end()) return found->second;
    sqlite3_stmt* s = nullptr;
    if (sqlite3_prepare_v3(db_, sql.c_str(), -1, SQLITE_PREPARE_PERSISTENT, &s, nullptr) != SQLITE_OK) {
        sqlite3_finalize(s);
        fail(db_, "Cannot prepare a statement");
    }
    statements_.emplace(sql, s);
    return s;
}

CommandStore::Transaction::Transaction(CommandStore& store) : store_(store) {
    if (store_.transactionDepth_ == 0) {
        store_.checkpointIfLarge();
        store_.exec("BEGIN IMMEDIATE");
    } else {
        store_.exec(("SAVEPOINT inner" + std::to_string(store_.transactionDepth_ + 1)).c_str());
    }
    level_ = ++store_.transactionDepth_;
}

void CommandStore::checkpoint() {
    if (transactionDepth_ != 0) return;
    const int rc = sqlite3_wal_checkpoint_v2(db_, nullptr, SQLITE_CHECKPOINT_RESTART, nullptr, nullptr);
    // Busy: another connection still reads the log; the next idle moment copies it.
    if (rc != SQLITE_OK && (rc & 0xFF) != SQLITE_BUSY) fail(db_, "Cannot copy the store's log into its file");
}

void CommandStore::checkpointIfLarge() {
    // A safety valve for a run that never has an idle moment.
    constexpr std::uintmax_t kLargeLog = 512u * 1024 * 1024;
    std::error_code ec;
    const auto size = std::filesystem::file_size(os::pathText(path_) + "-wal", ec);
    if (!ec && size > kLargeLog) checkpoint();
}

CommandStore::Transaction::~Transaction() {
    if (done_) return;
    --store_.transactionDepth_;
    sqlite3* db = store_.db_;
    // The database may have rolled the whole transaction back itself after a failure; the
    // savepoints went with it, and the outer commit refuses.
    if (sqlite3_get_autocommit(db)) return;
    if (level_ == 1) {
        noteTo(store_.trace_, texts::trace::StoreRollback, db, sqlite3_exec(db, "ROLLBACK", nullptr, nullptr, nullptr));
    } else {
        const std::string name = "inner" + std::to_string(level_);
        noteTo(store_.trace_, texts::trace::StoreRollbackTo, db,
               sqlite3_exec(db, ("ROLLBACK TO " + name + "; RELEASE " + name).c_str(), nullptr, nullptr, nullptr));
    }
}

void CommandStore::Transaction::commit() {
    if (done_) return;
    if (store_.transactionDepth_ != level_)
        throw StoreError(SQLITE_MISUSE, "A transaction of the store was committed before the one inside it");
    if (sqlite3_get_autocommit(store_.db_))
        throw StoreError(SQLITE_ABORT, "The store gave up a transaction after a failure; nothing of it was kept");
    // A failed commit leaves the transaction open: the destructor rolls it back.
    if (level_ == 1) store_.exec("COMMIT");
    else store_.exec(("RELEASE inner" + std::to_string(level_)).c_str());
    done_ = true;
    --store_.transactionDepth_;
}

namespace {
// Runs a statement that returns no rows; returns the number of rows it changed.
std::int64_t runStatement(sqlite3* db, sqlite3_stmt* s) {
    const int rc = sqlite3_step(s);
    if (rc != SQLITE_DONE && rc != SQLITE_ROW) fail(db, "A store statement failed");
    return sqlite3_changes64(db);
}


std::int64_t count(sqlite3* db, sqlite3_stmt* s) { return sqlite3_column_int64(oneRow(db, s), 0); }
} // namespace

std::int64_t CommandStore::run(const std::string& sql, const std::function<void(Binder&)>& bind) {
    auto* s = cached(sql);
    Use use{s, trace_};
    Binder b(s);
    if (bind) bind(b);
    return runStatement(db_, s);
}

std::vector<std::string> CommandStore::textColumn(const std::string& sql, const std::function<void(Binder&)>& bind) {
    auto* s = cached(sql);
    Use use{s, trace_};
    Binder b(s);
    if (bind) bind(b);
    std::vector<std::string> out;
    while (nextRow(db_, s)) out.push_back(columnText(s, 0));
    return out;
}

void CommandStore::deleteAllUsers() { run("DELETE FROM user"); }
void CommandStore::deleteAllStates() { run("DELETE FROM states"); }
void CommandStore::deleteAllDvcmap() { run("DELETE FROM dvcmap"); }
void CommandStore::deleteParsedUsers() { run(R"(DELETE FROM user WHERE "offset" <> 0)"); }

// Counted with count(*) rather than by rewriting every row and reading the changes. A start
// counts both: every row is counted from the pages of an index, the LISTs from the index of
// the LIST rows, so that neither reads the rows themselves.
std::int64_t CommandStore::countCommands() {
    auto* s = cached(R"(SELECT (SELECT count(*) FROM user) - (SELECT count(*) FROM user INDEXED BY "lists" WHERE Type = 'L'))");
    Use use{s, trace_};
    return count(db_, s);
}

std::int64_t CommandStore::countLists() {
    auto* s = cached(R"(SELECT count(*) FROM user INDEXED BY "lists" WHERE Type = 'L')");
    Use use{s, trace_};
    return count(db_, s);
}

// Only rows that change are written: every row written costs a page.
void CommandStore::clearFlags() { run("UPDATE user SET flag = 0 WHERE flag <> 0"); }
void CommandStore::flagAll() { run("UPDATE user SET flag = 1 WHERE flag = 0"); }
void CommandStore::flagProgram(std::string_view program) {
    run("UPDATE user SET flag = 1 WHERE menu = ?", [&](Binder& b) { b.text(program); });
}
void CommandStore::flagAllCommands() { run("UPDATE user SET flag = 1 WHERE Type <> 'L'"); }
std::int64_t CommandStore::flagSelection(const RowSelection& sel) {
    Transaction t(*this);
    clearFlags();
    // A LIST copied into a scope while browsing is no row of the file: it is never chosen.
    std::string sql = "UPDATE user SET flag = 1 WHERE listcopy = 0";
    if (!sel.everything) {
        if (sel.program) sql += " AND menu = ?";
        if (sel.scope) sql += " AND state = ?";
        if (sel.group) sql += " AND owner = ?";
        if (!sel.names.empty()) {
            sql += " AND name IN (?";
            for (std::size_t i = 1; i < sel.names.size(); ++i) sql += ", ?";
            sql += ")";
        }
    }
    const auto bind = [&](Binder& b) {
        if (sel.everything) return;
        if (sel.program) b.text(*sel.program);
        if (sel.scope) b.text(*sel.scope);
        if (sel.group) b.text(*sel.group);
        for (const auto& n : sel.names) b.text(n);
    };
    std::int64_t marked = 0;
    if (sel.names.empty()) {
        marked = run(sql, bind);
    } else { // as many forms as there are lengths of name lists: not kept
        Finalize s{prepare(db_, sql.c_str()), trace_};
        Binder b(s.s);
        bind(b);
        marked = runStatement(db_, s.s);
    }
    t.commit();
    return marked;
}

void CommandStore::setFlags(const std::vector<std::int64_t>& ids, bool value) {
    Transaction t(*this);
    for (const auto id : ids) setFlag(id, value);
    t.commit();
}

void CommandStore::clearNoGlobals() { run("UPDATE user SET noglobals = 0 WHERE noglobals <> 0"); }

std::vector<UserRow> CommandStore::flaggedForDvc() {
    const auto sql = userSelect("WHERE flag <> 0 ORDER BY globalsort, menu, state, listsort, name");
    Finalize s{prepare(db_, sql.c_str()), trace_};
    std::vector<UserRow> rows;
    while (nextRow(db_, s.s)) rows.push_back(readUser(s.s));
    return rows;
}

std::vector<std::string> CommandStore::distinctBySeeks(const std::string& first, const std::string& after,
                                                       const std::function<void(Binder&)>& bind) {
    std::vector<std::string> values;
    for (;;) {
        auto* s = cached(values.empty() ? first : after);
        Use use{s, trace_};
        Binder b(s);
        if (bind) bind(b);
        if (!values.empty()) b.text(values.back());
        if (!nextRow(db_, s)) return values;
        values.push_back(columnText(s, 0));
    }
}

std::vector<std::string> CommandStore::distinctPrograms() {
    return distinctBySeeks("SELECT menu FROM user ORDER BY menu LIMIT 1",
                           "SELECT menu FROM user WHERE menu > ? ORDER BY menu LIMIT 1");
}
std::vector<std::string> CommandStore::programsOfGroup(std::string_view group) {
    return textColumn("SELECT DISTINCT menu FROM user WHERE owner = ? ORDER BY menu",
                      [&](Binder& b) { b.text(group); });
}
std::vector<std::string> CommandStore::distinctGroups() {
    // Every owner, then only those with a command: a row of a type before or after L, two seeks
    // in the index owner, where the LISTs of a group with no command would be read one by one.
    auto owners = distinctBySeeks("SELECT owner FROM user ORDER BY owner LIMIT 1",
                                  "SELECT owner FROM user WHERE owner > ? ORDER BY owner LIMIT 1");
    auto* s = cached("SELECT EXISTS (SELECT 1 FROM user WHERE owner = ?1 AND Type < 'L') "
                     "OR EXISTS (SELECT 1 FROM user WHERE owner = ?1 AND Type > 'L')");
    std::erase_if(owners, [&](const std::string& owner) {
        Use use{s, trace_};
        Binder(s).text(owner);
        return sqlite3_column_int(oneRow(db_, s), 0) == 0;
    });
    return owners;
}
std::vector<std::string> CommandStore::scopesOfProgram(std::string_view program) {
    return distinctBySeeks("SELECT state FROM user WHERE menu = ? ORDER BY state LIMIT 1",
                           "SELECT state FROM user WHERE menu = ? AND state > ? ORDER BY state LIMIT 1",
                           [&](Binder& b) { b.text(program); });
}
std::vector<std::string> CommandStore::scopesOfProgram(std::string_view program, std::string_view group) {
    return textColumn("SELECT DISTINCT state FROM user WHERE menu = ? AND owner = ? ORDER BY state",
                      [&](Binder& b) { b.text(program).text(group); });
}
std::vector<std::string> CommandStore::commandsUsingList(std::string_view listName) {
    // instr() rather than LIKE: a LIST name may itself hold % or _.
    const std::string needle = "<" + std::string(listName) + ">";
    return textColumn("SELECT name FROM user WHERE instr(lower(name), lower(?)) > 0",
                      [&](Binder& b) { b.text(needle); });
}

namespace {
constexpr const char* kInsertUser =
    R"(INSERT INTO user (menu, state, name, filename, Type, script, scope, owner, lists, "offset", )"
    R"(offsetbody, description, states, graphicsize, Global, noglobals, sleeping, singleline, )"
    R"(globalsort, listsort, pathcode, dupe, listcopy, flag, PDescript, CompanyName, ClassName, )"
    R"(encrypted) VALUES )";
constexpr const char* kUserValues = "(?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?)";

// Rows a full parse adds with one statement: the work of a statement (its start, its reset,
// its bindings cleared) is shared by them all.
constexpr std::size_t kRowsPerInsert = 64;

void bindUser(Binder& b, const UserRow& r) {
    b.text(r.menu)
        .text(r.state)
        .text(r.name)
        .text(r.filename)
        .text(r.Type)
        .text(r.script)
        .text(r.scope)
        .text(r.owner)
        .integer(r.lists)
        .integer(r.offset)
        .integer(r.offsetbody)
        .text(r.description)
        .text(r.states)
        .integer(r.graphicsize)
        .integer(r.Global)
        .integer(r.noglobals)
        .integer(r.sleeping)
        .integer(r.singleline)
        .text(r.globalsort)
        .text(r.listsort)
        .text(r.pathcode)
        .integer(r.dupe)
        .integer(r.listcopy)
        .integer(r.flag)
        .integer(r.PDescript)
        .integer(r.CompanyName)
        .integer(r.ClassName)
        .integer(r.encrypted);
}
} // namespace

std::int64_t CommandStore::insertUser(const UserRow& r) {
    static const std::string sql = std::string(kInsertUser) + kUserValues;
    auto* s = cached(sql);
    Use use{s, trace_};
    Binder b(s);
    bindUser(b, r);
    if (sqlite3_step(s) != SQLITE_DONE) fail(db_, "Cannot add a row to user");
    return sqlite3_last_insert_rowid(db_);
}

std::int64_t CommandStore::insertUsers(std::span<const UserRow> rows) {
    std::int64_t first = 0;
    while (rows.size() >= kRowsPerInsert) {
        static const std::string sql = [] {
            std::string text = kInsertUser;
            for (std::size_t i = 0; i < kRowsPerInsert; ++i) (text += i == 0 ? "" : ",") += kUserValues;
            return text;
        }();
        auto* s = cached(sql);
        Use use{s, trace_};
        Binder b(s);
        for (std::size_t i = 0; i < kRowsPerInsert; ++i) bindUser(b, rows[i]);
        if (sqlite3_step(s) != SQLITE_DONE) fail(db_, "Cannot add rows to user");
        if (sqlite3_changes64(db_) != static_cast<std::int64_t>(kRowsPerInsert))
            throw StoreError(SQLITE_INTERNAL, "Rows added to user went missing");
        // One statement numbers its rows one after the other, the last being the last added.
        if (first == 0) first = sqlite3_last_insert_rowid(db_) - static_cast<std::int64_t>(kRowsPerInsert) + 1;
        rows = rows.subspan(kRowsPerInsert);
    }
    for (const auto& row : rows) {
        const std::int64_t id = insertUser(row);
        if (first == 0) first = id;
    }
    return first;
}

void CommandStore::deleteUser(std::int64_t id) {
    run("DELETE FROM user WHERE ID = ?", [&](Binder& b) { b.integer(id); });
}

void CommandStore::shiftPositionsAfter(std::int32_t position, std::int32_t delta) {
    if (delta == 0) return;
    run(
            R"(UPDATE user SET "offset" = "offset" + ?1, )"
            R"(offsetbody = CASE WHEN offsetbody <> 0 THEN offsetbody + ?1 ELSE 0 END )"
            R"(WHERE "offset" > ?2 AND (Type <> 'L' OR menu = 'Global Commands'))",
            [&](Binder& b) { b.integer(delta).integer(position); });
    run("UPDATE parameters SET OffsetLists = OffsetLists + ?1 WHERE OffsetLists > ?2",
            [&](Binder& b) { b.integer(delta).integer(position); });
}

void CommandStore::shiftPositions(std::vector<PositionShift> shifts) {
    std::erase_if(shifts, [](const PositionShift& s) { return s.delta == 0; });
    if (shifts.empty()) return;
    std::sort(shifts.begin(), shifts.end(),
              [](const PositionShift& a, const PositionShift& b) { return a.position < b.position; });
    // movedBy[k]: the sum of the deltas of the first k changes.
    std::vector<std::int64_t> movedBy{0};
    for (const auto& s : shifts) movedBy.push_back(movedBy.back() + s.delta);
    const auto deltaAt = [&](std::int64_t position) {
        const auto before = std::lower_bound(shifts.begin(), shifts.end(), position,
                                             [](const PositionShift& s, std::int64_t p) { return s.position < p; });
        return movedBy[static_cast<std::size_t>(before - shifts.begin())];
    };
    struct Moved {
        std::int64_t id, offset, offsetbody;
    };
    std::vector<Moved> moved;
    {
        Finalize s{prepare(db_, R"(SELECT ID, "offset", offsetbody FROM user )"
                                R"(WHERE "offset" > ?1 AND (Type <> 'L' OR menu = 'Global Commands'))"), trace_};
        Binder(s.s).integer(shifts.front().position);
        while (nextRow(db_, s.s)) {
            const auto offset = sqlite3_column_int64(s.s, 1);
            const auto delta = deltaAt(offset);
            if (delta == 0) continue;
            const auto body = sqlite3_column_int64(s.s, 2);
            moved.push_back({sqlite3_column_int64(s.s, 0), offset + delta, body != 0 ? body + delta : 0});
        }
    }
    auto* update = cached(R"(UPDATE user SET "offset" = ?, offsetbody = ? WHERE ID = ?)");
    for (const auto& m : moved) {
        Use use{update, trace_};
        Binder(update).integer(m.offset).integer(m.offsetbody).integer(m.id);
        runStatement(db_, update);
    }
    const auto lists = parameters().OffsetLists;
    if (const auto delta = deltaAt(lists); delta != 0)
        run("UPDATE parameters SET OffsetLists = ?", [&](Binder& b) { b.integer(lists + delta); });
}

void CommandStore::setScript(std::int64_t id, std::string_view script) {
    // Kept prepared: a batch of replacements sets thousands of bodies in a row.
    auto* s = cached("UPDATE user SET script = ? WHERE ID = ?");
    Use use{s, trace_};
    Binder(s).text(script).integer(id);
    runStatement(db_, s);
}

void CommandStore::setIdentity(std::int64_t id, std::string_view name, std::string_view description,
                               std::string_view owner, std::int32_t lists) {
    run("UPDATE user SET name = ?, description = ?, owner = ?, lists = ? WHERE ID = ?",
            [&](Binder& b) { b.text(name).text(description).text(owner).integer(lists).integer(id); });
}

void CommandStore::setType(std::int64_t id, std::string_view type) {
    run("UPDATE user SET Type = ? WHERE ID = ?", [&](Binder& b) { b.text(type).integer(id); });
}

void CommandStore::moveBody(std::int64_t id, std::int32_t delta) {
    run("UPDATE user SET offsetbody = offsetbody + ? WHERE ID = ?", [&](Binder& b) { b.integer(delta).integer(id); });
}

void CommandStore::setFlag(std::int64_t id, bool value) {
    run("UPDATE user SET flag = ? WHERE ID = ?", [&](Binder& b) { b.integer(value).integer(id); });
}

void CommandStore::setNoGlobals(std::int64_t id, bool value) {
    run("UPDATE user SET noglobals = ? WHERE ID = ?", [&](Binder& b) { b.integer(value).integer(id); });
}

namespace {
std::optional<UserRow> oneUser(sqlite3* db, sqlite3_stmt* s, Trace* trace) {
    Use use{s, trace};
    const int rc = sqlite3_step(s);
    if (rc == SQLITE_ROW) return readUser(s);
    if (rc != SQLITE_DONE) fail(db, "A store query failed");
    return std::nullopt;
}
} // namespace

std::optional<UserRow> CommandStore::userById(std::int64_t id) {
    static const std::string sql = userSelect("WHERE ID = ?");
    auto* s = cached(sql);
    Binder(s).integer(id);
    return oneUser(db_, s, trace_);
}

std::optional<UserRow> CommandStore::findUser(std::string_view menu, std::string_view state, std::string_view name) {
    static const std::string sql = userSelect("WHERE menu = ? AND state = ? AND name = ? ORDER BY menu, state, name, ID LIMIT 1");
    auto* s = cached(sql);
    Binder(s).text(menu).text(state).text(name);
    return oneUser(db_, s, trace_);
}

std::optional<UserRow> CommandStore::findList(std::string_view menu, std::string_view state, std::string_view name) {
    static const std::string sql =
        userSelect(R"(INDEXED BY "scopelists" WHERE menu = ? AND state = ? AND name = ? AND Type = 'L' ORDER BY name, ID LIMIT 1)");
    auto* s = cached(sql);
    Binder(s).text(menu).text(state).text(name);
    return oneUser(db_, s, trace_);
}

std::optional<UserRow> CommandStore::lastUser() {
    static const std::string sql = userSelect("ORDER BY ID DESC LIMIT 1");
    return oneUser(db_, cached(sql), trace_);
}

void CommandStore::forEachFlagged(const std::function<bool(const UserRow&)>& visit) {
    // Served by the index flagged: the rows that are not marked are not read.
    const auto sql = userSelect("WHERE flag <> 0 ORDER BY ID");
    Finalize s{prepare(db_, sql.c_str()), trace_};
    while (nextRow(db_, s.s))
        if (!visit(readUser(s.s))) break;
}

std::vector<std::int64_t> CommandStore::listRowsNamed(std::string_view name) {
    // Found through the index lists without letter case, then taken only as spelt.
    auto* s = cached("SELECT ID FROM user WHERE Type = 'L' AND name = ?1 AND name = ?1 COLLATE BINARY ORDER BY ID");
    Use use{s, trace_};
    Binder(s).text(name);
    std::vector<std::int64_t> ids;
    while (nextRow(db_, s)) ids.push_back(sqlite3_column_int64(s, 0));
    return ids;
}

std::vector<std::string> CommandStore::globalListNames() {
    return textColumn("SELECT name FROM user WHERE Type = 'L' AND globalsort = 'G' ORDER BY name");
}

std::int64_t CommandStore::countCommandsWithStates() {
    auto* s = cached("SELECT count(*) FROM user WHERE Type <> 'L' AND states <> ''");
    Use use{s, trace_};
    return count(db_, s);
}

std::vector<CommandStore::RowHeadWithFile> CommandStore::rowsNotFromFile() {
    auto* s = cached(R"(SELECT ID, menu, state, name, filename, Type FROM user WHERE "offset" = 0 ORDER BY ID)");
    Use use{s, trace_};
    std::vector<RowHeadWithFile> rows;
    while (nextRow(db_, s))
        rows.push_back({sqlite3_column_int64(s, 0), columnText(s, 1), columnText(s, 2), columnText(s, 3),
                        columnText(s, 4), columnText(s, 5), 0});
    return rows;
}

std::vector<std::string> CommandStore::markedNamesTakenIn(std::string_view program) {
    // Each marked row looks its place up in the index menu.
    return textColumn("SELECT a.name FROM user a WHERE a.flag <> 0 AND EXISTS (SELECT 1 FROM user b "
                      "WHERE b.menu = ? AND b.state = a.state AND b.name = a.name AND b.flag = 0 AND b.Type <> 'L') "
                      "ORDER BY a.ID",
                      [&](Binder& b) { b.text(program); });
}

void CommandStore::forEachUser(const std::function<bool(const UserRow&)>& visit) { forEachUser(RowFilter{}, visit); }

void CommandStore::forEachUser(const RowFilter& filter, const std::function<bool(const UserRow&)>& visit) {
    // Only the conditions given are written, so that a program or scope is sought in index menu.
    std::string where;
    const auto condition = [&](const std::optional<std::string>& value, const char* column) {
        if (!value) return;
        where += where.empty() ? "WHERE " : " AND ";
        where += column;
        where += " = ?";
    };
    condition(filter.program, "menu");
    condition(filter.scope, "state");
    condition(filter.group, "owner");
    const auto sql = userSelect((where + " ORDER BY ID").c_str());
    Finalize s{prepare(db_, sql.c_str()), trace_};
    Binder b(s.s);
    for (const auto* value : {&filter.program, &filter.scope, &filter.group})
        if (*value) b.text(**value);
    while (nextRow(db_, s.s))
        if (!visit(readUser(s.s))) break;
}

std::vector<std::string> CommandStore::allListNames() {
    // The partial index lists holds every LIST row; only they are sorted.
    return textColumn(R"(SELECT name FROM user INDEXED BY "lists" WHERE Type = 'L' ORDER BY ID)");
}

std::vector<UserRow> CommandStore::allUsers() {
    std::vector<UserRow> rows;
    forEachUser([&](const UserRow& r) {
        rows.push_back(r);
        return true;
    });
    return rows;
}

namespace {

// The columns of a search's rows, then the text searched.
std::string findSelect(CommandStore::FindColumn column) {
    std::string sql = "SELECT ID, globalsort, menu, state, name, Type, owner, ";
    sql += column == CommandStore::FindColumn::State ? "state" : column == CommandStore::FindColumn::Name ? "name" : "script";
    return sql + " FROM user ";
}

void walkFindRows(sqlite3* db, sqlite3_stmt* s, const std::function<bool(const CommandStore::FindRow&)>& visit) {
    // One row object for the whole walk: its strings keep their storage from row to row.
    CommandStore::FindRow row;
    while (nextRow(db, s)) {
        row.ID = sqlite3_column_int64(s, 0);
        const auto assign = [&](std::string& to, int i) { to.assign(columnView(s, i)); };
        assign(row.globalsort, 1);
        assign(row.menu, 2);
        assign(row.state, 3);
        assign(row.name, 4);
        assign(row.Type, 5);
        assign(row.owner, 6);
        row.text = columnView(s, 7);
        if (!visit(row)) break;
    }
}

} // namespace

void CommandStore::walkInNameOrder(const std::optional<NameKey>& from, bool backward, FindColumn column,
                                   const std::function<bool(const FindRow&)>& visit) {
    // Row values compare column by column with each column's collation, so the index name
    // serves both the start and the order.
    std::string sql = findSelect(column);
    if (from) sql += backward ? "WHERE (globalsort, menu, state, name, ID) < (?, ?, ?, ?, ?) "
                              : "WHERE (globalsort, menu, state, name, ID) > (?, ?, ?, ?, ?) ";
    sql += backward ? "ORDER BY globalsort DESC, menu DESC, state DESC, name DESC, ID DESC"
                    : "ORDER BY globalsort, menu, state, name, ID";
    Finalize s{prepare(db_, sql.c_str()), trace_};
    if (from) Binder(s.s).text(from->globalsort).text(from->menu).text(from->state).text(from->name).integer(from->ID);
    walkFindRows(db_, s.s, visit);
}

void CommandStore::walkInFileOrder(FindColumn column, const std::function<bool(const FindRow&)>& visit) {
    const std::string sql = findSelect(column) + "ORDER BY ID";
    Finalize s{prepare(db_, sql.c_str()), trace_};
    walkFindRows(db_, s.s, visit);
}

std::int64_t CommandStore::userCount() {
    auto* s = cached("SELECT count(*) FROM user");
    Use use{s, trace_};
    return count(db_, s);
}

namespace {
constexpr const char* kRowHeadColumns = "SELECT ID, menu, state, name, Type, owner FROM user ";

CommandStore::RowHead readRowHead(sqlite3_stmt* s) {
    return {sqlite3_column_int64(s, 0), columnText(s, 1), columnText(s, 2), columnText(s, 3), columnText(s, 4),
            columnText(s, 5)};
}

std::vector<CommandStore::RowHead> rowHeadsOf(sqlite3* db, sqlite3_stmt* s) {
    std::vector<CommandStore::RowHead> rows;
    while (nextRow(db, s)) rows.push_back(readRowHead(s));
    return rows;
}
} // namespace

// Filling the Commands list is the most frequent query of the window: cached, and served by the
// index name, which holds every column the lists need (the bodies are never touched) and gives
// the order.
std::size_t CommandStore::visitRowsOfScope(std::string_view program, std::string_view scope,
                                           const std::function<bool(const RowView&)>& visit, ScopeOrder order) {
    // Both read the covering index name; the order they were added in sorts the scope's rows.
    auto* s = cached(order == ScopeOrder::ByName
                         ? "SELECT ID, name, Type, owner FROM user WHERE globalsort = ? AND menu = ? AND state = ? "
                           "ORDER BY name, ID"
                         : "SELECT ID, name, Type, owner FROM user WHERE globalsort = ? AND menu = ? AND state = ? "
                           "ORDER BY ID");
    Use use{s, trace_};
    Binder(s).text(names::isGlobalProgram(program) ? "G" : "N").text(program).text(scope);
    std::size_t count = 0;
    while (nextRow(db_, s)) {
        ++count;
        if (!visit({sqlite3_column_int64(s, 0), columnView(s, 1), columnView(s, 2), columnView(s, 3)})) break;
    }
    return count;
}

std::vector<CommandStore::RowHead> CommandStore::listsOfScope(std::string_view program, std::string_view scope) {
    auto* s = cached(R"(SELECT ID, menu, state, name, Type, owner FROM user INDEXED BY "scopelists" )"
                     R"(WHERE menu = ? AND state = ? AND Type = 'L' ORDER BY name, ID)");
    Use use{s, trace_};
    Binder(s).text(program).text(scope);
    return rowHeadsOf(db_, s);
}

bool CommandStore::hasProgram(std::string_view program) {
    auto* s = cached("SELECT 1 FROM user WHERE menu = ? LIMIT 1");
    Use use{s, trace_};
    Binder(s).text(program);
    return nextRow(db_, s);
}

std::vector<CommandStore::RowHead> CommandStore::rowHeads() {
    const std::string sql = std::string(kRowHeadColumns) + "ORDER BY ID";
    Finalize s{prepare(db_, sql.c_str()), trace_};
    return rowHeadsOf(db_, s.s);
}

std::optional<CommandStore::RowHead> CommandStore::firstRowOfGroup(std::string_view group) {
    const std::string sql =
        std::string(kRowHeadColumns) + "WHERE owner = ? ORDER BY globalsort, menu, state, name, ID LIMIT 1";
    Finalize s{prepare(db_, sql.c_str()), trace_};
    Binder(s.s).text(group);
    if (nextRow(db_, s.s)) return readRowHead(s.s);
    return std::nullopt;
}

namespace {
std::vector<CommandStore::RowMark> rowMarksOf(sqlite3* db, sqlite3_stmt* s) {
    std::vector<CommandStore::RowMark> marks;
    while (nextRow(db, s))
        marks.push_back({sqlite3_column_int(s, 0), sqlite3_column_int64(s, 1), sqlite3_column_int(s, 2) != 0,
                         columnText(s, 3), columnText(s, 4)});
    return marks;
}
} // namespace

std::vector<CommandStore::RowMark> CommandStore::rowMarks() {
    auto* s = cached(R"(SELECT "offset", ID, flag, name, Type FROM user WHERE "offset" <> 0 ORDER BY ID)");
    Use use{s, trace_};
    return rowMarksOf(db_, s);
}

std::vector<CommandStore::RowMark> CommandStore::allRowMarks() {
    auto* s = cached(R"(SELECT "offset", ID, flag, name, Type FROM user ORDER BY ID)");
    Use use{s, trace_};
    return rowMarksOf(db_, s);
}

namespace {
std::vector<CommandStore::ProgramScope> programScopes(sqlite3* db, Trace* trace, const char* sql,
                                                      const std::function<void(Binder&)>& bind) {
    Finalize s{prepare(db, sql), trace};
    Binder b(s.s);
    if (bind) bind(b);
    std::vector<CommandStore::ProgramScope> out;
    while (nextRow(db, s.s)) out.emplace_back(columnText(s.s, 0), columnText(s.s, 1));
    return out;
}
} // namespace

std::optional<CommandStore::ProgramScope> CommandStore::firstScopeFrom(std::string_view state) {
    auto rows = programScopes(db_, trace_, "SELECT menu, state FROM user WHERE state >= ? ORDER BY state, menu LIMIT 1",
                              [&](Binder& b) { b.text(state); });
    if (rows.empty()) return std::nullopt;
    return rows.front();
}

std::vector<CommandStore::ProgramScope> CommandStore::scopesInStateOrder() {
    // One seek in the index state per scope and program, rather than a pass over every row.
    std::vector<ProgramScope> pairs;
    for (;;) {
        auto* s = cached(pairs.empty() ? "SELECT menu, state FROM user ORDER BY state, menu LIMIT 1"
                                       : "SELECT menu, state FROM user WHERE (state, menu) > (?, ?) ORDER BY state, menu LIMIT 1");
        Use use{s, trace_};
        if (!pairs.empty()) Binder(s).text(pairs.back().second).text(pairs.back().first);
        if (!nextRow(db_, s)) return pairs;
        pairs.emplace_back(columnText(s, 0), columnText(s, 1));
    }
}

std::optional<CommandStore::ProgramScope> CommandStore::placeOfFirstRow() {
    auto rows = programScopes(db_, trace_, "SELECT menu, state FROM user ORDER BY ID LIMIT 1", {});
    if (rows.empty()) return std::nullopt;
    return rows.front();
}

std::optional<CommandStore::ProgramScope> CommandStore::firstFromProgram(std::string_view program,
                                                                        std::string_view scope) {
    auto rows = programScopes(db_, trace_,
                              "SELECT menu, state FROM user WHERE menu > ?1 OR (menu = ?1 AND state >= ?2) "
                              "ORDER BY menu, state, name LIMIT 1",
                              [&](Binder& b) { b.text(program).text(scope); });
    if (rows.empty()) return std::nullopt;
    return rows.front();
}

void CommandStore::vacuum() { exec("VACUUM"); }

CommandStore::Rebuild::Rebuild(CommandStore& store) : store_(store) {
    if (store_.transactionDepth_ == 0)
        throw StoreError(SQLITE_MISUSE, "The store's indexes are dropped only within a transaction");
    for (const auto& index : kUserIndexes)
        if (index.sortedAfterParse) store_.exec((std::string("DROP INDEX IF EXISTS \"") + index.name + "\"").c_str());
    store_.exec(("PRAGMA cache_size = " + std::to_string(-kRebuildCacheKiB)).c_str());
}

void CommandStore::Rebuild::finish() {
    if (done_) return;
    // Each index is sorted from the rows in one go, far cheaper than kept up row by row.
    for (const auto& index : kUserIndexes)
        if (index.sortedAfterParse) store_.exec(index.sql);
    done_ = true;
    store_.exec(("PRAGMA cache_size = " + std::to_string(-kCacheKiB)).c_str());
}

CommandStore::Rebuild::~Rebuild() {
    if (done_) return;
    try {
        // On the way out of a failure the transaction's rollback brings the indexes back.
        if (std::uncaught_exceptions() == 0) finish();
        else store_.exec(("PRAGMA cache_size = " + std::to_string(-kCacheKiB)).c_str());
    } catch (const StoreError& e) {
        store_.note(e.what(), e.code());
    }
}

std::optional<std::int64_t> CommandStore::findState(std::string_view appname, std::string_view statename) {
    auto* s = cached("SELECT ID FROM states WHERE appname = ? AND statename = ? ORDER BY ID LIMIT 1");
    Use use{s, trace_};
    Binder(s).text(appname).text(statename);
    if (nextRow(db_, s)) return sqlite3_column_int64(s, 0);
    return std::nullopt;
}

std::int64_t CommandStore::addState(std::string_view appname, std::string_view statename) {
    auto* s = cached("INSERT INTO states (appname, statename) VALUES (?, ?)");
    Use use{s, trace_};
    Binder(s).text(appname).text(statename);
    runStatement(db_, s);
    return sqlite3_last_insert_rowid(db_);
}

std::optional<std::string> CommandStore::stateName(std::int64_t id) {
    auto* s = cached("SELECT statename FROM states WHERE ID = ?");
    Use use{s, trace_};
    Binder(s).integer(id);
    if (nextRow(db_, s)) return columnText(s, 0);
    return std::nullopt;
}

Parameters CommandStore::parameters() {
    auto* statement = cached("SELECT mycmdstime, OffsetLists, lastdvcID, openfile, parsed, dvcmaptime, "
                             "UserName, UserSub, language, lastmode, exportPath, InstallPath FROM parameters");
    Use use{statement, trace_};
    sqlite3_stmt* s = oneRow(db_, statement);
    Parameters p;
    {
        const auto optInt = [&](int i) -> std::optional<std::int64_t> {
            if (sqlite3_column_type(s, i) == SQLITE_NULL) return std::nullopt;
            return sqlite3_column_int64(s, i);
        };
        p.mycmdstime = optInt(0);
        p.OffsetLists = sqlite3_column_int(s, 1);
        p.lastdvcID = sqlite3_column_int(s, 2);
        if (sqlite3_column_type(s, 3) != SQLITE_NULL) p.openfile = columnText(s, 3);
        p.parsed = sqlite3_column_int(s, 4) != 0;
        p.dvcmaptime = optInt(5);
        p.UserName = columnText(s, 6);
        p.UserSub = columnText(s, 7);
        p.language = columnText(s, 8);
        p.lastmode = columnText(s, 9);
        p.exportPath = columnText(s, 10);
        p.InstallPath = columnText(s, 11);
    }
    return p;
}

void CommandStore::setParameters(const Parameters& p) {
    run(
            "UPDATE parameters SET mycmdstime = ?, OffsetLists = ?, lastdvcID = ?, openfile = ?, parsed = ?, "
            "dvcmaptime = ?, UserName = ?, UserSub = ?, language = ?, lastmode = ?, exportPath = ?, InstallPath = ?",
            [&](Binder& b) {
                b.optInteger(p.mycmdstime)
                    .integer(p.OffsetLists)
                    .integer(p.lastdvcID)
                    .optText(p.openfile)
                    .integer(p.parsed)
                    .optInteger(p.dvcmaptime)
                    .text(p.UserName)
                    .text(p.UserSub)
                    .text(p.language)
                    .text(p.lastmode)
                    .text(p.exportPath)
                    .text(p.InstallPath);
            });
}

void CommandStore::setMycmdstime(std::optional<std::int64_t> stamp) {
    run("UPDATE parameters SET mycmdstime = ?", [&](Binder& b) { b.optInteger(stamp); });
}
void CommandStore::setOffsetLists(std::int32_t position) {
    run("UPDATE parameters SET OffsetLists = ?", [&](Binder& b) { b.integer(position); });
}
void CommandStore::setLastdvcID(std::int32_t id) {
    run("UPDATE parameters SET lastdvcID = ?", [&](Binder& b) { b.integer(id); });
}

} // namespace vocabrella
