#pragma once

#include <filesystem>
#include <string_view>

namespace vocabrella {

// A fresh folder of its own under the system's temporary folder, removed with everything in it
// when it goes out of scope.
class ScratchFolder {
public:
    // The folder's name begins with "vocabrella-" and the purpose; throws when it cannot be made.
    explicit ScratchFolder(std::string_view purpose);
    ~ScratchFolder();
    ScratchFolder(const ScratchFolder&) = delete;
    ScratchFolder& operator=(const ScratchFolder&) = delete;

    const std::filesystem::path& path() const { return path_; }

private:
    std::filesystem::path path_;
};

} // namespace vocabrella
