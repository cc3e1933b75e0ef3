#pragma once

// The random numbers of the game: R, uniform in [0, 1), seeded from the clock
// once per game. The replay driver fixes the seed so that a game can be
// played again exactly.

#include <cstdint>
#include <optional>

namespace Random {

// Seeds the generator from the clock, or from the fixed seed when one is set.
void Randomize();
// Every later Randomize() uses this seed (nullopt: the clock again).
void SetFixedSeed(std::optional<std::uint64_t> seed);
// A uniform number in [0, 1).
double Rnd();
// The seed of the last Randomize(), which a play keeps to be played again.
std::uint64_t LastSeed();

// The generator and its settings, to be put back after a game played
// beside the running one (a play checked or watched).
class SavedState {
public:
    SavedState();
    ~SavedState();
    SavedState(const SavedState&) = delete;
    SavedState& operator=(const SavedState&) = delete;

private:
    struct Data;
    Data* data_;
};

} // namespace Random
