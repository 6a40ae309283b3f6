#include "ops/SaveChanges.h"

#include "cmdfile/Prompter.h"
#include "cmdfile/Reader.h"
#include "ops/CloneCommand.h"
#include "ops/ConvertCommand.h"
#include "ops/Names.h"
#include "cmdfile/Errors.h"
#include "ops/Texts.h"
#include "writer/BodyText.h"
#include "writer/RecordEncoder.h"
#include "writer/Texts.h"
#include "writer/Updater.h"
#include "cmdfile/System.h"

namespace vocabrella::ops {

Outcome checkBody(Workspace& ws, std::string_view kind, std::string& body, std::string_view name, bool typed) {
    const auto refuse = [&](std::string text, std::string title = {}) {
        ws.prompter().message(text, title);
        return Outcome::refused(std::move(text), std::move(title));
    };
    if (body.empty()) return refuse(std::string(vocabrella::texts::EmptyContent));
    if (typed)
        if (auto o = checkNoControlCharacter(ws, body, texts::ControlCharacterInBody, name); !o.isDone()) return o;
    if (kind != "P" && kind != "K") body = NormalizeBodyEnding(body);
    if (kind == "L") try {
            checkListItemCount(name, listItems(body).size());
        } catch (const Refusal& r) {
            return refuse(r.what(), r.title());
        }
    // What the user typed meets every check of a script; a body copied as the file has it only
    // Dragon's own, as it always did.
    if (typed || (kind == "S" && ws.dragonAvailable()))
        if (const auto faults = ws.scriptFaults(kind, body); !faults.empty())
            return refuse(std::string(texts::ScriptErrorAtLine) + std::to_string(faults.front().line),
                          faults.front().what);
    return Outcome::done();
}

Outcome SaveChanges::check() {
    row_ = ws_.store().userById(edit_.rowId);
    if (!row_) return refuse(std::string(texts::NoSuchCommand));
    const auto allowed = allowedFor(*row_);
    kind_ = row_->Type;
    if (edit_.conversion == Conversion::ToPlainText) {
        if (!allowed.toPlainText) return refuse(whyNotConverted(*row_, false));
        kind_ = "P";
    } else if (edit_.conversion == Conversion::ToAdvancedScript) {
        if (!allowed.toAdvancedScript) return refuse(whyNotConverted(*row_, true));
        kind_ = "A";
    }
    const std::string name = edit_.name.value_or(row_->name);
    const bool typed = edit_.body != edit_.bodyBefore;
    if (typed && !allowed.modify) return refuse(whyNotModified(*row_));
    // A body that cannot be edited is shown, never written back.
    writeBody_ = allowed.modify;
    if (writeBody_)
        if (auto o = checkBody(ws_, kind_, edit_.body, name, typed); !o.isDone()) return o;
    if (edit_.description)
        if (auto o = checkNoControlCharacter(ws_, *edit_.description, texts::ControlCharacterInDescription, name);
            !o.isDone())
            return o;
    if (edit_.group)
        if (auto o = checkNoControlCharacter(ws_, *edit_.group, texts::ControlCharacterInGroup, name); !o.isDone())
            return o;
    if (edit_.name && *edit_.name != row_->name) {
        if (row_->Type == "L") return checkNewListName(ws_, *edit_.name, row_->ID);
        return checkNewCommandName(ws_, {row_->menu, row_->state}, *edit_.name, row_->ID);
    }
    return Outcome::done();
}

Outcome SaveChanges::changedOnDisk() {
    // The edit was made on the version read before: it is not written over the other one. Only
    // the speech user's own file is Dragon's to change.
    const bool dragons = ws_.productionOpen();
    std::string text(keptAt_.empty()
                         ? (dragons ? texts::ChangedByDragon : texts::ChangedByAnotherProgram)
                         : (dragons ? texts::ChangedByDragonBodyKept : texts::ChangedByAnotherProgramBodyKept));
    text += keptAt_;
    auto refusal = refuse(std::move(text), os::pathText(ws_.commandFile()));
    ws_.FileRefresh();
    return std::move(refusal).because(Outcome::Reason::FileChangedMeanwhile);
}

void SaveChanges::write() {
    ws_.prompter().status(texts::OperationInProgress);
    ws_.MRUUpdate(row_->menu, row_->state, edit_.name.value_or(row_->name), row_->Type == "L", true);
    CommandFileUpdater updater(ws_.env());
    if (writeBody_ && edit_.body != edit_.bodyBefore) updater.Update1Body(edit_.rowId, edit_.body);
    if (edit_.conversion == Conversion::ToPlainText)
        updater.Updatechangetype(edit_.rowId, CommandFileUpdater::KindChange::ToPlainText);
    else if (edit_.conversion == Conversion::ToAdvancedScript)
        updater.Updatechangetype(edit_.rowId, CommandFileUpdater::KindChange::ToAdvancedScript);
    if (edit_.name || edit_.description || edit_.group)
        updater.UpdateFirstThings(edit_.rowId, edit_.name.value_or(row_->name),
                                  edit_.description.value_or(row_->description), edit_.group.value_or(row_->owner));
}

ConversionStart startConversion(Workspace& ws, std::int64_t rowId, Conversion to) {
    const auto refused = [&](std::string text, std::string title, Outcome::Reason why) {
        ws.prompter().message(text, title);
        return ConversionStart{Outcome::refused(std::move(text), std::move(title)).because(why), {}};
    };
    const auto row = ws.store().userById(rowId);
    if (!row) return refused(std::string(texts::NoSuchCommand), {}, Outcome::Reason::None);
    const auto allowed = allowedChanges(*row, ws.env().reader.file().info.languageName);
    const bool toScript = to == Conversion::ToAdvancedScript;
    if (to == Conversion::None || !(toScript ? allowed.toAdvancedScript : allowed.toPlainText)) {
        auto why = whyNotConverted(*row, toScript);
        return refused(std::move(why.text), std::move(why.title), Outcome::Reason::NotAllowed);
    }
    std::string body = bodyForEditing(*row);
    if (!toScript) return {Outcome::done(), std::move(body)};
    auto script = ConvertToAdvancedScript::convertedBody(ws, body);
    if (!script) return {Outcome::refused(std::string(texts::ConversionFailed), std::string(texts::ConversionFailedTitle)), {}};
    return {Outcome::done(), std::move(*script)};
}

std::string SaveChanges::describe() const {
    return std::string(texts::DescribeSaveChanges) + inQuotes(row_ ? row_->name : edit_.name.value_or(""));
}

} // namespace vocabrella::ops
