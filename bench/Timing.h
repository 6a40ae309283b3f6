// One timed run of a benchmark: what it needs made first, the disk brought to rest, then the
// work alone, in seconds of the steady clock.
#pragma once

#include <unistd.h>

#include <chrono>
#include <functional>

namespace vocabrella::bench {

using Clocked = std::chrono::steady_clock;

inline double timeOnce(const std::function<void()>& prepare, const std::function<void()>& work) {
    prepare();
    ::sync();
    const auto start = Clocked::now();
    work();
    return std::chrono::duration<double>(Clocked::now() - start).count();
}

} // namespace vocabrella::bench
