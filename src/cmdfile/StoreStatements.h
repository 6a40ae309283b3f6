#pragma once

// The pieces every source of the store shares: failures told or thrown, values bound, rows read,
// statements finalized or reset whatever happens. Not part of the store's interface.
#include "cmdfile/Errors.h"
#include "cmdfile/Store.h"
#include "cmdfile/Texts.h"

#include <sqlite3.h>

#include <cstdint>
#include <exception>
#include <optional>
#include <string>
#include <string_view>

namespace vocabrella {
namespace sql {

// The columns of table user in the order readUser takes them.
extern const char* const kUserColumns;

[[noreturn]] void fail(sqlite3* db, const std::string& what);

// A failure that cannot be thrown (a destructor, or a step already failing) goes to the trace.
void noteTo(Trace* trace, std::string_view what, sqlite3* db, int rc) noexcept;

// The next row of a query: true for a row, false when there are no more; any other result is
// a failure, never taken for the end of the rows.
bool nextRow(sqlite3* db, sqlite3_stmt* s);

// A query that always gives exactly one row, such as count(*).
sqlite3_stmt* oneRow(sqlite3* db, sqlite3_stmt* s);

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

sqlite3_stmt* prepare(sqlite3* db, const char* sql);

} // namespace sql

// Binding helpers: texts are bound without copying; the caller keeps them alive until step.
class StoreBinder {
public:
    explicit StoreBinder(sqlite3_stmt* s) : s_(s) {}
    StoreBinder& text(std::string_view v) {
        return check(sqlite3_bind_text64(s_, ++i_, v.data(), v.size(), SQLITE_STATIC, SQLITE_UTF8));
    }
    // A short text whose terminating zero SQLite may use, so that a function such as length()
    // reads it where it lies instead of copying it to add one. A text holding a zero is bound
    // whole, as text() does.
    StoreBinder& terminated(const std::string& v) {
        if (v.find('\0') != std::string::npos) return text(v);
        return check(sqlite3_bind_text(s_, ++i_, v.c_str(), -1, SQLITE_STATIC));
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
        if (rc != SQLITE_OK) sql::fail(sqlite3_db_handle(s_), "Cannot bind a value");
        return *this;
    }
    sqlite3_stmt* s_;
    int i_ = 0;
};

namespace sql {
using Binder = StoreBinder;

// A text column as SQLite holds it: valid until the statement steps on (NULL reads as empty).
inline std::string_view columnView(sqlite3_stmt* s, int i) {
    const auto* p = reinterpret_cast<const char*>(sqlite3_column_text(s, i));
    return p ? std::string_view(p, static_cast<std::size_t>(sqlite3_column_bytes(s, i))) : std::string_view();
}

inline std::string columnText(sqlite3_stmt* s, int i) { return std::string(columnView(s, i)); }

// A row of table user as a query of userSelect gives it.
UserRow readUser(sqlite3_stmt* s);
// "SELECT" every column of table user "FROM user", then the tail.
std::string userSelect(const char* tail);

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

// Runs a statement that returns no rows; returns the number of rows it changed.
std::int64_t runStatement(sqlite3* db, sqlite3_stmt* s);
// The one integer a query such as count(*) gives.
std::int64_t count(sqlite3* db, sqlite3_stmt* s);

} // namespace sql
} // namespace vocabrella
