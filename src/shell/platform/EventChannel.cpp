#include "shell/platform/EventChannel.h"
#include "shell/platform/EventFile.h"

#include "shell/platform/DragonFiles.h"

#include <stdexcept>

namespace vocabrella::platform {
namespace fs = std::filesystem;

fs::path eventsFile(const fs::path& root) { return root / simulated::EventsFile; }

void appendEvent(const fs::path& root, const DragonEvent& event) {
    if (event.text.find_first_of("\r\n") != std::string::npos)
        throw std::invalid_argument("An event cannot hold a line break");
    std::string line(event.kind == DragonEvent::Kind::SpeakerChange ? simulated::SpeakerEvent : simulated::SayEvent);
    line.append("\t").append(event.text).append("\n");
    eventfile::appendLine(eventsFile(root), line);
}

EventReader::EventReader(fs::path file) : file_(std::move(file)) {
    const auto end = eventfile::endOf(file_);
    if (end.present) {
        offset_ = end.size;
        inode_ = end.identity;
    }
}

std::vector<DragonEvent> EventReader::poll() {
    std::vector<DragonEvent> events;
    std::string added;
    if (!eventfile::readAdded(file_, offset_, inode_, added)) return events;

    const auto lastFeed = added.rfind('\n');
    if (lastFeed == std::string::npos) return events;
    offset_ += lastFeed + 1;
    for (std::size_t start = 0; start <= lastFeed;) {
        const auto end = added.find('\n', start);
        std::string_view line(added.data() + start, end - start);
        start = end + 1;
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        const auto tab = line.find('\t');
        if (tab == std::string_view::npos) continue;
        const auto kind = line.substr(0, tab);
        if (kind == simulated::SpeakerEvent)
            events.push_back({DragonEvent::Kind::SpeakerChange, std::string(line.substr(tab + 1))});
        else if (kind == simulated::SayEvent)
            events.push_back({DragonEvent::Kind::Recognition, std::string(line.substr(tab + 1))});
    }
    return events;
}

} // namespace vocabrella::platform
