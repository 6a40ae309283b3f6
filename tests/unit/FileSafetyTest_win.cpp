// The Windows side of the file layer: temporary files named by their writer's process,
// handles that let a replacement through, times of 100 nanoseconds, the read-only mark, devices.
#include "ProcessRunner.h"
#include "TestHome.h"

#include "cmdfile/AtomicFile.h"
#include "cmdfile/Errors.h"
#include "cmdfile/FileLock.h"
#include "cmdfile/System.h"
#include "cmdfile/Texts.h"
#include "cmdfile/WideText.h"
#include "shell/HomeFolder.h"
#include "shell/platform/SystemFolders.h"

#include <shlobj.h>

#include <algorithm>
#include <fstream>
#include <functional>
#include <thread>

using namespace vocabrella;
using namespace vocabrella::testsupport;
namespace fs = std::filesystem;

namespace {

std::vector<std::string> namesIn(const fs::path& folder) {
    std::vector<std::string> names;
    for (const auto& e : fs::directory_iterator(folder)) names.push_back(os::pathText(e.path().filename()));
    std::sort(names.begin(), names.end());
    return names;
}

std::string refusalOf(const std::function<void()>& f) {
    try {
        f();
    } catch (const Refusal& r) {
        return r.what();
    }
    return "(not refused)";
}

struct Handle {
    HANDLE h;
    explicit Handle(HANDLE handle) : h(handle) {}
    ~Handle() {
        if (h != INVALID_HANDLE_VALUE) ::CloseHandle(h);
    }
};

void setWriteTime(const fs::path& p, ULONGLONG ticks) {
    Handle h(::CreateFileW(p.c_str(), FILE_WRITE_ATTRIBUTES, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                           nullptr, OPEN_EXISTING, 0, nullptr));
    ASSERT_NE(h.h, INVALID_HANDLE_VALUE);
    const FILETIME t{static_cast<DWORD>(ticks), static_cast<DWORD>(ticks >> 32)};
    ASSERT_TRUE(::SetFileTime(h.h, nullptr, nullptr, &t));
}

class WindowsFiles : public ::testing::Test {
protected:
    fs::path target() const { return dir.path() / "mycmds.dat"; }
    TempDir dir;
};

} // namespace

TEST_F(WindowsFiles, TheNextWriteRemovesWhatADeadWriterLeft) {
    writeFileAtomically(target(), std::string_view("old"));
    const auto dead = finishedProcess();
    ASSERT_GT(dead, 0);
    ASSERT_TRUE(os::processGone(dead));
    EXPECT_FALSE(os::processGone(os::currentProcess()));
    const std::string deadOnes[] = {".mycmds.dat.new-" + std::to_string(dead) + "-abc123", ".mycmds.dat.new-abc123"};
    const std::string liveOne = ".mycmds.dat.new-" + std::to_string(os::currentProcess()) + "-abc123";
    const std::string held = ".mycmds.dat.new-xyz789";
    for (const auto& name : {deadOnes[0], deadOnes[1], liveOne, held, std::string(".other.dat.new-abc123")})
        std::ofstream(dir.path() / name) << "half";
    // A writer of the other kind still at work: its handle does not share deletion.
    Handle writing(::CreateFileW((dir.path() / held).c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                 0, nullptr));
    ASSERT_NE(writing.h, INVALID_HANDLE_VALUE);

    writeFileAtomically(target(), std::string_view("new"));
    EXPECT_EQ(namesIn(dir.path()), (std::vector<std::string>{liveOne, held, ".other.dat.new-abc123", "mycmds.dat"}));
    EXPECT_EQ(readText(target()), "new");
}

TEST_F(WindowsFiles, TheProgramsOwnReadingDoesNotStandInTheWayOfAReplacement) {
    writeFileAtomically(target(), std::string_view("old content"));
    // A snapshot keeps no handle open.
    const auto snapshot = readSnapshot(target());
    writeFileAtomically(target(), std::string_view("third"));
    EXPECT_FALSE(snapshot.stillAt(target()));
}

TEST_F(WindowsFiles, AReaderThatDoesNotShareDeletionOnlyDelaysAReplacement) {
    writeFileAtomically(target(), std::string_view("old content"));
    // Another program reads the file for a moment, as most programs open files.
    HANDLE other = ::CreateFileW(target().c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(other, INVALID_HANDLE_VALUE);
    std::thread closer([other] {
        ::Sleep(300);
        ::CloseHandle(other);
    });
    std::string failure;
    try {
        writeFileAtomically(target(), std::string_view("new content"));
    } catch (const std::exception& e) {
        failure = e.what();
    }
    closer.join();
    EXPECT_EQ(failure, "");
    EXPECT_EQ(readText(target()), "new content");
    EXPECT_EQ(namesIn(dir.path()), std::vector<std::string>{"mycmds.dat"}) << "no temporary left behind";

    // The header read of a start lets a writer through at once.
    std::vector<std::uint8_t> start;
    readFileStartInto(target(), 3, start);
    EXPECT_EQ(std::string(start.begin(), start.end()), "new");
    readFileStartInto(target(), 100, start);
    EXPECT_EQ(start.size(), std::string_view("new content").size());
}

TEST_F(WindowsFiles, AChangeWithinTheSameSecondIsSeen) {
    writeFileAtomically(target(), std::string_view("first"));
    // A whole second: whatever follows happens within it.
    const ULONGLONG second = 133'000'000'000'000'000ULL;
    setWriteTime(target(), second);
    const auto seen = FileVersion::of(target());
    const auto seenStamp = writeTimeStamp(target());
    ASSERT_TRUE(seen.present);
    ASSERT_TRUE(seenStamp);

    // Changed in place, same size, a tenth of a microsecond later: the same file, the same
    // second, but not the same version.
    {
        std::fstream f(target(), std::ios::in | std::ios::out | std::ios::binary);
        f.write("FIRST", 5);
    }
    setWriteTime(target(), second + 1);
    const auto now = FileVersion::of(target());
    EXPECT_EQ(now.inode, seen.inode);
    EXPECT_EQ(now.size, seen.size);
    EXPECT_EQ(now.seconds, seen.seconds);
    EXPECT_EQ(now.nanoseconds, seen.nanoseconds + 100);
    EXPECT_NE(now, seen);
    EXPECT_EQ(*writeTimeStamp(target()), *seenStamp + 100);
    EXPECT_EQ(refusalOf([&] {
                  writeFileIfUnchanged(target(), seen,
                                       std::span(reinterpret_cast<const std::uint8_t*>("mine"), std::size_t{4}));
              }),
              os::pathText(target()) + ": " + std::string(texts::ChangedMeanwhile));
    EXPECT_EQ(readText(target()), "FIRST");

    // And a second change again within it, by a replacement.
    setWriteTime(target(), second + 2);
    const auto before = FileVersion::of(target());
    writeFileAtomically(target(), std::string_view("other"));
    setWriteTime(target(), second + 2);
    EXPECT_NE(FileVersion::of(target()), before) << "a replaced file is another file";

    // The merge tool's rewrite within one tick moves the time on by one.
    moveTimeOnIfUnchanged(target(), FileVersion::of(target()));
    EXPECT_EQ(FileVersion::of(target()).nanoseconds, before.nanoseconds + 100);
}

TEST_F(WindowsFiles, TheReadOnlyMarkRefusesTheFile) {
    writeFileAtomically(target(), std::string_view("old"));
    ASSERT_TRUE(::SetFileAttributesW(target().c_str(), FILE_ATTRIBUTE_READONLY));
    const std::string expected = os::pathText(target()) + ": " + std::string(texts::ReadOnlyFile);
    EXPECT_EQ(refusalOf([&] { refuseUnlessWritable(target()); }), expected);
    EXPECT_EQ(refusalOf([&] { writeFileAtomically(target(), std::string_view("new")); }), expected);
    EXPECT_EQ(namesIn(dir.path()), std::vector<std::string>{"mycmds.dat"}) << "nothing written beside it";
    EXPECT_EQ(readText(target()), "old");
    ::SetFileAttributesW(target().c_str(), FILE_ATTRIBUTE_NORMAL);
    // The hidden mark of a replaced file stays with the new one.
    ASSERT_TRUE(::SetFileAttributesW(target().c_str(), FILE_ATTRIBUTE_HIDDEN));
    writeFileAtomically(target(), std::string_view("new"));
    EXPECT_NE(::GetFileAttributesW(target().c_str()) & FILE_ATTRIBUTE_HIDDEN, 0u);
    EXPECT_EQ(readText(target()), "new");
}

TEST_F(WindowsFiles, AFolderOrADeviceIsNeitherReadNorReplaced) {
    const fs::path folder = dir.path() / "folder.dat";
    fs::create_directory(folder);
    for (const fs::path& p : {folder, fs::path(L"NUL")}) {
        SCOPED_TRACE(os::pathText(p));
        const std::string expected = os::pathText(p) + ": " + std::string(texts::NotARegularFile);
        EXPECT_EQ(refusalOf([&] { readFileBytes(p); }), expected);
        EXPECT_EQ(refusalOf([&] { readSnapshot(p); }), expected);
        EXPECT_EQ(refusalOf([&] { refuseUnlessWritable(p); }), expected);
    }
    EXPECT_TRUE(fs::is_directory(folder));
}

TEST_F(WindowsFiles, TheWriterLockIsHeldPerHandleAndLeavesTheFileReadable) {
    writeFileAtomically(target(), std::string_view("x"));
    FakeClock clock;
    CommandFileLock first(target(), clock);
    EXPECT_EQ(refusalOf([&] { CommandFileLock second(target(), clock, std::chrono::milliseconds(100)); }),
              os::pathText(target()) + ": " + std::string(texts::WriterBusy));
    // The lock file itself stays readable and removable by others (backup tools, cleaners).
    Handle other(::CreateFileW(CommandFileLock::lockFileOf(target()).c_str(), GENERIC_READ,
                               FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING, 0,
                               nullptr));
    EXPECT_NE(other.h, INVALID_HANDLE_VALUE);
    writeFileAtomically(target(), std::string_view("y"));
    EXPECT_EQ(readText(target()), "y");
}

TEST(WindowsFolders, TheHomeAndProgramFoldersComeFromTheSystem) {
    const auto program = os::programFile();
    EXPECT_EQ(program.filename(), fs::path(L"unit_tests.exe"));
    EXPECT_TRUE(fs::exists(program));

    PWSTR local = nullptr;
    ASSERT_EQ(::SHGetKnownFolderPath(FOLDERID_LocalAppData, 0, nullptr, &local), S_OK);
    const fs::path expected = fs::path(local) / L"Vocabrella";
    ::CoTaskMemFree(local);
    const std::string saved = os::environment("VOCABRELLA_HOME");
    ::SetEnvironmentVariableW(L"VOCABRELLA_HOME", nullptr);
    EXPECT_EQ(HomeFolder::resolve(std::nullopt), expected);
    ::SetEnvironmentVariableW(L"VOCABRELLA_HOME", L"C:\\Vocabrella Zoë");
    EXPECT_EQ(HomeFolder::resolve(std::nullopt), fs::path(L"C:\\Vocabrella Zo\u00eb"));
    EXPECT_EQ(os::environment("VOCABRELLA_HOME"), "C:\\Vocabrella Zo\xc3\xab");
    ::SetEnvironmentVariableW(L"VOCABRELLA_HOME", saved.empty() ? nullptr : os::wide(saved).c_str());
    EXPECT_EQ(HomeFolder::resolve(fs::path(L"D:\\elsewhere")), fs::path(L"D:\\elsewhere"));
}

TEST(WindowsFolders, DragonsFoldersAreTheShellsSpecialFolders) {
    const auto folders = platform::systemSpecialFolders();
    PWSTR common = nullptr;
    ASSERT_EQ(::SHGetKnownFolderPath(FOLDERID_ProgramData, 0, nullptr, &common), S_OK);
    EXPECT_EQ(folders.commonAppData, fs::path(common));
    ::CoTaskMemFree(common);
    EXPECT_FALSE(folders.userAppData.empty());
    EXPECT_EQ(folders.appData, os::pathFrom(os::environment("APPDATA")));
}
