#pragma once

#include <chrono>
#include <filesystem>
#include <string_view>

namespace vocabrella {

// The run trace trace.vbl: appended to within one day, started afresh on the first run of a
// new day. The file stays open and exclusively locked for the whole run, which is also what
// keeps a second instance out.
class Trace {
public:
    Trace() = default; // a closed trace writes nothing
    Trace(const Trace&) = delete;
    Trace& operator=(const Trace&) = delete;
    ~Trace();

    enum class OpenResult { Opened, Locked, Failed };
    OpenResult open(const std::filesystem::path& path, std::chrono::system_clock::time_point now);
    bool isOpen() const { return fd_ >= 0; }
    const std::filesystem::path& path() const { return path_; }

    // One line: first, blank, second, blank, third, CR LF.
    void Tracy(std::string_view first, std::string_view second = {}, std::string_view third = {});
    void close();

private:
    int fd_ = -1;
    std::filesystem::path path_;
};

} // namespace vocabrella
