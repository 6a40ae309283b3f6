// The command list and the spreadsheet: their lines, the spreadsheet read back by a strict
// reader, the operation that writes them and the command line's report verb.

#include "CliRun.h"
#include "TestHome.h"

#include "CommandFileBuilder.h"
#include "OpenCommandFile.h"

#include "cmdfile/Codec.h"
#include "ops/Texts.h"
#include "ops/WriteReport.h"
#include "ops/Workspace.h"
#include "shell/Session.h"
#include "writer/CommandListReport.h"
#include "writer/SpreadsheetReport.h"

#include <nlohmann/json.hpp>

#include <array>
#include <cstdio>
#include <stdexcept>

using namespace vocabrella;
using namespace vocabrella::testsupport;
namespace fs = std::filesystem;
namespace optexts = vocabrella::ops::texts;
using ops::BatchScope;
using ops::BatchSelection;
using ops::Outcome;

namespace {

// RFC 4180 without leniency: every record ends in CR LF; a field is either bare (no quote,
// comma, CR or LF in it) or enclosed in quotes with each quote inside doubled. Anything else
// (a lone quote, text after a closing quote, a bare line feed, an open quote at the end)
// throws.
std::vector<std::vector<std::string>> parseCsvStrictly(std::string_view text) {
    std::vector<std::vector<std::string>> records;
    std::vector<std::string> record;
    std::size_t i = 0;
    const auto fail = [&](const char* what) {
        throw std::runtime_error(std::string(what) + " at byte " + std::to_string(i));
    };
    while (i < text.size()) {
        std::string field;
        if (text[i] == '"') {
            ++i;
            for (;;) {
                if (i >= text.size()) fail("unterminated quoted field");
                if (text[i] == '"') {
                    if (i + 1 < text.size() && text[i + 1] == '"') {
                        field += '"';
                        i += 2;
                        continue;
                    }
                    ++i;
                    break;
                }
                field += text[i++];
            }
        } else {
            while (i < text.size() && text[i] != ',' && text[i] != '\r' && text[i] != '\n') {
                if (text[i] == '"') fail("quote inside a bare field");
                field += text[i++];
            }
        }
        record.push_back(std::move(field));
        if (i < text.size() && text[i] == ',') {
            ++i;
            continue;
        }
        if (text.substr(i, 2) != "\r\n") fail("a field not followed by a comma or CR LF");
        i += 2;
        records.push_back(std::move(record));
        record.clear();
    }
    if (!record.empty()) fail("the last record has no CR LF");
    return records;
}

UserRow row(std::string menu, std::string state, std::string name, std::string type = "K", std::string script = {},
            std::string owner = {}, std::string description = {}) {
    UserRow r;
    r.menu = std::move(menu);
    r.state = std::move(state);
    r.name = std::move(name);
    r.Type = std::move(type);
    r.script = std::move(script);
    r.owner = std::move(owner);
    r.description = std::move(description);
    r.globalsort = r.menu == "Global Commands" ? "G" : "N";
    return r;
}

// In this process; what it printed and what it told, together.
CliRun runCliJoined(const std::string& arguments) {
    auto run = runCli(arguments);
    run.out += run.err;
    return run;
}

} // namespace

TEST(Spreadsheet, EveryFieldIsQuotedAndReadsBackWhole) {
    // Quotes, commas and line breaks in any field: each comes back as it was, except the body,
    // of which only the first line is written.
    std::vector<UserRow> rows{
        row("Global Commands", "Global Commands", "say \"hi\", then", "S", "SendKeys \"a,b\"\r\nSendKeys \"c\"",
            "my \"best\" group", "press \"a\", twice\r\nthen stop"),
        row("notepad", "Application-specific", "plain", "P", "no line break", "", ""),
        row("Global Commands", "Global Commands", "empty", "K"),
    };
    const auto records = parseCsvStrictly(SpreadsheetReport().text(rows));
    ASSERT_EQ(records.size(), 3u);
    for (const auto& r : records) EXPECT_EQ(r.size(), 7u);
    EXPECT_EQ(records[0], (std::vector<std::string>{"Global Commands", "Global Commands", "S", "say \"hi\", then",
                                                    "SendKeys \"a,b\"", "my \"best\" group",
                                                    "press \"a\", twice\r\nthen stop"}));
    EXPECT_EQ(records[1][4], "no line break");
    EXPECT_EQ(records[2][4], "");
    // Every field is enclosed, empty ones too: a spreadsheet never takes them for numbers.
    EXPECT_EQ(SpreadsheetReport().text({rows[2]}),
              "\"Global Commands\",\"Global Commands\",\"K\",\"empty\",\"\",\"\",\"\"\r\n");
}

TEST(Spreadsheet, FieldsASpreadsheetWouldWorkOutAsFormulasStayText) {
    std::vector<UserRow> rows{
        row("Global Commands", "Global Commands", "=HYPERLINK(\"http://x\",\"y\")", "K", "+1+2\r\nsecond", "@SUM(A1)",
            "-5"),
        row("Global Commands", "Global Commands", "\tcell", "K", "\r=1", "a=b", "x-y"),
    };
    const auto records = parseCsvStrictly(SpreadsheetReport().text(rows));
    ASSERT_EQ(records.size(), 2u);
    EXPECT_EQ(records[0], (std::vector<std::string>{"Global Commands", "Global Commands", "K",
                                                    "'=HYPERLINK(\"http://x\",\"y\")", "'+1+2", "'@SUM(A1)", "'-5"}));
    EXPECT_EQ(records[1], (std::vector<std::string>{"Global Commands", "Global Commands", "K", "'\tcell", "'\r=1", "a=b",
                                                    "x-y"}));
}

TEST(CommandList, TheHeaderIsRepeatedWheneverProgramOrScopeChanges) {
    std::vector<UserRow> rows{
        row("notepad", "Application-specific", "save"),
        row("Global Commands", "Global Commands", "zoom"),
        row("notepad", "Untitled - Notepad", "close"),
        row("Global Commands", "Global Commands", "alpha"),
        row("notepad", "Application-specific", "open"),
        row("winword", "Application-specific", "bold"),
    };
    sortInNameOrder(rows);
    EXPECT_EQ(CommandListReport().text(rows), "\r\nGlobal Commands Global Commands\r\n\r\nalpha\r\nzoom\r\n"
                                              "\r\nnotepad Application-specific\r\n\r\nopen\r\nsave\r\n"
                                              "\r\nnotepad Untitled - Notepad\r\n\r\nclose\r\n"
                                              "\r\nwinword Application-specific\r\n\r\nbold\r\n");
    EXPECT_EQ(CommandListReport().text({}), "");
}

namespace {

CommandFileBuilder reportFile() {
    CommandFileBuilder b;
    const auto add = [&](std::string name, std::uint8_t kind, std::string text, std::string group,
                         std::string module = {}, std::string description = {}) {
        BuiltCommand c;
        c.name = std::move(name);
        c.kind = kind;
        c.text = std::move(text);
        c.group = std::move(group);
        c.description = std::move(description);
        if (!module.empty()) {
            c.scopeByte = kScopeApplication;
            c.module = std::move(module);
        }
        b.add(c);
    };
    add("zebra", kKindKeys, "{Ctrl+z}", "Work", {}, "the \"last\" one, surely");
    // The builder writes the file's own bytes: Windows-1252.
    add("caf\xe9 order", kKindScript, "SendKeys \"caf\xe9\"\r\nSendKeys \"!\"", "Play");
    add("plain words", kKindText, "words", "Play");
    add("new page", kKindKeys, "{Ctrl+n}", "Work", "notepad");
    b.add(BuiltList("color", {"red", "blue"}));
    return b;
}

class ReportOperation : public OpenCommandFile<> {
protected:
    void SetUp() override {
        reportFile().writeFile(file());
        session.emplace(dir.path() / "home", prompter, clock);
        ASSERT_TRUE(session->open(file()).success);
        workspace.emplace(*session, clock);
    }
    Outcome write(BatchSelection s, const fs::path& target, const Report& report) {
        return ops::WriteReport(*workspace, std::move(s), target, report).run();
    }
};

} // namespace

TEST_F(ReportOperation, WritesTheChosenRowsInWindows1252AndLeavesNoMark) {
    const auto out = dir.path() / "global.csv";
    ASSERT_TRUE(write({}, out, SpreadsheetReport()).isDone());
    const auto bytes = readText(out);
    EXPECT_NE(bytes.find("caf\xe9 order"), std::string::npos) << "the file is in Windows-1252";
    const auto records = parseCsvStrictly(codec::cp1252ToUtf8(bytes));
    ASSERT_EQ(records.size(), 5u) << "four commands and the LIST";
    // The order of the index name: the global rows first, then by program, scope and name.
    EXPECT_EQ(records[0][3], "caf\xc3\xa9 order");
    EXPECT_EQ(records[0][4], "SendKeys \"caf\xc3\xa9\"");
    EXPECT_EQ(records[1][3], "color");
    EXPECT_EQ(records[1][2], "L");
    EXPECT_EQ(records[3][6], "the \"last\" one, surely");
    EXPECT_EQ(records[4][0], "NOTEPAD");
    EXPECT_EQ(flagged(), 0);

    // The View filter and the Group narrow it; the command list of one scope.
    BatchSelection work;
    work.scope = BatchScope::CurrentGroup;
    work.group = "Work";
    work.isRowShown = [](const CommandStore::RowHead& r) { return r.Type == "K"; };
    const auto list = dir.path() / "Work.txt";
    ASSERT_TRUE(write(work, list, CommandListReport()).isDone());
    EXPECT_EQ(readText(list), "\r\nGlobal Commands Global Commands\r\n\r\nzebra\r\n"
                              "\r\nNOTEPAD Application-specific\r\n\r\nnew page\r\n");
    EXPECT_EQ(flagged(), 0);
}

TEST_F(ReportOperation, RefusalsAreToldAndWriteNothing) {
    const auto out = dir.path() / "selected.csv";
    BatchSelection pick;
    pick.scope = BatchScope::PickAndChoose;
    EXPECT_EQ(write(pick, out, SpreadsheetReport()).kind, Outcome::Kind::Refused);
    EXPECT_EQ(prompter.last().text, optexts::NothingSelectedToExport);
    EXPECT_EQ(prompter.last().title, "Global Commands");

    BatchSelection none;
    none.isRowShown = [](const CommandStore::RowHead&) { return false; };
    EXPECT_EQ(write(none, out, SpreadsheetReport()).kind, Outcome::Kind::Refused);
    EXPECT_EQ(prompter.last().text, optexts::NoMacros);
    EXPECT_EQ(prompter.last().title, optexts::NoMacrosTitle);
    EXPECT_FALSE(fs::exists(out));

    EXPECT_EQ(write({}, dir.path() / "nowhere" / "x.csv", SpreadsheetReport()).kind, Outcome::Kind::Refused);
    EXPECT_EQ(prompter.last().text, "Folder does not exist");
    EXPECT_EQ(write({}, file(), SpreadsheetReport()).kind, Outcome::Kind::Refused) << "never over the open file";

    std::ofstream(out) << "kept";
    EXPECT_EQ(write({}, out, SpreadsheetReport()).kind, Outcome::Kind::Declined);
    EXPECT_EQ(prompter.last().text, optexts::FileExistsOverwrite);
    EXPECT_EQ(readText(out), "kept");
    prompter.answers = {"ok"};
    EXPECT_TRUE(write({}, out, SpreadsheetReport()).isDone());
    EXPECT_NE(readText(out), "kept");
    EXPECT_EQ(flagged(), 0);
}

TEST_F(ReportOperation, TheExportFolderIsTheLastOneWrittenTo) {
    EXPECT_EQ(ops::exportFolder(*workspace), session->home());
    fs::create_directories(dir.path() / "reports");
    ops::rememberExportFolder(*workspace, dir.path() / "reports" / "a.csv");
    EXPECT_EQ(ops::exportFolder(*workspace), dir.path() / "reports");
}

// Every sample, reported whole to a spreadsheet by the command line: one record per command and
// LIST, seven fields, the descriptions whole, as the store holds them.
TEST(ReportVerb, EverySampleToASpreadsheetReadsBackStrictly) {
    for (const char* name : {"clear-categories.dat", "move-dock-window.dat", "reply.dat"}) {
        SCOPED_TRACE(name);
        TempDir dir;
        const auto out = dir.path() / "all.csv";
        const auto run = runCliJoined("report " + quoted(sample(name)) + " --format csv --everything -o " + quoted(out));
        ASSERT_EQ(run.status, 0) << run.out;
        const auto rows = nlohmann::json::parse(runCliJoined("list --json " + quoted(sample(name))).out);
        const auto records = parseCsvStrictly(codec::cp1252ToUtf8(readText(out)));
        ASSERT_EQ(records.size(), rows.size()) << "every command and LIST";
        for (const auto& r : records) {
            ASSERT_EQ(r.size(), 7u);
            const nlohmann::json* match = nullptr;
            for (const auto& j : rows)
                if (j["menu"] == r[0] && j["state"] == r[1] && j["name"] == r[3]) match = &j;
            ASSERT_TRUE(match) << r[3];
            EXPECT_EQ((*match)["Type"], r[2]);
            EXPECT_EQ((*match)["owner"], r[5]);
            EXPECT_EQ((*match)["description"], r[6]);
            const std::string script = (*match)["script"];
            EXPECT_EQ(script.substr(0, script.find("\r\n")), r[4]);
        }
        EXPECT_EQ(run.out, "Wrote " + std::to_string(records.size()) + " commands and LISTs to " + out.string() + "\n");

        const auto txt = dir.path() / "all.txt";
        ASSERT_EQ(runCliJoined("report " + quoted(sample(name)) + " --format txt -o " + quoted(txt)).status, 0);
        EXPECT_NE(readText(txt).find(std::string(rows[0]["name"]) + "\r\n"), std::string::npos);
    }
    TempDir dir;
    EXPECT_NE(runCliJoined("report " + quoted(sample("reply.dat")) + " --format html -o " + quoted(dir.path() / "x")).status, 0);
    const auto none = runCliJoined("report " + quoted(sample("reply.dat")) + " --format txt --program nothing -o " +
                          quoted(dir.path() / "x.txt"));
    EXPECT_EQ(none.status, 1);
    EXPECT_FALSE(fs::exists(dir.path() / "x.txt"));
}
