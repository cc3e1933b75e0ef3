#pragma once

// Plays no person could type, refused even when the game plays them again to
// their figures: a script can send keys a real game accepts. Keys are the
// play's key strokes and typed characters (every hit is one of them).

#include "plays/Play.h"

#include <optional>
#include <string>

namespace ranking {

// More keys than this within any 1000 ms refuse the play.
inline constexpr int kMaxKeysPerSecond = 20;
// A run of this many intervals between consecutive keys, all within
// kEvenSpreadMs of each other, refuses the play: human typing varies by
// tens of milliseconds from key to key.
inline constexpr int kEvenRun = 12;
inline constexpr std::int64_t kEvenSpreadMs = 4;

// The reason, starting "line N: ", or nullopt for a play a person could type.
std::optional<std::string> humanRefusal(const plays::Play& play);

} // namespace ranking
