#pragma once

// Colours as three doubles in 0..1 (sRGB values, as a painter mixes them),
// and multi-stop gradients.

#include <initializer_list>
#include <utility>
#include <vector>

namespace artgen {

struct Rgb {
    double r = 0.0;
    double g = 0.0;
    double b = 0.0;
};

inline Rgb operator+(Rgb a, Rgb b) { return {a.r + b.r, a.g + b.g, a.b + b.b}; }
inline Rgb operator-(Rgb a, Rgb b) { return {a.r - b.r, a.g - b.g, a.b - b.b}; }
inline Rgb operator*(Rgb a, double k) { return {a.r * k, a.g * k, a.b * k}; }
inline Rgb operator*(Rgb a, Rgb b) { return {a.r * b.r, a.g * b.g, a.b * b.b}; }

Rgb rgb255(int r, int g, int b);
Rgb mix(Rgb a, Rgb b, double t);
Rgb clamp01(Rgb c);
Rgb screen(Rgb a, Rgb b);
double clamp01(double v);
double smoothstep(double edge0, double edge1, double v);

// Relative luminance and contrast ratio as accessibility guidelines define
// them; the stage panels are checked against these.
double relativeLuminance(Rgb c);
double contrastRatio(Rgb a, Rgb b);

// Darkens a colour toward `toward` just enough to keep white text on it at
// the given contrast ratio or better.
Rgb darkenForWhiteText(Rgb c, Rgb toward, double ratio);

class Gradient {
public:
    Gradient(std::initializer_list<std::pair<double, Rgb>> stops);
    Rgb at(double t) const;

private:
    std::vector<std::pair<double, Rgb>> stops_;
};

} // namespace artgen
