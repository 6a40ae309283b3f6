#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace vocabrella::ops {

// One line of an edit script: kept (' '), taken out ('-') or put in ('+').
struct DiffLine {
    char mark = ' ';
    std::string text;
    bool operator==(const DiffLine&) const = default;
};

// The lines of a text, split at CR LF, at a lone LF and at a lone CR; the line ends are not
// kept. A text that ends with a line end has an empty last line, so that "a" and "a" CR LF differ
// by one line.
std::vector<std::string> splitLines(std::string_view text);

// The shortest edit script that turns before into after (Myers' algorithm), every line of both
// in order. Where the script would take too much memory to find (very long texts that share
// little), every differing line of the middle is taken out and the new ones put in.
std::vector<DiffLine> diffLines(const std::vector<std::string>& before, const std::vector<std::string>& after);

// The changes between two texts in the unified form: hunks headed "@@ -start,count +start,count @@"
// with `context` unchanged lines around each change, then " ", "-" and "+" lines. Empty when the
// lines are the same (a text whose line ends alone differ has no hunk: see sameLinesOtherEnds).
std::vector<std::string> unifiedDiff(std::string_view before, std::string_view after, std::size_t context = 3);

// Whether two texts differ only in their line ends (CR LF against LF, say).
bool sameLinesOtherEnds(std::string_view before, std::string_view after);

} // namespace vocabrella::ops
