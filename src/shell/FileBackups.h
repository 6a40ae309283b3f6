#pragma once

#include <filesystem>

namespace vocabrella {

class Clock;

// The day's copy of a command file that is no speech user's own (a file opened without Dragon,
// or changed from the command line), kept in the home folder, one folder per file:
// HOME/file-backups/NAME-XXXXXXXXXXXXXXXX/NAME.mmddyyyy, the X's naming the file's full path
// (written beside the copies as "path"), so that two files of one name keep apart.
class FileBackups {
public:
    static std::filesystem::path folderOf(const std::filesystem::path& home, const std::filesystem::path& file);
    // Copies the file unless today's copy exists (or always, when forced); returns the copy.
    static std::filesystem::path takeDaily(const std::filesystem::path& home, const std::filesystem::path& file,
                                           Clock& clock, bool force = false);
};

} // namespace vocabrella
