// Zone 1: a mountain lake seen between the trees of its near shore.

#include "tools/artgen/Scenery.h"
#include "tools/artgen/Scenes.h"
#include "tools/artgen/StagePanels.h"

#include <cmath>

namespace artgen {

namespace {

// A tree trunk rising out of the picture, with a little bend.
void paintTrunk(Canvas& canvas, const Noise& noise, double baseX, double topX, double width, Rgb bark)
{
    QPainterPath trunk;
    trunk.moveTo(baseX - width / 2, kStageHeight + 2);
    trunk.cubicTo(baseX - width / 2, 150, topX - width * 0.4, 60, topX - width * 0.35, -2);
    trunk.lineTo(topX + width * 0.35, -2);
    trunk.cubicTo(topX + width * 0.4, 60, baseX + width / 2, 150, baseX + width / 2, kStageHeight + 2);
    trunk.closeSubpath();
    canvas.paint(trunk, [&](double x, double y, Rgb) {
        const double centre = baseX + (topX - baseX) * (1.0 - y / kStageHeight);
        const double across = clamp01((x - centre) / width + 0.5);
        const double round = 0.45 + 0.8 * std::sin(across * M_PI) * (1.0 - 0.5 * across);
        const double grain = 0.75 + 0.4 * noise.ridged(x * 0.35, y * 0.06, 3);
        return bark * (round * grain);
    });
}

void paintMountainView(Canvas& canvas)
{
    paintSky(canvas, Gradient{{0.0, rgb255(30, 52, 96)}, {0.6, rgb255(74, 104, 146)}, {1.0, rgb255(132, 150, 170)}}, 0,
             130);
    paintClouds(canvas, Noise(202), QRectF(0, 20, kStageWidth, 80), rgb255(180, 190, 210), rgb255(80, 96, 130), 0.38,
                0.6);
    paintMountains(canvas, Noise(203),
                   {120, 66, 0.008, rgb255(70, 76, 104), rgb255(92, 108, 140), 0.24, 0.6, 0.15, rgb255(40, 56, 62)});
    paintMountains(canvas, Noise(204),
                   {142, 40, 0.013, rgb255(48, 56, 66), rgb255(70, 88, 116), 0.28, 0.0, 0.38, rgb255(28, 46, 44)});
    // Forested hills on the far shore.
    const Mask farShore = ridgeMask(kStageWidth, kStageHeight, Noise(205), 150, 16, 0.03, 5);
    paintFoliage(canvas, farShore, Noise(206), {rgb255(18, 32, 40), rgb255(34, 54, 58), rgb255(60, 80, 78)}, 0.3);
}

void paintLakeWater(Canvas& canvas)
{
    const double waterline = 150.0;
    paintReflection(canvas, waterline, Noise(207), rgb255(20, 34, 54), 0.6, 1.0);
    paintGlints(canvas, QRectF(0, waterline + 2, kStageWidth, 80), Noise(208), rgb255(120, 140, 170), 0.2, 0.5);
}

// The near shore and the trees the lake is seen through.
void paintNearShore(Canvas& canvas, const Noise& noise)
{
    QPainterPath shore;
    shore.moveTo(0, 212);
    shore.cubicTo(80, 204, 200, 222, 320, 206);
    shore.lineTo(320, 240);
    shore.lineTo(0, 240);
    shore.closeSubpath();
    canvas.paint(shore, [&](double x, double y, Rgb) {
        const double blades = noise.fbm(x * 0.7, y * 0.09, 3);
        const double patch = noise.fbm(x * 0.05, y * 0.1, 3);
        return mix(rgb255(20, 30, 20), rgb255(56, 66, 40), clamp01(blades * 0.8 + patch * 0.5 - 0.25));
    });
    const int w = kStageWidth;
    const int h = kStageHeight;
    Mask reeds = clumpMask(w, h, Noise(209), QPointF(60, 232), 90, 22, 0.35, 0.08);
    reeds = reeds.unitedWith(clumpMask(w, h, Noise(210), QPointF(270, 226), 70, 24, 0.35, 0.08));
    paintFoliage(canvas, reeds, Noise(211), {rgb255(8, 16, 12), rgb255(28, 46, 30), rgb255(70, 90, 56)}, 0.16);

    paintTrunk(canvas, Noise(212), 22, 12, 16, rgb255(54, 44, 40));
    paintTrunk(canvas, Noise(213), 292, 304, 14, rgb255(50, 42, 40));
    paintTrunk(canvas, Noise(214), 262, 270, 7, rgb255(44, 38, 36));
    Mask leaves = clumpMask(w, h, Noise(215), QPointF(20, 10), 80, 44, 0.4, 0.05);
    leaves = leaves.unitedWith(clumpMask(w, h, Noise(216), QPointF(300, 20), 70, 50, 0.4, 0.05));
    leaves = leaves.unitedWith(clumpMask(w, h, Noise(217), QPointF(316, 96), 22, 40, 0.4, 0.06));
    paintFoliage(canvas, leaves, Noise(218), {rgb255(8, 18, 16), rgb255(30, 54, 40), rgb255(84, 108, 64)}, 0.1);
}

} // namespace

QImage paintStageLake()
{
    Canvas canvas(kStageWidth, kStageHeight);
    paintMountainView(canvas);
    paintLakeWater(canvas);
    paintNearShore(canvas, Noise(201));
    vignette(canvas, 0.3);
    paintStagePanels(canvas);
    return canvas.toImage();
}

} // namespace artgen
