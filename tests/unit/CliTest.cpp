#include "TestHome.h"

#include <nlohmann/json.hpp>

#include <array>
#include <cstdio>
#include <sys/wait.h>

using namespace vocabrella::testsupport;

namespace {

struct Run {
    int status;
    std::string out;
    std::string err;
};

Run cli(const std::string& arguments) {
    TempDir dir;
    const auto errPath = dir.path() / "stderr";
    const std::string command = std::string(VOCABRELLA_CLI) + " " + arguments + " 2>" + errPath.string();
    Run run{};
    FILE* pipe = ::popen(command.c_str(), "r");
    std::array<char, 4096> buffer{};
    std::size_t n;
    while ((n = std::fread(buffer.data(), 1, buffer.size(), pipe)) > 0) run.out.append(buffer.data(), n);
    run.status = WEXITSTATUS(::pclose(pipe));
    run.err = readText(errPath);
    return run;
}

std::string quoted(const std::filesystem::path& p) { return "'" + p.string() + "'"; }

} // namespace

TEST(CommandLine, InfoPrintsThePropertiesLines) {
    const auto path = std::filesystem::canonical(sample("move-dock-window.dat"));
    const auto run = cli("info " + quoted(path));
    ASSERT_EQ(run.status, 0) << run.err;
    const std::string expectedStart = "Filename:\n" + path.string() + "\n\nVersion:           10.0\nLanguage:       English\n"
                                      "Last Modified: ";
    EXPECT_EQ(run.out.substr(0, expectedStart.size()), expectedStart);
    EXPECT_NE(run.out.find("\nSize:                1419\n#Commands:  1\n#Lists:            2\n"), std::string::npos)
        << run.out;
}

TEST(CommandLine, ListAsJsonCarriesTheStoreColumns) {
    const auto run = cli("list --json " + quoted(sample("move-dock-window.dat")));
    ASSERT_EQ(run.status, 0) << run.err;
    const auto rows = nlohmann::json::parse(run.out);
    ASSERT_EQ(rows.size(), 3u);
    EXPECT_EQ(rows[0]["name"], "<move_or_dock> window <direction>");
    EXPECT_EQ(rows[0]["Type"], "A");
    EXPECT_EQ(rows[0]["offset"], 22);
    EXPECT_TRUE(rows[0]["states"].is_array());
    for (const char* key : {"ID", "menu", "state", "name", "Type", "scope", "owner", "lists", "offset", "offsetbody",
                            "description", "states", "graphicsize", "encrypted", "dupe", "script"})
        EXPECT_TRUE(rows[0].contains(key)) << key;

    const auto lists = cli("list --json --type L " + quoted(sample("move-dock-window.dat")));
    EXPECT_EQ(nlohmann::json::parse(lists.out).size(), 2u);
    const auto outlook = cli("list --program outlook " + quoted(sample("clear-categories.dat")));
    EXPECT_EQ(std::count(outlook.out.begin(), outlook.out.end(), '\n'), 1);
}

TEST(CommandLine, ShowPrintsTheStoredBody) {
    const auto run = cli("show " + quoted(sample("reply.dat")) + " reply --program OUTLOOK");
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.out, "Press Ctrl + R\n");
    const auto missing = cli("show " + quoted(sample("reply.dat")) + " nothing");
    EXPECT_EQ(missing.status, 1);
}

TEST(CommandLine, UnreadableFilesGiveTheMessageAndExitOne) {
    const auto missing = cli("info /nonexistent/mycmds.dat");
    EXPECT_EQ(missing.status, 1);
    EXPECT_NE(missing.err.find("File does not exist"), std::string::npos);

    TempDir dir;
    const auto bad = dir.path() / "bad.dat";
    std::ofstream(bad) << "not a command file at all";
    const auto run = cli("info " + quoted(bad));
    EXPECT_EQ(run.status, 1);
    EXPECT_NE(run.err.find("The above file has a problem - parsing error"), std::string::npos);
    EXPECT_NE(run.err.find("expected the file signature LHSP"), std::string::npos);
}

TEST(CommandLine, AKeptHomeFolderServesAsACache) {
    TempDir dir;
    const auto home = dir.path() / "home";
    const std::string file = quoted(sample("reply.dat"));
    ASSERT_EQ(cli("--home " + quoted(home) + " info " + file).status, 0);
    ASSERT_EQ(cli("--home " + quoted(home) + " info " + file).status, 0);
    const auto trace = readText(home / "trace.vbl");
    std::size_t parses = 0;
    for (auto at = trace.find("b4 processing"); at != std::string::npos; at = trace.find("b4 processing", at + 1)) ++parses;
    EXPECT_EQ(parses, 1u);
}
