#pragma once

#include "ScriptedPrompter.h"

#include "cmdfile/Clock.h"
#include "cmdfile/Reader.h"
#include "cmdfile/Store.h"
#include "cmdfile/System.h"
#include "cmdfile/Trace.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <optional>
#include <sstream>
#include <string>

namespace vocabrella::testsupport {

// A clock that never waits: sleeping only moves its time on.
class FakeClock final : public Clock {
public:
    std::chrono::system_clock::time_point now() const override { return now_; }
    void sleep(std::chrono::milliseconds d) override {
        now_ += d;
        slept += d;
    }
    std::chrono::milliseconds slept{0};

private:
    std::chrono::system_clock::time_point now_ = std::chrono::system_clock::now();
};

// A fresh folder under the system's temporary folder, removed afterwards.
class TempDir {
public:
    TempDir() : path_(os::makeTemporaryFolder(std::filesystem::temp_directory_path(), "vocabrella-test-")) {}
    ~TempDir() {
        std::error_code ec;
        std::filesystem::remove_all(path_, ec);
    }
    const std::filesystem::path& path() const { return path_; }

private:
    std::filesystem::path path_;
};

inline std::string readText(const std::filesystem::path& p) {
    std::ifstream in(p, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

// A home folder with keynames, an empty store, a trace and a reader.
class ReaderFixture : public ::testing::Test {
protected:
    void SetUp() override {
        std::filesystem::copy_file(std::filesystem::path(VOCABRELLA_DATA_DIR) / "keynames", home() / "keynames");
        store.emplace(CommandStore::create(home() / "global.mdb"));
        trace.open(home() / "trace.vbl", clock.now());
        reader.emplace(ReaderEnvironment{*store, trace, prompter, clock, home()});
    }

    const std::filesystem::path& home() const { return dir.path(); }
    std::filesystem::path file(const std::string& name = "mycmds.dat") const { return home() / name; }

    TempDir dir;
    ScriptedPrompter prompter;
    FakeClock clock;
    Trace trace;
    std::optional<CommandStore> store;
    std::optional<CommandFileReader> reader;
};

inline std::filesystem::path sample(const std::string& name) { return std::filesystem::path(VOCABRELLA_SAMPLES_DIR) / name; }

// A copy of a sample to change: the samples are read-only, and a read-only command file is
// refused rather than replaced.
inline void copySampleToChange(const std::string& name, const std::filesystem::path& to) {
    std::filesystem::copy_file(sample(name), to);
    std::filesystem::permissions(to, std::filesystem::perms::owner_write, std::filesystem::perm_options::add);
}

} // namespace vocabrella::testsupport
