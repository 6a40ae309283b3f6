#pragma once

#include "cmdfile/Clock.h"

namespace vocabrella::ui {

// Waiting with the window alive: a pause runs the event loop until its time is up, so that the
// window repaints and other programs' windows can come up meanwhile.
class WindowWait final : public Clock {
public:
    std::chrono::system_clock::time_point now() const override { return std::chrono::system_clock::now(); }
    void sleep(std::chrono::milliseconds duration) override;
};

} // namespace vocabrella::ui
