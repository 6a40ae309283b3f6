#include "ops/Names.h"

#include "cmdfile/Bytes.h"
#include "cmdfile/Errors.h"
#include "cmdfile/Format.h"
#include "cmdfile/Prompter.h"
#include "cmdfile/RawRecord.h"
#include "cmdfile/Reader.h"
#include "cmdfile/RowMarks.h"
#include "ops/Texts.h"
#include "ops/Workspace.h"
#include "shell/Session.h"
#include "writer/Texts.h"
#include "writer/WriterEnvironment.h"

#include <algorithm>

namespace vocabrella::ops {

namespace {

Outcome refuse(Workspace& ws, std::string text, std::string title = {}) {
    ws.prompter().message(text, title);
    return Outcome::refused(std::move(text), std::move(title));
}

} // namespace

std::optional<std::string_view> namePatternProblem(std::string_view name) {
    if (!name.empty() && name.find_first_not_of(' ') == std::string_view::npos) return texts::NameOnlyBlanks;
    constexpr auto closed = std::string_view::npos;
    std::size_t angle = closed, square = closed; // where the open pair's words begin
    const auto holdsWords = [&](std::size_t from, std::size_t to) {
        return name.substr(from, to - from).find_first_not_of(' ') != std::string_view::npos;
    };
    for (std::size_t i = 0; i < name.size(); ++i) {
        const char c = name[i];
        if (c == '<') {
            if (angle != closed) return texts::NameBracketsUnreadable;
            angle = i + 1;
        } else if (c == '>') {
            if (angle == closed || !holdsWords(angle, i)) return texts::NameBracketsUnreadable;
            angle = closed;
        } else if (c == '[') {
            if (angle != closed || square != closed) return texts::NameBracketsUnreadable;
            square = i + 1;
        } else if (c == ']') {
            if (angle != closed || square == closed || !holdsWords(square, i)) return texts::NameBracketsUnreadable;
            square = closed;
        }
    }
    if (angle != closed || square != closed) return texts::NameBracketsUnreadable;
    return std::nullopt;
}

std::vector<std::string_view> optionalWords(std::string_view name) {
    std::vector<std::string_view> words;
    for (std::size_t open = name.find('['); open != std::string_view::npos; open = name.find('[', open + 1)) {
        const auto close = name.find(']', open + 1);
        if (close == std::string_view::npos) break;
        words.push_back(name.substr(open + 1, close - open - 1));
        open = close;
    }
    return words;
}

bool hasControlCharacter(std::string_view text) {
    return std::any_of(text.begin(), text.end(), [](char c) {
        return static_cast<unsigned char>(c) < 0x20 && c != '\t' && c != '\r' && c != '\n';
    });
}

Outcome checkNoControlCharacter(Workspace& ws, std::string_view text, std::string_view refusal, std::string_view title) {
    if (!hasControlCharacter(text)) return Outcome::done();
    return refuse(ws, std::string(refusal), std::string(title));
}

bool isListName(std::string_view name) {
    return !name.empty() && name.find_first_not_of(texts::ListAlphabet) == std::string_view::npos;
}

Outcome checkNewCommandName(Workspace& ws, const Place& place, std::string_view name, std::int64_t except) {
    if (name.empty()) return refuse(ws, std::string(texts::EmptyName));
    if (const auto problem = namePatternProblem(name)) return refuse(ws, std::string(*problem), std::string(name));
    try { // what Dragon cannot hold is refused before any question
        encodeName(name);
        checkListReferences(name, kMaxListReferences);
    } catch (const Refusal& r) {
        return refuse(ws, r.what(), r.title());
    }
    auto& store = ws.store();
    if (const auto existing = store.findUser(place.program, place.scope, name); existing && existing->ID != except)
        return refuse(ws, std::string(texts::CommandExists), std::string(name));
    // Dragon's XML writes LIST references in square brackets: optional words that name a LIST
    // would come back from it as that LIST.
    for (const auto word : optionalWords(name)) {
        const std::string listName(word);
        for (const auto& where : {place, globalPlace()})
            if (const auto list = store.findUser(where.program, where.scope, listName); list && list->Type == "L")
                return refuse(ws, "[" + listName + "]" + std::string(texts::OptionalWordsNameAList), std::string(name));
    }

    // The LISTs the name uses are marked afresh; they stay marked only for a name that is taken.
    RowMarks marks(store, true);
    std::string missing;
    for (const auto reference : listReferences(name)) {
        const std::string listName(reference);
        if (const auto list = store.findUser(place.program, place.scope, listName); list && list->Type == "L") {
            store.setFlag(list->ID, true);
        } else if (const auto global = store.findUser(names::GlobalCommands, names::GlobalCommands, listName);
                   global && global->Type == "L") {
            if (!names::isGlobalProgram(place.program))
                store.copyListIntoScope(*global, place.program, place.scope, std::nullopt, true);
            else store.setFlag(global->ID, true);
        } else {
            missing = listName;
        }
    }
    if (!missing.empty()) return refuse(ws, std::string(texts::CreateListsFirst), missing);
    marks.keep();
    ws.prompter().status("");
    return Outcome::done();
}

Outcome checkNewListName(Workspace& ws, std::string_view name, std::int64_t except) {
    if (name.empty()) return refuse(ws, std::string(texts::EmptyName));
    if (!isListName(name)) return refuse(ws, std::string(texts::ListNameCharacters), std::string(name));
    const auto place = globalPlace();
    if (const auto existing = ws.store().findUser(place.program, place.scope, name); existing && existing->ID != except)
        return refuse(ws, std::string(texts::CommandOrListExists), std::string(name));
    return Outcome::done();
}

bool ConfirmListInUse(Workspace& ws, const UserRow& list, std::string_view verb) {
    const auto users = ws.store().commandsUsingList(list.name);
    if (users.empty()) return true;
    std::string names;
    for (std::size_t i = 0; i < users.size() && i < 6; ++i) {
        if (i > 0) names += "\r\n";
        names += users[i];
    }
    const std::string text = std::string(texts::ListInUseStart) + std::to_string(users.size()) +
                             std::string(texts::ListInUseIncluding) + "\r\n\r\n" + names + "\r\n\r\n" +
                             std::string(texts::ListInUseWarning) + "\r\n" + std::string(texts::ListInUseQuestion) +
                             std::string(verb) + std::string(texts::ListInUseQuestionEnd);
    return ws.prompter().yesNo(text, list.name);
}

CreatePlace CheckCreatePlace(Workspace& ws, const Place& place, std::string_view shownCommand, bool askFirstGlobal) {
    CreatePlace result;
    result.header.program = place.program;
    result.header.scope = place.scope;
    auto& store = ws.store();
    std::optional<UserRow> shown;
    if (!shownCommand.empty()) {
        shown = store.findUser(place.program, place.scope, shownCommand);
    } else {
        std::int64_t first = 0;
        store.visitRowsOfScope(place.program, place.scope, [&first](const CommandStore::RowView& row) {
            if (row.Type == "L") return true;
            first = row.ID;
            return false;
        });
        if (first != 0) shown = store.userById(first);
    }
    if (shown && shown->Type == "L") shown.reset();
    if (!shown || shown->offset <= 0) {
        if (!names::isGlobalProgram(place.program)) {
            result.outcome = refuse(ws, std::string(texts::CannotCreateHere), std::string(texts::CannotCreateHereTitle));
            return result;
        }
        if (!shown && askFirstGlobal && !ws.prompter().okCancel(texts::FirstGlobalCommand, shownCommand)) {
            result.outcome = Outcome::declined();
            return result;
        }
        return result;
    }
    // The new record takes the program's strings as the file spells them.
    auto& reader = ws.session().reader();
    ByteReader r(reader.file().bytes());
    r.seekPosition(static_cast<std::uint32_t>(shown->offset));
    if (reader.ReadCommandRecord(r, false) && !names::isGlobalProgram(place.program)) {
        const auto& current = reader.currentRecord();
        result.header.program = current.program;
        result.header.programDescription = current.programDescription;
        result.header.companyName = current.companyName;
        result.header.windowClass = current.windowClass;
    }
    return result;
}

std::string joinedNames(const std::vector<std::string>& names) {
    std::string out;
    for (std::size_t i = 0; i < names.size(); ++i) (out += i ? ", " : "") += names[i];
    return out;
}

FoundRow findCommand(Workspace& ws, const Place& place, std::string_view name) {
    FoundRow found;
    found.row = ws.store().findUser(place.program, place.scope, name);
    if (!found.row) found.outcome = refuse(ws, std::string(texts::NoSuchCommand), std::string(name));
    return found;
}

} // namespace vocabrella::ops
