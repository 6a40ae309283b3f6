// Runs of the command line without --home use the program's own home, as a user's do. For the
// tests it is a folder of their own, made before the first test and removed after the last,
// unless the environment names one already.
#include "TestHome.h"

#include "cmdfile/System.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>
#include <optional>

#ifdef _WIN32
#include "cmdfile/WideText.h"
#include <windows.h>
#endif

namespace {

void setProgramHome(const std::filesystem::path& home) {
#ifdef _WIN32
    ::SetEnvironmentVariableW(L"VOCABRELLA_HOME", vocabrella::os::wide(vocabrella::os::pathText(home)).c_str());
#else
    ::setenv("VOCABRELLA_HOME", home.c_str(), 1);
#endif
}

class ProgramHome final : public ::testing::Environment {
public:
    void SetUp() override {
        if (!vocabrella::os::environment("VOCABRELLA_HOME").empty()) return;
        folder_.emplace();
        setProgramHome(folder_->path() / "home");
    }
    void TearDown() override { folder_.reset(); }

private:
    std::optional<vocabrella::testsupport::TempDir> folder_;
};

[[maybe_unused]] auto* const registered = ::testing::AddGlobalTestEnvironment(new ProgramHome);

} // namespace
