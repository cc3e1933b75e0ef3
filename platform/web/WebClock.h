#pragma once

// The browser's monotonic clock (performance.now()), in whole milliseconds
// since the program started.

#include "platform/model/Services.h"

namespace webhost {

class WebClock : public ui::Clock {
public:
    WebClock();
    std::int64_t nowMs() const override;
    // How long until nowMs() reaches `dueMs`, to a fraction of a millisecond.
    double msUntil(std::int64_t dueMs) const;

private:
    double startMs_;
};

} // namespace webhost
