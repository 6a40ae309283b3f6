#include "ops/ImportXmlIntoFile.h"

#include "cmdfile/Bytes.h"
#include "cmdfile/Codec.h"
#include "cmdfile/Errors.h"
#include "cmdfile/Prompter.h"
#include "cmdfile/RecordCodec.h"
#include "cmdfile/TextCase.h"
#include "cmdfile/Reader.h"
#include "ops/ConvertFile.h"
#include "ops/Texts.h"
#include "shell/Session.h"
#include "writer/CommandFileComposer.h"
#include "writer/CommandFileMerge.h"
#include "writer/Texts.h"
#include "writer/WriterEnvironment.h"
#include "cmdfile/System.h"

namespace vocabrella::ops {

namespace {

std::string storeProgram(std::string_view program) {
    return names::isGlobalProgram(program) ? std::string(names::GlobalCommands) : upperCase(program);
}

// Commands compare as the store and the merge compare them: letter case ignored.
std::string commandKey(std::string_view program, std::string_view scope, std::string_view name) {
    std::string k = foldCase(storeProgram(program));
    (k += '\n') += foldCase(scope);
    (k += '\n') += foldCase(name);
    return k;
}

// The image without the command records whose keys are given; the LIST section as it was.
std::vector<std::uint8_t> withoutCommands(const std::vector<std::uint8_t>& image, const std::set<std::string>& keys) {
    const auto header = readHeader(image);
    const auto& codec = RecordCodec::forFamily(header.family);
    std::vector<std::uint8_t> out(image.begin(), image.begin() + format::kHeaderSize);
    ByteReader r(image, format::kHeaderSize);
    std::uint32_t kept = 0;
    for (std::uint32_t i = 0; i < header.declaredCommands; ++i) {
        const auto start = r.cursor();
        const auto raw = codec.scan(r);
        const auto text = [](const RawString& s) { return codec::cp1252ToUtf8(s.text); };
        std::string program(names::GlobalCommands), scope(names::GlobalCommands);
        if (raw.scope() >= 1 && !raw.scopeStrings.empty()) {
            program = text(raw.scopeStrings[0]);
            scope = raw.scope() == 2 && raw.scopeStrings.size() > 3 ? text(raw.scopeStrings[3])
                                                                     : std::string(names::ApplicationSpecific);
        }
        if (!raw.skipped() && keys.contains(commandKey(program, scope, text(raw.name)))) continue;
        out.insert(out.end(), image.begin() + static_cast<std::ptrdiff_t>(start), image.begin() + static_cast<std::ptrdiff_t>(r.cursor()));
        ++kept;
    }
    out.insert(out.end(), image.begin() + static_cast<std::ptrdiff_t>(r.cursor()), image.end());
    for (int b = 0; b < 4; ++b) out[format::kCommandCountOffset + b] = static_cast<std::uint8_t>(kept >> (8 * b));
    return out;
}

} // namespace

Outcome ImportXmlIntoFile::check() {
    const auto& info = ws_.session().reader().file().info;
    const auto names = ws_.store().globalListNames();
    const std::set<std::string> lists(names.begin(), names.end());
    if (auto o = source_.load(ws_.prompter(), xmlFile_, info.family, lists); !o.isDone()) return o;
    if ((source_.set.language & 0xFF) != info.languageCode)
        return refuse(std::string(texts::XmlOtherLanguage) + dragonxml::languageIdText(source_.set.language) + " / " +
                          info.languageName,
                      os::pathText(ws_.commandFile()));
    return Outcome::done();
}

Outcome ImportXmlIntoFile::confirm() {
    replace_.clear();
    keep_.clear();
    kept_.clear();
    auto answer = duplicates_;
    for (const auto& c : source_.set.commands) {
        const auto existing = ws_.store().findUser(storeProgram(c.program), c.scope, c.name);
        if (!existing || existing->Type == "L") continue;
        const auto key = commandKey(c.program, c.scope, c.name);
        auto now = answer;
        if (now == XmlDuplicates::Ask) {
            const std::string text = std::string(vocabrella::texts::OverwriteExistsIn) + "\r\n" +
                                     os::pathText(ws_.commandFile()) + "\r\n" + c.name + "\r\n" +
                                     std::string(vocabrella::texts::OverwriteWithCommandFrom) + "\r\n" + os::pathText(xmlFile_);
            switch (ws_.prompter().choice(text, vocabrella::texts::OverwriteTitle,
                                          {std::string(vocabrella::texts::OverwriteYes),
                                           std::string(vocabrella::texts::OverwriteNo),
                                           std::string(vocabrella::texts::OverwriteYesToAll),
                                           std::string(vocabrella::texts::OverwriteNoToAll),
                                           std::string(texts::XmlCancelImport)})) {
            case 0: now = XmlDuplicates::Replace; break;
            case 1: now = XmlDuplicates::Keep; break;
            case 2: now = answer = XmlDuplicates::Replace; break;
            case 3: now = answer = XmlDuplicates::Keep; break;
            default: return Outcome::declined();
            }
        }
        if (now == XmlDuplicates::Replace) {
            replace_.insert(key);
        } else {
            keep_.insert(key);
            kept_.push_back(c.name);
        }
    }
    if (kept_.size() == source_.set.commands.size())
        return refuse(std::string(texts::XmlNothingNew), os::pathText(ws_.commandFile()));
    return Outcome::done();
}

void ImportXmlIntoFile::write() {
    const auto env = ws_.env();
    CommandFileOnDisk disk(env);
    const auto& image = disk.snapshot().bytes;
    const auto header = readHeader(image);
    CommandFileComposer composer(header.versionCode, header.languageCode);
    statesDropped_ = 0;
    for (const auto& c : source_.set.commands)
        if (!keep_.contains(commandKey(c.program, c.scope, c.name))) {
            composer.add(c);
            if (!c.states.empty() && !familyHoldsStates(header.family)) ++statesDropped_;
        }
    for (const auto& l : source_.set.lists) composer.add(l);
    MergeResult result;
    std::vector<std::uint8_t> merged;
    try {
        merged = mergeCommandFiles(replace_.empty() ? image : withoutCommands(image, replace_), composer.bytes(), &result);
    } catch (const MergeError& e) {
        throw Refusal(e.what(), os::pathText(ws_.commandFile()));
    }
    commandsAdded_ = result.commandsAdded;
    listsAdded_ = result.listsAdded;
    CommitRewrite(env, "importxml", disk.snapshot(), std::move(merged));
}

Outcome ImportXmlIntoFile::finish() {
    std::string text = std::string(texts::XmlImported) + std::to_string(commandsAdded_) +
                       std::string(texts::XmlCommandsAnd) + std::to_string(listsAdded_) +
                       std::string(texts::XmlListsInto) + os::pathText(ws_.commandFile()) +
                       statesDroppedNotice(statesDropped_);
    if (!kept_.empty()) {
        text += "\r\n";
        text += texts::XmlKept;
        for (std::size_t i = 0; i < kept_.size(); ++i) (text += i ? ", " : "") += kept_[i];
    }
    return Outcome::done(std::move(text), os::pathText(ws_.commandFile()));
}

std::string ImportXmlIntoFile::describe() const {
    return std::string(texts::DescribeImportXml) + inQuotes(os::pathText(xmlFile_.filename()));
}

} // namespace vocabrella::ops
