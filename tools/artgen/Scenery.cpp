#include "tools/artgen/Scenery.h"

#include <QPainterPathStroker>

#include <algorithm>
#include <cmath>

namespace artgen {

QPainterPath rectPath(double x, double y, double width, double height)
{
    QPainterPath path;
    path.addRect(x, y, width, height);
    return path;
}

QPainterPath trianglePath(QPointF a, QPointF b, QPointF c)
{
    QPainterPath path;
    path.moveTo(a);
    path.lineTo(b);
    path.lineTo(c);
    path.closeSubpath();
    return path;
}

QPainterPath strokePath(const QPainterPath& path, double width)
{
    QPainterPathStroker stroker;
    stroker.setWidth(width);
    stroker.setCapStyle(Qt::RoundCap);
    stroker.setJoinStyle(Qt::RoundJoin);
    return stroker.createStroke(path);
}

namespace {

// A floating leaf: a disc with a notch cut to its centre.
QPainterPath lilyPad(QPointF centre, double rx, double ry, double notchAngle)
{
    QPainterPath pad;
    const double spread = 0.35;
    pad.moveTo(centre);
    for (int i = 0; i <= 40; ++i) {
        const double a = notchAngle + spread / 2 + (2 * M_PI - spread) * i / 40.0;
        pad.lineTo(centre + QPointF(std::cos(a) * rx, std::sin(a) * ry));
    }
    pad.closeSubpath();
    return pad;
}

void paintLotus(Canvas& canvas, QPointF at, double size)
{
    for (int i = 0; i < 7; ++i) {
        const double a = -M_PI / 2 + (i - 3) * 0.42;
        QPainterPath petal;
        const QPointF tip = at + QPointF(std::cos(a) * size, std::sin(a) * size * 0.9);
        petal.moveTo(at);
        petal.quadTo((at + tip) / 2 + QPointF(-size * 0.3, 0), tip);
        petal.quadTo((at + tip) / 2 + QPointF(size * 0.3, 0), at);
        canvas.paint(petal, [&](double, double y, Rgb) {
            return mix(rgb255(255, 236, 244), rgb255(214, 110, 150), clamp01((y - at.y() + size) / (size * 1.4)));
        });
    }
}

} // namespace

void paintLilyPads(Canvas& canvas, const Noise& noise, Rng& rng, QRectF area, int count, double size)
{
    for (int i = 0; i < count; ++i) {
        const QPointF at(rng.range(area.left(), area.right()), rng.range(area.top(), area.bottom()));
        // Pads further up the picture are further away: smaller and flatter.
        const double r = size * (0.6 + 0.5 * rng.uniform()) * (0.6 + 0.6 * at.y() / canvas.height());
        const QPainterPath pad = lilyPad(at, r, r * 0.45, rng.range(0, 2 * M_PI));
        canvas.fill(Mask::fromPath(canvas.width(), canvas.height(), pad.translated(1, 1.5)).blurred(1.0), rgb255(0, 8, 8), 0.6);
        canvas.paint(pad, [&](double x, double y, Rgb) {
            const double veins = noise.ridged(std::atan2(y - at.y(), x - at.x()) * 3.0, 0.5, 2);
            const double light = clamp01(0.55 - (y - at.y()) / (r * 0.45) * 0.3 + 0.15 * veins);
            return mix(rgb255(18, 54, 30), rgb255(96, 150, 70), light);
        });
        if (rng.chance(0.3)) {
            paintLotus(canvas, at + QPointF(r * 0.2, -r * 0.05), r * 0.6);
        }
    }
}

void paintSky(Canvas& canvas, const Gradient& byHeight, double top, double bottom)
{
    canvas.shade([&](double, double y) { return byHeight.at((y - top) / (bottom - top)); });
}

void paintClouds(Canvas& canvas, const Noise& noise, QRectF band, Rgb lit, Rgb shadow, double cover,
                 double opacity)
{
    auto density = [&](double x, double y) {
        const double fade = smoothstep(band.top(), band.top() + band.height() * 0.35, y) *
                            (1.0 - smoothstep(band.bottom() - band.height() * 0.35, band.bottom(), y));
        return noise.fbm(x * 0.011, y * 0.032, 5) * fade;
    };
    Mask mask(canvas.width(), canvas.height());
    mask.shade([&](double x, double y) {
        return smoothstep(1.0 - cover, 1.0 - cover + 0.22, density(x, y));
    });
    canvas.paint(
        mask,
        [&](double x, double y, Rgb) {
            // Edges facing up catch the light; undersides stay in shade.
            const double rise = density(x, y) - density(x, y - 4.0);
            return mix(shadow, lit, clamp01(0.45 + rise * 9.0));
        },
        opacity);
}

Mask ridgeMask(int width, int height, const Noise& noise, double base, double amplitude, double scale,
               int octaves)
{
    Mask mask(width, height);
    mask.shade([&](double x, double y) {
        const double ridge = base - amplitude * noise.fbm(x * scale, 0.5, octaves);
        return clamp01(y - ridge + 0.5);
    });
    return mask;
}

void paintMountains(Canvas& canvas, const Noise& noise, const MountainStyle& style)
{
    auto ridge = [&](double x) {
        const double peaks = 1.0 - std::abs(noise.fbm(x * style.scale, 0.5, 5) * 2.0 - 1.0);
        return style.base - style.amplitude * std::pow(peaks, 1.4);
    };
    // Rocky detail: creased noise, a little longer down the slope than across.
    auto surface = [&](double x, double y) { return noise.ridged(x * 0.05 + 31.0, y * 0.07, 5); };
    Mask mask(canvas.width(), canvas.height());
    mask.shade([&](double x, double y) { return clamp01(y - ridge(x) + 0.5); });
    canvas.paint(mask, [&](double x, double y, Rgb) {
        const double top = ridge(x);
        // Whole faces: where the ridge climbs to the right, the slope below
        // faces the light from the left.
        const double broad = (ridge(x - 10.0) - ridge(x + 10.0)) / 20.0;
        const double detail = (surface(x - 1.0, y) - surface(x + 1.0, y)) + 0.5 * (surface(x, y - 1.0) - surface(x, y + 1.0));
        const double facing = clamp01(0.5 + broad * 1.4 + detail * 1.8);
        Rgb c = style.rock * (0.4 + 0.95 * facing) * (0.85 + 0.3 * surface(x, y));
        const double height = clamp01((style.base - y) / style.amplitude);
        const double snowLine = 1.0 - style.snow * 0.66;
        const double snowCover = style.snow > 0.0 ? smoothstep(snowLine - 0.05, snowLine + 0.1, height + 0.25 * (surface(x, y) - 0.5)) : 0.0;
        c = mix(c, mix(rgb255(150, 160, 184), rgb255(236, 240, 250), facing), snowCover * smoothstep(0.0, 3.0, y - top + 3.0));
        const double treeLine = style.forest + 0.12 * (noise.fbm(x * 0.08, y * 0.02 + 40.0, 3) - 0.5);
        const double wooded = 1.0 - smoothstep(treeLine - 0.04, treeLine + 0.04, height);
        const double canopy = 0.6 + 0.7 * noise.value(x * 0.9, y * 0.7) * (0.6 + 0.6 * facing);
        c = mix(c, style.trees * canopy, wooded);
        // Thicker haze low down, where the air between is deepest.
        const double haze = clamp01(style.hazeAmount * (0.75 + 0.4 * (1.0 - height)));
        return mix(c, style.haze, haze);
    });
}

Mask clumpMask(int width, int height, const Noise& noise, QPointF centre, double rx, double ry,
               double roughness, double grain)
{
    Mask mask(width, height);
    mask.shade([&](double x, double y) {
        const double dx = (x - centre.x()) / rx;
        const double dy = (y - centre.y()) / ry;
        const double v = 1.0 - std::sqrt(dx * dx + dy * dy) +
                         roughness * (noise.fbm(x * grain, y * grain, 4) - 0.5) * 2.0;
        return smoothstep(0.0, 1.6 / std::min(rx, ry), v);
    });
    return mask;
}

namespace {

// Diffuse light on a small dome of leaves around the cell's point, lit from
// the upper left; its edges against neighbouring clusters fall into shade.
double clusterLight(const Noise::Cells& cell, double u, double v)
{
    double nx = (u - cell.cx) / 0.75;
    double ny = (v - cell.cy) / 0.75;
    const double len = std::sqrt(nx * nx + ny * ny);
    if (len > 0.95) {
        nx *= 0.95 / len;
        ny *= 0.95 / len;
    }
    const double nz = std::sqrt(1.0 - nx * nx - ny * ny);
    const double diffuse = clamp01(-0.5 * nx - 0.6 * ny + 0.62 * nz);
    return diffuse * (0.65 + 0.35 * smoothstep(0.0, 0.3, cell.f2 - cell.f1));
}

} // namespace

void paintFoliage(Canvas& canvas, const Mask& mask, const Noise& noise, const FoliageColours& colours,
                  double grain, double opacity)
{
    const Mask body = mask.blurred(4.0);
    canvas.paint(
        mask,
        [&](double x, double y, Rgb) {
            const int ix = static_cast<int>(x);
            const int iy = static_cast<int>(y);
            // Warping the lattice keeps the clusters from looking like tiles.
            const double wx = (noise.fbm(x * 0.08, y * 0.08, 3) - 0.5) * 1.2;
            const double wy = (noise.fbm(x * 0.08 + 7.0, y * 0.08, 3) - 0.5) * 1.2;
            const double u = x * grain + wx;
            const double v = y * grain + wy;
            const double big = clusterLight(noise.cellular(u, v, 1.0), u, v);
            const double small = clusterLight(noise.cellular(u * 2.3 + 5.0, v * 2.3, 1.0), u * 2.3 + 5.0, v * 2.3);
            // The crown as a whole: lit on its upper left rim, dark inside
            // and underneath.
            const double rim = clamp01(0.5 + (body.at(ix + 4, iy + 4) - body.at(ix - 4, iy - 4)) * 1.4);
            const double under = clamp01(0.5 + (body.at(ix, iy - 5) - body.at(ix, iy + 5)) * 1.2);
            const double leaf = noise.value(x * 1.4, y * 1.4);
            double t = 0.6 * big + 0.3 * small + 0.55 * (rim - 0.5) - 0.35 * (under - 0.5) - 0.1;
            t += 0.12 * (leaf - 0.5) + 0.25 * smoothstep(0.82, 0.95, leaf) * big;
            t = clamp01(t);
            return t < 0.5 ? mix(colours.dark, colours.mid, t * 2.0)
                           : mix(colours.mid, colours.light, (t - 0.5) * 2.0);
        },
        opacity);
}

void paintReflection(Canvas& canvas, double waterline, const Noise& noise, Rgb tint, double clarity,
                     double ripple)
{
    const Canvas above = canvas;
    const int first = std::max(0, static_cast<int>(std::floor(waterline)));
    for (int y = first; y < canvas.height(); ++y) {
        const double depth = y + 0.5 - waterline;
        if (depth <= 0.0) {
            continue;
        }
        // Ripples look finer toward the far shore.
        const double perspective = 0.6 + depth * 0.05;
        for (int x = 0; x < canvas.width(); ++x) {
            const double wave = noise.fbm(x * 0.02 / perspective, y * 0.45 / perspective, 3) - 0.5;
            const double sx = x + 0.5 + wave * ripple * 2.5;
            const double sy = waterline - depth + wave * ripple * perspective * 3.0;
            // Past the top of the picture there is nothing to mirror.
            const double mirror = clarity * (1.0 - 0.35 * smoothstep(0.0, 120.0, depth)) * smoothstep(-2.0, 8.0, sy);
            canvas.set(x, y, mix(tint, above.sample(sx, sy), mirror));
        }
    }
}

void paintWaterSheen(Canvas& canvas, QRectF area, const Noise& noise, Rgb light, Rgb dark, double strength)
{
    canvas.paint(rectPath(area.x(), area.y(), area.width(), area.height()), [&](double x, double y, Rgb under) {
        const double near = 0.4 + (y - area.top()) / area.height();
        const double wave = noise.fbm(x * 0.012 / near, y * 0.22 / near, 4);
        const double t = smoothstep(0.3, 0.7, wave);
        const double fadeIn = smoothstep(area.top(), area.top() + area.height() * 0.4, y);
        return mix(under, mix(dark, light, t), strength * fadeIn * std::abs(t - 0.5) * 2.0);
    });
}

void paintGlints(Canvas& canvas, QRectF area, const Noise& noise, Rgb colour, double density,
                 double opacity)
{
    Mask mask(canvas.width(), canvas.height());
    mask.shade([&](double x, double y) {
        if (!area.contains(x, y)) {
            return 0.0;
        }
        const double s = noise.value(x * 0.07, y * 0.8) * noise.value(x * 0.21, y * 1.7 + 3.0);
        return smoothstep(1.0 - density, 1.0 - density * 0.3, s);
    });
    canvas.paint(mask, [&](double, double, Rgb under) { return screen(under, colour); }, opacity);
}

void paintBoulder(Canvas& canvas, const Noise& noise, QPointF centre, double rx, double ry, Rgb base,
                  double light, Rgb moss, double mossAmount)
{
    // A squarish dome with big lumps and a flat underside: stones, not eggs.
    auto height = [&](double x, double y) {
        const double dx = std::abs(x - centre.x()) / rx;
        const double dy = (y - centre.y()) / ry;
        const double d = std::pow(dx, 2.6) + std::pow(std::abs(dy), dy > 0 ? 3.5 : 2.2);
        const double lump = (noise.fbm(x * 0.07, y * 0.07, 4) - 0.5) * 0.9 +
                            (noise.ridged(x * 0.12, y * 0.12, 2) - 0.5) * 0.25;
        return std::sqrt(std::max(0.0, 1.0 - d)) + lump * std::sqrt(std::max(0.0, 1.3 - d)) * 0.6;
    };
    Mask mask(canvas.width(), canvas.height());
    mask.shade([&](double x, double y) { return smoothstep(0.0, 0.1, height(x, y)); });
    canvas.paint(mask, [&](double x, double y, Rgb) {
        const double gx = (height(x + 1.0, y) - height(x - 1.0, y)) * rx * 0.5;
        const double gy = (height(x, y + 1.0) - height(x, y - 1.0)) * ry * 0.5;
        const double len = std::sqrt(gx * gx + gy * gy + 1.0);
        // Light from the upper left and a little in front.
        const double diffuse = std::max(0.0, (gx * 0.55 + gy * 0.65 + 0.55) / len);
        const double grain = noise.fbm(x * 0.35, y * 0.35, 3);
        const double shade = (0.22 + 0.85 * diffuse * light) * (0.8 + 0.4 * grain);
        const double upward = clamp01(gy / len * 1.5 + 0.3);
        const double mossy = mossAmount * smoothstep(0.35, 0.7, upward + 0.6 * (noise.fbm(x * 0.15, y * 0.15, 3) - 0.5));
        const double underside = smoothstep(0.2, 1.0, (y - centre.y()) / ry);
        return clamp01(mix(base, moss, mossy) * shade * (1.0 - 0.5 * underside));
    });
}

void emboss(Canvas& canvas, const Mask& shape, double softness, double depth)
{
    const Mask height = shape.blurred(softness);
    for (int y = 0; y < canvas.height(); ++y) {
        for (int x = 0; x < canvas.width(); ++x) {
            const double gx = height.at(x + 1, y) - height.at(x - 1, y);
            const double gy = height.at(x, y + 1) - height.at(x, y - 1);
            // The height rises to the right and down on the lit edges.
            const double light = std::clamp((gx + gy) * depth, -1.0, 1.0);
            const Rgb c = canvas.at(x, y);
            canvas.set(x, y, light > 0 ? mix(c, clamp01(screen(c, c) + Rgb{0.1, 0.1, 0.1}), light)
                                       : mix(c, c * 0.35, -light));
        }
    }
}

void vignette(Canvas& canvas, double strength)
{
    const double cx = canvas.width() / 2.0;
    const double cy = canvas.height() / 2.0;
    for (int y = 0; y < canvas.height(); ++y) {
        for (int x = 0; x < canvas.width(); ++x) {
            const double dx = (x + 0.5 - cx) / cx;
            const double dy = (y + 0.5 - cy) / cy;
            const double r2 = (dx * dx + dy * dy) / 2.0;
            canvas.set(x, y, canvas.at(x, y) * (1.0 - strength * r2));
        }
    }
}

void glow(Canvas& canvas, QPointF centre, double radius, Rgb colour, double strength)
{
    for (int y = 0; y < canvas.height(); ++y) {
        for (int x = 0; x < canvas.width(); ++x) {
            const double d = std::hypot(x + 0.5 - centre.x(), y + 0.5 - centre.y()) / radius;
            const double k = strength * std::exp(-d * d);
            canvas.set(x, y, screen(canvas.at(x, y), colour * k));
        }
    }
}

} // namespace artgen
