#pragma once

#include "ops/Change.h"
#include "ops/XmlSource.h"

#include <filesystem>
#include <set>
#include <string>
#include <vector>

namespace vocabrella::ops {

// What to do with a command the file has already (same program, scope and name).
enum class XmlDuplicates { Ask, Replace, Keep };

// Adds the commands and LISTs of a MyCommands XML file to the open command file, as an export
// that appends does: the commands go behind those of the file, in its layout; a command the file
// has already is replaced (the new one last) or kept, as answered; a LIST the file has already
// keeps its items. Refused when the XML's language is not the file's.
class ImportXmlIntoFile final : public Change {
public:
    std::string describe() const override;
    ImportXmlIntoFile(Workspace& ws, std::filesystem::path xmlFile, XmlDuplicates duplicates = XmlDuplicates::Ask)
        : Change(ws), xmlFile_(std::move(xmlFile)), duplicates_(duplicates) {}

    std::uint32_t commandsAdded() const { return commandsAdded_; }
    std::uint32_t listsAdded() const { return listsAdded_; }
    const std::vector<std::string>& kept() const { return kept_; }

protected:
    Outcome check() override;
    Outcome confirm() override;
    void write() override;
    Outcome finish() override;

private:
    std::filesystem::path xmlFile_;
    XmlDuplicates duplicates_;
    XmlSource source_;
    std::set<std::string> replace_, keep_; // store keys of the commands the file has already
    std::vector<std::string> kept_;
    std::uint32_t commandsAdded_ = 0, listsAdded_ = 0;
    std::size_t statesDropped_ = 0; // commands written without their states (views)
};

} // namespace vocabrella::ops
