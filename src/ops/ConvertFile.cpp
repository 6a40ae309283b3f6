#include "ops/ConvertFile.h"

#include "cmdfile/Format.h"
#include "cmdfile/Prompter.h"
#include "cmdfile/RecordCodec.h"
#include "cmdfile/RowMarks.h"
#include "cmdfile/Store.h"
#include "ops/Texts.h"
#include "writer/Texts.h"
#include "cmdfile/System.h"

namespace vocabrella::ops {

Outcome ConvertVersion::check() {
    const auto* target = ConvertVersionOperation::target(targetName_);
    if (!target) return refuse("There is no version " + targetName_);
    operation_.emplace(*target, ws_.productionOpen());
    if (const auto r = operation_->refusal(ws_.env())) return refuse(r->what(), r->title());
    return Outcome::done();
}

Outcome ConvertVersion::confirm() {
    if (!ws_.prompter().okCancel(operation_->targetInfo().question, os::pathText(ws_.commandFile())))
        return Outcome::declined();
    operation_->confirmed();
    return Outcome::done();
}

std::string statesDroppedNotice(std::size_t commands) {
    if (commands == 0) return {};
    return "\r\n" + std::string(texts::StatesDroppedStart) + std::to_string(commands) + std::string(texts::StatesDroppedEnd);
}

void ConvertVersion::write() {
    const RowMarks marks(ws_.store()); // the rebuild's, gone once it is written
    statesDropped_ = 0;
    if (!familyHoldsStates(*familyForCode(operation_->targetInfo().code)))
        statesDropped_ = static_cast<std::size_t>(ws_.store().countCommandsWithStates());
    runRebuild(ws_.env(), *operation_);
}

Outcome ConvertVersion::finish() {
    ws_.prompter().status("");
    return Outcome::done(std::string(operation_->targetInfo().done) + statesDroppedNotice(statesDropped_),
                         os::pathText(ws_.commandFile()));
}

Outcome ConvertLanguage::check() {
    if (language_.empty() || language_ == texts::NoChange)
        return refuse(std::string(vocabrella::texts::NoConversionDone), std::string(texts::NoConversionDoneTitle))
            .because(Outcome::Reason::NothingChosen);
    if (const auto r = ConvertLanguageRefusal(ws_.env(), language_, ws_.productionOpen()))
        return refuse(r->what(), r->title());
    return Outcome::done();
}

Outcome ConvertLanguage::offered(Workspace& ws) {
    if (!ws.productionOpen()) return Outcome::done();
    const std::string text(vocabrella::texts::CannotConvertUserFile), title = os::pathText(ws.commandFile());
    ws.prompter().message(text, title);
    return Outcome::refused(text, title).because(Outcome::Reason::NotAllowed);
}

Outcome ConvertLanguage::confirm() {
    const auto question = std::string(vocabrella::texts::ConvertLanguageQuestion) + language_;
    return ws_.prompter().yesNo(question, os::pathText(ws_.commandFile())) ? Outcome::done() : Outcome::declined();
}

void ConvertLanguage::write() { WriteLanguage(ws_.env(), language_); }

Outcome ConvertLanguage::finish() {
    return Outcome::done(std::string(vocabrella::texts::FileConvertedTo) + language_, os::pathText(ws_.commandFile()));
}

std::string ConvertVersion::describe() const { return std::string(texts::DescribeConvertVersion) + targetName_; }

std::string ConvertLanguage::describe() const { return std::string(texts::DescribeConvertLanguage) + language_; }

} // namespace vocabrella::ops
