#include "ops/XmlSource.h"

#include "cmdfile/AtomicFile.h"
#include "cmdfile/Errors.h"
#include "cmdfile/Prompter.h"
#include "cmdfile/RawRecord.h"
#include "cmdfile/TextCase.h"
#include "cmdfile/XmlDocument.h"
#include "ops/Names.h"
#include "ops/Texts.h"
#include "writer/RecordEncoder.h"
#include "writer/WriterEnvironment.h"
#include "cmdfile/System.h"

#include <stdexcept>

namespace vocabrella::ops {

namespace {

std::string key(std::string_view program, std::string_view scope, std::string_view name) {
    std::string k = foldCase(program);
    (k += '\n') += foldCase(scope);
    (k += '\n') += foldCase(name);
    return k;
}

} // namespace

Outcome XmlSource::load(Prompter& prompter, const std::filesystem::path& xmlFile, FileVersionFamily family,
                        const std::set<std::string>& listsThere) {
    const auto refuse = [&](std::string text) {
        prompter.message(text, os::pathText(xmlFile));
        return Outcome::refused(std::move(text), os::pathText(xmlFile));
    };
    try {
        set = readDragonXml(readFileBytes(xmlFile));
    } catch (const xml::XmlError& e) {
        return refuse(std::string(texts::XmlUnreadable) + e.what());
    } catch (const std::filesystem::filesystem_error& e) {
        return refuse(std::string(texts::XmlUnreadable) + e.code().message());
    } catch (const Refusal& r) {
        return refuse(std::string(texts::XmlUnreadable) + r.what());
    }
    if (set.commands.empty() && set.problems.empty()) return refuse(std::string(texts::XmlNoCommands));

    auto& problems = set.problems;
    std::set<std::string> lists = listsThere;
    std::set<std::string> seenLists;
    for (const auto& list : set.lists) {
        const auto problem = [&](std::string_view what) { problems.push_back(list.name + ": " + std::string(what)); };
        if (!isListName(list.name)) problem(texts::ListNameCharacters);
        else if (!seenLists.insert(list.name).second) problem(texts::XmlTwice);
        try {
            checkListItemCount(list.name, list.items.size());
        } catch (const Refusal& r) {
            problem(r.what());
        }
        for (const auto& item : list.items)
            try {
                encodeName(item);
            } catch (const Refusal& r) {
                problem(r.what());
                break;
            }
        lists.insert(list.name);
    }
    std::set<std::string> seen;
    for (const auto& c : set.commands) {
        const auto problem = [&](std::string_view what) { problems.push_back(c.name + ": " + std::string(what)); };
        if (c.name.empty()) {
            problem(texts::EmptyName);
            continue;
        }
        if (const auto unreadable = namePatternProblem(c.name)) {
            problem(*unreadable);
            continue;
        }
        try { // what Dragon cannot hold, as every writer refuses it
            encodeComposedCommand(c, family);
        } catch (const Refusal& r) { // InputRefusal included
            problem(r.what());
            continue;
        }
        for (const auto reference : listReferences(c.name)) {
            const std::string list(reference);
            if (!isListName(list)) problem(std::string(texts::ListNameCharacters) + " (<" + list + ">)");
            else if (!lists.contains(list)) problem(std::string(texts::XmlListNowhere) + list);
        }
        const std::string program = names::isGlobalProgram(c.program) ? std::string(names::GlobalCommands) : c.program;
        if (!seen.insert(key(program, c.scope, c.name)).second) problem(texts::XmlTwice);
    }
    if (problems.empty()) return Outcome::done();
    std::string text(texts::XmlImportRefused);
    for (const auto& p : problems) (text += "\r\n") += p;
    return refuse(std::move(text));
}

std::optional<std::uint8_t> versionCodeForFamilyName(std::string_view name) {
    if (name == "10") return 7;
    for (std::uint8_t code = 3; code <= 7; ++code)
        if (const auto family = familyForCode(code); family && familyName(*family) == name) return code;
    return std::nullopt;
}

std::optional<std::uint8_t> languageByteFor(std::string_view given) {
    if (const auto id = dragonxml::parseLanguageId(given)) return languageCodeForId(*id);
    for (const auto name : {"English", "German", "Spanish", "French", "Dutch"})
        if (foldCase(given) == foldCase(name)) return languageCodeForName(name);
    return std::nullopt;
}

} // namespace vocabrella::ops
