#pragma once

// The plays a player keeps: the best play of each zone and the last 20,
// each under a name that says when it was played, its zone and its total,
// so that choosing what to keep reads no play. Where they are kept is the
// store's business: files beside the records, or the browser's storage.

#include "plays/Play.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace playgame {

class PlayStore {
public:
    virtual ~PlayStore() = default;
    // The names of the plays kept, in no order.
    virtual std::vector<std::string> names() const = 0;
    virtual std::optional<std::string> read(const std::string& name) const = 0;
    // Replaces or adds the play whole, or throws std::runtime_error with
    // the place and the reason and leaves what was there.
    virtual void write(const std::string& name, const std::string& text) = 0;
    virtual void remove(const std::string& name) = 0;
};

struct ShelvedPlay {
    std::string name;
    std::int64_t playedAtMs = 0; // since 1970, UTC
    int zone = 0;
    std::int32_t total = 0;
};

inline constexpr std::size_t kRecentPlays = 20;

class PlayShelf {
public:
    explicit PlayShelf(PlayStore& store) : store_(store) {}

    // Keeps `play`, finished at `playedAtMs`, and lets go of every play
    // that is neither among the last 20 nor the best of its zone. Returns
    // the play's name. Throws what the store throws when it cannot write.
    std::string keep(const plays::Play& play, std::int64_t playedAtMs);

    // Newest first.
    std::vector<ShelvedPlay> recent() const;
    // The best play of each zone that has one: the highest total, the
    // earlier of two equal ones.
    std::vector<ShelvedPlay> bestByZone() const;

    static std::string nameFor(std::int64_t playedAtMs, int zone, std::int32_t total);
    static std::optional<ShelvedPlay> parseName(const std::string& name);

private:
    std::vector<ShelvedPlay> shelved() const;

    PlayStore& store_;
};

} // namespace playgame
