#pragma once

#include "ops/Outcome.h"
#include "ops/XmlSource.h"

#include <filesystem>
#include <string>

namespace vocabrella {
class Prompter;
}

namespace vocabrella::ops {

// Makes a new command file from a MyCommands XML file: every command and LIST in it, in the
// layout of the version chosen (the newest by default) and with the language chosen (that of
// the XML by default). The target follows the rules of every output: never the open command
// file (nor the XML itself), in a folder that exists, over an existing file only after OK.
class ImportXmlToNewFile {
public:
    // version: "6.0", "6.1", "7.x", "8/9" or "10"; language: an identifier or a name; empty for
    // the defaults. openFile: the command file open in the program, if any.
    ImportXmlToNewFile(Prompter& prompter, std::filesystem::path xmlFile, std::filesystem::path target,
                       std::string version = {}, std::string language = {}, std::filesystem::path openFile = {})
        : prompter_(prompter), xmlFile_(std::move(xmlFile)), target_(std::move(target)), version_(std::move(version)),
          language_(std::move(language)), openFile_(std::move(openFile)) {}

    Outcome run();
    std::size_t commands() const { return source_.set.commands.size(); }
    std::size_t lists() const { return source_.set.lists.size(); }

private:
    Outcome refuse(std::string text, std::string title = {});

    Prompter& prompter_;
    std::filesystem::path xmlFile_, target_;
    std::string version_, language_;
    std::filesystem::path openFile_;
    XmlSource source_;
};

} // namespace vocabrella::ops
