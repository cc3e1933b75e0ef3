// Zone 2: a forest stream below a small waterfall.

#include "tools/artgen/Scenery.h"
#include "tools/artgen/Scenes.h"
#include "tools/artgen/StagePanels.h"

#include <cmath>

namespace artgen {

namespace {

// Trunks standing in the forest, paler and softer the further away.
void paintForestDepths(Canvas& canvas, const Noise& noise)
{
    Rng rng(301);
    const Rgb fog = rgb255(92, 116, 104);
    for (int layer = 0; layer < 3; ++layer) {
        const double distance = 1.0 - layer / 3.0;
        const int count = 7 + layer * 2;
        for (int i = 0; i < count; ++i) {
            const double x = rng.range(-10, kStageWidth + 10);
            const double width = rng.range(4, 8) * (1.0 + layer * 0.9);
            const double lean = rng.range(-6, 6);
            QPainterPath trunk;
            trunk.moveTo(x - width / 2, 170);
            trunk.lineTo(x - width * 0.35 + lean, -2);
            trunk.lineTo(x + width * 0.35 + lean, -2);
            trunk.lineTo(x + width / 2, 170);
            trunk.closeSubpath();
            canvas.paint(trunk, [&](double px, double py, Rgb) {
                const double across = clamp01((px - x - lean * (1.0 - py / 170.0)) / width + 0.5);
                const double round = 0.55 + 0.6 * std::sin(across * M_PI) * (1.2 - across);
                const Rgb bark = rgb255(48, 44, 38) * (round * (0.8 + 0.35 * noise.ridged(px * 0.3, py * 0.05, 2)));
                return mix(bark, fog, distance * 0.75);
            });
        }
        // Undergrowth and mist at the foot of each layer of trunks.
        const Mask brush = ridgeMask(kStageWidth, kStageHeight, Noise(310 + layer), 150 + layer * 8, 22, 0.03, 4);
        const Rgb far = mix(rgb255(24, 44, 30), fog, distance * 0.7);
        paintFoliage(canvas, brush, Noise(320 + layer),
                     {far * 0.6, far, mix(far, rgb255(120, 150, 90), 0.35)}, 0.16);
    }
}

// A shelf of layered rock across the stream, mossy along its top.
void paintLedge(Canvas& canvas, const Noise& noise)
{
    QPainterPath ledge;
    ledge.moveTo(34, 104);
    ledge.cubicTo(50, 92, 140, 90, 166, 102);
    ledge.cubicTo(176, 120, 172, 140, 176, 156);
    ledge.lineTo(26, 156);
    ledge.cubicTo(30, 140, 24, 118, 34, 104);
    ledge.closeSubpath();
    canvas.paint(ledge, [&](double x, double y, Rgb) {
        const double strata = noise.fbm(x * 0.03, y * 0.22, 4);
        const double band = 0.65 + 0.55 * smoothstep(0.35, 0.65, strata);
        const double crack = smoothstep(0.82, 0.95, noise.ridged(x * 0.06, y * 0.03, 3));
        const double top = 1.0 - smoothstep(94.0, 110.0, y + 6.0 * (noise.value(x * 0.1, 3.0) - 0.5));
        Rgb rock = rgb255(74, 72, 66) * band * (1.0 - 0.5 * crack) * (1.0 - 0.35 * smoothstep(110.0, 156.0, y));
        return mix(rock, rgb255(58, 86, 42) * (0.7 + 0.5 * noise.value(x * 0.8, y * 0.8)), top * 0.85);
    });
}

void paintWaterfall(Canvas& canvas, const Noise& noise)
{
    QPainterPath sheet;
    sheet.moveTo(80, 96);
    sheet.cubicTo(82, 96, 86, 104, 84, 150);
    sheet.lineTo(114, 150);
    sheet.cubicTo(114, 110, 114, 98, 110, 95);
    sheet.closeSubpath();
    canvas.paint(sheet, [&](double x, double y, Rgb under) {
        const double streaks = noise.fbm(x * 0.55, y * 0.03, 4);
        const double fall = smoothstep(0.3, 0.75, streaks);
        const Rgb water = mix(rgb255(70, 100, 110), rgb255(196, 214, 220), fall);
        return mix(under, water, 0.55 + 0.4 * fall);
    });
    // The smooth lip where the water tips over the edge.
    QPainterPath lip;
    lip.moveTo(80, 97);
    lip.quadTo(96, 92, 110, 96);
    canvas.fill(strokePath(lip, 2.2), rgb255(150, 176, 184), 0.8);
    // Spray and foam where it lands.
    glow(canvas, QPointF(98, 150), 24, rgb255(70, 86, 90), 0.9);
    const Mask foam = clumpMask(canvas.width(), canvas.height(), noise, QPointF(98, 151), 24, 6, 0.5, 0.15);
    canvas.paint(foam, [&](double x, double y, Rgb) {
        return mix(rgb255(120, 140, 146), rgb255(206, 220, 224), noise.fbm(x * 0.4, y * 0.4, 3));
    });
}

void paintStream(Canvas& canvas, const Noise& noise)
{
    QPainterPath bed;
    bed.moveTo(70, 146);
    bed.cubicTo(100, 142, 136, 146, 140, 156);
    bed.cubicTo(150, 180, 250, 196, 300, 240);
    bed.lineTo(70, 240);
    bed.cubicTo(110, 210, 40, 176, 60, 160);
    bed.closeSubpath();
    const Canvas above = canvas;
    canvas.paint(bed, [&](double x, double y, Rgb) {
        // Dark water mirroring the forest, streaked with foam along the flow.
        const double flow = noise.fbm(x * 0.08 - y * 0.05, y * 0.5, 3);
        const Rgb mirror = above.sample(x + (flow - 0.5) * 6.0, 300.0 - y);
        Rgb c = mix(rgb255(16, 30, 34), mirror * 0.7, 0.45);
        const double foam = smoothstep(0.62, 0.8, noise.fbm(x * 0.12 + y * 0.06, y * 0.35, 4));
        const double nearFall = 1.0 - smoothstep(150.0, 185.0, y);
        return mix(c, rgb255(170, 190, 196), foam * (0.35 + 0.5 * nearFall));
    });
}

// The rock step the water falls over, with boulders either side.
void paintFallsAndRocks(Canvas& canvas, const Noise& noise)
{
    paintLedge(canvas, noise);
    paintBoulder(canvas, Noise(331), QPointF(44, 124), 28, 24, rgb255(80, 80, 74), 1.0, rgb255(56, 86, 42), 0.9);
    paintBoulder(canvas, Noise(332), QPointF(150, 126), 30, 22, rgb255(78, 78, 72), 1.0, rgb255(56, 86, 42), 0.9);
    paintStream(canvas, noise);
    paintWaterfall(canvas, noise);
    paintBoulder(canvas, Noise(333), QPointF(40, 160), 38, 22, rgb255(72, 72, 68), 1.0, rgb255(52, 80, 40), 0.7);
    paintBoulder(canvas, Noise(334), QPointF(156, 170), 20, 11, rgb255(86, 86, 80), 1.0, rgb255(56, 84, 44), 0.5);
    paintBoulder(canvas, Noise(335), QPointF(200, 206), 18, 10, rgb255(80, 80, 76), 1.0, rgb255(56, 84, 44), 0.4);
    paintBoulder(canvas, Noise(336), QPointF(232, 170), 44, 22, rgb255(70, 70, 66), 1.0, rgb255(52, 80, 40), 0.8);
}

// Ferns along both banks and the canopy across the top.
void paintGreenery(Canvas& canvas)
{
    const int w = kStageWidth;
    const int h = kStageHeight;
    Mask ferns = clumpMask(w, h, Noise(340), QPointF(20, 214), 70, 40, 0.4, 0.07);
    ferns = ferns.unitedWith(clumpMask(w, h, Noise(341), QPointF(296, 196), 50, 50, 0.4, 0.07));
    ferns = ferns.unitedWith(clumpMask(w, h, Noise(342), QPointF(180, 150), 40, 12, 0.4, 0.09));
    paintFoliage(canvas, ferns, Noise(343), {rgb255(6, 16, 10), rgb255(24, 48, 28), rgb255(74, 100, 52)}, 0.16);
    const Mask canopy = clumpMask(w, h, Noise(350), QPointF(160, -30), 220, 60, 0.45, 0.04);
    paintFoliage(canvas, canopy, Noise(351), {rgb255(8, 22, 14), rgb255(30, 58, 34), rgb255(90, 120, 64)}, 0.1);
}

} // namespace

QImage paintStageStream()
{
    const Noise noise(300);
    Canvas canvas(kStageWidth, kStageHeight);
    paintSky(canvas, Gradient{{0.0, rgb255(70, 96, 84)}, {1.0, rgb255(104, 126, 108)}}, 0, 160);
    paintForestDepths(canvas, noise);
    paintFallsAndRocks(canvas, noise);
    paintGreenery(canvas);
    vignette(canvas, 0.35);
    paintStagePanels(canvas);
    return canvas.toImage();
}

} // namespace artgen
