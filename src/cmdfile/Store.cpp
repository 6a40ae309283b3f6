// The store itself: its schema, opening and making it, its statements and transactions, the
// rebuild of a full parse, and the tables beside user (states, parameters).
#include "cmdfile/Store.h"

#include "cmdfile/StoreStatements.h"
#include "cmdfile/System.h"
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
} // namespace

using namespace sql;

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

CommandStore CommandStore::openForReading(const std::filesystem::path& path) {
    return CommandStore(openDatabase(path, SQLITE_OPEN_READONLY), path);
}

CommandStore::WriteMark CommandStore::writeMark() {
    auto* s = cached("PRAGMA data_version");
    Use use{s, trace_};
    if (!nextRow(db_, s)) fail(db_, "Cannot read the store's data version");
    return {sqlite3_total_changes64(db_), sqlite3_column_int64(s, 0)};
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
    if (transactionDepth_ != 0 || sqlite3_db_readonly(db_, "main") == 1) return;
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

void CommandStore::deleteAllStates() { run("DELETE FROM states"); }
void CommandStore::deleteAllDvcmap() { run("DELETE FROM dvcmap"); }

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
    run("UPDATE parameters SET mycmdstime = ?, OffsetLists = ?, lastdvcID = ?, openfile = ?, parsed = ?, "
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
