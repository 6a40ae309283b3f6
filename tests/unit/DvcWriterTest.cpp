#include "TestHome.h"

#include "CommandFileBuilder.h"

#include "cmdfile/Codec.h"
#include "cmdfile/DvcWriter.h"
#include "cmdfile/Errors.h"
#include "cmdfile/Texts.h"

using namespace vocabrella;
using namespace vocabrella::testsupport;

namespace {

UserRow row(std::string menu, std::string state, std::string name, std::string type, std::string script,
            bool singleline = false) {
    UserRow r;
    const bool global = menu == "Global Commands";
    r.menu = std::move(menu);
    r.state = std::move(state);
    r.name = std::move(name);
    r.Type = type;
    r.script = std::move(script);
    r.singleline = singleline;
    r.Global = global;
    r.scope = global ? "G" : "A";
    r.globalsort = global ? "G" : "N";
    r.listsort = type == "L" ? "L" : "C";
    r.flag = true;
    return r;
}

UserRow globalRow(std::string name, std::string type, std::string script, bool singleline = false) {
    return row("Global Commands", "Global Commands", std::move(name), std::move(type), std::move(script), singleline);
}

UserRow list(std::string name, std::string items) { return globalRow(std::move(name), "L", std::move(items)); }

std::string lines(const std::vector<std::string>& ls) {
    std::string s;
    for (const auto& l : ls) s += l + "\r\n";
    return s;
}

// A global block holding the given entry lines.
std::string globalBlock(const std::vector<std::string>& entry) {
    std::vector<std::string> all = {"MENU \"Global Commands\" {", "\tSTATE \"Global Commands\" GLOBAL {"};
    all.insert(all.end(), entry.begin(), entry.end());
    all.push_back("\t}");
    all.push_back("}");
    return lines(all);
}

class Dvc : public ::testing::Test {
protected:
    void SetUp() override { store.emplace(CommandStore::create(dir.path() / "global.mdb")); }

    std::string write(const std::vector<UserRow>& rows) {
        for (const auto& r : rows) store->insertUser(r);
        WriteDvc(*store, out());
        return codec::cp1252ToUtf8(readText(out()));
    }
    std::filesystem::path out() const { return dir.path() / "export.dvc"; }
    std::size_t flagged() {
        std::size_t n = 0;
        for (const auto& r : store->allUsers()) n += r.flag ? 1 : 0;
        return n;
    }
    // Files beside the export other than the store's own.
    std::vector<std::string> strayFiles() const {
        std::vector<std::string> names;
        for (const auto& e : std::filesystem::directory_iterator(dir.path())) {
            const auto name = e.path().filename().string();
            if (name.rfind("global.mdb", 0) != 0 && name != "export.dvc") names.push_back(name);
        }
        return names;
    }

    TempDir dir;
    std::optional<CommandStore> store;
};

} // namespace

TEST_F(Dvc, OneGlobalKeysCommandGivesSevenLines) {
    EXPECT_EQ(write({globalRow("copy", "K", "{Ctrl+c}", true)}),
              lines({"MENU \"Global Commands\" {", "\tSTATE \"Global Commands\" GLOBAL {", "\t\tCOMMAND \"copy\" {",
                     "\t\t\tKEYS \"{Ctrl+c}\"", "\t\t}", "\t}", "}"}));
}

TEST_F(Dvc, ProgramsStatesAndEntriesAreBlockedInOrder) {
    auto sleeping = row("WINWORD", "Asleep", "wake", "K", "w", true);
    sleeping.sleeping = true;
    auto noGlobals = row("WINWORD", "Document", "bold", "K", "{ctrl+b}", true);
    noGlobals.noglobals = true;
    auto italic = row("WINWORD", "Document", "italic", "K", "{ctrl+i}", true);
    italic.noglobals = true;
    // Inserted out of order: the program first, LISTs before commands.
    const std::string text = write({italic, noGlobals, sleeping, list("colors", "red\r\n"),
                                    globalRow("paste", "K", "{Ctrl+v}", true), globalRow("copy", "K", "{Ctrl+c}", true)});
    EXPECT_EQ(text, lines({
                        "MENU \"Global Commands\" {",
                        "\tSTATE \"Global Commands\" GLOBAL {",
                        "\t\tCOMMAND \"copy\" {",
                        "\t\t\tKEYS \"{Ctrl+c}\"",
                        "\t\t}",
                        "",
                        "\t\tCOMMAND \"paste\" {",
                        "\t\t\tKEYS \"{Ctrl+v}\"",
                        "\t\t}",
                        "",
                        "\t\tLIST \"colors\" {",
                        "\t\t\t\"red\"",
                        "\t\t}",
                        "\t}",
                        "}",
                        "",
                        "MENU \"WINWORD\" {",
                        "\tSTATE \"Asleep\" SLEEPING {",
                        "\t\tCOMMAND \"wake\" {",
                        "\t\t\tKEYS \"w\"",
                        "\t\t}",
                        "\t}",
                        "\tSTATE \"Document\" NOGLOBALS {",
                        "\t\tCOMMAND \"bold\" {",
                        "\t\t\tKEYS \"{ctrl+b}\"",
                        "\t\t}",
                        "",
                        "\t\tCOMMAND \"italic\" {",
                        "\t\t\tKEYS \"{ctrl+i}\"",
                        "\t\t}",
                        "\t}",
                        "}",
                    }));
    EXPECT_EQ(flagged(), 0u);
}

TEST_F(Dvc, BackslashesAreDoubledUnlessAlreadyPaired) {
    const auto single = dvcText({globalRow("a", "K", "a\\b", true)});
    EXPECT_NE(single.find("\t\t\tKEYS \"a\\\\b\"\r\n"), std::string::npos) << single;
    const auto paired = dvcText({globalRow("a", "K", "c:\\\\dir\\x", true)});
    EXPECT_NE(paired.find("\t\t\tKEYS \"c:\\\\dir\\x\"\r\n"), std::string::npos) << paired;
    const auto items = dvcText({list("paths", "a\\b\r\nc\r\n")});
    EXPECT_NE(items.find("\t\t\t\"a\\\\b\"\r\n"), std::string::npos) << items;
}

TEST_F(Dvc, MultiLineBodiesAreIndentedBlocks) {
    const auto expected = globalBlock({"\t\tCOMMAND \"two\" {", "\t\t\tSCRIPT {", "\t\t\t\tSendKeys \"a\"",
                                       "\t\t\t\tSendKeys \"b\"", "\t\t\t}", "\t\t}"});
    EXPECT_EQ(dvcText({globalRow("two", "S", "SendKeys \"a\"\r\nSendKeys \"b\"")}), expected);
    EXPECT_EQ(dvcText({globalRow("two", "S", "SendKeys \"a\"\r\nSendKeys \"b\"\r\n")}), expected)
        << "a closing line break adds no empty line";
    // Every Type is written with its display name (pseudo DVC).
    EXPECT_NE(dvcText({globalRow("sig", "T", "Regards")}).find("\t\t\tText & Graphics {\r\n\t\t\t\tRegards\r\n"),
              std::string::npos);
}

TEST_F(Dvc, ListItemsAreQuotedOnce) {
    EXPECT_EQ(dvcText({list("colors", "red\r\ngreen\r\n")}),
              globalBlock({"\t\tLIST \"colors\" {", "\t\t\t\"red\"", "\t\t\t\"green\"", "\t\t}"}));
    // Items that bring their own quotes get no second one; an escaped quote keeps its closing
    // one (the pair of backslashes marks the LIST as escaped already).
    EXPECT_EQ(dvcText({list("q", "\"first\"\r\n\"second\r\nthird\"\r\nsay \\\"hi\\\"\r\nc:\\\\temp\r\n")}),
              globalBlock({"\t\tLIST \"q\" {", "\t\t\t\"first\"", "\t\t\t\"second\"", "\t\t\t\"third\"",
                           "\t\t\t\"say \\\"hi\\\"\"", "\t\t\t\"c:\\\\temp\"", "\t\t}"}));
    EXPECT_EQ(dvcText({list("last", "a\r\nb")}), globalBlock({"\t\tLIST \"last\" {", "\t\t\t\"a\"", "\t\t\t\"b\"", "\t\t}"}))
        << "a last item without its line break";
}

TEST_F(Dvc, ListWithoutItemsHasNoItemLines) {
    EXPECT_EQ(dvcText({list("empty", "")}), globalBlock({"\t\tLIST \"empty\" {", "\t\t}"}));
}

TEST_F(Dvc, OnlyMarkedRowsAreWrittenAndNothingMarkedGivesAnEmptyFile) {
    auto unmarked = globalRow("hidden", "K", "h", true);
    unmarked.flag = false;
    const std::string text = write({globalRow("shown", "K", "s", true), unmarked});
    EXPECT_NE(text.find("\"shown\""), std::string::npos);
    EXPECT_EQ(text.find("\"hidden\""), std::string::npos);
    EXPECT_EQ(flagged(), 0u);
    WriteDvc(*store, out());
    EXPECT_EQ(readText(out()), "");
}

TEST_F(Dvc, FileIsWindows1252AndReplacesTheOldOne) {
    writeBytes(out(), std::vector<std::uint8_t>(5000, 'x'));
    const std::string text = write({globalRow("caf\xC3\xA9", "K", "\xE2\x82\xAC", true)});
    const std::string bytes = readText(out());
    EXPECT_NE(bytes.find("COMMAND \"caf\xE9\" {\r\n"), std::string::npos);
    EXPECT_NE(bytes.find("KEYS \"\x80\"\r\n"), std::string::npos);
    EXPECT_EQ(text.size(), codec::cp1252ToUtf8(bytes).size());
    EXPECT_TRUE(strayFiles().empty()) << "no temporary file is left";
}

TEST_F(Dvc, FailuresLeaveTheOldFileAndNoMark) {
    writeBytes(out(), std::vector<std::uint8_t>{'o', 'l', 'd'});
    store->insertUser(globalRow("arrow", "K", "\xE2\x86\x92", true)); // U+2192 has no Windows-1252 form
    EXPECT_THROW(WriteDvc(*store, out()), EncodingError);
    EXPECT_EQ(readText(out()), "old");
    EXPECT_EQ(flagged(), 0u) << "no stale mark survives a failed export";
    EXPECT_TRUE(strayFiles().empty());

    store->deleteAllUsers();
    store->insertUser(globalRow("copy", "K", "{Ctrl+c}", true));
    EXPECT_THROW(WriteDvc(*store, dir.path() / "missing" / "export.dvc"), std::filesystem::filesystem_error);
    EXPECT_EQ(flagged(), 0u);
}

TEST_F(Dvc, WhatWouldEndABlockEarlyIsRefusedBeforeTheFileIsTouched) {
    const std::string quote(texts::DvcQuote), brace(texts::DvcClosingBrace);
    const std::pair<UserRow, std::string> cases[] = {
        {globalRow("say \"hi\" } MENU \"x", "K", "a"), quote},
        {row("note\"pad", "Application-specific", "n", "K", "a"), quote},
        {row("notepad", "Untitled \"x\"", "n", "S", "a"), quote},
        {list("o\"dd", "a\r\n"), quote},
        {globalRow("close", "S", "SendKeys \"a\"\r\n}\r\nMENU \"x\" {\r\n"), brace},
        {globalRow("indented", "A", "Sub Main\r\n\t  } x\r\nEnd Sub"), brace},
        {globalRow("bare line feed", "K", "a\n}"), brace},
    };
    for (const auto& [bad, why] : cases) {
        SCOPED_TRACE(bad.name);
        store->deleteAllUsers();
        writeBytes(out(), std::vector<std::uint8_t>{'o', 'l', 'd'});
        store->insertUser(globalRow("fine", "K", "{Ctrl+c}"));
        store->insertUser(bad);
        try {
            WriteDvc(*store, out());
            ADD_FAILURE() << "written";
        } catch (const Refusal& r) {
            EXPECT_EQ(r.what(), std::string(texts::DvcCannotHold) + "\"" + bad.name + "\"" + why);
            EXPECT_EQ(r.title(), bad.name);
        }
        EXPECT_EQ(readText(out()), "old");
        EXPECT_EQ(flagged(), 0u);
    }
    // Braces within a line, and LIST items (each in its own quotes), are text.
    const auto text = write({globalRow("keys", "K", "{Ctrl+c}}\r\nx }"), list("q", "}\r\n")});
    EXPECT_NE(text.find("\t\t\t\tx }\r\n"), std::string::npos) << text;
    EXPECT_NE(text.find("\t\t\t\"}\"\r\n"), std::string::npos) << text;
}

class DvcFromFile : public ReaderFixture {};

TEST_F(DvcFromFile, RowsReadFromACommandFileAreWritten) {
    CommandFileBuilder b;
    BuiltCommand keys;
    keys.name = "save it";
    keys.kind = kKindKeys;
    keys.text = "{Ctrl+s}";
    b.add(keys);
    b.add(BuiltList("colors", {"red", "\"green\""}));
    b.writeFile(file());
    reader->ReadCommandFile(true, file());
    store->flagAll();
    WriteDvc(*store, home() / "out.dvc");
    EXPECT_EQ(readText(home() / "out.dvc"),
              globalBlock({"\t\tCOMMAND \"save it\" {", "\t\t\tKEYS {", "\t\t\t\t{Ctrl+s}", "\t\t\t}", "\t\t}", "",
                           "\t\tLIST \"colors\" {", "\t\t\t\"red\"", "\t\t\t\"green\"", "\t\t}"}));
    EXPECT_EQ(store->userCount(), 2);
    for (const auto& r : store->allUsers()) EXPECT_FALSE(r.flag);
}
