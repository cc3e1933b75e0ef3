#pragma once

#include "platform/model/Services.h"

#include <cstdint>
#include <limits>

namespace qthost {

// A moment on the host's clock. A default one has always passed, so a window
// that was never placed or orphaned is taken at its word.
class Deadline {
public:
    Deadline() = default;
    Deadline(const ui::Clock& clock, int milliseconds) : at_(clock.nowMs() + milliseconds) {}

    bool passed(const ui::Clock& clock) const { return clock.nowMs() >= at_; }

private:
    std::int64_t at_ = std::numeric_limits<std::int64_t>::min();
};

} // namespace qthost
