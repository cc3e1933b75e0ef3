#include "server/RateLimit.h"

#include <algorithm>

namespace ranking {

int RateLimit::take(const std::string& address)
{
    const auto now = std::chrono::steady_clock::now();
    std::lock_guard lock(mutex_);
    // Addresses quiet for a minute are forgotten, so many senders cannot
    // grow the table without end.
    if (sent_.size() > 100000) {
        std::erase_if(sent_, [&](const auto& item) { return now - item.second.back() > kWindow; });
    }
    auto& times = sent_[address];
    while (!times.empty() && now - times.front() >= kWindow) {
        times.pop_front();
    }
    if (static_cast<int>(times.size()) >= perMinute_) {
        const auto wait = std::chrono::ceil<std::chrono::seconds>(times.front() + kWindow - now);
        return std::max(1, static_cast<int>(wait.count()));
    }
    times.push_back(now);
    return 0;
}

} // namespace ranking
