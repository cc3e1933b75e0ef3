#include "platform/qt/TimerPump.h"

#include <algorithm>
#include <climits>

namespace qthost {

TimerPump::TimerPump(const ui::Clock& clock, std::function<void()> due) : clock_(clock)
{
    timer_.setSingleShot(true);
    timer_.setTimerType(Qt::PreciseTimer);
    QObject::connect(&timer_, &QTimer::timeout, &timer_, std::move(due));
}

void TimerPump::armFor(std::optional<std::int64_t> dueMs)
{
    if (!dueMs) {
        timer_.stop();
        return;
    }
    const std::int64_t wait = std::clamp<std::int64_t>(*dueMs - clock_.nowMs(), 0, INT_MAX);
    timer_.start(static_cast<int>(wait));
}

std::optional<int> TimerPump::waitMs() const
{
    if (!timer_.isActive()) {
        return std::nullopt;
    }
    return timer_.interval();
}

} // namespace qthost
