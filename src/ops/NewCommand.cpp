#include "ops/NewCommand.h"

#include "cmdfile/Format.h"
#include "cmdfile/Prompter.h"
#include "ops/SaveChanges.h"
#include "ops/Texts.h"
#include "writer/Updater.h"

namespace vocabrella::ops {

std::string newCommandBody(std::string_view kind) {
    return kind == "A" ? std::string(texts::NewAdvancedScript) : std::string();
}

Outcome NewCommand::checkName(Workspace& ws, const NewCommandRequest& request) {
    if (auto o = checkNewCommandName(ws, request.place, request.name); !o.isDone()) return o;
    return CheckCreatePlace(ws, request.place, request.shownCommand).outcome;
}

Outcome NewCommand::check() {
    if (request_.kind != "K" && request_.kind != "S" && request_.kind != "A" && request_.kind != "P")
        return refuse(std::string(texts::KindNotCreated) + request_.kind);
    if (auto o = checkNewCommandName(ws_, request_.place, request_.name); !o.isDone()) return o;
    auto created = CheckCreatePlace(ws_, request_.place, request_.shownCommand, !request_.placeConfirmed);
    if (!created.outcome.isDone()) return created.outcome;
    if (auto o = checkBody(ws_, request_.kind, request_.body, request_.name); !o.isDone()) return o;
    if (auto o = checkNoControlCharacter(ws_, request_.description, texts::ControlCharacterInDescription,
                                         request_.name);
        !o.isDone())
        return o;
    if (auto o = checkNoControlCharacter(ws_, request_.group, texts::ControlCharacterInGroup, request_.name);
        !o.isDone())
        return o;
    record_ = std::move(created.header);
    record_.name = request_.name;
    record_.typeCode = request_.kind;
    record_.body = request_.body;
    record_.description = request_.description;
    record_.group = request_.group.empty() ? std::string(names::UserDefined) : request_.group;
    return Outcome::done();
}

void NewCommand::write() {
    ws_.prompter().status(texts::OperationInProgress);
    CommandFileUpdater(ws_.env()).UpdateNewCommand(record_);
    ws_.MRUUpdate(request_.place.program, request_.place.scope, request_.name, false, false);
}

std::string NewCommand::describe() const { return std::string(texts::DescribeNewCommand) + inQuotes(request_.name); }

} // namespace vocabrella::ops
