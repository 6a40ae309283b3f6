// The store's own operations on the copies of global LISTs in the other programs and scopes.
#include "cmdfile/Format.h"
#include "cmdfile/Store.h"
#include "cmdfile/TextCase.h"

#include <unordered_set>

namespace vocabrella {

std::int64_t CommandStore::copyListIntoScope(const UserRow& source, std::string_view program, std::string_view scope,
                                             const std::optional<std::string>& group, bool mark) {
    UserRow copy = source;
    copy.ID = 0;
    copy.menu = program;
    copy.state = scope;
    copy.globalsort = names::isGlobalProgram(program) ? "G" : "N";
    if (group) copy.owner = *group;
    copy.listcopy = true;
    copy.dupe = false;
    copy.flag = mark;
    return insertUser(copy);
}

void CommandStore::showListsInScope(std::string_view program, std::string_view scope,
                                    const std::vector<std::string>& listNames, const std::optional<std::string>& group) {
    Transaction t(*this);
    // Many commands use the same few LISTs: each is looked up once.
    std::unordered_set<std::string> done;
    for (const auto& listName : listNames) {
        if (!done.insert(foldCase(listName)).second) continue;
        auto list = findUser(program, scope, listName);
        if (!list) {
            const auto global = findUser(names::GlobalCommands, names::GlobalCommands, listName);
            if (!global) continue;
            list = userById(copyListIntoScope(*global, program, scope, group, false));
        }
        if (list && group && list->owner != *group) setIdentity(list->ID, list->name, list->description, *group, list->lists);
    }
    t.commit();
}

} // namespace vocabrella
