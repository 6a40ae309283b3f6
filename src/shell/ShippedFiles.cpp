#include "shell/ShippedFiles.h"

#include "cmdfile/AtomicFile.h"
#include "shell/ApplicationTexts.h"
#include "writer/CommandFileComposer.h"

#include <string>

namespace vocabrella {
namespace {

constexpr std::uint8_t kVersion10 = 7;
constexpr std::uint8_t kEnglish = 9;
constexpr std::string_view kGroup = "Vocabrella";

// Start the program from a script. The quotation marks around the argument are doubled inside
// the script's string; start-up strips them from its command line.
std::string startScript(std::string_view argument) {
    std::string commandLine(texts::OwnProgram);
    if (!argument.empty()) commandLine += " \"\"" + std::string(argument) + "\"\"";
    return "Sub Main\r\n\tShell \"" + commandLine + "\", 1\r\nEnd Sub\r\n";
}

ComposedCommand startCommand(std::string_view name, std::string_view description, std::string_view argument) {
    ComposedCommand c;
    c.name = name;
    c.description = description;
    c.group = kGroup;
    c.typeCode = "A";
    c.text = startScript(argument);
    return c;
}

} // namespace

std::vector<std::uint8_t> placerCommandFile() { return CommandFileComposer(kVersion10, kEnglish).bytes(); }

std::vector<std::uint8_t> vocglobalCommandFile() {
    CommandFileComposer file(kVersion10, kEnglish);
    file.add(startCommand(texts::OwnCommand, "Brings up Vocabrella viewing the global commands",
                          texts::GlobalCommandsArgument));
    file.add(startCommand(texts::OwnLocalCommand, "Brings up Vocabrella viewing the commands of the application in front",
                          {}));
    return file.bytes();
}

void writeShippedFiles(const std::filesystem::path& folder) {
    writeFileAtomically(folder / std::string(texts::PlacerFile), placerCommandFile());
    const auto voice = vocglobalCommandFile();
    writeFileAtomically(folder / std::string(texts::VocGlobalFile), voice);
    writeFileAtomically(folder / std::string(texts::VocGlobal64File), voice);
}

} // namespace vocabrella
