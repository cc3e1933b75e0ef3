// The three certificate pictures: star moss in two colourings and the
// embossed paper of the Expert certificate.

#include "tools/artgen/Lettering.h"
#include "tools/artgen/Scenery.h"
#include "tools/artgen/Scenes.h"

#include <cmath>

namespace artgen {

namespace {

constexpr int kWidth = 200;
constexpr int kHeight = 150;

struct MossColours {
    Rgb shadow;
    Rgb leaf;
    Rgb tip;
};

// One rosette of star moss: narrow pointed leaves around a centre.
void paintRosette(Canvas& canvas, Rng& rng, QPointF centre, double radius, const MossColours& colours, double light)
{
    const int leaves = 7 + rng.below(4);
    const double turn = rng.range(0, 2 * M_PI);
    for (int i = 0; i < leaves; ++i) {
        const double a = turn + 2 * M_PI * i / leaves + rng.range(-0.2, 0.2);
        const double length = radius * rng.range(0.75, 1.1);
        const QPointF tip = centre + QPointF(std::cos(a) * length, std::sin(a) * length);
        const QPointF side(-std::sin(a) * radius * 0.16, std::cos(a) * radius * 0.16);
        QPainterPath leaf;
        leaf.moveTo(centre + side * 0.5);
        leaf.quadTo((centre + tip) / 2 + side, tip);
        leaf.quadTo((centre + tip) / 2 - side, centre - side * 0.5);
        leaf.closeSubpath();
        // Leaves pointing up and left face the light.
        const double facing = clamp01(0.5 - 0.35 * std::cos(a) - 0.35 * std::sin(a));
        canvas.paint(leaf, [&](double x, double y, Rgb) {
            const double along = clamp01(std::hypot(x - centre.x(), y - centre.y()) / length);
            const Rgb c = mix(colours.leaf, colours.tip, along * 0.8 + facing * 0.3);
            return c * (light * (0.75 + 0.35 * facing));
        });
    }
    glow(canvas, centre, radius * 0.25, colours.shadow * 0.2, 0.5);
}

// A dense carpet of rosettes, back ones darker, lightly out of focus.
Canvas paintStarMoss(std::uint64_t seed, const MossColours& colours)
{
    Canvas canvas(kWidth, kHeight, colours.shadow);
    const Noise noise(static_cast<std::uint32_t>(seed));
    canvas.shade([&](double x, double y) {
        return colours.shadow * (0.7 + 0.6 * noise.fbm(x * 0.05, y * 0.05, 4));
    });
    Rng rng(seed);
    for (int layer = 0; layer < 3; ++layer) {
        const int count = 170 + layer * 70;
        const double light = 0.65 + layer * 0.17;
        for (int i = 0; i < count; ++i) {
            const QPointF at(rng.range(-6, kWidth + 6), rng.range(-6, kHeight + 6));
            paintRosette(canvas, rng, at, rng.range(7.0, 12.0) - layer * 1.5, colours, light);
        }
    }
    // A soft lens: slightly blurred, brighter in the middle.
    Canvas soft = canvas.blurred(0.6);
    glow(soft, QPointF(kWidth * 0.45, kHeight * 0.4), 120, rgb255(60, 60, 60), 0.35);
    return soft;
}

// Fades a picture toward a light colour, lowering its contrast.
void washOut(Canvas& canvas, Rgb toward, double amount)
{
    canvas.shade([&](double x, double y) { return mix(canvas.at(int(x), int(y)), toward, amount); });
}

void paintPaper(Canvas& canvas)
{
    const Noise noise(801);
    canvas.shade([&](double x, double y) {
        const double fibres = noise.fbm(x * 0.6, y * 0.08, 3) * 0.5 + noise.fbm(x * 0.08, y * 0.6, 3) * 0.5;
        const double blotch = noise.fbm(x * 0.03, y * 0.03, 4);
        const Rgb paper = mix(rgb255(174, 128, 74), rgb255(234, 204, 150), blotch);
        return paper * (0.92 + 0.16 * fibres);
    });
    // Foxing toward the edges, as old paper darkens.
    canvas.shade([&](double x, double y) {
        const double edge = std::min({x, y, kWidth - x, kHeight - y});
        return canvas.at(int(x), int(y)) * (0.78 + 0.22 * smoothstep(0.0, 18.0, edge));
    });
}

QPainterPath borderPath()
{
    QPainterPath border;
    border.addRect(QRectF(7, 7, kWidth - 14, kHeight - 14));
    border.addRect(QRectF(11, 11, kWidth - 22, kHeight - 22));
    QPainterPath lines = strokePath(border, 1.4);
    // Small diamonds at the corners.
    for (QPointF c : {QPointF(9, 9), QPointF(kWidth - 9, 9), QPointF(9, kHeight - 9), QPointF(kWidth - 9, kHeight - 9)}) {
        QPainterPath diamond;
        diamond.moveTo(c + QPointF(0, -5));
        diamond.lineTo(c + QPointF(5, 0));
        diamond.lineTo(c + QPointF(0, 5));
        diamond.lineTo(c + QPointF(-5, 0));
        diamond.closeSubpath();
        lines = lines.united(diamond);
    }
    return lines;
}

// A round seal with a star, pressed into the corner.
QPainterPath sealPath(QPointF centre, double radius)
{
    QPainterPath seal;
    seal.addEllipse(centre, radius, radius);
    QPainterPath inner;
    inner.addEllipse(centre, radius - 2.5, radius - 2.5);
    seal = seal.subtracted(inner);
    QPainterPath star;
    for (int i = 0; i < 10; ++i) {
        const double a = -M_PI / 2 + i * M_PI / 5;
        const double r = (i % 2 == 0) ? radius * 0.62 : radius * 0.26;
        const QPointF p = centre + QPointF(std::cos(a) * r, std::sin(a) * r);
        i == 0 ? star.moveTo(p) : star.lineTo(p);
    }
    star.closeSubpath();
    return seal.united(star);
}

} // namespace

QImage paintCertificatePale()
{
    Canvas canvas = paintStarMoss(701, {rgb255(170, 90, 110), rgb255(230, 140, 160), rgb255(255, 220, 228)});
    washOut(canvas, rgb255(255, 242, 246), 0.55);
    return canvas.toImage();
}

QImage paintCertificateGreen()
{
    Canvas canvas = paintStarMoss(702, {rgb255(70, 120, 40), rgb255(140, 200, 70), rgb255(220, 248, 140)});
    washOut(canvas, rgb255(240, 250, 220), 0.3);
    return canvas.toImage();
}

QImage paintCertificateExpert()
{
    Canvas canvas(kWidth, kHeight);
    paintPaper(canvas);
    emboss(canvas, Mask::fromPath(kWidth, kHeight, borderPath()), 0.7, 1.6);
    const QPainterPath certificate =
        centredTextPath(QStringLiteral("Certificate"), Face::SerifBoldItalic, 30, kWidth / 2.0, 50);
    const QPainterPath expert = centredTextPath(QStringLiteral("Expert"), Face::SerifBoldItalic, 50, kWidth / 2.0, 106);
    const Mask words = Mask::fromPath(kWidth, kHeight, certificate.united(expert));
    // The raised letters are a shade darker, as if inked lightly.
    canvas.paint(words, [](double, double, Rgb under) { return under * 0.86; });
    emboss(canvas, words, 0.9, 2.2);
    emboss(canvas, Mask::fromPath(kWidth, kHeight, sealPath(QPointF(28, 124), 11)), 0.7, 1.8);
    return canvas.toImage();
}

} // namespace artgen
