#include "tools/artgen/Noise.h"

#include <cmath>

namespace artgen {

namespace {

double fade(double t)
{
    return t * t * t * (t * (t * 6.0 - 15.0) + 10.0);
}

double lerp(double a, double b, double t)
{
    return a + (b - a) * t;
}

} // namespace

double Noise::lattice(int ix, int iy) const
{
    return lattice(ix, iy, 0u);
}

double Noise::lattice(int ix, int iy, std::uint32_t salt) const
{
    std::uint32_t h = static_cast<std::uint32_t>(ix) * 0x27D4EB2Du;
    h ^= static_cast<std::uint32_t>(iy) * 0x165667B1u;
    h ^= (seed_ + salt * 0x61C88647u) * 0x9E3779B9u;
    h ^= h >> 15;
    h *= 0x85EBCA6Bu;
    h ^= h >> 13;
    h *= 0xC2B2AE35u;
    h ^= h >> 16;
    return static_cast<double>(h) / 4294967295.0;
}

double Noise::value(double x, double y) const
{
    const double fx = std::floor(x);
    const double fy = std::floor(y);
    const int ix = static_cast<int>(fx);
    const int iy = static_cast<int>(fy);
    const double tx = fade(x - fx);
    const double ty = fade(y - fy);
    const double top = lerp(lattice(ix, iy), lattice(ix + 1, iy), tx);
    const double bottom = lerp(lattice(ix, iy + 1), lattice(ix + 1, iy + 1), tx);
    return lerp(top, bottom, ty);
}

double Noise::fbm(double x, double y, int octaves, double lacunarity, double gain) const
{
    double sum = 0.0;
    double amplitude = 1.0;
    double total = 0.0;
    for (int i = 0; i < octaves; ++i) {
        // Offsetting each octave keeps lattice points of the octaves apart.
        sum += amplitude * value(x + i * 17.31, y - i * 9.73);
        total += amplitude;
        x *= lacunarity;
        y *= lacunarity;
        amplitude *= gain;
    }
    return sum / total;
}

double Noise::ridged(double x, double y, int octaves) const
{
    double sum = 0.0;
    double amplitude = 1.0;
    double total = 0.0;
    for (int i = 0; i < octaves; ++i) {
        const double n = 1.0 - std::abs(value(x + i * 5.17, y + i * 3.91) * 2.0 - 1.0);
        sum += amplitude * n * n;
        total += amplitude;
        x *= 2.0;
        y *= 2.0;
        amplitude *= 0.5;
    }
    return sum / total;
}

double Noise::warped(double x, double y, int octaves, double strength) const
{
    const double qx = fbm(x + 1.7, y + 9.2, octaves);
    const double qy = fbm(x + 8.3, y + 2.8, octaves);
    return fbm(x + strength * (qx - 0.5), y + strength * (qy - 0.5), octaves);
}

Noise::Cells Noise::cellular(double x, double y, double jitter) const
{
    const int ix = static_cast<int>(std::floor(x));
    const int iy = static_cast<int>(std::floor(y));
    Cells cells{1e9, 1e9, 0.0, 0.0, 0.0};
    for (int j = -1; j <= 1; ++j) {
        for (int i = -1; i <= 1; ++i) {
            const double px = ix + i + 0.5 + (lattice(ix + i, iy + j, 1u) - 0.5) * jitter;
            const double py = iy + j + 0.5 + (lattice(ix + i, iy + j, 2u) - 0.5) * jitter;
            const double d = std::hypot(px - x, py - y);
            if (d < cells.f1) {
                cells.f2 = cells.f1;
                cells.f1 = d;
                cells.id = lattice(ix + i, iy + j, 3u);
                cells.cx = px;
                cells.cy = py;
            } else if (d < cells.f2) {
                cells.f2 = d;
            }
        }
    }
    return cells;
}

} // namespace artgen
