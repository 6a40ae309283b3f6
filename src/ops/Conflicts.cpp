#include "ops/Conflicts.h"

#include "cmdfile/TextCase.h"

#include <algorithm>
#include <optional>
#include <tuple>
#include <unordered_map>
#include <unordered_set>

namespace vocabrella::ops {
namespace {

using WordId = std::uint32_t;
constexpr std::uint32_t kNoList = 0xFFFFFFFFu;
// A side of the walk is a position in the name (8 bits) and a node of a LIST's tree (24 bits).
constexpr std::size_t kMostElements = 250;
constexpr std::uint32_t kMostNodes = (1u << 24) - 2;

enum class Kind : std::uint8_t { Word, List, Open, Close };

// One piece of a name: a word, a LIST reference, or the brackets around optional words
// (`jump` of an opening bracket: the position after its closing one).
struct Element {
    Kind kind;
    std::uint32_t id; // the word, or the LIST (kNoList when the file has none of that name)
    std::uint32_t jump;
};

// A LIST's items as a tree of words: the path from the root to a node marked `ends` is an item.
struct Tree {
    struct Node {
        std::unordered_map<WordId, std::uint32_t> children;
        std::vector<WordId> order; // the children's words in the order of the items
        std::string spelled;       // the word that leads here, as the first item through here spells it
        bool ends = false;
    };
    std::vector<Node> nodes; // the root first
};

struct List {
    std::string items; // as the file holds them, until the tree is built
    bool built = false;
    Tree tree;
    // Items the walk names: the first item, then each item that begins another (its node in
    // `prefixes`), as the LIST spells them.
    std::vector<std::string> said;
    std::vector<std::uint32_t> prefixes;
    std::unordered_set<WordId> lastWords; // the words its items end in
};

struct Command {
    std::uint32_t place = 0;
    bool global = false;
    std::string name;   // as given, until compiled
    std::string folded; // the name without letter case, to tell a duplicate
    std::vector<Element> elements;
    std::vector<std::string> spelled; // each word element as the name spells it
    bool usable = false;
    bool literal = false;          // words only: no LIST, no optional words
    std::string sequence;          // of a literal name: its words' numbers, to compare whole names
    std::vector<WordId> firstWords; // what its first word can be: a word of its own ...
    std::vector<std::uint32_t> firstLists; // ... or an item's first word of one of these LISTs
    std::vector<WordId> lastWords;         // the same for its last word
    std::vector<std::uint32_t> lastLists;
};

// Commands of one place by what their first word can be.
struct PlaceIndex {
    std::unordered_map<std::string, std::vector<std::uint32_t>> literals; // by all their words
    std::unordered_map<WordId, std::vector<std::uint32_t>> literalsByFirst;
    std::unordered_map<WordId, std::vector<std::uint32_t>> patternsByWord;
    std::unordered_map<std::uint32_t, std::vector<std::uint32_t>> patternsByList;
};

std::uint32_t side(std::uint32_t pos, std::uint32_t node) { return pos << 24 | node; }
std::uint32_t positionOf(std::uint32_t s) { return s >> 24; }
std::uint32_t nodeOf(std::uint32_t s) { return s & 0xFFFFFFu; }

} // namespace

struct ConflictFinder::Impl {
    std::unordered_map<std::string, WordId> wordIds;
    std::unordered_map<std::string, std::uint32_t> listIds;
    std::vector<List> lists;
    std::unordered_map<std::string, std::uint32_t> placeIds;
    std::vector<Command> commands;

    // The walk's buffers, kept from one pair to the next.
    // A state of the walk of two names, reached from `parent` on a word, or (list not kNoList)
    // on the words of an item of that LIST (said[word]).
    struct Step {
        std::uint64_t key;
        std::int64_t parent;
        std::uint32_t list;
        WordId word;
    };
    std::vector<Step> steps;
    std::vector<std::uint64_t> seenFew;
    std::unordered_set<std::uint64_t> seenMany;
    std::vector<std::uint32_t> nextA, nextB;
    std::unordered_map<std::uint64_t, bool> listsMeet, listsEndAlike;
    std::vector<std::pair<std::uint32_t, std::string>> endings;

    WordId word(std::string_view spelled) {
        return wordIds.try_emplace(foldCase(spelled), static_cast<WordId>(wordIds.size())).first->second;
    }

    const Tree& tree(std::uint32_t list) { return lists[list].tree; }

    void build(List& list) {
        if (list.built) return;
        list.built = true;
        auto& nodes = list.tree.nodes;
        nodes.emplace_back();
        std::string_view items = list.items;
        while (!items.empty()) {
            const auto end = items.find('\n');
            std::string_view item = items.substr(0, end);
            items.remove_prefix(end == std::string_view::npos ? items.size() : end + 1);
            if (!item.empty() && item.back() == '\r') item.remove_suffix(1);
            std::uint32_t node = 0;
            std::string words;
            WordId last = 0;
            for (std::size_t from = 0; from < item.size() && nodes.size() < kMostNodes;) {
                const auto blank = std::min(item.find(' ', from), item.size());
                if (blank > from) {
                    const auto spelled = item.substr(from, blank - from);
                    const auto id = word(spelled);
                    const auto [at, isNew] = nodes[node].children.try_emplace(id, static_cast<std::uint32_t>(nodes.size()));
                    if (isNew) nodes[node].order.push_back(id);
                    node = at->second;
                    if (isNew) nodes.emplace_back().spelled = std::string(spelled);
                    (words += words.empty() ? "" : " ") += spelled;
                    last = id;
                }
                from = blank + 1;
            }
            if (words.empty() || nodes[node].ends) continue;
            list.lastWords.insert(last);
            nodes[node].ends = true;
            endings.emplace_back(node, std::move(words));
        }
        list.items = std::string();
        for (auto& [node, words] : endings) {
            if (list.said.empty()) {
                list.said.push_back(words);
            }
            if (!nodes[node].children.empty()) {
                list.prefixes.push_back(node);
                list.said.push_back(std::move(words));
            }
        }
        endings.clear();
    }

    std::uint32_t findList(std::string_view reference) {
        const auto at = listIds.find(foldCase(reference));
        if (at == listIds.end()) return kNoList;
        build(lists[at->second]);
        return at->second;
    }

    // The name's words, LIST references and optional words; unusable when its brackets do not pair.
    void compile(Command& c) {
        const std::string_view name = c.name;
        std::vector<Element> out;
        std::vector<std::string> spelled;
        std::optional<std::size_t> open;
        std::size_t start = 0;
        const auto flush = [&](std::size_t to) {
            if (to <= start) return;
            out.push_back({Kind::Word, word(name.substr(start, to - start)), 0});
            spelled.resize(out.size());
            spelled.back() = std::string(name.substr(start, to - start));
        };
        for (std::size_t i = 0; i < name.size(); ++i) {
            const char ch = name[i];
            if (ch != ' ' && ch != '<' && ch != '>' && ch != '[' && ch != ']') continue;
            flush(i);
            if (ch == '<') {
                const auto close = name.find('>', i + 1);
                if (close == std::string_view::npos) return;
                out.push_back({Kind::List, findList(name.substr(i + 1, close - i - 1)), 0});
                i = close;
            } else if (ch == '>') {
                return;
            } else if (ch == '[') {
                if (open) return;
                open = out.size();
                out.push_back({Kind::Open, 0, 0});
            } else if (ch == ']') {
                if (!open) return;
                out[*open].jump = static_cast<std::uint32_t>(out.size() + 1);
                out.push_back({Kind::Close, 0, 0});
                open.reset();
            }
            start = i + 1;
        }
        flush(name.size());
        if (open || out.empty() || out.size() > kMostElements) return;
        c.elements = std::move(out);
        spelled.resize(c.elements.size());
        c.spelled = std::move(spelled);
        c.usable = true;
        c.literal = std::all_of(c.elements.begin(), c.elements.end(), [](const Element& e) { return e.kind == Kind::Word; });
        if (c.literal)
            for (const auto& e : c.elements) c.sequence.append(reinterpret_cast<const char*>(&e.id), sizeof e.id);
        std::vector<std::uint32_t> first;
        closure(c, 0, 0, first);
        for (const auto s : first) {
            if (atEnd(c, s)) continue;
            const auto& e = c.elements[positionOf(s)];
            auto& into = nodeOf(s) == 0 ? c.firstWords : c.firstLists;
            if (std::find(into.begin(), into.end(), e.id) == into.end()) into.push_back(e.id);
        }
        // The last word: that of the last word or LIST, or of the last of optional words, which
        // may also be left out.
        const auto addLast = [&](const Element& e) {
            if (e.kind != Kind::Word && (e.kind != Kind::List || e.id == kNoList)) return;
            auto& into = e.kind == Kind::Word ? c.lastWords : c.lastLists;
            if (std::find(into.begin(), into.end(), e.id) == into.end()) into.push_back(e.id);
        };
        for (std::size_t i = c.elements.size(); i > 0;) {
            --i;
            if (c.elements[i].kind != Kind::Close) {
                addLast(c.elements[i]);
                break;
            }
            addLast(c.elements[i - 1]);
            while (c.elements[i].kind != Kind::Open) --i;
        }
        c.name = std::string();
    }

    bool atEnd(const Command& c, std::uint32_t s) const { return positionOf(s) == c.elements.size(); }

    // The places from which the walk of one side can take a word (or where its name ends),
    // reached from (pos, node) without taking one: over optional words, out of a LIST's item.
    void closure(const Command& c, std::uint32_t pos, std::uint32_t node, std::vector<std::uint32_t>& out) {
        if (node != 0) {
            const auto& n = tree(c.elements[pos].id).nodes[node - 1];
            if (!n.children.empty()) out.push_back(side(pos, node));
            if (n.ends) closure(c, pos + 1, 0, out);
            return;
        }
        if (pos == c.elements.size()) {
            out.push_back(side(pos, 0));
            return;
        }
        const auto& e = c.elements[pos];
        switch (e.kind) {
        case Kind::Word: out.push_back(side(pos, 0)); return;
        case Kind::List:
            if (e.id != kNoList && !tree(e.id).nodes.front().children.empty()) out.push_back(side(pos, 1));
            return;
        case Kind::Open:
            closure(c, pos + 1, 0, out);
            closure(c, e.jump, 0, out);
            return;
        case Kind::Close: closure(c, pos + 1, 0, out); return;
        }
    }

    // Where a side goes on taking the word; nothing when it cannot take it.
    std::optional<std::uint32_t> take(const Command& c, std::uint32_t s, WordId w) {
        const auto pos = positionOf(s), node = nodeOf(s);
        const auto& e = c.elements[pos];
        if (node == 0) return e.id == w ? std::optional(side(pos + 1, 0)) : std::nullopt;
        const auto& children = tree(e.id).nodes[node - 1].children;
        const auto at = children.find(w);
        if (at == children.end()) return std::nullopt;
        return side(pos, at->second + 1);
    }

    // The words that go on from a node of one LIST's tree and from one of another's, with the
    // nodes they lead to, in the order of the items of the one with fewer; looked up from that
    // one, and kept for the next pair of commands that meet there when there are many.
    struct Shared {
        WordId word;
        std::uint32_t childA, childB;
    };
    struct NodesKey {
        std::uint32_t listA, nodeA, listB, nodeB;
        bool operator==(const NodesKey&) const = default;
    };
    struct NodesHash {
        std::size_t operator()(const NodesKey& k) const {
            return std::hash<std::uint64_t>()(std::uint64_t{k.listA} << 32 | k.nodeA) * 31 +
                   std::hash<std::uint64_t>()(std::uint64_t{k.listB} << 32 | k.nodeB);
        }
    };
    std::unordered_map<NodesKey, std::vector<Shared>, NodesHash> sharedKept;
    std::vector<Shared> sharedNow;

    const std::vector<Shared>& shared(std::uint32_t listA, std::uint32_t nodeA, std::uint32_t listB, std::uint32_t nodeB) {
        const auto& a = tree(listA).nodes[nodeA];
        const auto& b = tree(listB).nodes[nodeB];
        const bool many = std::min(a.children.size(), b.children.size()) > 16;
        if (many)
            if (const auto at = sharedKept.find({listA, nodeA, listB, nodeB}); at != sharedKept.end()) return at->second;
        sharedNow.clear();
        const bool aFewer = a.children.size() <= b.children.size();
        const auto& fewer = aFewer ? a : b;
        const auto& more = (aFewer ? b : a).children;
        for (const auto w : fewer.order)
            if (const auto other = more.find(w); other != more.end()) {
                const auto mine = fewer.children.at(w);
                sharedNow.push_back({w, aFewer ? mine : other->second, aFewer ? other->second : mine});
            }
        if (!many) return sharedNow;
        return sharedKept.emplace(NodesKey{listA, nodeA, listB, nodeB}, sharedNow).first->second;
    }

    bool visit(std::uint64_t key) {
        if (seenMany.empty()) {
            if (std::find(seenFew.begin(), seenFew.end(), key) != seenFew.end()) return false;
            seenFew.push_back(key);
            if (seenFew.size() > 32) seenMany.insert(seenFew.begin(), seenFew.end());
            return true;
        }
        return seenMany.insert(key).second;
    }

    void follow(const Command& a, const Command& b, std::size_t from, std::uint32_t list, WordId w, std::uint32_t toA,
                std::uint32_t toB) {
        nextA.clear();
        nextB.clear();
        closure(a, positionOf(toA), nodeOf(toA), nextA);
        closure(b, positionOf(toB), nodeOf(toB), nextB);
        for (const auto sa : nextA)
            for (const auto sb : nextB)
                if (const std::uint64_t key = std::uint64_t{sa} << 32 | sb; visit(key))
                    steps.push_back({key, static_cast<std::int64_t>(from), list, w});
    }

    // The shortest run of words both names answer to, by walking both together.
    // The words are spelled as the name on side B (or A, when `spellAsA`) and its LISTs spell them.
    std::optional<std::string> common(const Command& a, const Command& b, bool spellAsA) {
        steps.clear();
        seenFew.clear();
        if (!seenMany.empty()) seenMany.clear(); // clearing costs its buckets even when empty
        nextA.clear();
        nextB.clear();
        closure(a, 0, 0, nextA);
        closure(b, 0, 0, nextB);
        for (const auto sa : nextA)
            for (const auto sb : nextB)
                if (const std::uint64_t key = std::uint64_t{sa} << 32 | sb; visit(key)) steps.push_back({key, -1, kNoList, 0});
        for (std::size_t i = 0; i < steps.size(); ++i) {
            const auto sa = static_cast<std::uint32_t>(steps[i].key >> 32), sb = static_cast<std::uint32_t>(steps[i].key);
            const bool endA = atEnd(a, sa), endB = atEnd(b, sb);
            if (endA && endB) {
                if (steps[i].parent >= 0) return example(i, spellAsA ? a : b, spellAsA);
                continue;
            }
            if (endA || endB) continue;
            if (nodeOf(sa) == 0 || nodeOf(sb) == 0) {
                // One side wants a word of its own: the other need only take that word.
                const bool wordOfA = nodeOf(sa) == 0;
                const WordId w = (wordOfA ? a : b).elements[positionOf(wordOfA ? sa : sb)].id;
                const auto toA = take(a, sa, w);
                const auto toB = take(b, sb, w);
                if (toA && toB) follow(a, b, i, kNoList, w, *toA, *toB);
                continue;
            }
            const auto posA = positionOf(sa), posB = positionOf(sb);
            if (const auto list = a.elements[posA].id; nodeOf(sa) == 1 && nodeOf(sb) == 1 && b.elements[posB].id == list) {
                // Both at the start of one LIST: whatever item one says, the other says too. They
                // leave it together, after any item; or one leaves after an item that begins a
                // longer one, which the other goes on saying.
                follow(a, b, i, list, 0, side(posA + 1, 0), side(posB + 1, 0));
                const auto& prefixes = lists[list].prefixes;
                for (std::uint32_t k = 0; k < prefixes.size(); ++k) {
                    follow(a, b, i, list, k + 1, side(posA + 1, 0), side(posB, prefixes[k] + 1));
                    follow(a, b, i, list, k + 1, side(posA, prefixes[k] + 1), side(posB + 1, 0));
                }
                continue;
            }
            // Both inside a LIST: the words that go on in both trees.
            for (const auto& [w, childA, childB] : shared(a.elements[posA].id, nodeOf(sa) - 1, b.elements[posB].id, nodeOf(sb) - 1))
                follow(a, b, i, kNoList, w, side(posA, childA + 1), side(posB, childB + 1));
        }
        return std::nullopt;
    }

    std::string example(std::size_t last, const Command& c, bool sideA) {
        std::vector<std::size_t> path;
        for (auto i = static_cast<std::int64_t>(last); steps[static_cast<std::size_t>(i)].parent >= 0;
             i = steps[static_cast<std::size_t>(i)].parent)
            path.push_back(static_cast<std::size_t>(i));
        std::string text;
        for (auto i = path.rbegin(); i != path.rend(); ++i) {
            const auto& step = steps[*i];
            std::string_view words;
            if (step.list != kNoList) {
                words = lists[step.list].said[step.word];
            } else {
                // The word as this side took it: a word of its name, or the next word of an item.
                const auto key = steps[static_cast<std::size_t>(step.parent)].key;
                const auto s = static_cast<std::uint32_t>(sideA ? key >> 32 : key);
                const auto pos = positionOf(s), node = nodeOf(s);
                if (node == 0) {
                    words = c.spelled[pos];
                } else {
                    const auto& nodes = tree(c.elements[pos].id).nodes;
                    words = nodes[nodes[node - 1].children.at(step.word)].spelled;
                }
            }
            (text += text.empty() ? "" : " ") += words;
        }
        return text;
    }

    static std::string wordsOf(const Command& c) {
        std::string text;
        for (const auto& w : c.spelled) (text += text.empty() ? "" : " ") += w;
        return text;
    }

    // Whether an item of one LIST begins with the same word as an item of the other.
    bool meet(std::uint32_t x, std::uint32_t y) {
        const std::uint64_t key = std::uint64_t{std::min(x, y)} << 32 | std::max(x, y);
        if (const auto at = listsMeet.find(key); at != listsMeet.end()) return at->second;
        const auto& rootX = tree(x).nodes.front().children;
        const auto& rootY = tree(y).nodes.front().children;
        const auto& fewer = rootX.size() <= rootY.size() ? rootX : rootY;
        const auto& more = rootX.size() <= rootY.size() ? rootY : rootX;
        const bool result =
            std::any_of(fewer.begin(), fewer.end(), [&](const auto& child) { return more.contains(child.first); });
        listsMeet.emplace(key, result);
        return result;
    }

    // Whether an item of one LIST ends in the same word as an item of the other.
    bool endAlike(std::uint32_t x, std::uint32_t y) {
        if (x == y) return true;
        const std::uint64_t key = std::uint64_t{std::min(x, y)} << 32 | std::max(x, y);
        if (const auto at = listsEndAlike.find(key); at != listsEndAlike.end()) return at->second;
        const auto& lastX = lists[x].lastWords;
        const auto& lastY = lists[y].lastWords;
        const auto& fewer = lastX.size() <= lastY.size() ? lastX : lastY;
        const auto& more = lastX.size() <= lastY.size() ? lastY : lastX;
        const bool result = std::any_of(fewer.begin(), fewer.end(), [&](WordId w) { return more.contains(w); });
        listsEndAlike.emplace(key, result);
        return result;
    }

    // Whether the two names can end in the same word: what most pairs of one first word fail at.
    bool endsMeet(const Command& a, const Command& b) {
        for (const auto w : a.lastWords) {
            if (std::find(b.lastWords.begin(), b.lastWords.end(), w) != b.lastWords.end()) return true;
            for (const auto l : b.lastLists)
                if (lists[l].lastWords.contains(w)) return true;
        }
        for (const auto l : a.lastLists) {
            for (const auto w : b.lastWords)
                if (lists[l].lastWords.contains(w)) return true;
            for (const auto m : b.lastLists)
                if (endAlike(l, m)) return true;
        }
        return false;
    }

    static void insert(PlaceIndex& index, const Command& c, std::uint32_t number) {
        if (c.literal) {
            index.literals[c.sequence].push_back(number);
            index.literalsByFirst[c.elements.front().id].push_back(number);
            return;
        }
        for (const auto w : c.firstWords) index.patternsByWord[w].push_back(number);
        for (const auto l : c.firstLists) index.patternsByList[l].push_back(number);
    }

    // The commands of the index whose first word can be one that this command's can be.
    void candidates(const PlaceIndex& index, const Command& c, std::vector<std::uint32_t>& out,
                    const std::unordered_map<WordId, std::vector<std::uint32_t>>& listsStartingWith) {
        const auto add = [&](const auto& map, const auto& key) {
            if (const auto at = map.find(key); at != map.end()) out.insert(out.end(), at->second.begin(), at->second.end());
        };
        for (const auto w : c.firstWords) {
            if (!c.literal) add(index.literalsByFirst, w);
            add(index.patternsByWord, w);
            if (const auto at = listsStartingWith.find(w); at != listsStartingWith.end())
                for (const auto l : at->second) add(index.patternsByList, l);
        }
        for (const auto l : c.firstLists) {
            for (const auto& [other, numbers] : index.patternsByList)
                if (other == l || meet(l, other)) out.insert(out.end(), numbers.begin(), numbers.end());
            const auto& root = tree(l).nodes.front().children;
            for (const auto* map : {&index.literalsByFirst, &index.patternsByWord}) {
                if (root.size() <= map->size()) {
                    for (const auto& child : root) add(*map, child.first);
                } else {
                    for (const auto& [w, numbers] : *map)
                        if (root.contains(w)) out.insert(out.end(), numbers.begin(), numbers.end());
                }
            }
        }
    }
};

ConflictFinder::ConflictFinder() : impl_(std::make_unique<Impl>()) {}
ConflictFinder::~ConflictFinder() = default;

void ConflictFinder::addList(std::string_view name, std::string_view items) {
    if (impl_->listIds.try_emplace(foldCase(name), static_cast<std::uint32_t>(impl_->lists.size())).second)
        impl_->lists.emplace_back().items = std::string(items);
}

std::size_t ConflictFinder::addCommand(std::string_view place, bool global, std::string_view name) {
    auto& d = *impl_;
    Command c;
    c.place = d.placeIds.try_emplace(std::string(place), static_cast<std::uint32_t>(d.placeIds.size())).first->second;
    c.global = global;
    c.name = std::string(name);
    c.folded = foldCase(name);
    d.commands.push_back(std::move(c));
    return d.commands.size() - 1;
}

std::vector<Conflict> ConflictFinder::find() {
    auto& d = *impl_;
    for (auto& c : d.commands) d.compile(c);

    std::unordered_map<WordId, std::vector<std::uint32_t>> listsStartingWith;
    {
        std::unordered_set<std::uint32_t> firstLists;
        for (const auto& c : d.commands) firstLists.insert(c.firstLists.begin(), c.firstLists.end());
        for (const auto l : firstLists)
            for (const auto& child : d.tree(l).nodes.front().children) listsStartingWith[child.first].push_back(l);
    }

    std::vector<Conflict> found;
    std::vector<std::uint32_t> candidates;
    std::vector<std::uint32_t> lastLooked(d.commands.size(), 0xFFFFFFFFu);
    const auto compare = [&](std::uint32_t number, const PlaceIndex& index) {
        const auto& c = d.commands[number];
        candidates.clear();
        if (c.literal)
            if (const auto at = index.literals.find(c.sequence); at != index.literals.end())
                for (const auto other : at->second) {
                    lastLooked[other] = number;
                    const auto& o = d.commands[other];
                    if (o.folded != c.folded) found.push_back({other, number, Impl::wordsOf(d.commands[std::max(other, number)])});
                }
        d.candidates(index, c, candidates, listsStartingWith);
        for (const auto other : candidates) {
            if (other == number || lastLooked[other] == number) continue;
            lastLooked[other] = number;
            const auto& o = d.commands[other];
            if (o.folded == c.folded) continue; // a duplicate, or a program's own version of a global command
            if (!d.endsMeet(o, c)) continue;
            if (auto words = d.common(o, c, other > number)) found.push_back({std::min(other, number), std::max(other, number), std::move(*words)});
        }
    };

    // Each place among itself, every command against those before it; then each program's
    // commands against all global ones.
    std::vector<PlaceIndex> places(d.placeIds.size());
    for (std::uint32_t number = 0; number < d.commands.size(); ++number) {
        const auto& c = d.commands[number];
        if (!c.usable) continue;
        compare(number, places[c.place]);
        Impl::insert(places[c.place], c, number);
    }
    PlaceIndex global;
    for (std::uint32_t number = 0; number < d.commands.size(); ++number)
        if (d.commands[number].usable && d.commands[number].global) Impl::insert(global, d.commands[number], number);
    for (std::uint32_t number = 0; number < d.commands.size(); ++number)
        if (d.commands[number].usable && !d.commands[number].global) compare(number, global);

    for (auto& f : found)
        if (f.first > f.second) std::swap(f.first, f.second);
    std::sort(found.begin(), found.end(),
              [](const Conflict& x, const Conflict& y) { return std::tie(x.second, x.first) < std::tie(y.second, y.first); });
    return found;
}

} // namespace vocabrella::ops
