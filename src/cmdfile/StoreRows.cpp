// The rows of table user: added, changed, marked, sought and walked.
#include "cmdfile/StoreStatements.h"

#include "cmdfile/Format.h"

#include <algorithm>
#include <utility>

namespace vocabrella {
using namespace sql;

void CommandStore::deleteAllUsers() { run("DELETE FROM user"); }
void CommandStore::deleteParsedUsers() { run(R"(DELETE FROM user WHERE "offset" <> 0)"); }

// Counted with count(*) rather than by rewriting every row and reading the changes. A start
// counts both: every row is counted from the pages of an index, the LISTs from the index of
// the LIST rows, so that neither reads the rows themselves.
std::int64_t CommandStore::countCommands() {
    auto* s = cached(
        R"(SELECT (SELECT count(*) FROM user) - (SELECT count(*) FROM user INDEXED BY "lists" WHERE Type = 'L'))");
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
    return textColumn("SELECT DISTINCT menu FROM user WHERE owner = ? ORDER BY menu", [&](Binder& b) { b.text(group); });
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
        .terminated(r.Type)
        .text(r.script)
        .terminated(r.scope)
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
        .terminated(r.globalsort)
        .terminated(r.listsort)
        .terminated(r.pathcode)
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
    run(R"(UPDATE user SET "offset" = "offset" + ?1, )"
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
                                R"(WHERE "offset" > ?1 AND (Type <> 'L' OR menu = 'Global Commands'))"),
                   trace_};
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
    static const std::string sql = userSelect(
        "WHERE menu = ? AND state = ? AND name = ? ORDER BY menu, state, name, ID LIMIT 1");
    auto* s = cached(sql);
    Binder(s).text(menu).text(state).text(name);
    return oneUser(db_, s, trace_);
}

std::optional<UserRow> CommandStore::findList(std::string_view menu, std::string_view state, std::string_view name) {
    static const std::string sql = userSelect(
        R"(INDEXED BY "scopelists" WHERE menu = ? AND state = ? AND name = ? AND Type = 'L' ORDER BY name, ID LIMIT 1)");
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
    sql += column == CommandStore::FindColumn::State  ? "state"
           : column == CommandStore::FindColumn::Name ? "name"
                                                      : "script";
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
    if (from)
        sql += backward ? "WHERE (globalsort, menu, state, name, ID) < (?, ?, ?, ?, ?) "
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
    return {sqlite3_column_int64(s, 0), columnText(s, 1), columnText(s, 2),
            columnText(s, 3),           columnText(s, 4), columnText(s, 5)};
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
                                           const std::function<bool(const RowView&)>& visit, ScopeOrder order,
                                           ScopeRows rows) {
    // Each reads the covering index name; the order they were added in sorts the scope's rows.
    // The LISTs left out are passed over inside SQLite, never handed out one by one.
    static constexpr const char* kSql[2][2] = {
        {"SELECT ID, name, Type, owner FROM user WHERE globalsort = ? AND menu = ? AND state = ? ORDER BY name, ID",
         "SELECT ID, name, Type, owner FROM user WHERE globalsort = ? AND menu = ? AND state = ? "
         "AND (Type <> 'L' OR instr(name, '<') > 0) ORDER BY name, ID"},
        {"SELECT ID, name, Type, owner FROM user WHERE globalsort = ? AND menu = ? AND state = ? ORDER BY ID",
         "SELECT ID, name, Type, owner FROM user WHERE globalsort = ? AND menu = ? AND state = ? "
         "AND (Type <> 'L' OR instr(name, '<') > 0) ORDER BY ID"}};
    auto* s = cached(kSql[order == ScopeOrder::ByName ? 0 : 1][rows == ScopeRows::All ? 0 : 1]);
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

bool CommandStore::hasScope(std::string_view program, std::string_view scope) {
    auto* s = cached("SELECT 1 FROM user WHERE menu = ? AND state = ? LIMIT 1");
    Use use{s, trace_};
    Binder(s).text(program).text(scope);
    return nextRow(db_, s);
}

std::vector<CommandStore::RowHead> CommandStore::rowHeads() {
    const std::string sql = std::string(kRowHeadColumns) + "ORDER BY ID";
    Finalize s{prepare(db_, sql.c_str()), trace_};
    return rowHeadsOf(db_, s.s);
}

std::optional<CommandStore::RowHead> CommandStore::firstRowOfGroup(std::string_view group) {
    const std::string sql = std::string(kRowHeadColumns) +
                            "WHERE owner = ? ORDER BY globalsort, menu, state, name, ID LIMIT 1";
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
        auto* s = cached(pairs.empty()
                             ? "SELECT menu, state FROM user ORDER BY state, menu LIMIT 1"
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

} // namespace vocabrella
