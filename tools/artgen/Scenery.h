#pragma once

// Pieces of landscape the scenes share: skies, clouds, ridges, foliage,
// water, stones and soft light.

#include "tools/artgen/Canvas.h"
#include "tools/artgen/Noise.h"
#include "tools/artgen/Rng.h"

#include <QPointF>
#include <QRectF>

namespace artgen {

QPainterPath rectPath(double x, double y, double width, double height);
QPainterPath trianglePath(QPointF a, QPointF b, QPointF c);
// The outline of a stroke along a path, for branches, twigs and lines.
QPainterPath strokePath(const QPainterPath& path, double width);

void paintSky(Canvas& canvas, const Gradient& byHeight, double top, double bottom);

// Soft cumulus banks between `top` and `bottom`, lit from above.
void paintClouds(Canvas& canvas, const Noise& noise, QRectF band, Rgb lit, Rgb shadow, double cover,
                 double opacity);

// Everything below a noisy ridge line: hills, mountains, far forests.
Mask ridgeMask(int width, int height, const Noise& noise, double base, double amplitude, double scale,
               int octaves);

// A range of mountains: peaks along a ridge line, rocky slopes lit from the
// left with gullies and snow near the top, fading into `haze`.
struct MountainStyle {
    double base;      // where the range meets the ground
    double amplitude; // how high its peaks rise above the base
    double scale;     // horizontal frequency of the peaks
    Rgb rock;
    Rgb haze;
    double hazeAmount;
    double snow;   // 0 no snow, 1 snow down to a third of the height
    double forest; // share of the height, from the base up, under trees
    Rgb trees;
};
void paintMountains(Canvas& canvas, const Noise& noise, const MountainStyle& style);

// A noisy blob: a tree crown, a bush, a cloud of leaves.
Mask clumpMask(int width, int height, const Noise& noise, QPointF centre, double rx, double ry,
               double roughness, double grain);

// Leafy texture inside a mask: clusters of light and dark leaves, brighter
// toward the upper left, darker deep inside the crown.
struct FoliageColours {
    Rgb dark;
    Rgb mid;
    Rgb light;
};
void paintFoliage(Canvas& canvas, const Mask& mask, const Noise& noise, const FoliageColours& colours,
                  double grain, double opacity = 1.0);

// Mirrors what lies above `waterline` into the water below it, broken by
// ripples, and tints it; `clarity` is how much of the mirror image shows.
void paintReflection(Canvas& canvas, double waterline, const Noise& noise, Rgb tint, double clarity,
                     double ripple);

// Long low waves across open water: bands of lighter and darker colour,
// stretched across and finer toward the far shore.
void paintWaterSheen(Canvas& canvas, QRectF area, const Noise& noise, Rgb light, Rgb dark, double strength);

// Light streaks across water, brighter where the noise peaks.
void paintGlints(Canvas& canvas, QRectF area, const Noise& noise, Rgb colour, double density,
                 double opacity);

// A boulder: a noisy ellipse shaded as a lumpy surface lit from the upper left.
// Moss grows on the faces turned up.
void paintBoulder(Canvas& canvas, const Noise& noise, QPointF centre, double rx, double ry, Rgb base,
                  double light = 1.0, Rgb moss = {}, double mossAmount = 0.0);

// Water-lily leaves scattered over `area`, smaller further up the picture,
// some with a flower.
void paintLilyPads(Canvas& canvas, const Noise& noise, Rng& rng, QRectF area, int count, double size);

// Raises the shape out of the surface: edges facing the upper left catch
// the light, those facing the lower right fall into shade.
void emboss(Canvas& canvas, const Mask& shape, double softness, double depth);

// Darkens toward the corners.
void vignette(Canvas& canvas, double strength);

// Mixes a colour in, weighted by a soft radial falloff: sun glow, lamp light.
void glow(Canvas& canvas, QPointF centre, double radius, Rgb colour, double strength);

} // namespace artgen
