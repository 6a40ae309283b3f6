// Folder and file names beyond ASCII, on every road a path takes: the writer, the lock, the
// reader, the store in a home folder of such a name, and the command line's arguments.
#include "CliRun.h"
#include "TestHome.h"

#include "CommandFileBuilder.h"

#include "cmdfile/AtomicFile.h"
#include "cmdfile/FileLock.h"
#include "cmdfile/System.h"
#include "shell/Session.h"

using namespace vocabrella;
using namespace vocabrella::testsupport;
namespace fs = std::filesystem;

namespace {

// "Zoë commands Ω 日本" and "mycmds ü.dat", written as UTF-8 bytes.
const std::string kFolder = "Zo\xc3\xab commands \xce\xa9 \xe6\x97\xa5\xe6\x9c\xac";
const std::string kFile = "mycmds \xc3\xbc.dat";

} // namespace

TEST(NonAsciiPath, TheFileLayerTheStoreAndTheCommandLineKeepEveryCharacter) {
    TempDir dir;
    const fs::path folder = dir.path() / os::pathFrom(kFolder);
    fs::create_directories(folder);
    const fs::path file = folder / os::pathFrom(kFile);
    EXPECT_EQ(os::pathText(file.filename()), kFile);
    EXPECT_EQ(os::pathFrom(os::pathText(file)), file);

    CommandFileBuilder b(7);
    BuiltCommand c;
    c.name = "hello";
    c.kind = kKindAdvancedScript;
    c.text = "Sub Main\r\nEnd Sub";
    b.add(c);
    b.writeFile(file);
    const auto bytes = readFileBytes(file);
    ASSERT_FALSE(bytes.empty());
    writeFileAtomically(file, bytes);
    EXPECT_EQ(readFileBytes(file), bytes);
    EXPECT_TRUE(FileVersion::of(file).present);
    {
        FakeClock clock;
        CommandFileLock lock(file, clock);
        EXPECT_TRUE(fs::exists(CommandFileLock::lockFileOf(file)));
        EXPECT_EQ(os::pathText(CommandFileLock::lockFileOf(file).filename()), "." + kFile + ".lock");
    }

    // A home folder of such a name holds the store.
    ScriptedPrompter prompter;
    FakeClock clock;
    Session session(folder / os::pathFrom("home \xc3\xa9t\xc3\xa9"), prompter, clock);
    ASSERT_TRUE(session.open(file).success);
    EXPECT_TRUE(session.store().findUser("Global Commands", "Global Commands", "hello"));

    // The command line takes the path as typed and shows it as it is.
    const auto info = runCli("info \"" + os::pathText(file) + "\"");
    ASSERT_EQ(info.status, 0) << info.err;
    EXPECT_NE(info.out.find(kFile), std::string::npos) << info.out;
    const fs::path xml = folder / os::pathFrom("export \xe2\x82\xac.xml");
    const auto exported = runCli("export-xml \"" + os::pathText(file) + "\" --everything -o \"" + os::pathText(xml) + "\"");
    ASSERT_EQ(exported.status, 0) << exported.err;
    EXPECT_TRUE(fs::exists(xml));
    const auto rewritten = runCli("rewrite \"" + os::pathText(file) + "\"");
    EXPECT_EQ(rewritten.status, 0) << rewritten.err;
    EXPECT_TRUE(session.open(file).success) << "the rewritten file reads back";
    EXPECT_TRUE(session.store().findUser("Global Commands", "Global Commands", "hello"));
}
