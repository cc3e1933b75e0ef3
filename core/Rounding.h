#pragma once

// The arithmetic the screens share. floorWhole is the floor; a value stored
// into a 16- or 32-bit field is rounded to the nearest integer, halves to the
// even neighbour (2.5 -> 2, 3.5 -> 4), which is what std::nearbyint does under
// the default rounding mode. Every 16-bit and 32-bit store of the program
// goes through storeInt16 / storeInt32.

#include <cmath>
#include <cstdint>
#include <limits>

// The largest integer not above x: floorWhole(-1.2) == -2.
inline double floorWhole(double x)
{
    return std::floor(x);
}

namespace rounding_detail {
// A value beyond the field's range saturates (and NaN gives 0) rather than
// being undefined behaviour.
template <class T>
T roundToField(double x)
{
    if (std::isnan(x)) {
        return 0;
    }
    const double rounded = std::nearbyint(x);
    if (rounded <= static_cast<double>(std::numeric_limits<T>::min())) {
        return std::numeric_limits<T>::min();
    }
    if (rounded >= static_cast<double>(std::numeric_limits<T>::max())) {
        return std::numeric_limits<T>::max();
    }
    return static_cast<T>(rounded);
}
} // namespace rounding_detail

inline std::int16_t storeInt16(double x)
{
    return rounding_detail::roundToField<std::int16_t>(x);
}

inline std::int32_t storeInt32(double x)
{
    return rounding_detail::roundToField<std::int32_t>(x);
}
