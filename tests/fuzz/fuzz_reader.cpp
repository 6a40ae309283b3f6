// Feeds arbitrary bytes to the command file reader: every input must end in a parse or a
// reported failure, never a crash, a hang or a read outside the file.
#include "cmdfile/Clock.h"
#include "cmdfile/Errors.h"
#include "cmdfile/Prompter.h"
#include "cmdfile/Reader.h"
#include "cmdfile/Store.h"
#include "cmdfile/Trace.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <optional>
#include <unistd.h>

namespace fs = std::filesystem;
using namespace vocabrella;

namespace {

struct World {
    World() {
        std::string pattern = (fs::temp_directory_path() / "vocabrella-fuzz-XXXXXX").string();
        home = ::mkdtemp(pattern.data());
        fs::copy_file(fs::path(VOCABRELLA_FUZZ_DATA) / "keynames", home / "keynames");
        store.emplace(CommandStore::create(home / "global.mdb"));
        reader.emplace(ReaderEnvironment{*store, trace, prompter, clock, home});
    }
    fs::path home;
    SilentPrompter prompter;
    NoWaitClock clock;
    Trace trace;
    std::optional<CommandStore> store;
    std::optional<CommandFileReader> reader;
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static World world;
    const fs::path file = world.home / "mycmds.dat";
    {
        std::ofstream out(file, std::ios::binary | std::ios::trunc);
        out.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
    }
    const auto outcome = world.reader->ReadCommandFile(true, file);
    if (!outcome.success && outcome.problem.empty()) std::abort();
    return 0;
}
