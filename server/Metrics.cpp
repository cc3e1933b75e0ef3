#include "server/Metrics.h"

#include <sstream>

namespace ranking {

void Metrics::request(const std::string& route, int status)
{
    std::lock_guard lock(mutex_);
    ++requests_[{route, status}];
}

void Metrics::verification(double seconds)
{
    std::lock_guard lock(mutex_);
    ++verifications_;
    verificationSeconds_ += seconds;
    for (std::size_t i = 0; i < std::size(kBuckets); ++i) {
        if (seconds <= kBuckets[i]) {
            ++bucketCounts_[i];
        }
    }
}

void Metrics::accepted()
{
    std::lock_guard lock(mutex_);
    ++accepted_;
}

void Metrics::refused(const std::string& category)
{
    std::lock_guard lock(mutex_);
    ++refused_[category];
}

std::string Metrics::text(const std::string& gauges) const
{
    std::lock_guard lock(mutex_);
    std::ostringstream out;
    out << "# HELP quorvel_http_requests_total HTTP requests answered, by route and status.\n"
           "# TYPE quorvel_http_requests_total counter\n";
    for (const auto& [key, count] : requests_) {
        out << "quorvel_http_requests_total{route=\"" << key.first << "\",status=\"" << key.second << "\"} " << count
            << "\n";
    }
    out << "# HELP quorvel_verification_seconds Time to verify a play in a worker.\n"
           "# TYPE quorvel_verification_seconds histogram\n";
    for (std::size_t i = 0; i < std::size(kBuckets); ++i) {
        out << "quorvel_verification_seconds_bucket{le=\"" << kBuckets[i] << "\"} " << bucketCounts_[i] << "\n";
    }
    out << "quorvel_verification_seconds_bucket{le=\"+Inf\"} " << verifications_ << "\n"
        << "quorvel_verification_seconds_sum " << verificationSeconds_ << "\n"
        << "quorvel_verification_seconds_count " << verifications_ << "\n";
    out << "# HELP quorvel_plays_accepted_total Plays verified and kept.\n"
           "# TYPE quorvel_plays_accepted_total counter\n"
        << "quorvel_plays_accepted_total " << accepted_ << "\n";
    out << "# HELP quorvel_plays_refused_total Plays refused, by reason.\n"
           "# TYPE quorvel_plays_refused_total counter\n";
    for (const auto& [reason, count] : refused_) {
        out << "quorvel_plays_refused_total{reason=\"" << reason << "\"} " << count << "\n";
    }
    out << gauges;
    return out.str();
}

} // namespace ranking
