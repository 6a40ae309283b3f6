// What a command file holds, read afresh into a scratch store, and assertions over it: that a
// file holds exactly the rows a test expects, field by field, and that the store a change left
// behind agrees with a fresh reading of the file.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <initializer_list>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace vocabrella {
class CommandStore;
struct UserRow;
} // namespace vocabrella

namespace vocabrella::testsupport {

inline constexpr std::string_view kGlobalCommands = "Global Commands";
inline constexpr std::string_view kApplicationSpecific = "Application-specific";

// One record of the file: a command, or a LIST (program and scope "Global Commands", type "L").
struct FileRow {
    std::string program, scope, name;
    std::string type;  // the store's Type: "A", "K", "S", "T", "L", ...
    std::string body;  // a LIST's body is its items, each followed by CR LF
    std::string description, group;
    std::vector<std::string> items;  // a LIST's items (empty for a command)
    std::string scopeCode;           // "G", "A" or "W"
    std::int32_t lists = 0;          // the LIST references a command's name declares
    std::vector<std::string> states; // the window states of a window command, by name
    std::int32_t graphicSize = 0;
    bool encrypted = false;
    std::int32_t pdescriptLength = 0, companyLength = 0, classLength = 0;
    // Where the record stands (1-based); compared only between a store and the file.
    std::int32_t offset = 0, offsetBody = 0;

    bool isList() const { return type == "L"; }
    // "program / scope / name", for messages.
    std::string key() const;
};

// The rows of one command file in file order, and what its parameters say of it.
struct FileState {
    std::vector<FileRow> rows;
    std::int32_t offsetLists = 0;

    // Reads the file as a freshly started program would, into a store of its own; a file that
    // does not read fails the current test and gives what was read before the fault.
    static FileState read(const std::filesystem::path& file);
    // The rows of a live store that stand for records of its file (read from it, not copies).
    static FileState fromStore(CommandStore& store);

    // The row of that name (without regard to case, as the store compares), or null.
    const FileRow* find(std::string_view program, std::string_view scope, std::string_view name) const;
    FileRow* find(std::string_view program, std::string_view scope, std::string_view name);
    const FileRow* findGlobal(std::string_view name) const { return find(kGlobalCommands, kGlobalCommands, name); }
    FileRow* findGlobal(std::string_view name) { return find(kGlobalCommands, kGlobalCommands, name); }
    // The row, which must be there (the test fails otherwise and gets an empty stand-in).
    FileRow& at(std::string_view program, std::string_view scope, std::string_view name);
    FileRow& global(std::string_view name) { return at(kGlobalCommands, kGlobalCommands, name); }
    // Takes a row out; false when it was not there.
    bool remove(std::string_view program, std::string_view scope, std::string_view name);

    std::vector<const FileRow*> commands() const;
    std::vector<const FileRow*> lists() const;
};

// A row as a test states it: the key, and only the fields the test cares about.
struct ExpectedRow {
    std::string program{kGlobalCommands}, scope{kGlobalCommands}, name;
    std::optional<std::string> type, body, description, group;
    std::optional<std::vector<std::string>> items;
    std::optional<std::int32_t> lists;

    ExpectedRow& in(std::string_view program, std::string_view scope);
    ExpectedRow& ofType(std::string_view t);
    ExpectedRow& withBody(std::string_view b);
    ExpectedRow& withDescription(std::string_view d);
    ExpectedRow& inGroup(std::string_view g);
    ExpectedRow& withListCount(std::int32_t n);
};

// A command of the global commands (or of the place given with in()).
ExpectedRow command(std::string_view name);
// A global LIST and its items.
ExpectedRow list(std::string_view name, std::initializer_list<std::string_view> items);

// The fields in which actual differs from expected, one line each ("name: description is
// "a", expected "b""), or empty. Positions are left out: they move with every change.
std::string differences(const FileRow& expected, const FileRow& actual);
std::string differences(const ExpectedRow& expected, const FileRow& actual);

// The file holds exactly these rows (no more, none missing, none twice), each with the fields
// stated.
::testing::AssertionResult FileHolds(const std::filesystem::path& file, const std::vector<ExpectedRow>& expected);
// The file holds exactly the rows of the state, every field equal except positions: the way
// to say "the file as before, but for this".
::testing::AssertionResult FileHolds(const std::filesystem::path& file, const FileState& expected);
// The live store's rows of the file agree with a fresh reading of it, positions and the LIST
// section's position included.
::testing::AssertionResult StoreAgreesWithFile(CommandStore& store, const std::filesystem::path& file);

} // namespace vocabrella::testsupport
