#include "cmdfile/TimeText.h"

#include "cmdfile/System.h"

#include <ctime>

namespace vocabrella {

std::string localTimeText(std::chrono::system_clock::time_point t, const char* format) {
    const std::time_t tt = std::chrono::system_clock::to_time_t(t);
    const std::tm tm = os::localTime(tt);
    char buffer[64];
    const std::size_t n = std::strftime(buffer, sizeof buffer, format, &tm);
    return std::string(buffer, n);
}

std::chrono::system_clock::time_point toSystemTime(std::filesystem::file_time_type t) {
    return std::chrono::time_point_cast<std::chrono::system_clock::duration>(std::chrono::file_clock::to_sys(t));
}

std::int64_t fileTimeStamp(std::filesystem::file_time_type t) {
    return std::chrono::duration_cast<std::chrono::nanoseconds>(toSystemTime(t).time_since_epoch()).count();
}

std::chrono::system_clock::time_point fromStamp(std::int64_t stamp) {
    return std::chrono::system_clock::time_point(
        std::chrono::duration_cast<std::chrono::system_clock::duration>(std::chrono::nanoseconds(stamp)));
}

std::string dayStamp(std::chrono::system_clock::time_point t) { return localTimeText(t, "%m%d%y"); }

std::string displayTime(std::chrono::system_clock::time_point t) { return localTimeText(t, "%m/%d/%Y %H:%M:%S"); }

std::string displayStamp(std::int64_t stamp) { return displayTime(fromStamp(stamp)); }

} // namespace vocabrella
