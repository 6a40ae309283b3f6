#include "ops/ConvertCommand.h"

#include "cmdfile/Prompter.h"
#include "ops/CloneCommand.h"
#include "ops/Texts.h"
#include "writer/KeyNotation.h"
#include "writer/Updater.h"

namespace vocabrella::ops {

Outcome ConvertToPlainText::check() {
    if (auto o = find(); !o.isDone()) return o;
    if (!allowedFor(*row_).toPlainText) return refuse(whyNotConverted(*row_, false));
    return Outcome::done();
}

void ConvertToPlainText::write() {
    ws_.prompter().status(texts::OperationInProgress);
    ws_.MRUUpdate(row_->menu, row_->state, row_->name, false, true);
    CommandFileUpdater(ws_.env()).Updatechangetype(row_->ID, CommandFileUpdater::KindChange::ToPlainText);
}

std::optional<std::string> ConvertToAdvancedScript::convertedBody(Workspace& ws, std::string_view keys) {
    std::optional<std::string> script;
    if (PrepareKeyPatterns(ws.prompter())) script = KeysToScript(keys);
    if (!script) ws.prompter().message(texts::ConversionFailed, texts::ConversionFailedTitle);
    return script;
}

Outcome ConvertToAdvancedScript::check() {
    if (auto o = find(); !o.isDone()) return o;
    if (!allowedFor(*row_).toAdvancedScript) return refuse(whyNotConverted(*row_, true));
    const auto script = convertedBody(ws_, bodyForEditing(*row_));
    if (!script) return Outcome::refused(std::string(texts::ConversionFailed), std::string(texts::ConversionFailedTitle));
    script_ = *script;
    return Outcome::done();
}

void ConvertToAdvancedScript::write() {
    ws_.prompter().status(texts::OperationInProgress);
    ws_.MRUUpdate(row_->menu, row_->state, row_->name, false, true);
    CommandFileUpdater updater(ws_.env());
    updater.Update1Body(row_->ID, script_);
    updater.Updatechangetype(row_->ID, CommandFileUpdater::KindChange::ToAdvancedScript);
}

std::string ConvertToPlainText::describe() const {
    return std::string(texts::DescribeConvert) + inQuotes(name_) + std::string(texts::DescribeToPlainText);
}

std::string ConvertToAdvancedScript::describe() const {
    return std::string(texts::DescribeConvert) + inQuotes(name_) + std::string(texts::DescribeToAdvancedScript);
}

} // namespace vocabrella::ops
