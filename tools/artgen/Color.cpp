#include "tools/artgen/Color.h"

#include <algorithm>
#include <cmath>

namespace artgen {

Rgb rgb255(int r, int g, int b)
{
    return {r / 255.0, g / 255.0, b / 255.0};
}

Rgb mix(Rgb a, Rgb b, double t)
{
    return a + (b - a) * t;
}

double clamp01(double v)
{
    return std::clamp(v, 0.0, 1.0);
}

Rgb clamp01(Rgb c)
{
    return {clamp01(c.r), clamp01(c.g), clamp01(c.b)};
}

Rgb screen(Rgb a, Rgb b)
{
    return {1.0 - (1.0 - a.r) * (1.0 - b.r), 1.0 - (1.0 - a.g) * (1.0 - b.g),
            1.0 - (1.0 - a.b) * (1.0 - b.b)};
}

double smoothstep(double edge0, double edge1, double v)
{
    const double t = clamp01((v - edge0) / (edge1 - edge0));
    return t * t * (3.0 - 2.0 * t);
}

namespace {

double linearChannel(double v)
{
    v = clamp01(v);
    return v <= 0.04045 ? v / 12.92 : std::pow((v + 0.055) / 1.055, 2.4);
}

} // namespace

double relativeLuminance(Rgb c)
{
    return 0.2126 * linearChannel(c.r) + 0.7152 * linearChannel(c.g) + 0.0722 * linearChannel(c.b);
}

double contrastRatio(Rgb a, Rgb b)
{
    const double la = relativeLuminance(a);
    const double lb = relativeLuminance(b);
    return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

Rgb darkenForWhiteText(Rgb c, Rgb toward, double ratio)
{
    const Rgb white{1.0, 1.0, 1.0};
    if (contrastRatio(white, c) >= ratio) {
        return c;
    }
    // Bisection on the blend factor; the contrast grows as c moves toward a
    // darker colour, so the first factor that passes is the gentlest one.
    double lo = 0.0;
    double hi = 1.0;
    for (int i = 0; i < 30; ++i) {
        const double mid = (lo + hi) / 2.0;
        if (contrastRatio(white, mix(c, toward, mid)) >= ratio) {
            hi = mid;
        } else {
            lo = mid;
        }
    }
    return mix(c, toward, hi);
}

Gradient::Gradient(std::initializer_list<std::pair<double, Rgb>> stops) : stops_(stops) {}

Rgb Gradient::at(double t) const
{
    if (t <= stops_.front().first) {
        return stops_.front().second;
    }
    for (std::size_t i = 1; i < stops_.size(); ++i) {
        if (t <= stops_[i].first) {
            const auto& [t0, c0] = stops_[i - 1];
            const auto& [t1, c1] = stops_[i];
            return mix(c0, c1, (t - t0) / (t1 - t0));
        }
    }
    return stops_.back().second;
}

} // namespace artgen
