#include "cmdfile/StoreStatements.h"

#include "cmdfile/Trace.h"

namespace vocabrella::sql {

const char* const kUserColumns =
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

sqlite3_stmt* prepare(sqlite3* db, const char* sql) {
    sqlite3_stmt* s = nullptr;
    if (sqlite3_prepare_v2(db, sql, -1, &s, nullptr) != SQLITE_OK) fail(db, "Cannot prepare a statement");
    return s;
}

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

std::string userSelect(const char* tail) { return std::string("SELECT ") + kUserColumns + " FROM user " + tail; }

std::int64_t runStatement(sqlite3* db, sqlite3_stmt* s) {
    const int rc = sqlite3_step(s);
    if (rc != SQLITE_DONE && rc != SQLITE_ROW) fail(db, "A store statement failed");
    return sqlite3_changes64(db);
}

std::int64_t count(sqlite3* db, sqlite3_stmt* s) { return sqlite3_column_int64(oneRow(db, s), 0); }

} // namespace vocabrella::sql
