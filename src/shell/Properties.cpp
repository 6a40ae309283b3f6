#include "shell/Properties.h"

#include "cmdfile/Reader.h"
#include "cmdfile/TimeText.h"
#include "cmdfile/System.h"

namespace vocabrella {

std::string propertiesText(const std::filesystem::path& path, const FileInformation& info) {
    const char* crlf = "\r\n";
    return "Filename:" + std::string(crlf) + os::pathText(path) + crlf + crlf + "Version:           " + info.versionName +
           crlf + "Language:       " + info.languageName + crlf + "Last Modified: " + displayStamp(info.modified) +
           crlf + "Size:                " + std::to_string(info.size) + crlf +
           "#Commands:  " + std::to_string(info.commandCount) + crlf +
           "#Lists:            " + std::to_string(info.listCount);
}

} // namespace vocabrella
