#include "core/Random.h"

#include <chrono>
#include <random>

namespace Random {

namespace {

std::mt19937_64& generator()
{
    static std::mt19937_64 engine{0};
    return engine;
}

std::optional<std::uint64_t>& fixedSeed()
{
    static std::optional<std::uint64_t> seed;
    return seed;
}

std::uint64_t& lastSeed()
{
    static std::uint64_t seed = 0;
    return seed;
}

} // namespace

void Randomize()
{
    const auto clockSeed = static_cast<std::uint64_t>(std::chrono::steady_clock::now().time_since_epoch().count());
    lastSeed() = fixedSeed().value_or(clockSeed);
    generator().seed(lastSeed());
}

std::uint64_t LastSeed()
{
    return lastSeed();
}

struct SavedState::Data {
    std::mt19937_64 engine = generator();
    std::optional<std::uint64_t> fixed = fixedSeed();
    std::uint64_t last = lastSeed();
};

SavedState::SavedState() : data_(new Data) {}

SavedState::~SavedState()
{
    generator() = data_->engine;
    fixedSeed() = data_->fixed;
    lastSeed() = data_->last;
    delete data_;
}

void SetFixedSeed(std::optional<std::uint64_t> seed)
{
    fixedSeed() = seed;
    if (seed) {
        lastSeed() = *seed;
        generator().seed(*seed);
    }
}

double Rnd()
{
    // 53 random bits make every double in [0, 1) on the 2^-53 grid equally
    // likely, the same on every standard library.
    return static_cast<double>(generator()() >> 11) * 0x1.0p-53;
}

} // namespace Random
