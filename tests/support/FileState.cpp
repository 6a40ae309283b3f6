#include "FileState.h"

#include "ScriptedPrompter.h"

#include "cmdfile/System.h"
#include "cmdfile/Clock.h"
#include "cmdfile/Errors.h"
#include "cmdfile/ScratchFolder.h"
#include "cmdfile/Store.h"
#include "shell/Session.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <sstream>
#include <utility>

namespace vocabrella::testsupport {
namespace fs = std::filesystem;

namespace {

// Time for the scratch session: nothing in a fresh reading waits, and nothing must.
class StillClock final : public Clock {
public:
    std::chrono::system_clock::time_point now() const override { return now_; }
    void sleep(std::chrono::milliseconds d) override { now_ += d; }

private:
    std::chrono::system_clock::time_point now_ = std::chrono::system_clock::now();
};

bool sameIgnoringCase(std::string_view a, std::string_view b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return std::tolower(static_cast<unsigned char>(x)) == std::tolower(static_cast<unsigned char>(y));
           });
}

std::vector<std::string> splitItems(std::string_view body) {
    std::vector<std::string> items;
    while (!body.empty()) {
        const auto end = body.find("\r\n");
        items.emplace_back(body.substr(0, end));
        if (end == std::string_view::npos) break;
        body.remove_prefix(end + 2);
    }
    return items;
}

// C-like quoting, so that line ends and stray bytes show in a message.
std::string shown(std::string_view text) {
    std::string out = "\"";
    for (const char c : text) {
        switch (c) {
        case '\r': out += "\\r"; break;
        case '\n': out += "\\n"; break;
        case '\t': out += "\\t"; break;
        case '"': out += "\\\""; break;
        default:
            if (static_cast<unsigned char>(c) < 32) {
                char buffer[8];
                std::snprintf(buffer, sizeof buffer, "\\x%02x", static_cast<unsigned char>(c));
                out += buffer;
            } else {
                out.push_back(c);
            }
        }
    }
    return out + "\"";
}

std::string shown(const std::vector<std::string>& items) {
    std::string out = "{";
    for (std::size_t i = 0; i < items.size(); ++i) out += (i ? ", " : "") + shown(items[i]);
    return out + "}";
}

std::string shown(std::int64_t n) { return std::to_string(n); }
std::string shown(bool b) { return b ? "true" : "false"; }

// Collects "key: field is X, expected Y" lines.
class Report {
public:
    explicit Report(std::string key) : key_(std::move(key)) {}
    template <typename T>
    void field(const char* name, const T& expected, const T& actual) {
        if (expected == actual) return;
        out_ << key_ << ": " << name << " is " << shown(actual) << ", expected " << shown(expected) << "\n";
    }
    std::string text() const { return out_.str(); }

private:
    std::string key_;
    std::ostringstream out_;
};

FileRow rowOf(CommandStore& store, const UserRow& r) {
    FileRow row;
    row.program = r.menu;
    row.scope = r.state;
    row.name = r.name;
    row.type = r.Type;
    row.body = r.script;
    row.description = r.description;
    row.group = r.owner;
    if (r.Type == "L") row.items = splitItems(r.script);
    row.scopeCode = r.scope;
    row.lists = r.lists;
    std::string_view ids = r.states;
    while (!ids.empty()) {
        const auto comma = ids.find(',');
        const auto id = std::strtoll(std::string(ids.substr(0, comma)).c_str(), nullptr, 10);
        row.states.push_back(store.stateName(id).value_or("#" + std::to_string(id)));
        if (comma == std::string_view::npos) break;
        ids.remove_prefix(comma + 1);
    }
    row.graphicSize = r.graphicsize;
    row.encrypted = r.encrypted;
    row.pdescriptLength = r.PDescript;
    row.companyLength = r.CompanyName;
    row.classLength = r.ClassName;
    row.offset = r.offset;
    row.offsetBody = r.offsetbody;
    return row;
}

bool sameKey(const FileRow& row, std::string_view program, std::string_view scope, std::string_view name) {
    return sameIgnoringCase(row.program, program) && sameIgnoringCase(row.scope, scope) &&
           sameIgnoringCase(row.name, name);
}

std::string listing(const FileState& state) {
    std::string out;
    for (const auto& row : state.rows) out += "  " + row.key() + " (" + row.type + ")\n";
    return out;
}

// Pairs the rows of two states by key, in order, and reports rows found on one side only.
template <typename Expected, typename Compare>
std::string compareRows(const std::vector<Expected>& expected, const FileState& actual, Compare compare) {
    std::string out;
    std::vector<bool> used(actual.rows.size(), false);
    for (const auto& want : expected) {
        bool matched = false;
        for (std::size_t i = 0; i < actual.rows.size(); ++i) {
            if (used[i] || !sameKey(actual.rows[i], want.program, want.scope, want.name)) continue;
            used[i] = true;
            matched = true;
            out += compare(want, actual.rows[i]);
            break;
        }
        if (!matched) out += want.program + " / " + want.scope + " / " + want.name + ": missing from the file\n";
    }
    for (std::size_t i = 0; i < actual.rows.size(); ++i)
        if (!used[i]) out += actual.rows[i].key() + ": in the file but not expected (type " + actual.rows[i].type + ")\n";
    return out;
}

} // namespace

std::string FileRow::key() const { return program + " / " + scope + " / " + name; }

FileState FileState::read(const fs::path& file) {
    ScratchFolder scratch("filestate");
    ScriptedPrompter quiet;
    StillClock clock;
    FileState state;
    try {
        Session fresh(scratch.path() / "home", quiet, clock);
        const auto outcome = fresh.open(file);
        if (!outcome.success) ADD_FAILURE() << file << " does not read: " << outcome.problem;
        state = fromStore(fresh.store());
    } catch (const EndProgram&) {
        ADD_FAILURE() << file << ": reading it ended the program";
    }
    return state;
}

FileState FileState::fromStore(CommandStore& store) {
    FileState state;
    std::vector<UserRow> rows;
    store.forEachUser([&](const UserRow& r) {
        if (r.offset != 0 && !r.listcopy) rows.push_back(r);
        return true;
    });
    std::stable_sort(rows.begin(), rows.end(), [](const UserRow& a, const UserRow& b) { return a.offset < b.offset; });
    for (const auto& r : rows) state.rows.push_back(rowOf(store, r));
    state.offsetLists = store.parameters().OffsetLists;
    return state;
}

const FileRow* FileState::find(std::string_view program, std::string_view scope, std::string_view name) const {
    for (const auto& row : rows)
        if (sameKey(row, program, scope, name)) return &row;
    return nullptr;
}

FileRow* FileState::find(std::string_view program, std::string_view scope, std::string_view name) {
    return const_cast<FileRow*>(std::as_const(*this).find(program, scope, name));
}

FileRow& FileState::at(std::string_view program, std::string_view scope, std::string_view name) {
    if (auto* row = find(program, scope, name)) return *row;
    ADD_FAILURE() << program << " / " << scope << " / " << name << " is not in the file; it holds:\n" << listing(*this);
    static FileRow standIn;
    standIn = FileRow{};
    return standIn;
}

bool FileState::remove(std::string_view program, std::string_view scope, std::string_view name) {
    const auto it = std::find_if(rows.begin(), rows.end(),
                                 [&](const FileRow& row) { return sameKey(row, program, scope, name); });
    if (it == rows.end()) return false;
    rows.erase(it);
    return true;
}

std::vector<const FileRow*> FileState::commands() const {
    std::vector<const FileRow*> out;
    for (const auto& row : rows)
        if (!row.isList()) out.push_back(&row);
    return out;
}

std::vector<const FileRow*> FileState::lists() const {
    std::vector<const FileRow*> out;
    for (const auto& row : rows)
        if (row.isList()) out.push_back(&row);
    return out;
}

ExpectedRow& ExpectedRow::in(std::string_view p, std::string_view s) {
    program = p;
    scope = s;
    return *this;
}
ExpectedRow& ExpectedRow::ofType(std::string_view t) {
    type = std::string(t);
    return *this;
}
ExpectedRow& ExpectedRow::withBody(std::string_view b) {
    body = std::string(b);
    return *this;
}
ExpectedRow& ExpectedRow::withDescription(std::string_view d) {
    description = std::string(d);
    return *this;
}
ExpectedRow& ExpectedRow::inGroup(std::string_view g) {
    group = std::string(g);
    return *this;
}
ExpectedRow& ExpectedRow::withListCount(std::int32_t n) {
    lists = n;
    return *this;
}

ExpectedRow command(std::string_view name) {
    ExpectedRow row;
    row.name = name;
    return row;
}

ExpectedRow list(std::string_view name, std::initializer_list<std::string_view> items) {
    ExpectedRow row;
    row.name = name;
    row.type = "L";
    row.items = std::vector<std::string>(items.begin(), items.end());
    return row;
}

std::string differences(const FileRow& expected, const FileRow& actual) {
    Report r(actual.key());
    r.field("name", expected.name, actual.name); // the letter case, when the key matched without it
    r.field("program", expected.program, actual.program);
    r.field("scope", expected.scope, actual.scope);
    r.field("type", expected.type, actual.type);
    r.field("body", expected.body, actual.body);
    r.field("description", expected.description, actual.description);
    r.field("group", expected.group, actual.group);
    r.field("items", expected.items, actual.items);
    r.field("scope code", expected.scopeCode, actual.scopeCode);
    r.field("LIST references", std::int64_t{expected.lists}, std::int64_t{actual.lists});
    r.field("window states", expected.states, actual.states);
    r.field("graphic size", std::int64_t{expected.graphicSize}, std::int64_t{actual.graphicSize});
    r.field("encrypted", expected.encrypted, actual.encrypted);
    r.field("program description length", std::int64_t{expected.pdescriptLength}, std::int64_t{actual.pdescriptLength});
    r.field("company name length", std::int64_t{expected.companyLength}, std::int64_t{actual.companyLength});
    r.field("window class length", std::int64_t{expected.classLength}, std::int64_t{actual.classLength});
    return r.text();
}

std::string differences(const ExpectedRow& expected, const FileRow& actual) {
    Report r(actual.key());
    r.field("name", expected.name, actual.name);
    if (expected.type) r.field("type", *expected.type, actual.type);
    if (expected.body) r.field("body", *expected.body, actual.body);
    if (expected.description) r.field("description", *expected.description, actual.description);
    if (expected.group) r.field("group", *expected.group, actual.group);
    if (expected.items) r.field("items", *expected.items, actual.items);
    if (expected.lists) r.field("LIST references", std::int64_t{*expected.lists}, std::int64_t{actual.lists});
    return r.text();
}

::testing::AssertionResult FileHolds(const fs::path& file, const std::vector<ExpectedRow>& expected) {
    const auto actual = FileState::read(file);
    const auto out = compareRows(expected, actual, [](const ExpectedRow& e, const FileRow& a) { return differences(e, a); });
    if (out.empty()) return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << file.filename() << " differs:\n" << out;
}

::testing::AssertionResult FileHolds(const fs::path& file, const FileState& expected) {
    const auto actual = FileState::read(file);
    const auto out = compareRows(expected.rows, actual, [](const FileRow& e, const FileRow& a) { return differences(e, a); });
    if (out.empty()) return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << file.filename() << " differs:\n" << out;
}

::testing::AssertionResult StoreAgreesWithFile(CommandStore& store, const fs::path& file) {
    const auto live = FileState::fromStore(store);
    const auto fresh = FileState::read(file);
    std::string out;
    if (live.rows.size() != fresh.rows.size())
        out += "the store has " + std::to_string(live.rows.size()) + " rows of the file, a fresh reading " +
               std::to_string(fresh.rows.size()) + "\n";
    if (live.offsetLists != fresh.offsetLists)
        out += "the LIST section is at " + std::to_string(live.offsetLists) + " in the store, at " +
               std::to_string(fresh.offsetLists) + " in the file\n";
    // Both are in file order; rows are paired by position in the file, which every row has.
    for (std::size_t i = 0; i < std::min(live.rows.size(), fresh.rows.size()); ++i) {
        const auto& want = fresh.rows[i];
        const auto& have = live.rows[i];
        out += differences(want, have);
        Report r(have.key());
        r.field("position", std::int64_t{want.offset}, std::int64_t{have.offset});
        r.field("body position", std::int64_t{want.offsetBody}, std::int64_t{have.offsetBody});
        out += r.text();
    }
    if (out.empty()) return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << "the store disagrees with " << file.filename() << ":\n" << out;
}

} // namespace vocabrella::testsupport
