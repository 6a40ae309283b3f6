#include "ops/Conflicts.h"

#include "cmdfile/TextCase.h"
#include "ops/Progress.h"

#include <algorithm>
#include <optional>
#include <tuple>
#include <unordered_map>
#include <unordered_set>

namespace vocabrella::ops {
namespace {

using WordId = std::uint32_t;
constexpr std::uint32_t kNoList = 0xFFFFFFFFu;
constexpr WordId kEndWord = 0xFFFFFFFFu;
// A step of the walk over words said inside two LISTs' items at once, told by `ExitStep`.
constexpr std::uint32_t kThroughItems = 0xFFFFFFFEu;
// Words the kept look-ups between two LISTs' trees may hold, all told.
constexpr std::size_t kMostKeptShared = 1u << 22;
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

constexpr std::uint32_t kNoNode = 0xFFFFFFFFu;

// A LIST's items as a tree of words: the path from the root to a node marked `ends` is an item.
// Small nodes, the children found through one table of the tree: LISTs run to many thousands
// of items, and the same items in many LISTs.
struct Tree {
    struct Node {
        std::uint32_t parent = 0;
        std::uint32_t first = kNoNode, last = kNoNode, next = kNoNode; // children in the order of the items
        std::uint32_t children = 0;
        WordId word = 0;         // the word that leads here
        std::uint32_t spelledAt = 0, spelledSize = 0; // in `spelling`: as the first item through here spells it
        bool ends = false;
        // A node where an item ends and no longer one goes on: all such are alike to the walk.
        bool leaf() const { return ends && children == 0; }
    };
    std::vector<Node> nodes; // the root first
    std::unordered_map<std::uint64_t, std::uint32_t> edges; // (node, word) -> child
    std::string spelling;

    std::uint32_t child(std::uint32_t node, WordId w) const {
        const auto at = edges.find(std::uint64_t{node} << 32 | w);
        return at == edges.end() ? kNoNode : at->second;
    }
    std::string_view spelled(std::uint32_t node) const {
        return std::string_view(spelling).substr(nodes[node].spelledAt, nodes[node].spelledSize);
    }
    template <typename F> void forEachChild(std::uint32_t node, F&& f) const {
        for (auto c = nodes[node].first; c != kNoNode; c = nodes[c].next) f(c);
    }
};

struct List {
    std::string items; // as the file holds them, until the tree is built
    bool built = false;
    Tree tree;
    // Items the walk names: the first item, then each item that begins another (its node in
    // `prefixes`), as the LIST spells them.
    std::vector<std::string> said;
    std::vector<std::uint32_t> prefixes;
    std::vector<WordId> lastWords; // the words its items end in, sorted

    bool endsIn(WordId w) const { return std::binary_search(lastWords.begin(), lastWords.end(), w); }
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
    // Its first two words where the first is a word of its own (the second kEndWord where the
    // name may end after the first), and the first words after which the second may be an item.
    std::vector<std::uint64_t> firstTwo;
    std::vector<WordId> wideAfter;
    std::vector<WordId> lastWords;         // the same for its last word
    std::vector<std::uint32_t> lastLists;
};

// Commands of one place by what their first word can be.
struct PlaceIndex {
    std::unordered_map<std::string, std::vector<std::uint32_t>> literals; // by all their words
    std::unordered_map<WordId, std::vector<std::uint32_t>> literalsByFirst;
    std::unordered_map<WordId, std::vector<std::uint32_t>> patternsByWord;
    std::unordered_map<std::uint32_t, std::vector<std::uint32_t>> patternsByList;
    // The same by their first two words, for many names of one first word: only those of a
    // common second word meet, or those whose second word may be an item.
    std::unordered_map<std::uint64_t, std::vector<std::uint32_t>> literalsByFirstTwo, patternsByFirstTwo;
    std::unordered_map<WordId, std::vector<std::uint32_t>> patternsWideAfter;
};

std::uint32_t side(std::uint32_t pos, std::uint32_t node) { return pos << 24 | node; }
std::uint32_t positionOf(std::uint32_t s) { return s >> 24; }
std::uint32_t nodeOf(std::uint32_t s) { return s & 0xFFFFFFu; }

} // namespace

struct ConflictFinder::Impl {
    std::size_t mostSteps;
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
        // Most items are a word or two: room for them at once, not grown item by item.
        const auto lines = static_cast<std::size_t>(std::count(list.items.begin(), list.items.end(), '\n')) + 1;
        nodes.reserve(std::min<std::size_t>(lines + 1, kMostNodes));
        list.tree.edges.reserve(std::min<std::size_t>(lines, kMostNodes));
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
                    const auto [at, isNew] =
                        list.tree.edges.try_emplace(std::uint64_t{node} << 32 | id, static_cast<std::uint32_t>(nodes.size()));
                    if (isNew) {
                        const auto parent = node;
                        auto& child = nodes.emplace_back();
                        child.parent = parent;
                        child.word = id;
                        child.spelledAt = static_cast<std::uint32_t>(list.tree.spelling.size());
                        child.spelledSize = static_cast<std::uint32_t>(spelled.size());
                        list.tree.spelling += spelled;
                        auto& p = nodes[parent];
                        (p.last == kNoNode ? p.first : nodes[p.last].next) = at->second;
                        p.last = at->second;
                        ++p.children;
                    }
                    node = at->second;
                    (words += words.empty() ? "" : " ") += spelled;
                    last = id;
                }
                from = blank + 1;
            }
            if (words.empty() || nodes[node].ends) continue;
            list.lastWords.push_back(last);
            nodes[node].ends = true;
            endings.emplace_back(node, std::move(words));
        }
        list.items = std::string();
        std::sort(list.lastWords.begin(), list.lastWords.end());
        list.lastWords.erase(std::unique(list.lastWords.begin(), list.lastWords.end()), list.lastWords.end());
        list.lastWords.shrink_to_fit();
        nodes.shrink_to_fit();
        list.tree.spelling.shrink_to_fit();
        for (auto& [node, words] : endings) {
            if (list.said.empty()) {
                list.said.push_back(words);
            }
            if (nodes[node].children != 0) {
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
        std::vector<std::uint32_t> second;
        for (const auto s : first) {
            if (atEnd(c, s)) continue;
            const auto& e = c.elements[positionOf(s)];
            auto& into = nodeOf(s) == 0 ? c.firstWords : c.firstLists;
            if (std::find(into.begin(), into.end(), e.id) == into.end()) into.push_back(e.id);
            if (nodeOf(s) != 0) continue;
            second.clear();
            closure(c, positionOf(s) + 1, 0, second);
            for (const auto t : second) {
                if (!atEnd(c, t) && nodeOf(t) != 0) {
                    if (std::find(c.wideAfter.begin(), c.wideAfter.end(), e.id) == c.wideAfter.end()) c.wideAfter.push_back(e.id);
                    continue;
                }
                const std::uint64_t two = std::uint64_t{e.id} << 32 | (atEnd(c, t) ? kEndWord : c.elements[positionOf(t)].id);
                if (std::find(c.firstTwo.begin(), c.firstTwo.end(), two) == c.firstTwo.end()) c.firstTwo.push_back(two);
            }
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
            if (n.children != 0) out.push_back(side(pos, node));
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
            if (e.id != kNoList && tree(e.id).nodes.front().children != 0) out.push_back(side(pos, 1));
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
        const auto child = tree(e.id).child(node - 1, w);
        if (child == kNoNode) return std::nullopt;
        return side(pos, child + 1);
    }

    // The words that go on from a node of one LIST's tree and from one of another's, with the
    // nodes they lead to, in the order of the items of the one with fewer; looked up from that
    // one, and kept for the next pair of commands that meet there when there are many. Of the
    // words that end an item in both and go on in neither only the first counts: the walk goes
    // the same way after each.
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
    std::size_t sharedKeptWords = 0;
    std::vector<Shared> sharedNow;

    const std::vector<Shared>& shared(std::uint32_t listA, std::uint32_t nodeA, std::uint32_t listB, std::uint32_t nodeB) {
        const auto& a = tree(listA).nodes[nodeA];
        const auto& b = tree(listB).nodes[nodeB];
        const bool many = std::min(a.children, b.children) > 16;
        if (many)
            if (const auto at = sharedKept.find({listA, nodeA, listB, nodeB}); at != sharedKept.end()) return at->second;
        sharedNow.clear();
        const bool aFewer = a.children <= b.children;
        const auto& fewer = tree(aFewer ? listA : listB);
        const auto& more = tree(aFewer ? listB : listA);
        const auto moreNode = aFewer ? nodeB : nodeA;
        bool leavesTaken = false;
        fewer.forEachChild(aFewer ? nodeA : nodeB, [&](std::uint32_t mine) {
            const auto w = fewer.nodes[mine].word;
            const auto other = more.child(moreNode, w);
            if (other == kNoNode) return;
            if (fewer.nodes[mine].leaf() && more.nodes[other].leaf()) {
                if (leavesTaken) return;
                leavesTaken = true;
            }
            sharedNow.push_back({w, aFewer ? mine : other, aFewer ? other : mine});
        });
        if (!many || sharedKeptWords + sharedNow.size() > kMostKeptShared) return sharedNow;
        sharedKeptWords += sharedNow.size();
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

    // Where a walk through two LISTs' items at once leaves them: one item ends (or both do)
    // with the other side at `nodeB` (or `nodeA`). Each way out once: a side whose item ends
    // and goes on no further is at its LIST's end whatever the node.
    struct Exit {
        std::uint32_t nodeA, nodeB;
    };
    std::unordered_map<NodesKey, std::vector<Exit>, NodesHash> exitsKept;
    // The words of a step through items, on the side the example is spelled as.
    struct ExitStep {
        std::uint32_t list, from, to;
    };
    std::vector<ExitStep> exitSteps;

    const std::vector<Exit>& exits(std::uint32_t listA, std::uint32_t nodeA, std::uint32_t listB, std::uint32_t nodeB) {
        const NodesKey key{listA, nodeA, listB, nodeB};
        if (const auto at = exitsKept.find(key); at != exitsKept.end()) return at->second;
        const auto& treeA = tree(listA).nodes;
        const auto& treeB = tree(listB).nodes;
        const auto part = [](const Tree::Node& n, std::uint32_t node) { return n.leaf() ? kNoList : node; };
        std::vector<Exit> out;
        std::unordered_set<std::uint64_t> seen, told;
        std::vector<std::pair<std::uint32_t, std::uint32_t>> queue{{nodeA, nodeB}};
        seen.insert(std::uint64_t{nodeA} << 32 | nodeB);
        for (std::size_t i = 0; i < queue.size(); ++i) {
            // Copied: the look-up's buffer serves the next one.
            const auto words = shared(listA, queue[i].first, listB, queue[i].second);
            for (const auto& [w, childA, childB] : words) {
                const auto& na = treeA[childA];
                const auto& nb = treeB[childB];
                if ((na.ends || nb.ends) &&
                    told.insert(std::uint64_t{part(na, childA)} << 32 | part(nb, childB)).second)
                    out.push_back({childA, childB});
                if (na.children != 0 && nb.children != 0 &&
                    seen.insert(std::uint64_t{childA} << 32 | childB).second)
                    queue.emplace_back(childA, childB);
            }
        }
        return exitsKept.emplace(key, std::move(out)).first->second;
    }

    // Adds the states the two sides reach from `toA` and `toB` without taking a word; `bothIn`,
    // when given, is the one pair of them the walk through items has already taken care of.
    void follow(const Command& a, const Command& b, std::size_t from, std::uint32_t list, WordId w, std::uint32_t toA,
                std::uint32_t toB, std::optional<std::uint64_t> bothIn = std::nullopt) {
        nextA.clear();
        nextB.clear();
        closure(a, positionOf(toA), nodeOf(toA), nextA);
        closure(b, positionOf(toB), nodeOf(toB), nextB);
        for (const auto sa : nextA)
            for (const auto sb : nextB)
                if (const std::uint64_t key = std::uint64_t{sa} << 32 | sb; key != bothIn && visit(key))
                    steps.push_back({key, static_cast<std::int64_t>(from), list, w});
    }

    // A run of words both names answer to, by walking both together, word by word. Spelled as
    // the name on side B (or A, when `spellAsA`) and its LISTs spell them.
    // The search for the shortest run (`shortest`) gives up past `mostSteps` states and says so
    // in `gaveUp`; without it, the walk takes the words said inside two LISTs' items at once as
    // one step, which keeps it to the positions of the two names and the LISTs' nodes between.
    bool gaveUp = false;
    std::optional<std::string> common(const Command& a, const Command& b, bool spellAsA, bool shortest = true) {
        gaveUp = false;
        steps.clear();
        exitSteps.clear();
        seenFew.clear();
        if (!seenMany.empty()) seenMany.clear(); // clearing costs its buckets even when empty
        nextA.clear();
        nextB.clear();
        closure(a, 0, 0, nextA);
        closure(b, 0, 0, nextB);
        // Where nothing is said yet: not among the seen, so that the same places reached by
        // words are walked again (both may end there, which before was nothing said).
        for (const auto sa : nextA)
            for (const auto sb : nextB) steps.push_back({std::uint64_t{sa} << 32 | sb, -1, kNoList, 0});
        for (std::size_t i = 0; i < steps.size(); ++i) {
            if (shortest && steps.size() > mostSteps) {
                gaveUp = true;
                return std::nullopt;
            }
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
            const auto listA = a.elements[posA].id, listB = b.elements[posB].id;
            if (!shortest) {
                // Both inside items: on to where either item ends, the words between as one step.
                const auto& ways = exits(listA, nodeOf(sa) - 1, listB, nodeOf(sb) - 1);
                for (std::size_t k = 0; k < ways.size(); ++k) {
                    const auto [nodeA, nodeB] = ways[k];
                    const auto toA = side(posA, nodeA + 1), toB = side(posB, nodeB + 1);
                    exitSteps.push_back(spellAsA ? ExitStep{listA, nodeOf(sa) - 1, nodeA} : ExitStep{listB, nodeOf(sb) - 1, nodeB});
                    follow(a, b, i, kThroughItems, static_cast<WordId>(exitSteps.size() - 1), toA, toB,
                           std::uint64_t{toA} << 32 | toB);
                }
                continue;
            }
            if (nodeOf(sa) == 1 && nodeOf(sb) == 1 && listB == listA) {
                // Both at the start of one LIST: whatever item one says, the other says too. They
                // leave it together, after any item; or one leaves after an item that begins a
                // longer one, which the other goes on saying.
                follow(a, b, i, listA, 0, side(posA + 1, 0), side(posB + 1, 0));
                const auto& prefixes = lists[listA].prefixes;
                for (std::uint32_t k = 0; k < prefixes.size(); ++k) {
                    follow(a, b, i, listA, k + 1, side(posA + 1, 0), side(posB, prefixes[k] + 1));
                    follow(a, b, i, listA, k + 1, side(posA, prefixes[k] + 1), side(posB + 1, 0));
                }
                continue;
            }
            // Both inside a LIST: the words that go on in both trees.
            for (const auto& [w, childA, childB] : shared(listA, nodeOf(sa) - 1, listB, nodeOf(sb) - 1))
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
        std::vector<std::string_view> through;
        for (auto i = path.rbegin(); i != path.rend(); ++i) {
            const auto& step = steps[*i];
            if (step.list == kThroughItems) {
                // The words of the item from where the step began to where it left it.
                const auto& [list, from, to] = exitSteps[step.word];
                const auto& t = tree(list);
                through.clear();
                for (auto node = to; node != from; node = t.nodes[node].parent) through.push_back(t.spelled(node));
                for (auto w = through.rbegin(); w != through.rend(); ++w) (text += text.empty() ? "" : " ") += *w;
                continue;
            }
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
                    const auto& t = tree(c.elements[pos].id);
                    words = t.spelled(t.child(node - 1, step.word));
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
        const bool xFewer = tree(x).nodes.front().children <= tree(y).nodes.front().children;
        const auto& fewer = tree(xFewer ? x : y);
        const auto& more = tree(xFewer ? y : x);
        bool result = false;
        fewer.forEachChild(0, [&](std::uint32_t child) { result = result || more.child(0, fewer.nodes[child].word) != kNoNode; });
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
        const bool result =
            std::any_of(fewer.begin(), fewer.end(), [&](WordId w) { return std::binary_search(more.begin(), more.end(), w); });
        listsEndAlike.emplace(key, result);
        return result;
    }

    // Whether the two names can end in the same word: what most pairs of one first word fail at.
    bool endsMeet(const Command& a, const Command& b) {
        for (const auto w : a.lastWords) {
            if (std::find(b.lastWords.begin(), b.lastWords.end(), w) != b.lastWords.end()) return true;
            for (const auto l : b.lastLists)
                if (lists[l].endsIn(w)) return true;
        }
        for (const auto l : a.lastLists) {
            for (const auto w : b.lastWords)
                if (lists[l].endsIn(w)) return true;
            for (const auto m : b.lastLists)
                if (endAlike(l, m)) return true;
        }
        return false;
    }

    static void insert(PlaceIndex& index, const Command& c, std::uint32_t number) {
        if (c.literal) {
            index.literals[c.sequence].push_back(number);
            index.literalsByFirst[c.elements.front().id].push_back(number);
            index.literalsByFirstTwo[c.firstTwo.front()].push_back(number);
            return;
        }
        for (const auto w : c.firstWords) index.patternsByWord[w].push_back(number);
        for (const auto two : c.firstTwo) index.patternsByFirstTwo[two].push_back(number);
        for (const auto w : c.wideAfter) index.patternsWideAfter[w].push_back(number);
        for (const auto l : c.firstLists) index.patternsByList[l].push_back(number);
    }

    // The commands of the index whose first word can be one that this command's can be.
    void candidates(const PlaceIndex& index, const Command& c, std::vector<std::uint32_t>& out,
                    const std::unordered_map<WordId, std::vector<std::uint32_t>>& listsStartingWith) {
        const auto add = [&](const auto& map, const auto& key) {
            if (const auto at = map.find(key); at != map.end()) out.insert(out.end(), at->second.begin(), at->second.end());
        };
        const auto wide = [&](WordId w) { return std::find(c.wideAfter.begin(), c.wideAfter.end(), w) != c.wideAfter.end(); };
        for (const auto two : c.firstTwo) {
            if (wide(static_cast<WordId>(two >> 32))) continue;
            if (!c.literal) add(index.literalsByFirstTwo, two);
            add(index.patternsByFirstTwo, two);
        }
        for (const auto w : c.firstWords) {
            if (wide(w)) {
                if (!c.literal) add(index.literalsByFirst, w);
                add(index.patternsByWord, w);
            } else {
                add(index.patternsWideAfter, w);
            }
            if (const auto at = listsStartingWith.find(w); at != listsStartingWith.end())
                for (const auto l : at->second) add(index.patternsByList, l);
        }
        for (const auto l : c.firstLists) {
            for (const auto& [other, numbers] : index.patternsByList)
                if (other == l || meet(l, other)) out.insert(out.end(), numbers.begin(), numbers.end());
            const auto& t = tree(l);
            for (const auto* map : {&index.literalsByFirst, &index.patternsByWord}) {
                if (t.nodes.front().children <= map->size()) {
                    t.forEachChild(0, [&](std::uint32_t child) { add(*map, t.nodes[child].word); });
                } else {
                    for (const auto& [w, numbers] : *map)
                        if (t.child(0, w) != kNoNode) out.insert(out.end(), numbers.begin(), numbers.end());
                }
            }
        }
    }
};

ConflictFinder::ConflictFinder(std::size_t mostSteps) : impl_(std::make_unique<Impl>()) { impl_->mostSteps = mostSteps; }
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

std::vector<Conflict> ConflictFinder::find(Progress* progress) {
    auto& d = *impl_;
    for (auto& c : d.commands) d.compile(c);

    std::unordered_map<WordId, std::vector<std::uint32_t>> listsStartingWith;
    {
        std::unordered_set<std::uint32_t> firstLists;
        for (const auto& c : d.commands) firstLists.insert(c.firstLists.begin(), c.firstLists.end());
        for (const auto l : firstLists)
            d.tree(l).forEachChild(0, [&](std::uint32_t child) { listsStartingWith[d.tree(l).nodes[child].word].push_back(l); });
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
            auto words = d.common(o, c, other > number);
            if (!words && d.gaveUp) words = d.common(o, c, other > number, false);
            if (words) found.push_back({std::min(other, number), std::max(other, number), std::move(*words)});
        }
    };

    // Each place among itself, every command against those before it; then each program's
    // commands against all global ones.
    // Each command is looked at twice: among its place, and against the global commands.
    const std::size_t total = 2 * d.commands.size();
    std::vector<PlaceIndex> places(d.placeIds.size());
    for (std::uint32_t number = 0; number < d.commands.size(); ++number) {
        if (progress && !progress->advance(number, total)) return {};
        const auto& c = d.commands[number];
        if (!c.usable) continue;
        compare(number, places[c.place]);
        Impl::insert(places[c.place], c, number);
    }
    PlaceIndex global;
    for (std::uint32_t number = 0; number < d.commands.size(); ++number)
        if (d.commands[number].usable && d.commands[number].global) Impl::insert(global, d.commands[number], number);
    for (std::uint32_t number = 0; number < d.commands.size(); ++number) {
        if (progress && !progress->advance(d.commands.size() + number, total)) return {};
        if (d.commands[number].usable && !d.commands[number].global) compare(number, global);
    }

    for (auto& f : found)
        if (f.first > f.second) std::swap(f.first, f.second);
    std::sort(found.begin(), found.end(),
              [](const Conflict& x, const Conflict& y) { return std::tie(x.second, x.first) < std::tie(y.second, y.first); });
    return found;
}

} // namespace vocabrella::ops
