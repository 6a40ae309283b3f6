#include "TestHome.h"

#include "CommandFileBuilder.h"

#include "cmdfile/AtomicFile.h"
#include "cmdfile/Errors.h"
#include "cmdfile/FileLock.h"
#include "cmdfile/Texts.h"
#include "ops/OutputTarget.h"
#include "shell/Session.h"
#include "writer/Updater.h"

#include <algorithm>
#include <atomic>
#include <fstream>
#include <functional>
#include <thread>
#include <utility>

// Modes, owners, pipes and child processes made by fork are of POSIX systems; the tests of
// them are skipped on Windows, whose own side is tested in FileSafetyTest_win.cpp.
#ifndef _WIN32
#include <csignal>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#endif

using namespace vocabrella;
using namespace vocabrella::testsupport;
namespace fs = std::filesystem;

namespace {

std::vector<std::string> namesIn(const fs::path& folder) {
    std::vector<std::string> names;
    for (const auto& e : fs::directory_iterator(folder)) names.push_back(e.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

#ifndef _WIN32
struct stat statOf(const fs::path& p) {
    struct stat st {};
    EXPECT_EQ(::stat(p.c_str(), &st), 0) << p;
    return st;
}
#endif

std::string refusalOf(const std::function<void()>& f) {
    try {
        f();
    } catch (const Refusal& r) {
        return r.what();
    }
    return "(not refused)";
}

// Forwards to the system and writes down what was done, in order.
class RecordingCalls : public FileSystemCalls {
public:
    ssize_t write(int fd, const void* data, std::size_t size) override {
        if (steps.empty() || steps.back() != "write") steps.push_back("write");
        writtenFd = fd;
        return FileSystemCalls::write(fd, data, size);
    }
    int fsync(int fd) override {
#ifndef _WIN32
        struct stat st {};
        ::fstat(fd, &st);
        if (S_ISDIR(st.st_mode)) {
            steps.push_back("sync folder");
            return FileSystemCalls::fsync(fd);
        }
#endif
        steps.push_back(fd == writtenFd ? "sync file" : "sync other");
        return FileSystemCalls::fsync(fd);
    }
    int rename(const char* from, const char* to) override {
        steps.push_back("rename");
        renamedFrom = from;
        renamedTo = to;
        return FileSystemCalls::rename(from, to);
    }
    std::vector<std::string> steps;
    int writtenFd = -1;
    fs::path renamedFrom, renamedTo;
};

// The disk fills up after the first few bytes.
class DiskFullCalls : public FileSystemCalls {
public:
    ssize_t write(int fd, const void* data, std::size_t size) override {
        if (written > 0) {
            errno = ENOSPC;
            return -1;
        }
        written = std::min<std::size_t>(size, 10);
        return FileSystemCalls::write(fd, data, written);
    }
    std::size_t written = 0;
};

class AtomicWrite : public ::testing::Test {
protected:
    fs::path target() const { return dir.path() / "mycmds.dat"; }
    TempDir dir;
};

} // namespace

// A crash must leave the old file or the new one: the new file reaches the disk before it
// takes the old one's name, and the name change reaches the disk after.
TEST_F(AtomicWrite, SyncsTheNewFileBeforeTheRenameAndTheFolderAfter) {
    writeFileAtomically(target(), std::string_view("old"));
    RecordingCalls calls;
    const std::string text(200000, 'n');
    writeFileAtomically(target(), std::span(reinterpret_cast<const std::uint8_t*>(text.data()), text.size()), true, calls);
#ifdef _WIN32
    // The move is made write-through: the folder's new entry is on the disk when it returns.
    EXPECT_EQ(calls.steps, (std::vector<std::string>{"write", "sync file", "rename"}));
#else
    EXPECT_EQ(calls.steps, (std::vector<std::string>{"write", "sync file", "rename", "sync folder"}));
#endif
    EXPECT_EQ(calls.renamedFrom.parent_path(), target().parent_path()) << "renamed within one folder";
    EXPECT_EQ(calls.renamedTo, target());
    EXPECT_EQ(readText(target()), text);
}

TEST_F(AtomicWrite, AReplacedFileKeepsItsModeAndOwner) {
#ifdef _WIN32
    GTEST_SKIP() << "Windows files have no mode bits or owner for the writer to carry over: the new file takes "
                    "the folder's inherited access list";
#else
    const bool root = ::geteuid() == 0;
    for (const mode_t mode : {0600, 0640, 0604, 0660}) {
        SCOPED_TRACE(mode);
        writeFileAtomically(target(), std::string_view("old"));
        ASSERT_EQ(::chmod(target().c_str(), mode), 0);
        if (root) {
            ASSERT_EQ(::chown(target().c_str(), 1234, 5678), 0);
        }
        writeFileAtomically(target(), std::string_view("new"));
        const auto st = statOf(target());
        EXPECT_EQ(st.st_mode & 07777, mode);
        if (root) {
            EXPECT_EQ(st.st_uid, 1234u);
            EXPECT_EQ(st.st_gid, 5678u);
        }
        EXPECT_EQ(readText(target()), "new");
    }
    const auto fresh = dir.path() / "fresh";
    writeFileAtomically(fresh, std::string_view("x"));
    EXPECT_EQ(statOf(fresh).st_mode & 07777, 0644u);
#endif
}

TEST_F(AtomicWrite, AReadOnlyFileIsRefusedAndLeftAlone) {
    writeFileAtomically(target(), std::string_view("old"));
    const std::string expected = target().string() + ": " + std::string(texts::ReadOnlyFile);
    using enum fs::perms;
#ifdef _WIN32
    // Windows knows only the read-only mark, which every write bit taken away sets.
    for (const fs::perms mode : {owner_read | group_read | others_read}) {
#else
    for (const fs::perms mode : {owner_read | group_read | others_read, owner_read, none}) {
#endif
        SCOPED_TRACE(static_cast<int>(mode));
        fs::permissions(target(), mode);
        EXPECT_EQ(refusalOf([&] { refuseUnlessWritable(target()); }), expected);
        EXPECT_EQ(refusalOf([&] { writeFileAtomically(target(), std::string_view("new")); }), expected);
        const auto other = dir.path() / "other";
        writeFileAtomically(other, std::string_view("other"));
        EXPECT_EQ(refusalOf([&] { copyFileAtomically(other, target()); }), expected);
        fs::remove(other);
        EXPECT_EQ(fs::status(target()).permissions() & (owner_all | group_all | others_all), mode);
        EXPECT_EQ(namesIn(dir.path()), std::vector<std::string>{"mycmds.dat"}) << "nothing written beside it";
    }
    fs::permissions(target(), owner_write, fs::perm_options::add);
    EXPECT_NO_THROW(refuseUnlessWritable(target()));
    EXPECT_NO_THROW(refuseUnlessWritable(dir.path() / "not yet there"));
    EXPECT_EQ(readText(target()), "old");
}

TEST_F(AtomicWrite, AFolderThatCannotBeWrittenIsRefusedUpFront) {
#ifdef _WIN32
    GTEST_SKIP() << "a folder's read-only mark does not keep files out on Windows; only an access list would, "
                    "which a test cannot take from its own account";
#else
    if (::geteuid() == 0) GTEST_SKIP() << "root writes into any folder";
    writeFileAtomically(target(), std::string_view("old"));
    ASSERT_EQ(::chmod(dir.path().c_str(), 0555), 0);
    EXPECT_EQ(refusalOf([&] { refuseUnlessWritable(target()); }),
              target().string() + ": " + std::string(texts::FolderNotWritable));
    ::chmod(dir.path().c_str(), 0755);
#endif
}

TEST_F(AtomicWrite, AWriteThatFailsLeavesNoTemporaryFile) {
    writeFileAtomically(target(), std::string_view("old"));
    DiskFullCalls diskFull;
    const std::string text(5000, 'n');
    try {
        writeFileAtomically(target(), std::span(reinterpret_cast<const std::uint8_t*>(text.data()), text.size()), true,
                            diskFull);
        ADD_FAILURE() << "a full disk must fail the write";
    } catch (const fs::filesystem_error& e) {
        EXPECT_EQ(e.code(), std::errc::no_space_on_device);
    }
    EXPECT_EQ(diskFull.written, 10u) << "the temporary file was begun";
    EXPECT_EQ(namesIn(dir.path()), std::vector<std::string>{"mycmds.dat"});
    EXPECT_EQ(readText(target()), "old");
}

// The same with a real limit on the size of files, in a child process that the limit binds.
TEST_F(AtomicWrite, AFileSizeLimitLeavesNoTemporaryFile) {
#ifdef _WIN32
    GTEST_SKIP() << "Windows has no limit on the size of one process's files (RLIMIT_FSIZE)";
#else
    writeFileAtomically(target(), std::string_view("old"));
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        ::signal(SIGXFSZ, SIG_IGN);
        const rlimit limit{4096, 4096};
        ::setrlimit(RLIMIT_FSIZE, &limit);
        try {
            writeFileAtomically(target(), std::string(100000, 'n'));
        } catch (const fs::filesystem_error& e) {
            ::_exit(e.code() == std::errc::file_too_large ? 0 : 2);
        } catch (...) {
            ::_exit(3);
        }
        ::_exit(1);
    }
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0) << "1: the write went through, 2: another error, 3: another exception";
    EXPECT_EQ(namesIn(dir.path()), std::vector<std::string>{"mycmds.dat"});
    EXPECT_EQ(readText(target()), "old");
#endif
}

#ifndef _WIN32
namespace {

// Stops the writer in the middle of its write: it tells the parent over a pipe and waits to be
// killed.
class StallingCalls : public FileSystemCalls {
public:
    explicit StallingCalls(int tell) : tell_(tell) {}
    ssize_t write(int, const void*, std::size_t) override {
        const char c = 'w';
        (void)!::write(tell_, &c, 1);
        for (;;) ::pause();
    }

private:
    int tell_;
};

} // namespace

#endif

TEST_F(AtomicWrite, TheNextWriteRemovesWhatAKilledWriterLeft) {
#ifdef _WIN32
    GTEST_SKIP() << "stops a forked writer; Windows writers name their temporary file by their process, tested "
                    "in WindowsFiles.TheNextWriteRemovesWhatADeadWriterLeft";
#else
    writeFileAtomically(target(), std::string_view("old"));
    int pipeFds[2];
    ASSERT_EQ(::pipe(pipeFds), 0);
    const pid_t writer = ::fork();
    ASSERT_GE(writer, 0);
    if (writer == 0) {
        StallingCalls stall(pipeFds[1]);
        try {
            writeFileAtomically(target(), std::span<const std::uint8_t>(reinterpret_cast<const std::uint8_t*>("new"), 3),
                                true, stall);
        } catch (...) {
        }
        ::_exit(0);
    }
    ::close(pipeFds[1]);
    char c = 0;
    ASSERT_EQ(::read(pipeFds[0], &c, 1), 1);
    ::close(pipeFds[0]);
    auto names = namesIn(dir.path());
    ASSERT_EQ(names.size(), 2u) << "the writer's temporary file";
    const std::string temporary = names[0];
    EXPECT_EQ(temporary.rfind(".mycmds.dat.new-", 0), 0u) << temporary;

    // While its writer lives it is left alone.
    writeFileAtomically(target(), std::string_view("second"));
    EXPECT_EQ(namesIn(dir.path()), names);

    ::kill(writer, SIGKILL);
    ::waitpid(writer, nullptr, 0);
    // Leftovers of other files, and names merely alike, are none of this write's business.
    for (const char* name : {".other.dat.new-abc123", ".mycmds.dat.new-abc1234", "mycmds.dat.new-abc123", ".mycmds.dat.lock"})
        writeFileAtomically(dir.path() / name, std::string_view("x"));
    std::ofstream(dir.path() / ".mycmds.dat.new-orphan"); // a writer that died before locking it
    writeFileAtomically(target(), std::string_view("third"));
    EXPECT_EQ(namesIn(dir.path()), (std::vector<std::string>{".mycmds.dat.lock", ".mycmds.dat.new-abc1234",
                                                             ".other.dat.new-abc123", "mycmds.dat",
                                                             "mycmds.dat.new-abc123"}));
    EXPECT_EQ(readText(target()), "third");
#endif
}

namespace {

// Another run puts its own file at the target while this one is still writing.
class RacedCalls : public FileSystemCalls {
public:
    explicit RacedCalls(fs::path target) : target_(std::move(target)) {}
    ssize_t write(int fd, const void* data, std::size_t size) override {
        if (!raced_) {
            raced_ = true;
            std::ofstream(target_) << "the other run's";
        }
        return FileSystemCalls::write(fd, data, size);
    }

private:
    fs::path target_;
    bool raced_ = false;
};

std::span<const std::uint8_t> bytesOf(std::string_view text) {
    return {reinterpret_cast<const std::uint8_t*>(text.data()), text.size()};
}

} // namespace

TEST_F(AtomicWrite, IsMadeOnlyWhileTheTargetIsAsItWasSeen) {
    const auto createdMeanwhile = target().string() + ": " + std::string(texts::CreatedMeanwhile);
    const auto changedMeanwhile = target().string() + ": " + std::string(texts::ChangedMeanwhile);

    // Two runs make the same new file: the one that comes second is told, and the first one's stays.
    const auto absent = FileVersion::of(target());
    EXPECT_FALSE(absent.present);
    RacedCalls race(target());
    EXPECT_EQ(refusalOf([&] { writeFileAtomically(target(), bytesOf("mine"), true, race, WhenPresent::Refuse); }),
              createdMeanwhile);
    EXPECT_EQ(readText(target()), "the other run's");
    EXPECT_EQ(namesIn(dir.path()), std::vector<std::string>{"mycmds.dat"}) << "no temporary file left";
    EXPECT_EQ(refusalOf([&] { writeFileIfUnchanged(target(), absent, bytesOf("mine")); }), createdMeanwhile);
    EXPECT_EQ(readText(target()), "the other run's");

    // A file replaced after it was looked at is not replaced again.
    const auto seen = FileVersion::of(target());
    EXPECT_EQ(seen, FileVersion::of(target()));
    writeFileAtomically(target(), std::string_view("changed"));
    EXPECT_EQ(refusalOf([&] { writeFileIfUnchanged(target(), seen, bytesOf("mine")); }), changedMeanwhile);
    EXPECT_EQ(readText(target()), "changed");

    writeFileIfUnchanged(target(), FileVersion::of(target()), bytesOf("mine"));
    EXPECT_EQ(readText(target()), "mine");
    fs::remove(target());
    writeFileIfUnchanged(target(), FileVersion::of(target()), bytesOf("new"));
    EXPECT_EQ(readText(target()), "new");
}

#ifndef _WIN32
namespace {

// Opening a pipe for reading waits for a writer; should the code under test do so, this
// opens the other end after a second, again and again, so that the test fails instead of
// hanging.
class PipeUnblocker {
public:
    explicit PipeUnblocker(fs::path fifo)
        : thread_([this, fifo] {
              const auto grace = std::chrono::steady_clock::now() + std::chrono::seconds(1);
              while (!done_) {
                  std::this_thread::sleep_for(std::chrono::milliseconds(10));
                  if (std::chrono::steady_clock::now() < grace) continue;
                  const int fd = ::open(fifo.c_str(), O_WRONLY | O_NONBLOCK); // only while a reader waits
                  if (fd >= 0) ::close(fd);
              }
          }) {}
    ~PipeUnblocker() {
        done_ = true;
        thread_.join();
    }

private:
    std::atomic<bool> done_{false};
    std::thread thread_;
};

class NotAFile : public ReaderFixture {
protected:
    void SetUp() override {
        ReaderFixture::SetUp();
        ASSERT_EQ(::mkfifo(fifo().c_str(), 0644), 0);
        fs::create_directory(folder());
    }
    fs::path fifo() const { return home() / "pipe.dat"; }
    fs::path folder() const { return home() / "folder.dat"; }
    static std::string problem(const fs::path& p) { return p.string() + ": " + std::string(texts::NotARegularFile); }
};

} // namespace

TEST_F(NotAFile, APipeOrAFolderIsRefusedWithoutBeingRead) {
    PipeUnblocker unblocker(fifo());
    const auto start = std::chrono::steady_clock::now();
    for (const auto& path : {fifo(), folder()}) {
        SCOPED_TRACE(path);
        EXPECT_EQ(refusalOf([&] { readFileBytes(path); }), problem(path));
        std::vector<std::uint8_t> storage;
        EXPECT_EQ(refusalOf([&] { readFileInto(path, storage); }), problem(path));
        EXPECT_EQ(refusalOf([&] { readSnapshot(path); }), problem(path));
        EXPECT_EQ(refusalOf([&] { refuseUnlessWritable(path); }), problem(path));

        const auto outcome = reader->ReadCommandFile(true, path);
        EXPECT_FALSE(outcome.success);
        EXPECT_EQ(outcome.problem, problem(path));
        EXPECT_TRUE(clock.slept.count() == 0) << "no use waiting for it to become readable";
    }
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(1)) << "a pipe was opened and waited on";
}

TEST_F(NotAFile, AnOutputIsNeverPutInPlaceOfAPipeOrADevice) {
    PipeUnblocker unblocker(fifo());
    EXPECT_EQ(refusalOf([&] { writeFileAtomically(fifo(), std::string_view("report")); }), problem(fifo()));
    const fs::path links[] = {home() / "to-pipe.txt", home() / "to-null.txt"};
    fs::create_symlink(fifo(), links[0]);
    fs::create_symlink("/dev/null", links[1]);
    for (const auto& target : {fifo(), folder(), links[0], links[1], fs::path("/dev/null")}) {
        SCOPED_TRACE(target);
        prompter.answers = {"ok", "ok"};
        const auto outcome = ops::checkOutputTarget(prompter, file(), target);
        EXPECT_EQ(outcome.kind, ops::Outcome::Kind::Refused);
        EXPECT_EQ(outcome.text, texts::NotARegularFile);
        EXPECT_EQ(outcome.title, target.string()) << "the path is said once, as the title";
        EXPECT_EQ(prompter.last().kind, ScriptedPrompter::Kind::Message) << "no overwrite question";
    }
    EXPECT_TRUE(fs::is_fifo(fifo()));
    EXPECT_TRUE(fs::is_symlink(links[1]));
    EXPECT_TRUE(fs::is_character_file("/dev/null"));

    // What a killed run left while writing an output goes with the next run's check, even one
    // that ends in a no.
    const auto report = home() / "report.txt";
    writeFileAtomically(report, std::string_view("old"));
    std::ofstream(home() / ".report.txt.new-abc123") << "half";
    prompter.answers = {"cancel"};
    EXPECT_EQ(ops::checkOutputTarget(prompter, file(), report).kind, ops::Outcome::Kind::Declined);
    EXPECT_FALSE(fs::exists(home() / ".report.txt.new-abc123"));
    EXPECT_EQ(readText(report), "old");
}

TEST_F(NotAFile, OpeningOneKeepsTheFileOpenBefore) {
    PipeUnblocker unblocker(fifo());
    CommandFileBuilder b(7);
    BuiltCommand c;
    c.name = "kept";
    c.text = "Sub Main\r\nEnd Sub";
    b.add(c);
    b.writeFile(file());
    const auto sessionHome = home() / "session";
    Session session(sessionHome, prompter, clock);
    ASSERT_TRUE(session.open(file()).success);
    for (const auto& path : {fifo(), folder()}) {
        SCOPED_TRACE(path);
        const auto outcome = session.open(path);
        EXPECT_FALSE(outcome.success);
        EXPECT_EQ(outcome.problem, problem(path));
        ASSERT_EQ(session.store().allUsers().size(), 1u) << "the store still holds the file open before";
    }
}

#else
TEST(NotAFile, APipeOrAFolderIsRefusedWithoutBeingRead) {
    GTEST_SKIP() << "Windows has no pipes in the file system; folders and devices are refused in WindowsFiles";
}
TEST(NotAFile, AnOutputIsNeverPutInPlaceOfAPipeOrADevice) {
    GTEST_SKIP() << "Windows has no pipes in the file system; devices are refused in WindowsFiles";
}
TEST(NotAFile, OpeningOneKeepsTheFileOpenBefore) {
    GTEST_SKIP() << "Windows has no pipes in the file system";
}
#endif

namespace {

// Runs `whenWaiting` at the first wait, then waits without real time passing.
class CallbackClock final : public Clock {
public:
    std::chrono::system_clock::time_point now() const override { return now_; }
    void sleep(std::chrono::milliseconds d) override {
        now_ += d;
        if (whenWaiting) std::exchange(whenWaiting, nullptr)();
    }
    std::function<void()> whenWaiting;

private:
    std::chrono::system_clock::time_point now_{};
};

class WriterLock : public ::testing::Test {
protected:
    fs::path commandFile() const { return dir.path() / "mycmds.dat"; }
    std::string busy() const { return commandFile().string() + ": " + std::string(texts::WriterBusy); }
    TempDir dir;
    FakeClock clock;
};

} // namespace

TEST_F(WriterLock, ASecondWriterWaitsItsPatienceThenRefuses) {
    writeFileAtomically(commandFile(), std::string_view("x"));
    {
        CommandFileLock first(commandFile(), clock);
        EXPECT_EQ(refusalOf([&] { CommandFileLock second(commandFile(), clock); }), busy());
        EXPECT_GE(clock.slept, std::chrono::milliseconds(3000));
        EXPECT_LT(clock.slept, std::chrono::milliseconds(3100));
        // Replacing the file does not take the lock away.
        writeFileAtomically(commandFile(), std::string_view("y"));
        clock.slept = {};
        EXPECT_EQ(refusalOf([&] { CommandFileLock second(commandFile(), clock, std::chrono::milliseconds(120)); }),
                  busy());
        EXPECT_GE(clock.slept, std::chrono::milliseconds(120));
        EXPECT_LT(clock.slept, std::chrono::milliseconds(200));
    }
    clock.slept = {};
    CommandFileLock afterwards(commandFile(), clock);
    EXPECT_EQ(clock.slept.count(), 0);
}

TEST_F(WriterLock, ASecondWriterGetsTheLockWhenTheFirstLetsGo) {
    auto first = std::make_unique<CommandFileLock>(commandFile(), clock);
    CallbackClock waiting;
    waiting.whenWaiting = [&] { first.reset(); };
    const auto start = waiting.now();
    CommandFileLock second(commandFile(), waiting);
    EXPECT_FALSE(waiting.whenWaiting) << "it waited";
    EXPECT_LT(waiting.now() - start, std::chrono::milliseconds(3000));
    // A lock of another command file in the same folder is another lock.
    CommandFileLock other(dir.path() / "other.dat", clock);
    EXPECT_EQ(clock.slept.count(), 0);
}

TEST_F(WriterLock, HoldsAgainstAnotherProcess) {
#ifdef _WIN32
    GTEST_SKIP() << "holds the lock in a forked child; a Windows lock belongs to its handle, so the tests above "
                    "and ConcurrentWriters with two processes cover it";
#else
    int locked[2], release[2];
    ASSERT_EQ(::pipe(locked), 0);
    ASSERT_EQ(::pipe(release), 0);
    const pid_t holder = ::fork();
    ASSERT_GE(holder, 0);
    if (holder == 0) {
        ::close(locked[0]);
        ::close(release[1]);
        try {
            FakeClock own;
            CommandFileLock lock(commandFile(), own);
            const char c = 'l';
            (void)!::write(locked[1], &c, 1);
            char r;
            (void)!::read(release[0], &r, 1); // until the parent closes its end
        } catch (...) {
        }
        ::_exit(0);
    }
    ::close(locked[1]);
    ::close(release[0]);
    char c = 0;
    ASSERT_EQ(::read(locked[0], &c, 1), 1);
    EXPECT_EQ(refusalOf([&] { CommandFileLock second(commandFile(), clock, std::chrono::milliseconds(200)); }), busy());

    ::close(release[1]);
    SystemClock real;
    const auto start = std::chrono::steady_clock::now();
    CommandFileLock second(commandFile(), real);
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(3));
    ::waitpid(holder, nullptr, 0);
    ::close(locked[0]);
#endif
}

namespace {

class ChangeOfCommandFile : public ReaderFixture {
protected:
    WriterEnvironment env() { return {*store, *reader, trace, prompter, home()}; }
    void open() {
        CommandFileBuilder b(7);
        for (const char* name : {"first", "second"}) {
            BuiltCommand c;
            c.name = name;
            c.text = "Sub Main\r\nEnd Sub";
            b.add(c);
        }
        b.writeFile(file());
        ASSERT_TRUE(reader->ReadCommandFile(true, file()).success);
    }
    std::int64_t idOf(const std::string& name) {
        for (const auto& r : store->allUsers())
            if (r.name == name) return r.ID;
        return 0;
    }
};

} // namespace

// What the writers do through the atomic writer, seen on a command file.
TEST_F(ChangeOfCommandFile, KeepsTheFilesModeAndOwner) {
#ifdef _WIN32
    GTEST_SKIP() << "Windows files have no mode bits or owner for the writer to carry over";
#else
    const bool root = ::geteuid() == 0;
    for (const mode_t mode : {0600, 0640}) {
        SCOPED_TRACE(mode);
        open();
        ASSERT_EQ(::chmod(file().c_str(), mode), 0);
        if (root) {
            ASSERT_EQ(::chown(file().c_str(), 4321, 8765), 0);
        }
        CommandFileUpdater(env()).Update1Body(idOf("first"), "Sub Main\r\n' changed\r\nEnd Sub");
        const auto st = statOf(file());
        EXPECT_EQ(st.st_mode & 07777, mode);
        if (root) {
            EXPECT_EQ(st.st_uid, 4321u);
            EXPECT_EQ(st.st_gid, 8765u);
        }
        EXPECT_NE(readText(file()).find("' changed"), std::string::npos);
    }
#endif
}

TEST_F(ChangeOfCommandFile, OfAReadOnlyFileIsRefusedAndChangesNothing) {
    open();
    const auto before = readFileBytes(file());
    const auto rows = store->allUsers().size();
    fs::permissions(file(), fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read);
    EXPECT_EQ(refusalOf([&] { CommandFileUpdater(env()).Update1Body(idOf("first"), "changed"); }),
              file().string() + ": " + std::string(texts::ReadOnlyFile));
    EXPECT_EQ(readFileBytes(file()), before);
    EXPECT_EQ(store->allUsers().size(), rows);
    EXPECT_NE(store->allUsers()[0].script, "changed");
}
