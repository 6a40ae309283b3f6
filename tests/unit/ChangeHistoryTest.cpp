#include "TestHome.h"

#include "cmdfile/AtomicFile.h"
#include "cmdfile/Sha256.h"
#include "shell/ChangeHistory.h"
#include "shell/Texts.h"

#include <functional>
#include <map>

using namespace vocabrella;
using namespace vocabrella::testsupport;
namespace fs = std::filesystem;
using Bytes = std::vector<std::uint8_t>;

namespace {

Bytes version(int i) { return Bytes(100 + i, static_cast<std::uint8_t>(i)); }

// A file with a history of `changes` changes, version(i) to version(i + 1).
struct Recorded {
    explicit Recorded(int changes, const std::string& name = "mycmds.dat") : file(dir.path() / name) {
        writeFileAtomically(file, std::string("x"));
        ChangeHistory h(home(), file);
        for (int i = 0; i < changes; ++i) h.record("change " + std::to_string(i), now, version(i), version(i + 1));
    }
    fs::path home() const { return dir.path() / "home"; }
    ChangeHistory history() const { return ChangeHistory(home(), file); }
    fs::path folder() const { return ChangeHistory::folderOf(home(), file); }
    fs::path list() const { return ChangeHistory::listOf(home(), file); }
    fs::path versionFile(int i) const { return folder() / "versions" / sha256Hex(version(i)); }
    std::vector<std::string> descriptions() const {
        std::vector<std::string> all;
        const auto h = history();
        for (const auto& e : h.entries()) all.push_back(e.description);
        return all;
    }

    TempDir dir;
    fs::path file;
    std::chrono::system_clock::time_point now = std::chrono::system_clock::now();
};

// Every file under folder with its bytes; links are listed, not followed.
std::map<std::string, std::string> contents(const fs::path& folder) {
    std::map<std::string, std::string> all;
    for (const auto& e : fs::recursive_directory_iterator(folder))
        all[e.path().lexically_relative(folder).string()] = e.is_regular_file() ? readText(e.path()) : "";
    return all;
}

} // namespace

// A link under the history (the history folder, the file's folder, its versions, its list, its
// path, one version) was not made here: the history is told damaged and goes aside as it is,
// the link with it, and nothing it names is read, written or removed.
TEST(ChangeHistoryLinks, ALinkUnderTheHistoryGoesAsideNeverFollowed) {
    for (const std::string where : {"history", "F", "F/versions", "F/changes", "F/path", "F/versions/D"}) {
        SCOPED_TRACE(where);
        Recorded r(2);
        const auto name = r.folder().filename().string();
        std::string rest = where.starts_with("F/") ? where.substr(2) : "";
        if (rest == "versions/D") rest = "versions/" + sha256Hex(version(1));
        const auto inside = [&](const fs::path& folder) { return rest.empty() ? folder : folder / rest; };
        const fs::path link = where == "history" ? r.home() / "history" : inside(r.folder());
        // What the link names is what was there, and something more that no history names.
        const fs::path outside = r.dir.path() / "outside";
        fs::create_directory(outside);
        fs::rename(link, outside / "named");
        writeFileAtomically(outside / "precious", std::string("keep"));
        try {
            if (fs::is_directory(outside / "named")) fs::create_directory_symlink(outside / "named", link);
            else fs::create_symlink(outside / "named", link);
        } catch (const fs::filesystem_error& e) {
            GTEST_SKIP() << "this account may not make links here: " << e.what();
        }
        const auto before = contents(outside);

        auto h = r.history();
        EXPECT_EQ(h.problem(), std::string(texts::HistoryDamaged) + link.string() + std::string(texts::HistoryLinked));
        EXPECT_TRUE(h.entries().empty());
        EXPECT_FALSE(h.version(sha256Hex(version(1)), version(1).size())) << "a version is not read through a link";
        h.record("after", r.now, version(2), version(3));
        EXPECT_EQ(contents(outside), before);
        const fs::path aside = where == "history" ? r.home() / "history.damaged-1"
                                                  : inside(r.home() / "history" / (name + ".damaged-1"));
        EXPECT_TRUE(fs::is_symlink(aside)) << "the link goes aside as it is";
        EXPECT_TRUE(r.history().problem().empty());
        EXPECT_EQ(r.descriptions(), std::vector<std::string>{"after"});
    }
}

// The history's folder or the file's folder found as a link goes aside before a change makes
// anything under it (a folder, its lock file): nothing appears where the link points.
TEST(ChangeHistoryLinks, ALinkedFolderGoesAsideBeforeAnythingIsMade) {
    for (const bool all : {true, false}) {
        Recorded r(1);
        const fs::path link = all ? r.home() / "history" : r.folder();
        const fs::path outside = r.dir.path() / "outside";
        fs::rename(link, outside);
        try {
            fs::create_directory_symlink(outside, link);
        } catch (const fs::filesystem_error& e) {
            GTEST_SKIP() << "this account may not make links here: " << e.what();
        }
        const auto before = contents(outside);
        EXPECT_EQ(ChangeHistory::setAsideLinkedFolders(r.home(), r.file),
                  std::string(texts::HistoryDamaged) + link.string() + std::string(texts::HistoryLinked));
        EXPECT_TRUE(fs::is_symlink(link.string() + ".damaged-1")) << all;
        EXPECT_FALSE(fs::exists(fs::symlink_status(link))) << all;
        EXPECT_EQ(ChangeHistory::setAsideLinkedFolders(r.home(), r.file), "");
        EXPECT_EQ(contents(outside), before);
    }
}

// A line that cannot be read costs only itself: the other entries are kept, the position counts
// them, the line goes to changes.damaged, and the versions it names stay with it.
TEST(ChangeHistoryDamage, ABadLineCostsOnlyItself) {
    Recorded r(4);
    r.history().undone();
    auto text = readText(r.list());
    std::string badLines;
    for (const char* spoilt : {"change 1", "change 3"}) {
        const auto at = text.find(spoilt);
        text.replace(at, 6, "ch\\q");
        const auto from = text.rfind('\n', at) + 1;
        badLines += text.substr(from, text.find('\n', at) + 1 - from);
    }
    writeFileAtomically(r.list(), text);

    auto h = r.history();
    EXPECT_EQ(h.problem(), std::string(texts::HistoryLinesDamaged) + r.list().string() + ", line 5");
    EXPECT_EQ(r.descriptions(), (std::vector<std::string>{"change 0", "change 2"}));
    EXPECT_EQ(h.position(), 2u) << "the undone change is not counted";
    h.record("change 4", r.now, version(3), version(9));
    EXPECT_TRUE(r.history().problem().empty());
    EXPECT_EQ(r.descriptions(), (std::vector<std::string>{"change 0", "change 2", "change 4"}));
    EXPECT_EQ(readText(r.folder() / "changes.damaged"), badLines);
    for (const int kept : {0, 1, 2, 3, 4, 9}) EXPECT_TRUE(fs::exists(r.versionFile(kept))) << kept;
}

// A version spoilt in place keeps its size: recorded again, it is checked and written anew.
TEST(ChangeHistoryDamage, AVersionSpoiltInPlaceIsWrittenAgain) {
    Recorded r(1);
    Bytes spoilt = version(0);
    spoilt.front() ^= 1;
    writeFileAtomically(r.versionFile(0), spoilt);
    r.history().record("back", r.now, version(1), version(0));
    EXPECT_EQ(r.history().version(sha256Hex(version(0)), version(0).size()), version(0));
}

// A list far beyond what any history keeps (in lines or in bytes) was not written here: it is
// told, not parsed, and goes aside whole with its versions.
TEST(ChangeHistoryDamage, AListBeyondAnyBoundGoesAsideUnread) {
    const std::vector<std::pair<const char*, std::function<void(const fs::path&)>>> cases = {
        {"lines", [](const fs::path& list) {
             auto text = readText(list);
             const auto entry = text.substr(text.find('\n', text.find("position")) + 1);
             text.resize(text.size() - entry.size());
             text.replace(text.find("position 1"), 10, "position 0");
             for (int i = 0; i <= 100000; ++i) text += entry;
             writeFileAtomically(list, text);
         }},
        {"bytes", [](const fs::path& list) { fs::resize_file(list, (64u << 20) + 1); }},
    };
    for (const auto& [name, make] : cases) {
        SCOPED_TRACE(name);
        Recorded r(1);
        make(r.list());
        const auto size = fs::file_size(r.list());
        auto h = r.history();
        EXPECT_EQ(h.problem(), std::string(texts::HistoryDamaged) + r.list().string() + std::string(texts::HistoryTooBig));
        EXPECT_TRUE(h.entries().empty());
        h.record("after", r.now, version(1), version(2));
        const fs::path aside = r.folder().string() + ".damaged-1";
        EXPECT_EQ(fs::file_size(aside / "changes"), size);
        EXPECT_TRUE(fs::exists(aside / "versions" / sha256Hex(version(0))));
        EXPECT_EQ(r.descriptions(), std::vector<std::string>{"after"});
    }
}

// The file's path is kept on one line whatever it holds, and read back as the same file; a list
// written before paths were escaped is still read.
TEST(ChangeHistoryPath, EveryCharacterOfThePathIsReadBack) {
    for (const std::string name : {"new\nline.dat", "tab\there.dat", "cr\rhere.dat", "back\\slash.dat"}) {
        SCOPED_TRACE(name);
        std::optional<Recorded> r;
        try {
            r.emplace(2, name);
        } catch (const std::exception& e) {
            GTEST_SKIP() << "this system's file names cannot hold every character: " << e.what();
        }
        EXPECT_TRUE(r->history().problem().empty()) << r->history().problem();
        EXPECT_EQ(r->descriptions(), (std::vector<std::string>{"change 0", "change 1"}));
        const auto path = readText(r->folder() / "path");
        EXPECT_EQ(path.find('\n'), path.size() - 1) << path;
        if (name.find('\\') != std::string::npos) {
            auto text = readText(r->list());
            const auto at = text.find("\\\\");
            writeFileAtomically(r->list(), text.replace(at, 2, "\\"));
            EXPECT_EQ(r->history().entries().size(), 2u) << "the path as older lists wrote it";
        }
    }
}
