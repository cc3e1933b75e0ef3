#pragma once

// The plays each client address sent within the last minute.

#include <chrono>
#include <deque>
#include <mutex>
#include <string>
#include <unordered_map>

namespace ranking {

class RateLimit {
public:
    explicit RateLimit(int perMinute) : perMinute_(perMinute) {}
    int perMinute() const { return perMinute_; }
    // 0 when ADDRESS may send now (and counts this send), else the seconds
    // until it may.
    int take(const std::string& address);

private:
    static constexpr std::chrono::seconds kWindow{60};
    int perMinute_;
    std::mutex mutex_;
    std::unordered_map<std::string, std::deque<std::chrono::steady_clock::time_point>> sent_;
};

} // namespace ranking
