#pragma once

#include <chrono>

namespace vocabrella {

// Time and waiting, injected so that waits can be tested without real waiting.
class Clock {
public:
    virtual ~Clock() = default;
    virtual std::chrono::system_clock::time_point now() const = 0;
    virtual void sleep(std::chrono::milliseconds duration) = 0;
};

class SystemClock final : public Clock {
public:
    std::chrono::system_clock::time_point now() const override;
    void sleep(std::chrono::milliseconds duration) override;
};

// The system's time without waiting: for readings that must not wait for a locked file (a
// comparison, a benchmark), which are told at once instead.
class NoWaitClock final : public Clock {
public:
    std::chrono::system_clock::time_point now() const override { return std::chrono::system_clock::now(); }
    void sleep(std::chrono::milliseconds) override {}
};

} // namespace vocabrella
