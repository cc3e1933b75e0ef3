#pragma once

// Runs the model's timers on the real event loop: one single-shot Qt timer,
// armed for whichever tick of the model is due next.

#include "platform/model/Services.h"

#include <QTimer>

#include <cstdint>
#include <functional>
#include <optional>

namespace qthost {

class TimerPump {
public:
    // `due` runs when the moment the pump was armed for has come.
    TimerPump(const ui::Clock& clock, std::function<void()> due);

    // Arms for that moment on the clock, or stops when there is none.
    void armFor(std::optional<std::int64_t> dueMs);
    void stop() { timer_.stop(); }
    // The wait the pump is armed with, while it is.
    std::optional<int> waitMs() const;

private:
    const ui::Clock& clock_;
    QTimer timer_;
};

} // namespace qthost
