#pragma once

// Counters for GET /metrics, in Prometheus' text format.

#include <atomic>
#include <map>
#include <mutex>
#include <string>
#include <utility>

namespace ranking {

class Metrics {
public:
    void request(const std::string& route, int status);
    void verification(double seconds);
    void accepted();
    void refused(const std::string& category);
    // GAUGES: extra lines in Prometheus' text, written as they are.
    std::string text(const std::string& gauges) const;

private:
    static constexpr double kBuckets[] = {0.0005, 0.001, 0.002, 0.005, 0.01, 0.02, 0.05, 0.1, 0.5, 1, 5};
    mutable std::mutex mutex_;
    std::map<std::pair<std::string, int>, long> requests_;
    long bucketCounts_[std::size(kBuckets)] = {};
    long verifications_ = 0;
    double verificationSeconds_ = 0;
    long accepted_ = 0;
    std::map<std::string, long> refused_;
};

} // namespace ranking
