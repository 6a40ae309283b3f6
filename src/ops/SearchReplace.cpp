#include "ops/SearchReplace.h"

#include "cmdfile/Prompter.h"
#include "cmdfile/RowMarks.h"
#include "cmdfile/TextCase.h"
#include "ops/BatchChange.h"
#include "ops/Change.h"
#include "ops/Workspace.h"
#include "writer/Updater.h"

#include <algorithm>
#include <set>
#include <unordered_map>
#include <unordered_set>

namespace vocabrella::ops {
namespace {

bool searched(const std::string& type) { return type == "S" || type == "K" || type == "A" || type == "L"; }

// A row whose body is searched and can be written back where it stands in the file.
bool searchable(const UserRow& row) { return searched(row.Type) && !row.encrypted && row.offset > 0; }

// A command by its place and name.
struct Named {
    std::string_view program, scope, name;
};

// The row of each place and name, keyed by commandKey, as findUser finds it: the first of
// duplicates. One lookup in the index menu each.
std::unordered_map<std::string, UserRow> rowsNamed(CommandStore& store, const std::vector<Named>& wanted) {
    std::unordered_map<std::string, UserRow> rows;
    for (const auto& w : wanted) {
        auto key = commandKey(w.program, w.scope, w.name);
        if (rows.contains(key)) continue;
        if (auto row = store.findUser(w.program, w.scope, w.name)) rows.emplace(std::move(key), std::move(*row));
    }
    return rows;
}

// New bodies of commands as the search saw them, written in one go. A body that is no longer
// what the search saw means the file changed meanwhile.
class ReplaceBodies final : public Change {
public:
    struct Body {
        std::string program, scope, name, before, after;
    };
    ReplaceBodies(Workspace& ws, std::vector<Body> bodies, std::string description)
        : Change(ws), bodies_(std::move(bodies)), description_(std::move(description)) {}
    std::string describe() const override { return description_; }

protected:
    Outcome check() override {
        changes_.clear();
        std::vector<Named> wanted;
        for (const auto& b : bodies_) wanted.push_back({b.program, b.scope, b.name});
        const auto rows = rowsNamed(ws_.store(), wanted);
        for (const auto& b : bodies_) {
            const auto row = rows.find(commandKey(b.program, b.scope, b.name));
            if (row == rows.end() || row->second.script != b.before)
                return refuse(std::string(texts::ModifiedMeanwhile)).because(Outcome::Reason::FileChangedMeanwhile);
            changes_.push_back({row->second.ID, b.after});
        }
        return Outcome::done();
    }
    Outcome changedOnDisk() override {
        ws_.FileRefresh();
        return refuse(std::string(texts::ModifiedMeanwhile)).because(Outcome::Reason::FileChangedMeanwhile);
    }
    void write() override { CommandFileUpdater(ws_.env()).UpdateBodies(changes_); }
    Outcome finish() override { return Outcome::done(); }

private:
    std::vector<Body> bodies_;
    std::string description_;
    std::vector<CommandFileUpdater::BodyChange> changes_;
};

// Every match in body at or after byte from replaced, each search going on behind the text put
// in. Built in one pass over one folded copy: a match lies wholly in the body as it was, and a
// folded letter keeps its place, so this finds what searching the growing new body would.
struct Replaced {
    std::string body;
    int count = 0;
};
Replaced replaceEvery(const std::string& body, std::size_t from, std::string_view find, std::string_view with,
                      bool matchCase) {
    const std::string foldedBody = matchCase ? std::string() : foldTextCase(body);
    const std::string foldedFind = matchCase ? std::string() : foldTextCase(find);
    const std::string_view haystack = matchCase ? std::string_view(body) : std::string_view(foldedBody);
    const std::string_view needle = matchCase ? find : std::string_view(foldedFind);
    Replaced r;
    std::size_t copied = 0;
    for (auto at = haystack.find(needle, from); at != std::string_view::npos; at = haystack.find(needle, from)) {
        if (r.count == 0) r.body.reserve(body.size());
        r.body.append(body, copied, at - copied).append(with);
        copied = from = at + needle.size();
        ++r.count;
    }
    if (r.count > 0) r.body.append(body, copied);
    return r;
}

} // namespace

Outcome SearchReplace::refuse(std::string_view text, std::string title) {
    ws_.prompter().message(text, title);
    return Outcome::refused(std::string(text), std::move(title));
}

std::size_t SearchReplace::findIn(const std::string& body, std::size_t from) const {
    if (from > body.size()) return std::string::npos;
    if (matchCase) return body.find(findText, from);
    return findIgnoringCase(body, findText, from);
}

void SearchReplace::abandon() {
    running_ = false;
    current_.reset();
    shownIndex_.reset();
}

Outcome SearchReplace::start() {
    auto& store = ws_.store();
    const RowMarks marks(store);
    auto marked = markSelection(ws_, selection_);
    if (!marked.outcome.isDone()) return marked.outcome;
    // Each body once, where it stands in the file: a LIST of a program is its global LIST.
    targets_.clear();
    std::set<std::string> seen;
    store.forEachFlagged([&](const UserRow& row) {
        if (!searchable(row)) return true;
        Target t{row.menu, row.state, row.name};
        if (row.Type == "L") t = {std::string(names::GlobalCommands), std::string(names::GlobalCommands), row.name};
        if (seen.insert(commandKey(t.program, t.scope, t.name)).second) targets_.push_back(std::move(t));
        return true;
    });
    index_ = from_ = 0;
    shownIndex_.reset();
    current_.reset();
    replacements_ = macros_ = 0;
    running_ = true;
    return Outcome::done();
}

Outcome SearchReplace::ended() {
    const bool replaced = replacements_ > 0;
    abandon();
    if (!replaced) return refuse(texts::NoMoreMatches).because(Outcome::Reason::NoMoreMatches);
    ws_.prompter().status(texts::Replaced);
    return Outcome::done(std::to_string(replacements_) + std::string(texts::OccurrencesIn) + std::to_string(macros_) +
                         std::string(texts::MacrosReplaced));
}

Outcome SearchReplace::search() {
    if (findText.empty()) return refuse(texts::NoSearchText);
    if (!running_)
        if (auto o = start(); !o.isDone()) return o;
    current_.reset();
    for (; index_ < targets_.size(); ++index_, from_ = 0) {
        const auto& t = targets_[index_];
        // By name the store finds the first of duplicates, which may be of a kind not searched.
        const auto row = ws_.store().findUser(t.program, t.scope, t.name);
        if (!row || !searchable(*row)) continue;
        const auto at = findIn(row->script, from_);
        if (at == std::string::npos) continue;
        if (shownIndex_ != index_) ++macros_;
        shownIndex_ = index_;
        current_ = Match{t.program, t.scope, t.name, row->script, at, findText.size()};
        from_ = at + findText.size();
        return Outcome::done();
    }
    return ended();
}

Outcome SearchReplace::replace() {
    if (findText.empty()) return refuse(texts::NoSearchForText);
    if (replaceWith.empty()) return refuse(texts::NoReplaceText);
    if (hasControlCharacter(replaceWith)) return refuse(texts::ControlCharacterInReplacement);
    if (!current_) return search();
    const auto& m = *current_;
    std::string after = m.body;
    after.replace(m.position, m.length, replaceWith);
    ReplaceBodies write(ws_, {{m.program, m.scope, m.name, m.body, after}},
                        std::string(texts::DescribeReplace) + inQuotes(findText) + std::string(texts::DescribeWith) +
                            inQuotes(replaceWith) + std::string(texts::DescribeIn) + inQuotes(m.name));
    if (auto o = write.run(); !o.isDone()) {
        abandon();
        return o;
    }
    from_ = m.position + replaceWith.size();
    ++replacements_;
    return search();
}

Outcome SearchReplace::replaceAll() {
    if (findText.empty()) return refuse(texts::NoSearchForText);
    if (replaceWith.empty()) return refuse(texts::NoReplaceText);
    if (hasControlCharacter(replaceWith)) return refuse(texts::ControlCharacterInReplacement);
    if (!current_)
        if (auto o = search(); !o.isDone() || !current_) return o;
    std::vector<ReplaceBodies::Body> bodies;
    int replacements = 0, macros = 0;
    std::size_t from = current_->position;
    std::vector<Named> wanted;
    for (std::size_t i = index_; i < targets_.size(); ++i) wanted.push_back({targets_[i].program, targets_[i].scope, targets_[i].name});
    const auto rows = rowsNamed(ws_.store(), wanted);
    for (std::size_t i = index_; i < targets_.size(); ++i, from = 0) {
        const auto& t = targets_[i];
        // By name the store finds the first of duplicates, which may be of a kind not searched.
        const auto found = rows.find(commandKey(t.program, t.scope, t.name));
        if (found == rows.end() || !searchable(found->second)) continue;
        const UserRow* row = &found->second;
        auto replaced = replaceEvery(row->script, from, findText, replaceWith, matchCase);
        if (replaced.count == 0) continue;
        replacements += replaced.count;
        // The row on show is counted already.
        if (i != shownIndex_) ++macros;
        bodies.push_back({t.program, t.scope, t.name, row->script, std::move(replaced.body)});
    }
    ReplaceBodies write(ws_, std::move(bodies),
                        std::string(texts::DescribeReplaceAll) + inQuotes(findText) + std::string(texts::DescribeWith) +
                            inQuotes(replaceWith));
    if (auto o = write.run(); !o.isDone()) {
        abandon();
        return o;
    }
    replacements_ += replacements;
    macros_ += macros;
    index_ = targets_.size();
    return ended();
}

} // namespace vocabrella::ops
