#include "ops/CompareFiles.h"

#include "cmdfile/ScratchFolder.h"

#include "cmdfile/Clock.h"
#include "cmdfile/Errors.h"
#include "cmdfile/Format.h"
#include "cmdfile/Prompter.h"
#include "cmdfile/Reader.h"
#include "cmdfile/RecordCodec.h"
#include "cmdfile/ScratchFolder.h"
#include "cmdfile/Store.h"
#include "cmdfile/Texts.h"
#include "cmdfile/Trace.h"
#include "ops/LineDiff.h"
#include "ops/Texts.h"
#include "shell/Texts.h"
#include "writer/VersionConversion.h"
#include "cmdfile/System.h"

#include <algorithm>
#include <cstdlib>
#include <map>
#include <optional>

namespace vocabrella::ops {
namespace fs = std::filesystem;

namespace {

// A command or LIST as the comparison looks at it.
struct Entry {
    ComparedEntry head;
    std::string body, description, group;
    std::vector<std::string> states;
};

struct ReadFile {
    ComparedFile info;
    FileVersionFamily family = FileVersionFamily::V10_13;
    std::vector<Entry> entries; // in file order
};

std::vector<std::string> stateNames(CommandStore& store, std::string_view ids) {
    std::vector<std::string> names;
    while (!ids.empty()) {
        const auto comma = ids.find(',');
        const std::string id(ids.substr(0, comma));
        if (!id.empty()) names.push_back(store.stateName(std::strtoll(id.c_str(), nullptr, 10)).value_or("#" + id));
        if (comma == std::string_view::npos) break;
        ids.remove_prefix(comma + 1);
    }
    return names;
}

// Reads the file as the program does, into a store made for the purpose.
ReadFile readForComparison(const fs::path& given, const fs::path& keyNamesFolder) {
    const fs::path path = fs::weakly_canonical(fs::absolute(given));
    std::error_code ec;
    if (!fs::exists(path, ec)) throw CompareError(path, std::string(vocabrella::texts::FileDoesNotExist));
    if (!fs::is_regular_file(path, ec)) throw CompareError(path, std::string(vocabrella::texts::NotARegularFile));

    ScratchFolder scratch("compare");
    ReadFile file;
    try {
        fs::copy_file(keyNamesFolder / "keynames", scratch.path() / "keynames");
    } catch (const fs::filesystem_error&) {
        throw CompareError(path, std::string(vocabrella::texts::KeynamesMissing));
    }
    try {
        auto store = CommandStore::create(scratch.path() / "compare.mdb");
        Trace closed;
        SilentPrompter quiet;
        NoWaitClock clock;
        CommandFileReader reader(ReaderEnvironment{store, closed, quiet, clock, scratch.path()});
        const auto outcome = reader.ReadCommandFile(true, path);
        if (!outcome.success) throw CompareError(path, outcome.problem);
        const auto& info = reader.file().info;
        file.info = {path, info.versionCode, info.versionName, info.languageName};
        file.family = info.family;

        std::vector<UserRow> rows;
        store.forEachUser([&](const UserRow& r) {
            if (r.offset != 0 && !r.listcopy) rows.push_back(r);
            return true;
        });
        std::stable_sort(rows.begin(), rows.end(), [](const UserRow& a, const UserRow& b) { return a.offset < b.offset; });
        for (auto& r : rows) {
            Entry e;
            e.head = {r.Type == "L" ? EntryKind::List : EntryKind::Command, r.menu, r.state, r.name, r.Type};
            e.body = std::move(r.script);
            e.description = std::move(r.description);
            e.group = std::move(r.owner);
            e.states = stateNames(store, r.states);
            file.entries.push_back(std::move(e));
        }
    } catch (const CompareError&) {
        throw;
    } catch (const EndProgram&) {
        throw CompareError(path, std::string(vocabrella::texts::CommandFileMissing));
    } catch (const std::exception& e) {
        throw CompareError(path, e.what());
    }
    return file;
}

std::string key(const ComparedEntry& e) {
    return std::string(e.kind == EntryKind::List ? "L" : "C") + '\x1f' + e.program + '\x1f' + e.scope + '\x1f' + e.name;
}

std::string joined(const std::vector<std::string>& lines) {
    std::string out;
    for (std::size_t i = 0; i < lines.size(); ++i) out += (i ? "\r\n" : "") + lines[i];
    return out;
}

// The LIST's items, one a line, without the line end after the last.
std::string itemsOf(std::string_view body) {
    if (body.size() >= 2 && body.substr(body.size() - 2) == "\r\n") body.remove_suffix(2);
    return std::string(body);
}

// The advanced script as the conversion from one version to the other writes it, when it
// rewrites any.
std::optional<std::string> convertedScript(std::string_view script, std::uint8_t fromCode, std::uint8_t toCode) {
    if (toCode == 3 && fromCode != 3) return replaceIgnoringCase(script, "SendDragonKeys", "SendKeys");
    if (toCode == 4 && fromCode == 3) return replaceIgnoringCase(script, "SendKeys", "SendDragonKeys");
    return std::nullopt;
}

void compareEntries(const ReadFile& first, const ReadFile& second, const Entry& a, const Entry& b,
                    FileComparison& out) {
    EntryChange change{b.head, {}};
    const auto field = [&](std::string_view name, std::string before, std::string after) {
        change.fields.push_back({std::string(name), std::move(before), std::move(after), {}});
    };
    if (a.head.kind == EntryKind::List) {
        if (a.body != b.body) {
            field(texts::FieldItems, itemsOf(a.body), itemsOf(b.body));
            change.fields.back().diff = unifiedDiff(change.fields.back().before, change.fields.back().after);
        }
    } else {
        if (a.head.type != b.head.type) field(texts::FieldKind, a.head.type, b.head.type);
        if (a.body != b.body) {
            const bool rewrittenOnly = a.head.type == "A" && b.head.type == "A" &&
                                       convertedScript(a.body, first.info.versionCode, second.info.versionCode) == b.body;
            if (rewrittenOnly) {
                out.conversion.scriptsRewritten.push_back(b.head);
            } else {
                field(texts::FieldBody, a.body, b.body);
                auto& body = change.fields.back();
                body.diff = unifiedDiff(body.before, body.after);
                if (body.diff.empty()) body.diff.emplace_back(texts::CompareLineEndsOnly);
            }
        }
        if (a.description != b.description) field(texts::FieldDescription, a.description, b.description);
        if (a.group != b.group) field(texts::FieldGroup, a.group, b.group);
        if (a.states != b.states) {
            // A file of a version without states holds none: the first file's went with the conversion.
            const bool dropped = b.states.empty() && !familyHoldsStates(second.family);
            if (dropped) out.conversion.statesDropped.push_back(b.head);
            else field(texts::FieldStates, joined(a.states), joined(b.states));
        }
    }
    if (!change.fields.empty()) out.changed.push_back(std::move(change));
}

std::string quotedValue(const FieldChange& f) {
    if (f.field == texts::FieldKind) {
        const auto name = [](const std::string& code) {
            const auto display = typeDisplayName(code);
            return display.empty() ? code : std::string(display);
        };
        return name(f.before) + std::string(texts::CompareArrow) + name(f.after);
    }
    const auto quote = [](std::string s) {
        for (std::size_t i = 0; (i = s.find("\r\n", i)) != std::string::npos;) s.replace(i, 2, ", ");
        return "\"" + s + "\"";
    };
    return quote(f.before) + std::string(texts::CompareArrow) + quote(f.after);
}

} // namespace

FileComparison CompareFiles::run(const fs::path& firstPath, const fs::path& secondPath) const {
    const ReadFile first = readForComparison(firstPath, keyNamesFolder_);
    const ReadFile second = readForComparison(secondPath, keyNamesFolder_);
    FileComparison out;
    out.first = first.info;
    out.second = second.info;

    // The second file's entries by key, each key's in file order; a first-file entry takes the
    // next one not taken.
    std::map<std::string, std::vector<std::size_t>> waiting;
    for (std::size_t i = second.entries.size(); i-- > 0;) waiting[key(second.entries[i].head)].push_back(i);
    std::vector<bool> paired(second.entries.size(), false);
    for (const auto& a : first.entries) {
        auto it = waiting.find(key(a.head));
        if (it == waiting.end() || it->second.empty()) {
            out.removed.push_back(a.head);
            continue;
        }
        const std::size_t j = it->second.back();
        it->second.pop_back();
        paired[j] = true;
        compareEntries(first, second, a, second.entries[j], out);
    }
    for (std::size_t j = 0; j < second.entries.size(); ++j)
        if (!paired[j]) out.added.push_back(second.entries[j].head);
    return out;
}

ComparisonWords diffWords() {
    return {texts::DiffFirst, texts::DiffSecond, texts::DiffAdded, texts::DiffRemoved, texts::DiffChanged,
            texts::CompareNoDifferences};
}

ComparisonWords restoreWords() {
    return {texts::RestoreFirst, texts::RestoreSecond, texts::RestoreAdded, texts::RestoreRemoved,
            texts::RestoreChanged, texts::RestoreSame};
}

std::string entryKey(const ComparedEntry& e) {
    if (e.kind == EntryKind::List) return e.name;
    const std::string separator(texts::CompareKeySeparator);
    return e.program + separator + e.scope + separator + e.name;
}

std::string comparisonText(const FileComparison& c, const ComparisonWords& words) {
    std::vector<std::string> lines;
    const std::string first(words.first), second(words.second), in(texts::CompareIn);
    if (c.versionDiffers())
        lines.push_back(std::string(texts::CompareVersionsDiffer) + c.first.versionName + in + first + ", " +
                        c.second.versionName + in + second);
    if (c.languageDiffers())
        lines.push_back(std::string(texts::CompareLanguagesDiffer) + c.first.language + in + first + ", " +
                        c.second.language + in + second);
    const auto head = [](std::string_view prefix, const ComparedEntry& e) {
        return std::string(prefix) + std::string(e.kind == EntryKind::List ? texts::CompareList : texts::CompareCommand) +
               ": " + entryKey(e);
    };
    for (const auto& e : c.added) lines.push_back(head(words.added, e));
    for (const auto& e : c.removed) lines.push_back(head(words.removed, e));
    for (const auto& change : c.changed) {
        std::string names;
        for (const auto& f : change.fields) names += (names.empty() ? "" : ", ") + f.field;
        lines.push_back(head(words.changed, change.entry) + ": " + names);
        for (const auto& f : change.fields) {
            if (f.diff.empty()) {
                lines.push_back("    " + f.field + ": " + quotedValue(f));
                continue;
            }
            lines.push_back("    " + f.field + ":");
            for (const auto& d : f.diff) lines.push_back("    " + d);
        }
    }
    const std::string conversion = std::string(texts::CompareConversionStart) + c.first.versionName +
                                   std::string(texts::CompareConversionTo) + c.second.versionName;
    const auto list = [&](std::string_view what, const std::vector<ComparedEntry>& entries) {
        if (entries.empty()) return;
        lines.push_back(conversion + ": " + std::to_string(entries.size()) + std::string(what));
        for (const auto& e : entries) lines.push_back("    " + entryKey(e));
    };
    list(texts::StatesDroppedEnd, c.conversion.statesDropped);
    list(texts::CompareConversionScriptsEnd, c.conversion.scriptsRewritten);
    if (lines.empty()) lines.emplace_back(words.same);
    return joined(lines);
}

std::string restorePreview(const fs::path& backup, const fs::path& current, const fs::path& keyNamesFolder) {
    try {
        const auto comparison = CompareFiles(keyNamesFolder).run(current, backup);
        return std::string(texts::RestorePreviewHeading) + "\r\n" + comparisonText(comparison, restoreWords());
    } catch (const CompareError& e) {
        return std::string(texts::CompareCannotRead) + os::pathText(e.file()) + "\r\n" + e.what();
    }
}

} // namespace vocabrella::ops
