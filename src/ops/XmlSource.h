#pragma once

#include "cmdfile/Format.h"
#include "ops/Outcome.h"
#include "writer/DragonXml.h"

#include <filesystem>
#include <set>
#include <string>

namespace vocabrella {
class Prompter;
}

namespace vocabrella::ops {

// The commands and LISTs of a MyCommands XML file, read and checked for a command file of one
// family before anything is written: every text must have a Windows-1252 form, every name must
// be one Dragon takes, every LIST a name refers to must come along (or be in the command file
// already: `listsThere`), and no command or LIST may come twice. What fails is told in one
// message that names each command, and the load is refused.
struct XmlSource {
    XmlCommandSet set;

    Outcome load(Prompter& prompter, const std::filesystem::path& xmlFile, FileVersionFamily family,
                 const std::set<std::string>& listsThere = {});
};

// "6.0", "6.1", "7.x", "8/9" or "10" (also "10/11/12/13") as the header's version code.
std::optional<std::uint8_t> versionCodeForFamilyName(std::string_view name);
// A language given as an identifier ("0x809", "2057", "9") or by name ("English"): the language
// byte of a command file; nothing for a language Dragon's files do not know.
std::optional<std::uint8_t> languageByteFor(std::string_view given);

} // namespace vocabrella::ops
