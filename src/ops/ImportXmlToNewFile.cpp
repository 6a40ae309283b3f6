#include "ops/ImportXmlToNewFile.h"

#include "cmdfile/AtomicFile.h"
#include "cmdfile/Clock.h"
#include "cmdfile/Errors.h"
#include "cmdfile/FileLock.h"
#include "cmdfile/Prompter.h"
#include "ops/Failures.h"
#include "cmdfile/RecordCodec.h"
#include "ops/ConvertFile.h"
#include "ops/OutputTarget.h"
#include "ops/Texts.h"
#include "writer/CommandFileComposer.h"
#include "cmdfile/System.h"

namespace vocabrella::ops {

Outcome ImportXmlToNewFile::refuse(std::string text, std::string title) {
    prompter_.message(text, title);
    return Outcome::refused(std::move(text), std::move(title));
}

Outcome ImportXmlToNewFile::run() {
    std::uint8_t versionCode = 7;
    if (!version_.empty()) {
        const auto code = versionCodeForFamilyName(version_);
        if (!code) return refuse(std::string(texts::XmlUnknownVersion) + version_);
        versionCode = *code;
    }
    std::optional<std::uint8_t> languageByte;
    if (!language_.empty()) {
        languageByte = languageByteFor(language_);
        if (!languageByte) return refuse(std::string(texts::XmlUnknownLanguage) + language_);
    }
    if (isSameFile(target_, xmlFile_)) return refuse(std::string(texts::XmlTargetIsSource), os::pathText(target_));
    const auto family = *familyForCode(versionCode);
    if (auto o = source_.load(prompter_, xmlFile_, family); !o.isDone()) return o;
    if (!languageByte) {
        languageByte = languageCodeForId(source_.set.language);
        if (!languageByte)
            return refuse(std::string(texts::XmlUnknownLanguage) + dragonxml::languageIdText(source_.set.language),
                          os::pathText(xmlFile_));
    }
    const auto seen = FileVersion::of(target_);
    if (auto o = checkOutputTarget(prompter_, openFile_, target_); !o.isDone()) return o;
    const auto written = translatingFailures(
        prompter_, nullptr,
        [&]() -> Outcome {
            try {
                CommandFileComposer composer(versionCode, *languageByte);
                for (const auto& c : source_.set.commands) composer.add(c);
                for (const auto& l : source_.set.lists) composer.add(l);
                // A command file like any other: written under its lock, and only as it was when checked.
                SystemClock clock;
                CommandFileLock lock(target_, clock);
                writeFileIfUnchanged(target_, seen, composer.bytes());
            } catch (const InputRefusal& e) { // what the XML file asks for
                return refuse(e.what(), os::pathText(xmlFile_));
            }
            return Outcome::done();
        },
        FailureHandling::titled(os::pathText(target_)));
    if (!written.isDone()) return written;
    std::size_t withStates = 0;
    if (!familyHoldsStates(family))
        for (const auto& c : source_.set.commands) withStates += c.states.empty() ? 0 : 1;
    return Outcome::done(std::string(texts::XmlImported) + std::to_string(commands()) + std::string(texts::XmlCommandsAnd) +
                             std::to_string(lists()) + std::string(texts::XmlListsInto) + os::pathText(target_) +
                             statesDroppedNotice(withStates),
                         os::pathText(target_));
}

} // namespace vocabrella::ops
