#include "ops/LineDiff.h"

#include <algorithm>

namespace vocabrella::ops {
namespace {

// Beyond this many differing lines the search's memory (about the square of it) is not spent.
constexpr std::ptrdiff_t kMostEdits = 2000;

using Lines = std::vector<std::string>;

constexpr std::ptrdiff_t kNotReached = -1;

// Where a round starts on diagonal k (y = x - k), from the furthest points the round before left
// on the diagonals beside it: down from k + 1 (an insertion) or right from k - 1 (a deletion),
// whichever stays inside the n by m grid and reaches further; a tie goes down, so that the
// script takes a line out before it puts the new one in.
struct Start {
    bool insertion = false;
    std::ptrdiff_t x = kNotReached;
};

template <typename Furthest>
Start startOf(const Furthest& furthest, std::ptrdiff_t d, std::ptrdiff_t k, std::ptrdiff_t n, std::ptrdiff_t m) {
    Start best;
    if (k != d) {
        const std::ptrdiff_t x = furthest(k + 1);
        if (x != kNotReached && x - k <= m) best = {true, x};
    }
    if (k != -d) {
        const std::ptrdiff_t x = furthest(k - 1);
        if (x != kNotReached && x + 1 <= n && x + 1 > best.x) best = {false, x + 1};
    }
    return best;
}

// Myers' greedy search over a[aFrom, aFrom + n) and b[bFrom, bFrom + m), the common ends taken off
// already. Appends the edit script to out; false, with nothing appended, when it needs more than
// kMostEdits edits.
bool shortestScript(const Lines& a, std::size_t aFrom, std::size_t n, const Lines& b, std::size_t bFrom,
                    std::size_t m, std::vector<DiffLine>& out) {
    const auto N = static_cast<std::ptrdiff_t>(n);
    const auto M = static_cast<std::ptrdiff_t>(m);
    const std::ptrdiff_t most = std::min(N + M, kMostEdits);
    const auto same = [&](std::ptrdiff_t x, std::ptrdiff_t y) {
        return a[aFrom + static_cast<std::size_t>(x)] == b[bFrom + static_cast<std::size_t>(y)];
    };
    // The furthest x reached on each diagonal k, at v[k + offset].
    const std::ptrdiff_t offset = most + 1;
    std::vector<std::ptrdiff_t> v(static_cast<std::size_t>(2 * offset + 1), kNotReached);
    const auto at = [&](std::ptrdiff_t k) -> std::ptrdiff_t& { return v[static_cast<std::size_t>(k + offset)]; };
    // The furthest points as each round found them (diagonals -d..d), for the way back.
    std::vector<std::vector<std::ptrdiff_t>> rounds;

    std::ptrdiff_t found = -1;
    for (std::ptrdiff_t d = 0; d <= most && found < 0; ++d) {
        rounds.emplace_back(static_cast<std::size_t>(2 * d + 1));
        for (std::ptrdiff_t k = -d; k <= d; ++k) rounds.back()[static_cast<std::size_t>(k + d)] = at(k);
        for (std::ptrdiff_t k = -d; k <= d; k += 2) {
            std::ptrdiff_t x = d == 0 ? 0 : startOf(at, d, k, N, M).x;
            if (x == kNotReached) continue;
            std::ptrdiff_t y = x - k;
            while (x < N && y < M && same(x, y)) ++x, ++y;
            at(k) = x;
            if (x == N && y == M) {
                found = d;
                break;
            }
        }
    }
    if (found < 0) return false;

    // Back from the end, round by round: each round is one edit followed by a diagonal run.
    std::vector<DiffLine> reversed;
    std::ptrdiff_t x = N, y = M;
    for (std::ptrdiff_t d = found; d > 0; --d) {
        const auto& before = rounds[static_cast<std::size_t>(d)];
        const auto furthest = [&](std::ptrdiff_t k) { return before[static_cast<std::size_t>(k + d)]; };
        const std::ptrdiff_t k = x - y;
        const Start start = startOf(furthest, d, k, N, M);
        const std::ptrdiff_t prevK = start.insertion ? k + 1 : k - 1;
        const std::ptrdiff_t prevX = furthest(prevK);
        const std::ptrdiff_t prevY = prevX - prevK;
        for (; x > start.x; --x, --y) reversed.push_back({' ', a[aFrom + static_cast<std::size_t>(x - 1)]});
        if (start.insertion) reversed.push_back({'+', b[bFrom + static_cast<std::size_t>(prevY)]});
        else reversed.push_back({'-', a[aFrom + static_cast<std::size_t>(prevX)]});
        x = prevX;
        y = prevY;
    }
    for (; x > 0; --x) reversed.push_back({' ', a[aFrom + static_cast<std::size_t>(x - 1)]});
    out.insert(out.end(), reversed.rbegin(), reversed.rend());
    return true;
}

} // namespace

std::vector<std::string> splitLines(std::string_view text) {
    std::vector<std::string> lines;
    std::size_t start = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '\r' && text[i] != '\n') continue;
        lines.emplace_back(text.substr(start, i - start));
        if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
        start = i + 1;
    }
    lines.emplace_back(text.substr(start));
    return lines;
}

std::vector<DiffLine> diffLines(const Lines& before, const Lines& after) {
    std::size_t head = 0;
    while (head < before.size() && head < after.size() && before[head] == after[head]) ++head;
    std::size_t tail = 0;
    while (tail < before.size() - head && tail < after.size() - head &&
           before[before.size() - 1 - tail] == after[after.size() - 1 - tail])
        ++tail;

    std::vector<DiffLine> out;
    out.reserve(std::max(before.size(), after.size()));
    for (std::size_t i = 0; i < head; ++i) out.push_back({' ', before[i]});
    const std::size_t n = before.size() - head - tail, m = after.size() - head - tail;
    if (!shortestScript(before, head, n, after, head, m, out)) {
        for (std::size_t i = 0; i < n; ++i) out.push_back({'-', before[head + i]});
        for (std::size_t i = 0; i < m; ++i) out.push_back({'+', after[head + i]});
    }
    for (std::size_t i = before.size() - tail; i < before.size(); ++i) out.push_back({' ', before[i]});
    return out;
}

bool sameLinesOtherEnds(std::string_view before, std::string_view after) {
    return before != after && splitLines(before) == splitLines(after);
}

std::vector<std::string> unifiedDiff(std::string_view before, std::string_view after, std::size_t context) {
    const auto script = diffLines(splitLines(before), splitLines(after));
    std::vector<std::string> out;
    // Hunks: runs of changes closer than twice the context, with the context around them.
    std::size_t i = 0;
    std::size_t lineA = 1, lineB = 1; // numbers of script[i] in before and after
    const auto advance = [&](std::size_t to) {
        for (; i < to; ++i) {
            if (script[i].mark != '+') ++lineA;
            if (script[i].mark != '-') ++lineB;
        }
    };
    while (true) {
        std::size_t change = i;
        while (change < script.size() && script[change].mark == ' ') ++change;
        if (change == script.size()) break;
        const std::size_t start = change - std::min(context, change - i);
        advance(start);
        // The hunk ends after the last change that is followed by fewer than 2 * context + 1
        // unchanged lines before the next change.
        std::size_t end = change;
        for (std::size_t j = change; j < script.size(); ++j) {
            if (script[j].mark != ' ') {
                end = j + 1;
                continue;
            }
            if (j - end + 1 > 2 * context) break;
        }
        const std::size_t stop = std::min(script.size(), end + context);
        std::size_t countA = 0, countB = 0;
        for (std::size_t j = start; j < stop; ++j) {
            if (script[j].mark != '+') ++countA;
            if (script[j].mark != '-') ++countB;
        }
        const auto range = [](std::size_t first, std::size_t count) {
            return std::to_string(count == 0 ? first - 1 : first) + "," + std::to_string(count);
        };
        out.push_back("@@ -" + range(lineA, countA) + " +" + range(lineB, countB) + " @@");
        for (std::size_t j = start; j < stop; ++j) out.push_back(script[j].mark + script[j].text);
        advance(stop);
    }
    return out;
}

} // namespace vocabrella::ops
