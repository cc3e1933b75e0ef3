#pragma once

// The arithmetic the screens share. Int() is the floor; a value stored into a
// 16- or 32-bit field is rounded to the nearest integer, halves to the even
// neighbour (2.5 -> 2, 3.5 -> 4), which is what std::nearbyint does under the
// default rounding mode. Every 16-bit and 32-bit store of the program goes
// through toInt16 / toInt32.

#include <cmath>
#include <cstdint>
#include <limits>

// The largest integer not above x: vbInt(-1.2) == -2.
inline double vbInt(double x)
{
    return std::floor(x);
}

namespace vbmath_detail {
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
} // namespace vbmath_detail

inline std::int16_t toInt16(double x)
{
    return vbmath_detail::roundToField<std::int16_t>(x);
}

inline std::int32_t toInt32(double x)
{
    return vbmath_detail::roundToField<std::int32_t>(x);
}

