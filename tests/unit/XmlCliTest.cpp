// The command line's import-xml and export-xml verbs.
#include "CliRun.h"
#include "TestHome.h"

#include "BuiltCommands.h"
#include "CommandFileBuilder.h"

#include "cmdfile/AtomicFile.h"

#ifndef _WIN32
#include <sys/stat.h>
#endif

using namespace vocabrella::testsupport;
namespace fs = std::filesystem;

namespace {

struct XmlCli {
    TempDir dir;
    std::string out, err;
    // Runs the command line in this process with these arguments; its exit status.
    int run(const std::string& arguments) {
        auto result = runCli(arguments);
        out = std::move(result.out);
        err = std::move(result.err);
        return result.status;
    }
};

} // namespace

TEST(XmlCommandLine, ExportThenImportIntoANewFileAndIntoAnExistingOne) {
    XmlCli c;
    CommandFileBuilder b(6, 9);
    b.add(globalCommand("save <color>", kKindKeys, "{Ctrl+s}"));
    b.add(BuiltList("color", {"red"}));
    const auto file = c.dir.path() / "file.dat";
    b.writeFile(file);
    const auto xml = c.dir.path() / "x.xml";
    const auto made = c.dir.path() / "made.dat";

    EXPECT_EQ(c.run("export-xml " + quoted(file) + " -o " + quoted(xml)), 1) << "the commands must be chosen";
    ASSERT_EQ(c.run("export-xml " + quoted(file) + " --everything -o " + quoted(xml)), 0) << c.err;
    EXPECT_EQ(c.out.rfind("Exported 1 commands and 1 LISTs to ", 0), 0u) << c.out;

    ASSERT_EQ(c.run("import-xml " + quoted(xml) + " -o " + quoted(made) + " --version 8/9"), 0) << c.err;
    EXPECT_EQ(c.out, "Imported 1 commands and 1 LISTs into " + made.string() + "\n");
    EXPECT_EQ(vocabrella::readFileBytes(made), b.build());

    EXPECT_EQ(c.run("import-xml " + quoted(xml) + " -o " + quoted(made)), 1) << "an existing file needs --yes";
    EXPECT_EQ(c.run("import-xml " + quoted(xml) + " -o " + quoted(c.dir.path() / "v.dat") + " --version 11"), 1);
    EXPECT_NE(c.err.find("Unknown version"), std::string::npos);
    EXPECT_FALSE(fs::exists(c.dir.path() / "v.dat"));
    EXPECT_EQ(c.run("import-xml " + quoted(c.dir.path() / "none.xml") + " -o " + quoted(c.dir.path() / "n.dat")), 1);
    EXPECT_NE(c.err.find("The XML file cannot be read"), std::string::npos);

    const auto before = vocabrella::readFileBytes(file);
    EXPECT_EQ(c.run("import-xml " + quoted(xml) + " --into " + quoted(file)), 1) << "a duplicate needs an answer";
    EXPECT_EQ(vocabrella::readFileBytes(file), before);
    EXPECT_EQ(c.run("import-xml " + quoted(xml) + " --into " + quoted(file) + " --duplicates maybe"), 1);
    EXPECT_EQ(c.run("import-xml " + quoted(xml) + " --into " + quoted(file) + " --duplicates no"), 1) << "nothing new";
    EXPECT_NE(c.err.find("Nothing was imported"), std::string::npos);
    ASSERT_EQ(c.run("import-xml " + quoted(xml) + " --into " + quoted(file) + " --duplicates yes"), 0) << c.err;
    EXPECT_EQ(c.out.rfind("Imported 1 commands and 0 LISTs into ", 0), 0u) << c.out;
    EXPECT_EQ(vocabrella::readFileBytes(file), before) << "the same command, replaced by itself";
}

TEST(XmlCommandLine, WritingToAnOlderLayoutSaysHowManyCommandsLostTheirStates) {
    XmlCli c;
    CommandFileBuilder b(7);
    BuiltCommand viewed;
    viewed.name = "reply all";
    viewed.kind = kKindKeys;
    viewed.text = "{Ctrl+Shift+r}";
    viewed.scopeByte = kScopeApplication;
    viewed.module = "outlook";
    viewed.programDescription = "Mail";
    viewed.company = "Maker Inc";
    viewed.states = {"Reading"};
    viewed.reservedAfterScope = kDragonReservedAfterScope;
    b.add(viewed);
    b.add(bareCommand("hello", kKindKeys, "{Ctrl+h}"));
    const auto file = c.dir.path() / "file.dat";
    b.writeFile(file);
    const auto xml = c.dir.path() / "x.xml";
    ASSERT_EQ(c.run("export-xml " + quoted(file) + " --everything -o " + quoted(xml)), 0) << c.err;

    const std::string notice = "Notice: 1 command(s) lost their states (views)";
    ASSERT_EQ(c.run("import-xml " + quoted(xml) + " -o " + quoted(c.dir.path() / "seven.dat") + " --version 7.x"), 0)
        << c.err;
    EXPECT_NE(c.out.find(notice), std::string::npos) << c.out;
    ASSERT_EQ(c.run("import-xml " + quoted(xml) + " -o " + quoted(c.dir.path() / "eight.dat") + " --version 8/9"), 0);
    EXPECT_EQ(c.out.find("Notice:"), std::string::npos) << c.out;

    CommandFileBuilder empty(5);
    BuiltCommand other;
    other.name = "other";
    other.kind = kKindKeys;
    other.text = "{Ctrl+o}";
    empty.add(other);
    const auto seven = c.dir.path() / "into.dat";
    empty.writeFile(seven);
    ASSERT_EQ(c.run("import-xml " + quoted(xml) + " --into " + quoted(seven)), 0) << c.err;
    EXPECT_NE(c.out.find(notice), std::string::npos) << c.out;

    ASSERT_EQ(c.run("--yes convert-version " + quoted(file) + " --to 7.x"), 0) << c.err;
    EXPECT_EQ(c.out, "File converted to 7.0 format\r\n" + notice +
                                     ": this file version has no place for them\n");
}

TEST(XmlCommandLine, ANewFileIsNeverPutInPlaceOfAPipe) {
#ifdef _WIN32
    GTEST_SKIP() << "Windows has no pipes in the file system";
#else
    XmlCli c;
    CommandFileBuilder b(7);
    b.add(bareCommand("hello", kKindKeys, "{Ctrl+h}"));
    const auto file = c.dir.path() / "file.dat";
    b.writeFile(file);
    const auto xml = c.dir.path() / "x.xml";
    ASSERT_EQ(c.run("export-xml " + quoted(file) + " --everything -o " + quoted(xml)), 0) << c.err;
    const auto fifo = c.dir.path() / "pipe.dat";
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0644), 0);
    EXPECT_EQ(c.run("--yes import-xml " + quoted(xml) + " -o " + quoted(fifo)), 1);
    EXPECT_NE(c.err.find("not a file but a folder, a pipe or a device"), std::string::npos)
        << c.err;
    EXPECT_TRUE(fs::is_fifo(fifo));
    EXPECT_EQ(c.run("--yes report " + quoted(file) + " --format txt --everything -o " + quoted(fifo)), 1);
    EXPECT_EQ(c.run("--yes dvc " + quoted(file) + " --everything -o " + quoted(fifo)), 1);
    EXPECT_EQ(c.run("--yes export-xml " + quoted(file) + " --everything -o " + quoted(fifo)), 1);
    EXPECT_TRUE(fs::is_fifo(fifo));
#endif
}
