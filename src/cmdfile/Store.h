#pragma once

#include <cstdint>
#include <filesystem>
#include <functional>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <unordered_map>
#include <utility>
#include <vector>

struct sqlite3;
struct sqlite3_stmt;

namespace vocabrella {

class StoreBinder;
class StoreError;
class Trace;

// One row of table user: a command or a LIST of the open command file.
struct UserRow {
    std::int64_t ID = 0;
    std::string menu, state, name, filename, Type, script, scope, owner;
    std::int32_t lists = 0;
    std::int32_t offset = 0;
    std::int32_t offsetbody = 0;
    std::string description, states;
    std::int32_t graphicsize = 0;
    bool Global = false, noglobals = false, sleeping = false, singleline = false;
    std::string globalsort, listsort, pathcode;
    bool dupe = false, listcopy = false, flag = false;
    std::int32_t PDescript = 0, CompanyName = 0, ClassName = 0;
    bool encrypted = false;
};

// The single row of table parameters. Times are file-time stamps (see TimeText.h).
struct Parameters {
    std::optional<std::int64_t> mycmdstime;
    std::int32_t OffsetLists = 0;
    std::int32_t lastdvcID = 0;
    std::optional<std::string> openfile;
    bool parsed = false;
    std::optional<std::int64_t> dvcmaptime;
    std::string UserName, UserSub, language, lastmode, exportPath, InstallPath;
};

// The command store global.mdb: tables user, states, parameters and dvcmap in SQLite.
// Every statement binds its values; none splices text into SQL.
class CommandStore {
public:
    // Opens an existing store; throws StoreError when it cannot be opened, is of another
    // version or is damaged (see isDamage).
    static CommandStore open(const std::filesystem::path& path);
    // Whether the failure lies in the store file itself (damaged pages, not a database, a store
    // of another version): the store is then made afresh and filled from the command file.
    static bool isDamage(const StoreError& error);
    // The statements that make the tables and indexes of a new store.
    static const char* schema();
    // Creates a new, empty store (replacing nothing: fails when the file exists).
    static CommandStore create(const std::filesystem::path& path);
    // A second connection to a store another connection has opened, for reading only (beside
    // it, on another thread); its reads see the store as it was when each began.
    static CommandStore openForReading(const std::filesystem::path& path);

    CommandStore(CommandStore&&) noexcept;
    CommandStore& operator=(CommandStore&&) noexcept;
    ~CommandStore();

    const std::filesystem::path& path() const { return path_; }

    // Where failures go that cannot be thrown (closing the store, rolling back on the way out
    // of a failure); none: they are dropped.
    void setTrace(Trace* trace) { trace_ = trace; }
    // Writes a failure met around the store that cannot be thrown to that trace.
    void traceFailure(std::string_view what, std::string_view cause) noexcept;

    // Transactions nest. The outermost one is the database transaction; an inner one is a
    // savepoint within it: rolled back alone when it ends without commit, kept only when the
    // outer ones commit too. Commit the inner ones first. A transaction the database gave up
    // after a failure (a full disk, an I/O error) refuses to commit rather than commit what is
    // left of it.
    class Transaction {
    public:
        explicit Transaction(CommandStore& store);
        ~Transaction(); // rolls back when not committed
        void commit();
        Transaction(const Transaction&) = delete;
        Transaction& operator=(const Transaction&) = delete;

    private:
        CommandStore& store_;
        int level_ = 0; // 1 for the outermost
        bool done_ = false;
    };

    // What the parse's duplicate check needs of a row it keeps.
    struct RowHeadWithFile {
        std::int64_t ID = 0;
        std::string menu, state, name, filename, Type;
        std::int32_t offset = 0;
    };

    // Fixed statements.
    void deleteAllUsers();      // delete * from user
    void deleteAllStates();     // delete * from states
    void deleteAllDvcmap();     // delete * from dvcmap
    void deleteParsedUsers();   // delete * from user where offset <> 0
    std::int64_t countCommands(); // rows whose Type is not L
    std::int64_t countLists();    // rows whose Type is L
    void clearFlags();            // update user set flag = false
    void flagAll();               // update user set flag = true
    void flagProgram(std::string_view program);
    void flagAllCommands();       // update user set flag = true where type <> 'L'
    void clearNoGlobals();        // update user set noglobals = false
    // Marks the rows a batch operation acts on: every row, or those of one program, scope,
    // group and name list (each filter optional, names compared without case). Rows that copy
    // a global LIST into a scope (listcopy) are never marked. Returns the number of rows
    // marked; marks set before are cleared first.
    struct RowSelection {
        bool everything = false;
        std::optional<std::string> program, scope, group;
        std::vector<std::string> names;
    };
    std::int64_t flagSelection(const RowSelection& selection);
    // Sets or clears the mark of each row, in one transaction.
    void setFlags(const std::vector<std::int64_t>& ids, bool value);
    // The marked rows in the order they were added, until visit returns false.
    void forEachFlagged(const std::function<bool(const UserRow&)>& visit);
    std::vector<UserRow> flaggedForDvc(); // flagged rows by globalsort, menu, state, listsort, name
    // Names for the Program, Scope and Group menus, each in ascending order.
    std::vector<std::string> distinctPrograms();
    std::vector<std::string> programsOfGroup(std::string_view group);
    std::vector<std::string> distinctGroups(); // owners of commands (not LISTs)
    std::vector<std::string> scopesOfProgram(std::string_view program);
    std::vector<std::string> scopesOfProgram(std::string_view program, std::string_view group);
    std::vector<std::string> commandsUsingList(std::string_view listName); // names containing <list>

    // Rows.
    // Adds a row, every text whole, and returns its ID.
    std::int64_t insertUser(const UserRow& row);
    // Adds rows in the order given, as insertUser each would; returns the ID of the first, the
    // others following it one by one (0 for no rows).
    std::int64_t insertUsers(std::span<const UserRow> rows);
    // A copy of a global LIST in another program and scope, so that the commands there can use
    // it: marked when asked, in `group` when one is given. Returns the new row's ID.
    std::int64_t copyListIntoScope(const UserRow& source, std::string_view program, std::string_view scope,
                                   const std::optional<std::string>& group, bool mark);
    // Makes the LISTs named visible in a program and scope, in one transaction: a global LIST
    // missing there is copied in, and with a group given each LIST joins that group. A LIST that
    // exists nowhere is left alone.
    void showListsInScope(std::string_view program, std::string_view scope, const std::vector<std::string>& listNames,
                          const std::optional<std::string>& group);
    void deleteUser(std::int64_t id);
    // After a record changed size in the file: every row standing behind position (global
    // LIST rows included, per-program LIST copies not) moves by delta, and so does the LIST
    // section when it lies behind. One statement each.
    void shiftPositionsAfter(std::int32_t position, std::int32_t delta);
    // After several records changed size in one write: each row moves by the sum of the deltas
    // of the changes in front of it (positions of the old file), as one shiftPositionsAfter per
    // change would move it. One pass over the rows behind the first change; each row that moves
    // is updated by its key.
    struct PositionShift {
        std::int32_t position = 0;
        std::int32_t delta = 0;
    };
    void shiftPositions(std::vector<PositionShift> shifts);
    void setScript(std::int64_t id, std::string_view script);
    void setIdentity(std::int64_t id, std::string_view name, std::string_view description, std::string_view owner,
                     std::int32_t lists);
    void setType(std::int64_t id, std::string_view type);
    void moveBody(std::int64_t id, std::int32_t delta);
    void setFlag(std::int64_t id, bool value);
    void setNoGlobals(std::int64_t id, bool value);
    std::optional<UserRow> userById(std::int64_t id);
    std::optional<UserRow> findUser(std::string_view menu, std::string_view state, std::string_view name);
    // The LIST of this name in a program and scope (never a command of that name).
    std::optional<UserRow> findList(std::string_view menu, std::string_view state, std::string_view name);
    std::optional<UserRow> lastUser(); // the most recently added row
    // The IDs of the LIST rows of exactly this name (the global LIST and its copies in scopes).
    std::vector<std::int64_t> listRowsNamed(std::string_view name);
    // The names of the global LISTs.
    std::vector<std::string> globalListNames();
    // The number of commands (not LISTs) whose record lists states.
    std::int64_t countCommandsWithStates();
    // Rows not read from the file (offset 0), which a parse keeps.
    std::vector<RowHeadWithFile> rowsNotFromFile();
    // The names of every LIST row, global LISTs and their copies in scopes, in the order added.
    std::vector<std::string> allListNames();
    // All rows in ascending ID order; the callback returns false to stop.
    void forEachUser(const std::function<bool(const UserRow&)>& visit);
    // The rows of a program, a scope and a group, each compared without regard to ASCII case and
    // left out when not given, in ascending ID order; only those rows are read whole.
    struct RowFilter {
        std::optional<std::string> program, scope, group;
    };
    void forEachUser(const RowFilter& filter, const std::function<bool(const UserRow&)>& visit);
    std::vector<UserRow> allUsers();
    // A place in the order of the index name: global rows first, then by program, scope, name
    // (without regard to ASCII case) and ID.
    struct NameKey {
        std::string globalsort, menu, state, name;
        std::int64_t ID = 0;
    };
    // What a search looks at of a row: where it is, what the filters need, and one text.
    struct FindRow {
        std::int64_t ID = 0;
        std::string globalsort, menu, state, name, Type, owner;
        std::string_view text; // valid during the visit only
    };
    enum class FindColumn { State, Name, Script };
    // The rows after the key (before it, backward) in the order of the index name, or from the
    // first (last) row without one, until visit returns false.
    void walkInNameOrder(const std::optional<NameKey>& from, bool backward, FindColumn column,
                         const std::function<bool(const FindRow&)>& visit);
    // Every row in the order it was added, which is the order of the file's pages: the way
    // through the bodies that reads each page once.
    void walkInFileOrder(FindColumn column, const std::function<bool(const FindRow&)>& visit);
    std::int64_t userCount();
    // What the View and Group filter and the lists look at in a row, read where the store holds
    // it: the texts are valid only while the row is visited.
    struct RowView {
        std::int64_t ID = 0;
        std::string_view name, Type, owner;
    };
    // What the window's lists and filter need of a row, without its body.
    struct RowHead {
        std::int64_t ID = 0;
        std::string menu, state, name, Type, owner;
        operator RowView() const { return {ID, name, Type, owner}; }
    };
    // The order a scope's rows are visited in: by name (the index name), or as they were added.
    enum class ScopeOrder { ByName, Added };
    // Which rows of a scope are visited: all, or what the Commands list reads, its commands and
    // only those of its LISTs whose names refer to LISTs.
    enum class ScopeRows { All, CommandsAndReferringLists };
    // The rows of one program and scope, handed to visit one by one without a copy and without
    // their bodies, until it returns false: what a list of thousands of names needs of most rows
    // is a look. The number of rows visited.
    std::size_t visitRowsOfScope(std::string_view program, std::string_view scope,
                                 const std::function<bool(const RowView&)>& visit,
                                 ScopeOrder order = ScopeOrder::ByName, ScopeRows rows = ScopeRows::All);
    bool hasScope(std::string_view program, std::string_view scope); // some row has this menu and state
    // The LIST rows of one program and scope by name, without reading the scope's commands.
    std::vector<RowHead> listsOfScope(std::string_view program, std::string_view scope);
    // Every row in the order it was added.
    std::vector<RowHead> rowHeads();
    bool hasProgram(std::string_view program); // some row has this menu
    // The first row of a group in the order of the index name.
    std::optional<RowHead> firstRowOfGroup(std::string_view group);
    // The rows that stand for records of the file (offset not 0): offset, ID, flag, name and
    // Type, in file order; bodies are not loaded.
    struct RowMark {
        std::int32_t offset;
        std::int64_t ID;
        bool flag;
        std::string name;
        std::string Type;
    };
    std::vector<RowMark> rowMarks();
    // The same of every row, those that stand for no record (offset 0) included.
    std::vector<RowMark> allRowMarks();
    // The names of marked rows (not LISTs) whose scope and name some unmarked command of the
    // program has already, in the order they were added.
    std::vector<std::string> markedNamesTakenIn(std::string_view program);

    // Seeks of the start-up's choice of program and scope: (program, scope) pairs.
    using ProgramScope = std::pair<std::string, std::string>;
    // The first row whose scope sorts at or after state (index state).
    std::optional<ProgramScope> firstScopeFrom(std::string_view state);
    // Every distinct scope with its program, in the order of index state.
    std::vector<ProgramScope> scopesInStateOrder();
    // The program and scope of the first row added.
    std::optional<ProgramScope> placeOfFirstRow();
    // The first row at or after (program, scope) in the order of index menu.
    std::optional<ProgramScope> firstFromProgram(std::string_view program, std::string_view scope);
    // Rebuilds the database file without its free pages.
    void vacuum();

    // Table states.
    std::optional<std::int64_t> findState(std::string_view appname, std::string_view statename);
    std::int64_t addState(std::string_view appname, std::string_view statename);
    std::optional<std::string> stateName(std::int64_t id);

    // The parameters row.
    Parameters parameters();
    void setParameters(const Parameters& p);
    void setMycmdstime(std::optional<std::int64_t> stamp);
    void setOffsetLists(std::int32_t position);
    void setLastdvcID(std::int32_t id);

    sqlite3* handle() const { return db_; } // for the rare statement that has no name yet
    // Where the store's writing stands: the rows this connection has added, changed or deleted
    // since it was opened, and SQLite's count of what other connections committed. Equal marks
    // at two moments mean that the store was written by nobody in between.
    struct WriteMark {
        std::int64_t rowsWritten = 0;
        std::int64_t othersCommits = 0;
        bool operator==(const WriteMark&) const = default;
    };
    WriteMark writeMark();
    // A transaction of this connection is open: what it wrote is not yet seen by others.
    bool inTransaction() const { return transactionDepth_ != 0; }

    // Copies the write-ahead log back into the database file, so that the next write starts the
    // log afresh; for idle moments (a timer of the window, the end of a command-line run).
    // Nothing happens inside a transaction, nor while another connection reads the store.
    void checkpoint();

    // A full parse replaces most rows: the indexes are dropped before the rows are added and
    // built again afterwards, and the database is written without waiting for the disk (the
    // store is a copy of the command file and is made again from it after a crash). Within
    // a transaction; ends with it.
    class Rebuild {
    public:
        explicit Rebuild(CommandStore& store);
        ~Rebuild();          // the indexes made again, whatever happened; failures traced
        void finish();       // the indexes made again; throws StoreError
        Rebuild(const Rebuild&) = delete;
        Rebuild& operator=(const Rebuild&) = delete;

    private:
        CommandStore& store_;
        bool done_ = false;
    };

private:
    CommandStore(sqlite3* db, std::filesystem::path path);
    void exec(const char* sql);
    // A statement kept prepared for the life of the store, keyed by its text; reset after use
    // by the caller (see Use in Store.cpp).
    sqlite3_stmt* cached(const std::string& sql);
    // Runs a cached statement that returns no rows; returns the number of rows it changed.
    std::int64_t run(const std::string& sql, const std::function<void(StoreBinder&)>& bind = {});
    std::vector<std::string> textColumn(const std::string& sql, const std::function<void(StoreBinder&)>& bind = {});
    // The distinct values of an indexed column in ascending order, one seek each instead of a
    // pass over every row: `first` gives the smallest, `after` the smallest above the value
    // bound last (after the values of bind).
    std::vector<std::string> distinctBySeeks(const std::string& first, const std::string& after,
                                             const std::function<void(StoreBinder&)>& bind = {});
    void finalizeAll();
    void checkpointIfLarge();
    // Tells the trace of a failure that cannot be thrown.
    void note(std::string_view what, int rc) noexcept;

    sqlite3* db_ = nullptr;
    std::filesystem::path path_;
    std::unordered_map<std::string, sqlite3_stmt*> statements_;
    int transactionDepth_ = 0;
    Trace* trace_ = nullptr;
};

} // namespace vocabrella
