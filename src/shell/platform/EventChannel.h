#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

namespace vocabrella::platform {

// Something the simulated Dragon tells a running program.
struct DragonEvent {
    enum class Kind { SpeakerChange, Recognition };
    Kind kind = Kind::Recognition;
    std::string text; // the new speaker's name, or the words heard
};

// The channel is the file "events" in the simulated installation: one line per event,
// "speaker<TAB>NAME" or "say<TAB>WORDS", ended by LF, only ever appended to (under an exclusive
// lock, one write per line). A program reads on from where it last stopped, so it can poll from
// a timer without a thread, and several programs may listen at once.
std::filesystem::path eventsFile(const std::filesystem::path& root);

// Throws std::invalid_argument for a text holding a line break, std::filesystem::filesystem_error
// when the file cannot be written.
void appendEvent(const std::filesystem::path& root, const DragonEvent& event);

class EventReader {
public:
    // Starts at the current end of the file: events sent before the program started are not
    // for it.
    explicit EventReader(std::filesystem::path file);

    // The complete lines added since the last poll; a line still being written waits for the
    // next poll, and a file that was replaced or shortened is read from its start.
    std::vector<DragonEvent> poll();

private:
    std::filesystem::path file_;
    std::uintmax_t offset_ = 0;
    std::uintmax_t inode_ = 0;
};

} // namespace vocabrella::platform
