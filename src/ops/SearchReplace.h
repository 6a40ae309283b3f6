#pragma once

#include "ops/BatchSelection.h"

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

namespace vocabrella::ops {

// Search and replace in the bodies of the chosen commands, as the batch dialog drives it: only
// SCRIPT, KEYS, Advanced Script and LIST bodies are searched. A search goes from match to match;
// a replacement is written at once and the search goes on behind the inserted text, so text the
// replacement brought in is never matched again. "Replace All" writes every remaining
// replacement in one replacement of the file.
class SearchReplace {
public:
    SearchReplace(Workspace& ws, BatchSelection selection) : ws_(ws), selection_(std::move(selection)) {}

    // The dialog's fields, read at each step. Changing the search text or the scope abandons a
    // running search (abandon()).
    std::string findText;
    std::string replaceWith;
    bool matchCase = false;

    // A match on show: the command, its body as stored, and the match's place in it (bytes).
    struct Match {
        std::string program, scope, name, body;
        std::size_t position = 0, length = 0;
    };

    // "Search": the next match (a new search marks the chosen rows first). Done with current()
    // set: a match to show. Done without: the search is over after replacements, and the text
    // is the summary. Refused: nothing to search, or no more matches (told).
    Outcome search();
    // "Replace": the match on show replaced and written, then the next one searched. Without a
    // match on show it starts the search.
    Outcome replace();
    // "Replace All": this match and every later one, written once; the summary.
    Outcome replaceAll();
    void abandon();

    const std::optional<Match>& current() const { return current_; }
    bool running() const { return running_; }
    int replacements() const { return replacements_; }
    int macros() const { return macros_; }

private:
    struct Target {
        std::string program, scope, name;
    };
    Outcome start();
    std::size_t findIn(const std::string& body, std::size_t from) const;
    Outcome ended();
    Outcome refuse(std::string_view text, std::string title = {});

    Workspace& ws_;
    BatchSelection selection_;
    std::vector<Target> targets_;
    std::size_t index_ = 0;       // the target being searched
    std::size_t from_ = 0;        // where the next search in its body starts
    std::optional<std::size_t> shownIndex_;
    std::optional<Match> current_;
    bool running_ = false;
    int replacements_ = 0, macros_ = 0;
};

} // namespace vocabrella::ops
