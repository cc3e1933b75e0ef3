#pragma once

// The top of each zone, read from the database again at most once a second
// and whenever a play was kept, with each answer's JSON written once per
// reading: a read of the rankings costs the HTTP alone.

#include "server/Store.h"

#include <chrono>
#include <functional>
#include <map>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

namespace ranking {

class RankingCache {
public:
    using Writer = std::function<std::string(const std::vector<RankingRow>& rows, int limit)>;
    explicit RankingCache(Writer write) : write_(std::move(write)) {}

    // The answer's body for ZONE's top LIMIT, or nullopt when the rows have
    // to be read again.
    std::optional<std::string> body(int zone, int limit);
    // ROWS read for ZONE while the cache was at GENERATION; kept unless a
    // play was kept meanwhile.
    void put(int zone, std::vector<RankingRow> rows, long generation);
    long generation(int zone);
    // A play was kept: every zone is read again, since a player's new name
    // shows in all of them.
    void changed();

private:
    struct Slot {
        std::optional<std::vector<RankingRow>> rows;
        std::map<int, std::string> bodies;
        std::chrono::steady_clock::time_point read;
        long generation = 0;
    };
    Writer write_;
    std::mutex mutex_;
    Slot slots_[3];
};

} // namespace ranking
