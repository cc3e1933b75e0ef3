#pragma once

// Value noise on an integer lattice and its fractal sums. All results lie in
// [0, 1]; the same seed always gives the same field.

#include <cstdint>

namespace artgen {

class Noise {
public:
    explicit Noise(std::uint32_t seed) : seed_(seed) {}

    double value(double x, double y) const;
    // Fractal Brownian motion: octaves of value noise, each finer and fainter.
    double fbm(double x, double y, int octaves, double lacunarity = 2.0, double gain = 0.5) const;
    // Sharp creases where the noise crosses its middle: ridges, veins, caustics.
    double ridged(double x, double y, int octaves) const;
    // fBm sampled at a position pushed around by another fBm: smoke, marble.
    double warped(double x, double y, int octaves, double strength) const;

    // Worley noise: distances to the nearest and second nearest of one
    // jittered point per lattice cell, and a number naming the nearest cell.
    // Stones, cobbles and mortar lines come from f2 - f1.
    struct Cells {
        double f1;
        double f2;
        double id;
        double cx;
        double cy;
    };
    Cells cellular(double x, double y, double jitter = 0.85) const;

private:
    double lattice(int ix, int iy) const;
    double lattice(int ix, int iy, std::uint32_t salt) const;
    std::uint32_t seed_;
};

} // namespace artgen
