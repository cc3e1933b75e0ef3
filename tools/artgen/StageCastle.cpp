// Zone 0: a castle turret on its stone wall at dusk, trees in front.

#include "tools/artgen/Scenery.h"
#include "tools/artgen/Scenes.h"
#include "tools/artgen/StagePanels.h"

#include <cmath>

namespace artgen {

namespace {

QPainterPath roofPath(double left, double right, double eaveY, double lift, double topLeft, double topRight,
                      double topY)
{
    const double span = right - left;
    const double rise = eaveY - topY;
    QPainterPath path;
    path.moveTo(left, eaveY - lift);
    path.quadTo(left + span * 0.12, eaveY, left + span * 0.25, eaveY);
    path.lineTo(right - span * 0.25, eaveY);
    path.quadTo(right - span * 0.12, eaveY, right, eaveY - lift);
    path.quadTo(topRight + (right - topRight) * 0.25, eaveY - rise * 0.3, topRight, topY);
    path.lineTo(topLeft, topY);
    path.quadTo(topLeft - (topLeft - left) * 0.25, eaveY - rise * 0.3, left, eaveY - lift);
    path.closeSubpath();
    return path;
}

// Curved tiled roof: grey-blue tile rows, silver tile ends along the eave.
void paintRoof(Canvas& canvas, const Noise& noise, double left, double right, double eaveY, double lift,
               double topLeft, double topRight, double topY)
{
    const QPainterPath roof = roofPath(left, right, eaveY, lift, topLeft, topRight, topY);
    canvas.paint(roof, [&](double x, double y, Rgb) {
        const double stripe = 0.82 + 0.22 * std::sin(x * 2.0 * M_PI / 3.0);
        const double down = clamp01((y - topY) / (eaveY - topY));
        const double sky = 0.7 + 0.45 * down;
        const double grain = 0.9 + 0.2 * noise.value(x * 0.5, y * 0.5);
        const double warm = clamp01(1.0 - (x - left) / (right - left));
        return mix(rgb255(52, 58, 74), rgb255(84, 78, 82), warm * 0.5) * (stripe * sky * grain);
    });
    // Tile ends along the eave catch the last light.
    const QPainterPath edge =
        roof.subtracted(roofPath(left, right, eaveY - 1.6, lift, topLeft, topRight, topY - 1.6));
    canvas.fill(edge, rgb255(168, 164, 160), 0.85);
}

void paintPlasterWall(Canvas& canvas, const Noise& noise, double left, double right, double top,
                      double bottom, double boardTop, double sideFrom)
{
    canvas.paint(rectPath(left, top, right - left, bottom - top), [&](double x, double y, Rgb) {
        const bool side = x > sideFrom;
        const double grain = 0.92 + 0.1 * noise.fbm(x * 0.3, y * 0.3, 3);
        if (y > boardTop) {
            const double board = 0.8 + 0.25 * (std::fmod(x, 4.0) < 1.0 ? 0.0 : 1.0);
            return rgb255(44, 38, 40) * (board * grain * (side ? 0.7 : 1.0));
        }
        const double warm = 1.0 - 0.3 * clamp01((x - left) / (right - left));
        const Rgb lit = rgb255(214, 198, 176) * warm;
        const Rgb shaded = rgb255(118, 118, 136);
        return (side ? shaded : lit) * grain;
    });
    // Shadow under the eave above.
    canvas.paint(rectPath(left, top, right - left, 6), [&](double, double y, Rgb under) {
        return under * (0.45 + 0.55 * clamp01((y - top) / 6.0));
    });
}

void paintWindows(Canvas& canvas, double y, double height, std::initializer_list<double> lefts, double width)
{
    for (double x : lefts) {
        canvas.fill(rectPath(x - 1, y - 1, width + 2, height + 2), rgb255(96, 84, 78));
        canvas.paint(rectPath(x, y, width, height), [&](double px, double, Rgb) {
            const bool bar = std::fmod(px - x, 2.5) < 0.8;
            return bar ? rgb255(120, 110, 100) : rgb255(20, 18, 24);
        });
    }
}

void paintGable(Canvas& canvas, QPointF apex, double halfWidth, double height)
{
    const QPointF left(apex.x() - halfWidth, apex.y() + height);
    const QPointF right(apex.x() + halfWidth, apex.y() + height);
    canvas.fill(trianglePath(apex - QPointF(0, 2), left + QPointF(-3, 1), right + QPointF(3, 1)), rgb255(46, 50, 62));
    canvas.paint(trianglePath(apex + QPointF(0, 1.5), left + QPointF(2.5, -0.5), right + QPointF(-2.5, -0.5)),
                 [&](double x, double, Rgb) {
                     return mix(rgb255(210, 194, 172), rgb255(150, 146, 156), clamp01((x - left.x()) / (2 * halfWidth)));
                 });
    canvas.fill(rectPath(apex.x() - 0.6, apex.y() + 2, 1.2, height - 3), rgb255(60, 52, 50));
}

void paintStoneWall(Canvas& canvas, const Noise& noise)
{
    QPainterPath wall;
    wall.moveTo(42, 119);
    wall.lineTo(166, 119);
    wall.quadTo(170, 182, 214, 206);
    wall.lineTo(4, 206);
    wall.quadTo(38, 182, 42, 119);
    wall.closeSubpath();
    canvas.paint(wall, [&](double x, double y, Rgb) {
        const Noise::Cells c = noise.cellular(x / 8.5, y / 5.5, 0.7);
        const double mortar = smoothstep(0.02, 0.14, c.f2 - c.f1);
        const double bevel = clamp01(0.55 - ((x / 8.5 - c.cx) + (y / 5.5 - c.cy)) * 0.7);
        const double tone = 0.55 + 0.35 * c.id + 0.2 * noise.fbm(x * 0.4, y * 0.4, 3);
        const double depth = 1.0 - 0.35 * clamp01((y - 119.0) / 90.0);
        const double warm = 1.0 - 0.35 * clamp01(x / 220.0);
        const Rgb stone = mix(rgb255(112, 106, 100), rgb255(142, 124, 104), warm - 0.65) * (tone * (0.7 + 0.5 * bevel));
        return mix(rgb255(26, 24, 26), stone * (depth * warm), mortar);
    });
}

// The gilded fish at each end of the top ridge, tails curled up.
void paintRidgeFish(Canvas& canvas, QPointF base, double facing)
{
    QPainterPath fish;
    fish.moveTo(base);
    fish.quadTo(base + QPointF(facing * 3.5, -1.0), base + QPointF(facing * 2.0, -5.5));
    canvas.fill(strokePath(fish, 1.8), rgb255(190, 150, 70));
}

// A pine: a leaning trunk and flat pads of needles.
void paintPine(Canvas& canvas, const Noise& noise, double baseX, double topX, double topY,
               std::initializer_list<QRectF> pads)
{
    QPainterPath trunk;
    trunk.moveTo(baseX - 7, kStageHeight);
    trunk.cubicTo(baseX - 6, 200, topX - 10, topY + 60, topX - 2, topY);
    trunk.lineTo(topX + 3, topY);
    trunk.cubicTo(topX - 3, topY + 60, baseX + 6, 200, baseX + 8, kStageHeight);
    trunk.closeSubpath();
    canvas.paint(trunk, [&](double x, double y, Rgb) {
        const double bark = 0.7 + 0.4 * noise.ridged(x * 0.5, y * 0.12, 3);
        return rgb255(58, 44, 38) * bark;
    });
    for (const QRectF& pad : pads) {
        QPainterPath branch;
        branch.moveTo(topX, pad.center().y() + 8);
        branch.quadTo((topX + pad.center().x()) / 2, pad.center().y() + 10, pad.center().x(), pad.center().y() + 3);
        canvas.fill(strokePath(branch, 2.2), rgb255(48, 36, 32));
        const Mask needles = clumpMask(kStageWidth, kStageHeight, noise, pad.center(), pad.width() / 2, pad.height() / 2,
                                       0.35, 0.12);
        paintFoliage(canvas, needles, noise, {rgb255(10, 22, 18), rgb255(30, 58, 40), rgb255(78, 104, 66)}, 0.22);
    }
}

void paintDuskSky(Canvas& canvas)
{
    paintSky(canvas,
             Gradient{{0.0, rgb255(18, 30, 68)},
                      {0.45, rgb255(52, 70, 116)},
                      {0.8, rgb255(128, 112, 128)},
                      {1.0, rgb255(176, 128, 104)}},
             0, 160);
    paintClouds(canvas, Noise(102), QRectF(0, 10, kStageWidth, 110), rgb255(190, 160, 170), rgb255(54, 60, 96), 0.42,
                0.75);
    glow(canvas, QPointF(20, 150), 90, rgb255(120, 70, 40), 0.6);
    canvas.fill(ridgeMask(kStageWidth, kStageHeight, Noise(103), 158, 28, 0.012, 4), rgb255(58, 66, 92));
    canvas.fill(ridgeMask(kStageWidth, kStageHeight, Noise(104), 170, 20, 0.02, 4), rgb255(38, 46, 62));
}

// Three tiers, bottom up, each roof over the wall below it.
void paintTurret(Canvas& canvas, const Noise& noise)
{
    paintPlasterWall(canvas, noise, 56, 150, 90, 120, 108, 134);
    paintWindows(canvas, 96, 8, {64, 82, 100, 118}, 9);
    paintPlasterWall(canvas, noise, 72, 134, 62, 82, 200, 122);
    paintWindows(canvas, 68, 7, {78, 117}, 8);
    paintRoof(canvas, noise, 40, 166, 93, 5, 64, 142, 78);
    paintGable(canvas, QPointF(103, 73), 15, 13);
    paintPlasterWall(canvas, noise, 84, 122, 38, 56, 200, 114);
    paintWindows(canvas, 44, 6, {90, 104}, 7);
    paintRoof(canvas, noise, 60, 146, 66, 4, 76, 130, 53);
    paintRoof(canvas, noise, 70, 136, 41, 4, 84, 122, 29);
    paintGable(canvas, QPointF(103, 17), 14, 14);
    canvas.fill(rectPath(88, 15, 30, 2), rgb255(40, 44, 54));
    paintRidgeFish(canvas, QPointF(88, 15), -1);
    paintRidgeFish(canvas, QPointF(118, 15), 1);
}

void paintCastleTrees(Canvas& canvas)
{
    const int w = kStageWidth;
    const int h = kStageHeight;
    Mask back = clumpMask(w, h, Noise(105), QPointF(12, 150), 26, 30, 0.35, 0.06);
    back = back.unitedWith(clumpMask(w, h, Noise(106), QPointF(196, 196), 34, 26, 0.3, 0.06));
    paintFoliage(canvas, back, Noise(111), {rgb255(5, 12, 12), rgb255(18, 34, 30), rgb255(50, 66, 52)}, 0.12);
    Mask front = clumpMask(w, h, Noise(107), QPointF(20, 196), 40, 36, 0.35, 0.05);
    front = front.unitedWith(clumpMask(w, h, Noise(108), QPointF(84, 226), 56, 30, 0.3, 0.05));
    front = front.unitedWith(clumpMask(w, h, Noise(112), QPointF(160, 230), 50, 24, 0.3, 0.06));
    front = front.unitedWith(clumpMask(w, h, Noise(113), QPointF(240, 240), 80, 16, 0.3, 0.06));
    paintFoliage(canvas, front, Noise(109), {rgb255(6, 15, 14), rgb255(22, 42, 34), rgb255(64, 82, 58)}, 0.11);
    paintPine(canvas, Noise(110), 262, 238, 96,
              {QRectF(196, 88, 70, 22), QRectF(238, 112, 82, 26), QRectF(208, 140, 74, 24), QRectF(256, 168, 64, 30),
               QRectF(222, 190, 90, 40)});
}

} // namespace

QImage paintStageCastle()
{
    const Noise noise(101);
    Canvas canvas(kStageWidth, kStageHeight);
    paintDuskSky(canvas);
    paintStoneWall(canvas, noise);
    paintTurret(canvas, noise);
    paintCastleTrees(canvas);
    vignette(canvas, 0.35);
    paintStagePanels(canvas);
    return canvas.toImage();
}

} // namespace artgen
