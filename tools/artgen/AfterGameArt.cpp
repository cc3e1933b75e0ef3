// The results screen and the name entry.

#include "tools/artgen/Lettering.h"
#include "tools/artgen/Scenery.h"
#include "tools/artgen/Scenes.h"

#include <cmath>

namespace artgen {

namespace {

constexpr int kWidth = 320;
constexpr int kHeight = 240;

// A garden pavilion on stilts: pyramid roof, open sides, railing, deck.
void paintPavilion(Canvas& canvas, double left, double right, double deckY)
{
    const Noise noise(601);
    const double mid = (left + right) / 2;
    const Rgb wood = rgb255(96, 62, 40);
    auto timber = [&](double x, double y, Rgb) {
        return wood * (0.75 + 0.4 * noise.fbm(x * 0.8, y * 0.1, 2));
    };
    // Stilts into the water, then the deck and its dark underside.
    for (double x = left + 3; x <= right - 3; x += (right - left - 6) / 3) {
        canvas.paint(rectPath(x - 1, deckY, 2, 16), timber);
    }
    canvas.paint(rectPath(left - 2, deckY - 3, right - left + 4, 4), timber);
    canvas.fill(rectPath(left - 2, deckY + 1, right - left + 4, 2), rgb255(30, 20, 16));
    // Inside in shade, posts and railing in front.
    canvas.fill(rectPath(left + 2, deckY - 24, right - left - 4, 21), rgb255(28, 22, 20));
    for (double x : {left + 2, mid - 1, right - 4}) {
        canvas.paint(rectPath(x, deckY - 25, 2.2, 22), timber);
    }
    canvas.paint(rectPath(left, deckY - 11, right - left, 1.6), timber);
    for (double x = left + 1; x < right; x += 3.0) {
        canvas.paint(rectPath(x, deckY - 10, 0.9, 7), timber);
    }
    // The roof: two visible slopes meeting at a finial.
    const double eave = deckY - 24;
    QPainterPath front;
    front.moveTo(left - 9, eave + 2);
    front.quadTo(mid - 6, eave - 4, mid, eave - 18);
    front.quadTo(mid + 6, eave - 4, right + 9, eave + 2);
    front.quadTo(mid, eave - 1, left - 9, eave + 2);
    front.closeSubpath();
    canvas.paint(front, [&](double x, double y, Rgb) {
        const double side = x < mid ? 1.0 : 0.7;
        const double rows = 0.85 + 0.2 * std::sin((x - mid) * 1.8);
        return rgb255(70, 64, 58) * (side * rows * (0.8 + 0.3 * clamp01((y - eave + 18) / 20)));
    });
    canvas.fill(rectPath(mid - 1, eave - 22, 2, 5), rgb255(150, 120, 70));
}

void paintResultsScene(Canvas& canvas)
{
    paintSky(canvas, Gradient{{0.0, rgb255(70, 120, 190)}, {1.0, rgb255(180, 206, 228)}}, 0, 60);
    paintClouds(canvas, Noise(602), QRectF(0, 0, kWidth, 50), rgb255(250, 250, 255), rgb255(160, 180, 210), 0.45,
                0.85);
    // Wooded hills behind the lake, dark enough for the heading.
    const Mask hills = ridgeMask(kWidth, kHeight, Noise(603), 70, 44, 0.018, 5);
    paintFoliage(canvas, hills, Noise(604), {rgb255(8, 22, 18), rgb255(24, 50, 36), rgb255(70, 100, 64)}, 0.09);
    const Mask shore = ridgeMask(kWidth, kHeight, Noise(605), 96, 16, 0.03, 4);
    paintFoliage(canvas, shore, Noise(606), {rgb255(6, 18, 12), rgb255(20, 44, 28), rgb255(60, 92, 52)}, 0.14);
    // The left shore reaches out under the pavilion.
    QPainterPath spit;
    spit.moveTo(0, 84);
    spit.cubicTo(30, 82, 50, 92, 58, 98);
    spit.lineTo(0, 100);
    spit.closeSubpath();
    canvas.fill(spit, rgb255(34, 40, 24));
    const Mask willow = clumpMask(kWidth, kHeight, Noise(607), QPointF(8, 58), 34, 40, 0.4, 0.07);
    paintFoliage(canvas, willow, Noise(608), {rgb255(8, 24, 14), rgb255(34, 66, 34), rgb255(100, 140, 70)}, 0.14);
    paintPavilion(canvas, 14, 46, 96);

    const double waterline = 98.0;
    paintReflection(canvas, waterline, Noise(609), rgb255(130, 160, 190), 0.75, 1.6);
    // Deep water under the rows of figures; the shallows near the bottom
    // stay light for the dark prompt.
    canvas.paint(rectPath(0, waterline, kWidth, kHeight - waterline), [](double, double y, Rgb under) {
        const double deep = smoothstep(98.0, 112.0, y) * (1.0 - smoothstep(170.0, 200.0, y));
        return under * (1.0 - 0.45 * deep);
    });
    paintWaterSheen(canvas, QRectF(0, 150, kWidth, 90), Noise(611), rgb255(190, 210, 230), rgb255(90, 120, 150), 0.5);
    paintGlints(canvas, QRectF(0, 100, kWidth, 140), Noise(610), rgb255(120, 130, 140), 0.18, 0.45);
}

void paintResultsHeading(Canvas& canvas)
{
    const QPainterPath title = centredTextPath(QStringLiteral("YOUR RESULTS"), Face::SansBold, 30, 172, 78, 0.72, 1.0);
    canvas.fill(Mask::fromPath(kWidth, kHeight, title).blurred(3.0), rgb255(0, 0, 0), 0.6);
    canvas.fill(Mask::fromPath(kWidth, kHeight, title.translated(2, 2)), rgb255(10, 20, 30), 0.85);
    canvas.fill(title, rgb255(255, 255, 255));
}

// Flat stones laid across the pond, each with its dark reflection.
void paintSteppingStones(Canvas& canvas)
{
    const QPointF stones[] = {{36, 230}, {70, 204}, {112, 186}, {150, 160}, {196, 142}, {236, 118},
                              {270, 98},  {300, 80}};
    int i = 0;
    for (const QPointF& at : stones) {
        const double scale = 0.55 + 0.45 * at.y() / kHeight;
        const double rx = 22 * scale;
        const double ry = 8 * scale;
        canvas.fill(Mask::fromPath(kWidth, kHeight, [&] {
                        QPainterPath p;
                        p.addEllipse(at + QPointF(1, ry * 0.9), rx * 1.05, ry * 0.9);
                        return p;
                    }()).blurred(1.5),
                    rgb255(0, 6, 10), 0.7);
        QPainterPath ring;
        ring.addEllipse(at + QPointF(0, ry * 0.5), rx * 1.25, ry * 1.1);
        canvas.paint(strokePath(ring, 0.8), [](double, double, Rgb under) { return screen(under, rgb255(50, 70, 90)); },
                     0.35);
        paintBoulder(canvas, Noise(621 + i), at, rx, ry, rgb255(92, 90, 84), 0.8, rgb255(60, 80, 52), 0.3);
        ++i;
    }
}

// Carp gliding under the surface, blurred by the water above them.
void paintKoi(Canvas& canvas, QPointF at, double angle, Rgb colour)
{
    Canvas fish(kWidth, kHeight);
    QPainterPath body;
    body.addEllipse(QPointF(0, 0), 7, 2.6);
    body.moveTo(-6, 0);
    body.lineTo(-11, -2.8);
    body.lineTo(-10, 0);
    body.lineTo(-11, 2.8);
    body.closeSubpath();
    QTransform place;
    place.translate(at.x(), at.y());
    place.rotate(angle);
    const Mask mask = Mask::fromPath(kWidth, kHeight, place.map(body)).blurred(0.7);
    const Noise noise(650);
    canvas.paint(mask, [&](double x, double y, Rgb under) {
        const double patch = smoothstep(0.5, 0.6, noise.value(x * 0.22, y * 0.22));
        return mix(under, mix(colour, rgb255(220, 216, 210), patch), 0.6);
    });
}

void paintAzaleas(Canvas& canvas)
{
    Mask shrubs = clumpMask(kWidth, kHeight, Noise(630), QPointF(40, 246), 90, 40, 0.4, 0.06);
    shrubs = shrubs.unitedWith(clumpMask(kWidth, kHeight, Noise(631), QPointF(170, 252), 90, 34, 0.4, 0.06));
    shrubs = shrubs.unitedWith(clumpMask(kWidth, kHeight, Noise(632), QPointF(300, 244), 70, 44, 0.4, 0.06));
    paintFoliage(canvas, shrubs, Noise(633), {rgb255(6, 16, 10), rgb255(24, 48, 28), rgb255(64, 96, 50)}, 0.16);
    // Blossoms: small clusters, dimmer deep inside the shrubs.
    Rng rng(634);
    for (int i = 0; i < 520; ++i) {
        const int x = rng.below(kWidth);
        const int y = 196 + rng.below(44);
        const double inside = shrubs.at(x, y);
        if (inside < 0.9) {
            continue;
        }
        const Rgb blossom = rng.chance(0.6) ? rgb255(226, 80, 140) : rgb255(240, 150, 190);
        const double bright = 0.55 + 0.45 * rng.uniform();
        glow(canvas, QPointF(x + 0.5, y + 0.5), 1.5, blossom * bright, 0.9);
    }
}

void paintNameEntryLettering(Canvas& canvas)
{
    const QPainterPath title = centredTextPath(QStringLiteral("NAME ENTRY"), Face::SansBoldItalic, 26, 160, 30);
    canvas.fill(Mask::fromPath(kWidth, kHeight, title).blurred(4.0), rgb255(200, 60, 120), 0.5);
    canvas.fill(Mask::fromPath(kWidth, kHeight, title.translated(2, 2)).blurred(0.8), rgb255(0, 0, 0), 0.9);
    canvas.fill(title, rgb255(255, 255, 255));
}

} // namespace

QImage paintResults()
{
    Canvas canvas(kWidth, kHeight);
    paintResultsScene(canvas);
    paintResultsHeading(canvas);
    return canvas.toImage();
}

QImage paintNameEntry()
{
    const Noise noise(640);
    Canvas canvas(kWidth, kHeight);
    canvas.shade([&](double x, double y) {
        const double sheen = noise.fbm(x * 0.01, y * 0.06, 4);
        return mix(rgb255(8, 18, 30), rgb255(28, 46, 62), sheen * (0.5 + 0.5 * y / kHeight));
    });
    // The far bank: everything above a ragged line near the top.
    const Mask bank = ridgeMask(kWidth, kHeight, Noise(642), 40, 14, 0.03, 4).inverted();
    paintFoliage(canvas, bank, Noise(644), {rgb255(4, 10, 10), rgb255(14, 30, 26), rgb255(40, 62, 50)}, 0.12);
    paintReflection(canvas, 40, Noise(645), rgb255(8, 18, 30), 0.6, 1.5);
    canvas.paint(rectPath(0, 40, kWidth, kHeight), [&](double x, double y, Rgb under) {
        const double sheen = noise.fbm(x * 0.012, y * 0.05, 4);
        return mix(under, rgb255(34, 56, 76), smoothstep(0.4, 0.75, sheen) * 0.7);
    }, 0.8);
    paintGlints(canvas, QRectF(0, 40, kWidth, kHeight), Noise(641), rgb255(50, 70, 90), 0.2, 0.6);
    Rng rng(646);
    paintLilyPads(canvas, Noise(647), rng, QRectF(10, 60, 90, 60), 3, 11);
    paintLilyPads(canvas, Noise(648), rng, QRectF(230, 170, 80, 20), 3, 13);
    paintKoi(canvas, QPointF(60, 120), -20, rgb255(220, 90, 30));
    paintKoi(canvas, QPointF(230, 170), 160, rgb255(230, 120, 40));
    paintKoi(canvas, QPointF(120, 70), 10, rgb255(200, 60, 30));
    paintSteppingStones(canvas);
    paintAzaleas(canvas);
    paintNameEntryLettering(canvas);
    vignette(canvas, 0.3);
    return canvas.toImage();
}

} // namespace artgen
