#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace vocabrella::ops {

class Progress;

// Two commands that answer to the same spoken words.
struct Conflict {
    std::size_t first = 0, second = 0; // the commands in the order they were added, first < second
    std::string example;               // one run of words both answer to, blanks between the words
};

// Finds the pairs of commands that Dragon cannot tell apart: commands of one place (a program
// and scope) among themselves, and the commands of each program against the global commands.
//
// Dragon hears words: a name is the words between its blanks (how many blanks does not matter,
// nor letter case), a LIST reference in angle brackets stands for any one of the LIST's items
// (an item may be several words), and words in square brackets may be said or left out. Two
// names conflict when some run of words fits both. The same name twice, letter case aside, is
// no conflict: in one place it is a duplicate, told as such; a program's command of a global
// command's name is the program's own version of it.
//
// The search never compares all pairs: commands are kept by what their first word can be, and
// a pair is decided by walking both names word by word together, with each LIST's items in a
// tree keyed by word, so a LIST of thousands of items costs a look-up, not a loop. Names of one
// first word are kept by their second word too, where it is a word of their own.
class ConflictFinder {
public:
    // The search for the shortest words both names answer to gives up past `mostSteps` states
    // of the walk; a walk that takes each LIST item as one step then decides, and its words are
    // not always the fewest.
    explicit ConflictFinder(std::size_t mostSteps = 20000);
    ~ConflictFinder();
    ConflictFinder(const ConflictFinder&) = delete;
    ConflictFinder& operator=(const ConflictFinder&) = delete;

    // A LIST of the file: its name and its items, one a line. The first LIST of a name counts.
    void addList(std::string_view name, std::string_view items);
    // A command in a place (any text that is equal for the same program and scope); `global`
    // for the global commands, which meet every place. Returns its number, counting from 0.
    // A name whose brackets do not pair takes part in nothing.
    std::size_t addCommand(std::string_view place, bool global, std::string_view name);

    // Every conflicting pair once, ordered by its second command, then its first. Told to
    // `progress` command by command; none at all when it says to stop.
    std::vector<Conflict> find(Progress* progress = nullptr);

private:
    struct Impl;
    std::unique_ptr<Impl> impl_;
};

} // namespace vocabrella::ops
