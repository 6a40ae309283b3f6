#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace vocabrella {
struct UserRow;
}

namespace vocabrella::ops {

class Progress;
class Workspace;

// The kinds of finding, as the command line's JSON names them.
namespace finding {
inline constexpr std::string_view MissingList = "missing-list";
inline constexpr std::string_view Duplicate = "duplicate";
inline constexpr std::string_view UnusedList = "unused-list";
inline constexpr std::string_view BadListName = "bad-list-name";
inline constexpr std::string_view ScriptError = "script-error";
inline constexpr std::string_view EmptyBody = "empty-body";
inline constexpr std::string_view BadName = "bad-name";
inline constexpr std::string_view ControlCharacter = "control-character";
inline constexpr std::string_view Conflict = "conflict";
} // namespace finding

// One thing wrong with a command or LIST of the file, where it stands.
struct Finding {
    std::string kind, program, scope, name, detail;
    bool isList = false; // the finding is a LIST's (shown among the LISTs)
};

// Looks the open command file over for what Dragon would not take or the user cannot want:
// references to LISTs that do not exist, a name twice in one scope (letter case aside), LISTs
// no command uses and no delete has dropped, LIST names outside Dragon's alphabet, command names
// whose brackets Dragon cannot read, scripts with faults (legacy scripts by Dragon's script check
// where it is there, by this program's own otherwise; advanced scripts always by this program's),
// commands with an empty body, control characters in bodies, descriptions and groups (no XML
// holds them), and two commands that answer to the same words in one program and scope or in a
// program and among the global commands (told at the later of the two, with the words). It
// changes nothing;
// a file changed on disk since it was read is read again first. The findings come in the
// order of the file's records. Told to a `Progress`, when given, which may cancel it: then
// there are no findings.
class CheckCommands {
public:
    explicit CheckCommands(Workspace& workspace) : ws_(workspace) {}

    struct Result {
        std::vector<Finding> findings;
        // Legacy scripts checked by this program's own checker because Dragon's is not there.
        std::size_t scriptsWithoutDragon = 0;
        bool reread = false; // the file had changed on disk and was read again
        bool cancelled = false;
    };
    Result run(Progress* progress = nullptr);

private:
    // The faults of a command's script, each a finding.
    void checkScript(const UserRow& row, Result& result);

    Workspace& ws_;
};

} // namespace vocabrella::ops
