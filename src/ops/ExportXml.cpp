#include "ops/ExportXml.h"

#include "cmdfile/AtomicFile.h"
#include "cmdfile/Bytes.h"
#include "cmdfile/RowMarks.h"
#include "cmdfile/Errors.h"
#include "cmdfile/Prompter.h"
#include "ops/Failures.h"
#include "cmdfile/RawRecord.h"
#include "cmdfile/Reader.h"
#include "cmdfile/RecordCodec.h"
#include "ops/Names.h"
#include "ops/OutputTarget.h"
#include "ops/Texts.h"
#include "ops/Workspace.h"
#include "shell/Session.h"
#include "writer/DragonXml.h"
#include "cmdfile/System.h"

#include <set>

namespace vocabrella::ops {

namespace {

// A LIST body holds each item followed by CR LF.
std::vector<std::string> itemsOf(std::string_view body) {
    std::vector<std::string> items;
    std::size_t from = 0;
    while (from < body.size()) {
        auto end = body.find("\r\n", from);
        if (end == std::string_view::npos) end = body.size();
        items.emplace_back(body.substr(from, end - from));
        from = end + 2;
    }
    return items;
}

} // namespace

Outcome ExportXml::run() {
    auto& store = ws_.store();
    return translatingFailures(ws_, [&]() -> Outcome {
        if (ws_.changedOnDisk()) {
            ws_.FileRefresh();
            ws_.prompter().message(texts::ModifiedMeanwhile, {});
            return Outcome::refused(std::string(texts::ModifiedMeanwhile)).because(Outcome::Reason::FileChangedMeanwhile);
        }
        const RowMarks marks(store);
        auto marked = markSelection(ws_, selection_);
        if (!marked.outcome.isDone()) return marked.outcome;
        if (narrowMarks(store, [](const UserRow& row) { return row.Type != "L"; }) == 0) {
            ws_.prompter().message(texts::NoMacros, texts::NoMacrosTitle);
            return Outcome::refused(std::string(texts::NoMacros), std::string(texts::NoMacrosTitle));
        }
        const auto seen = FileVersion::of(target_);
        auto outcome = checkOutputTarget(ws_, target_);
        if (outcome.isDone()) outcome = write(seen);
        return outcome;
    });
}

Outcome ExportXml::write(const FileVersion& seen) {
    auto& store = ws_.store();
    const auto& file = ws_.session().reader().file();
    const auto& image = file.bytes();
    const auto header = readHeader(image);
    const auto& codec = RecordCodec::forFamily(header.family);
    // The language identifier is the header's language byte and the byte after it.
    DragonXmlWriter writer(static_cast<std::uint16_t>(image[format::kLanguageOffset] |
                                                      image[format::kLanguageOffset + 1] << 8));
    std::vector<std::string> listNames;
    std::set<std::string> listed;
    store.forEachFlagged([&](const UserRow& row) {
        if (row.Type == "L" || row.offset <= 0) return true;
        ByteReader r(image);
        r.seekPosition(static_cast<std::uint32_t>(row.offset));
        writer.add(codec.scan(r));
        for (const auto reference : listReferences(row.name))
            if (listed.insert(std::string(reference)).second) listNames.emplace_back(reference);
        return true;
    });
    for (const auto& name : listNames)
        if (const auto list = store.findUser(names::GlobalCommands, names::GlobalCommands, name); list && list->Type == "L")
            writer.addList(name, itemsOf(list->script));
    writeFileIfUnchanged(target_, seen, writer.bytes());
    commands_ = writer.commandCount();
    lists_ = writer.listCount();
    ownForm_ = writer.ownForm();
    leftOut_ = writer.leftOut();
    std::string text = std::string(texts::XmlExported) + std::to_string(commands_) + std::string(texts::XmlCommandsAnd) +
                       std::to_string(lists_) + std::string(texts::XmlListsTo) + os::pathText(target_);
    if (!ownForm_.empty()) ((text += "\r\n") += texts::XmlOwnForm) += joinedNames(ownForm_);
    if (!leftOut_.empty()) ((text += "\r\n") += texts::XmlLeftOut) += joinedNames(leftOut_);
    return Outcome::done(std::move(text), os::pathText(target_));
}

} // namespace vocabrella::ops
