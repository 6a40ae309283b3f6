// The store's own operations on the copies of global LISTs in the other programs and scopes.
#include "cmdfile/Format.h"
#include "cmdfile/Store.h"
#include "cmdfile/TextCase.h"

#include <unordered_map>
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
    // In the global scope every LIST there is is there already: without a group to join there is
    // nothing to do, and the scope that holds most of the commands is not read for nothing.
    if (!group && names::isGlobalProgram(program) && names::isGlobalProgram(scope)) return;
    Transaction t(*this);
    // The scope's LISTs are read once, by one keyed query; many commands use the same few LISTs.
    std::unordered_map<std::string, RowHead> present;
    for (auto& list : listsOfScope(program, scope)) present.try_emplace(foldCase(list.name), std::move(list));
    std::unordered_set<std::string> done;
    for (const auto& listName : listNames) {
        auto key = foldCase(listName);
        if (!done.insert(key).second) continue;
        if (const auto found = present.find(key); found != present.end()) {
            const RowHead& list = found->second;
            if (group && list.owner != *group)
                if (const auto row = userById(list.ID))
                    setIdentity(row->ID, row->name, row->description, *group, row->lists);
            continue;
        }
        const auto global = findList(names::GlobalCommands, names::GlobalCommands, listName);
        if (global) copyListIntoScope(*global, program, scope, group, false);
    }
    t.commit();
}

} // namespace vocabrella
