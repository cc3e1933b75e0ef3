#include "server/RankingCache.h"

namespace ranking {

namespace {
constexpr std::chrono::seconds kFreshFor{1};
}

std::optional<std::string> RankingCache::body(int zone, int limit)
{
    std::lock_guard lock(mutex_);
    Slot& slot = slots_[zone];
    if (!slot.rows || std::chrono::steady_clock::now() - slot.read >= kFreshFor) {
        return std::nullopt;
    }
    auto [place, added] = slot.bodies.try_emplace(limit);
    if (added) {
        place->second = write_(*slot.rows, limit);
    }
    return place->second;
}

void RankingCache::put(int zone, std::vector<RankingRow> rows, long generation)
{
    std::lock_guard lock(mutex_);
    Slot& slot = slots_[zone];
    if (generation == slot.generation) {
        slot.rows = std::move(rows);
        slot.bodies.clear();
        slot.read = std::chrono::steady_clock::now();
    }
}

long RankingCache::generation(int zone)
{
    std::lock_guard lock(mutex_);
    return slots_[zone].generation;
}

void RankingCache::changed()
{
    std::lock_guard lock(mutex_);
    for (Slot& slot : slots_) {
        slot.rows.reset();
        slot.bodies.clear();
        ++slot.generation;
    }
}

} // namespace ranking
