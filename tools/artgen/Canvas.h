#pragma once

// The painting surface of the generator: a float RGB canvas and coverage
// masks. Shapes and lettering come from Qt paths rendered into masks; the
// colour under a mask comes from a function of the position, so every fill
// can be a gradient or a texture.

#include "tools/artgen/Color.h"

#include <QImage>
#include <QPainterPath>

#include <vector>

namespace artgen {

class Mask {
public:
    Mask(int width, int height, double value = 0.0);
    static Mask fromPath(int width, int height, const QPainterPath& path);

    int width() const { return width_; }
    int height() const { return height_; }
    double at(int x, int y) const;
    void set(int x, int y, double v) { values_[index(x, y)] = v; }

    template <class F>
    void shade(F f)
    {
        for (int y = 0; y < height_; ++y) {
            for (int x = 0; x < width_; ++x) {
                values_[index(x, y)] = f(x + 0.5, y + 0.5);
            }
        }
    }

    Mask blurred(double sigma) const;
    Mask shifted(int dx, int dy) const;
    Mask inverted() const;
    Mask times(const Mask& other) const;
    Mask minus(const Mask& other) const;
    Mask unitedWith(const Mask& other) const;
    Mask scaled(double k) const;

private:
    int index(int x, int y) const { return y * width_ + x; }
    int width_;
    int height_;
    std::vector<double> values_;
};

class Canvas {
public:
    Canvas(int width, int height, Rgb fill = {});
    static Canvas fromImage(const QImage& image);

    int width() const { return width_; }
    int height() const { return height_; }
    Rgb at(int x, int y) const { return pixels_[index(x, y)]; }
    void set(int x, int y, Rgb c) { pixels_[index(x, y)] = c; }
    // Bilinear sample, clamped at the edges: reflections and refraction.
    Rgb sample(double x, double y) const;

    template <class F>
    void shade(F f)
    {
        for (int y = 0; y < height_; ++y) {
            for (int x = 0; x < width_; ++x) {
                pixels_[index(x, y)] = f(x + 0.5, y + 0.5);
            }
        }
    }

    // Mixes f(x, y, colour underneath) into the canvas by the mask coverage.
    template <class F>
    void paint(const Mask& mask, F f, double opacity = 1.0)
    {
        for (int y = 0; y < height_; ++y) {
            for (int x = 0; x < width_; ++x) {
                const double a = mask.at(x, y) * opacity;
                if (a > 0.0) {
                    Rgb& p = pixels_[index(x, y)];
                    p = mix(p, f(x + 0.5, y + 0.5, p), a);
                }
            }
        }
    }

    template <class F>
    void paint(const QPainterPath& path, F f, double opacity = 1.0)
    {
        paint(Mask::fromPath(width_, height_, path), f, opacity);
    }

    void fill(const Mask& mask, Rgb colour, double opacity = 1.0);
    void fill(const QPainterPath& path, Rgb colour, double opacity = 1.0);
    Canvas blurred(double sigma) const;
    Canvas region(int x, int y, int width, int height) const;

    // Eight bits a channel with a faint ordered dither against banding.
    QImage toImage() const;

private:
    int index(int x, int y) const { return y * width_ + x; }
    int width_;
    int height_;
    std::vector<Rgb> pixels_;
};

} // namespace artgen
