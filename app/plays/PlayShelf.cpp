#include "app/plays/PlayShelf.h"

#include <algorithm>
#include <charconv>
#include <cstdio>
#include <set>

namespace playgame {

namespace {

bool newerFirst(const ShelvedPlay& a, const ShelvedPlay& b)
{
    return a.playedAtMs != b.playedAtMs ? a.playedAtMs > b.playedAtMs : a.name > b.name;
}

bool better(const ShelvedPlay& a, const ShelvedPlay& b)
{
    return a.total != b.total ? a.total > b.total : a.playedAtMs < b.playedAtMs;
}

template <class Number>
std::optional<Number> numberAt(const std::string& text, std::size_t& at, char end)
{
    Number value{};
    const char* first = text.data() + at;
    const char* last = text.data() + text.size();
    const auto [stop, error] = std::from_chars(first, last, value);
    if (error != std::errc{} || stop == first || stop == last || *stop != end) {
        return std::nullopt;
    }
    at = static_cast<std::size_t>(stop - text.data()) + 1;
    return value;
}

} // namespace

std::string PlayShelf::nameFor(std::int64_t playedAtMs, int zone, std::int32_t total)
{
    char name[64];
    std::snprintf(name, sizeof name, "play-%013lld-z%d-%d.qvplay", static_cast<long long>(playedAtMs), zone,
                  static_cast<int>(total));
    return name;
}

// "play-1765300000000-z1-6390.qvplay"; anything else is not one of ours.
std::optional<ShelvedPlay> PlayShelf::parseName(const std::string& name)
{
    if (!name.starts_with("play-") || !name.ends_with(".qvplay")) {
        return std::nullopt;
    }
    std::size_t at = 5;
    const auto playedAt = numberAt<std::int64_t>(name, at, '-');
    if (!playedAt || at >= name.size() || name[at] != 'z') {
        return std::nullopt;
    }
    ++at;
    const auto zone = numberAt<int>(name, at, '-');
    const auto total = numberAt<std::int32_t>(name, at, '.');
    if (!zone || !total || *zone < 0 || *zone > 2 || *total < 0 || name.substr(at) != "qvplay" ||
        nameFor(*playedAt, *zone, *total) != name) {
        return std::nullopt;
    }
    return ShelvedPlay{name, *playedAt, *zone, *total};
}

std::vector<ShelvedPlay> PlayShelf::shelved() const
{
    std::vector<ShelvedPlay> found;
    for (const std::string& name : store_.names()) {
        if (auto play = parseName(name)) {
            found.push_back(std::move(*play));
        }
    }
    return found;
}

std::vector<ShelvedPlay> PlayShelf::recent() const
{
    std::vector<ShelvedPlay> plays = shelved();
    std::sort(plays.begin(), plays.end(), newerFirst);
    if (plays.size() > kRecentPlays) {
        plays.resize(kRecentPlays);
    }
    return plays;
}

std::vector<ShelvedPlay> PlayShelf::bestByZone() const
{
    std::vector<ShelvedPlay> best;
    for (const ShelvedPlay& play : shelved()) {
        auto same = std::find_if(best.begin(), best.end(), [&](const auto& b) { return b.zone == play.zone; });
        if (same == best.end()) {
            best.push_back(play);
        } else if (better(play, *same)) {
            *same = play;
        }
    }
    std::sort(best.begin(), best.end(), [](const auto& a, const auto& b) { return a.zone < b.zone; });
    return best;
}

std::string PlayShelf::keep(const plays::Play& play, std::int64_t playedAtMs)
{
    const std::string name = nameFor(playedAtMs, play.zone, play.figures.total);
    store_.write(name, plays::writePlay(play));
    std::set<std::string> kept;
    for (const ShelvedPlay& recentPlay : recent()) {
        kept.insert(recentPlay.name);
    }
    for (const ShelvedPlay& bestPlay : bestByZone()) {
        kept.insert(bestPlay.name);
    }
    for (const ShelvedPlay& other : shelved()) {
        if (kept.count(other.name) == 0) {
            store_.remove(other.name);
        }
    }
    return name;
}

} // namespace playgame
