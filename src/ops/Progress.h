#pragma once

#include <cstddef>

namespace vocabrella::ops {

// Told how far a long piece of work has come, often and cheaply; whoever shows it decides how
// often to look. Its answer stops the work: false when the user cancelled it.
class Progress {
public:
    virtual ~Progress() = default;
    virtual bool advance(std::size_t done, std::size_t total) = 0;
};

} // namespace vocabrella::ops
