#include "server/HumanRules.h"

#include <algorithm>
#include <deque>

namespace ranking {

namespace {

bool isKey(const plays::Event& event)
{
    using Kind = ui::InputEvent::Kind;
    return (event.kind == Kind::KeyStroke && !event.typed.empty()) || event.kind == Kind::KeyPress;
}

} // namespace

std::optional<std::string> humanRefusal(const plays::Play& play)
{
    std::vector<const plays::Event*> keys;
    for (const plays::Event& event : play.events) {
        if (isKey(event)) {
            keys.push_back(&event);
        }
    }
    // The keys within the 1000 ms ending at each key.
    std::size_t first = 0;
    for (std::size_t i = 0; i < keys.size(); ++i) {
        while (keys[i]->timeMs - keys[first]->timeMs >= 1000) {
            ++first;
        }
        const std::size_t count = i - first + 1;
        if (count > static_cast<std::size_t>(kMaxKeysPerSecond)) {
            return "line " + std::to_string(keys[i]->line) + ": " + std::to_string(count) +
                   " keys within one second (from " + std::to_string(keys[first]->timeMs) + " ms to " +
                   std::to_string(keys[i]->timeMs) + " ms); a person types at most " +
                   std::to_string(kMaxKeysPerSecond);
        }
    }
    // Runs of intervals whose spread stays within kEvenSpreadMs.
    std::deque<std::int64_t> run;
    for (std::size_t i = 1; i < keys.size(); ++i) {
        run.push_back(keys[i]->timeMs - keys[i - 1]->timeMs);
        if (run.size() > static_cast<std::size_t>(kEvenRun)) {
            run.pop_front();
        }
        if (run.size() == static_cast<std::size_t>(kEvenRun)) {
            const auto [low, high] = std::minmax_element(run.begin(), run.end());
            if (*high - *low <= kEvenSpreadMs) {
                return "line " + std::to_string(keys[i]->line) + ": " + std::to_string(kEvenRun + 1) +
                       " keys in a row came at intervals from " + std::to_string(*low) + " to " +
                       std::to_string(*high) + " ms, too even for a person (a spread of " +
                       std::to_string(kEvenSpreadMs) + " ms or less)";
            }
        }
    }
    return std::nullopt;
}

} // namespace ranking
