// The main menu, its cursor arrow and the zone select.

#include "tools/artgen/Lettering.h"
#include "tools/artgen/Scenery.h"
#include "tools/artgen/Scenes.h"

#include <QPainter>
#include <QPolygon>

#include <cmath>

namespace artgen {

namespace {

constexpr int kWidth = 320;
constexpr int kHeight = 240;

void paintPond(Canvas& canvas)
{
    const Noise noise(501);
    canvas.shade([&](double x, double y) {
        // Deep water, darkest where the menu is written.
        const double depth = std::exp(-std::pow((x - 160) / 110.0, 2) - std::pow((y - 86) / 70.0, 2));
        const double sheen = noise.fbm(x * 0.015, y * 0.05, 4);
        const Rgb water = mix(rgb255(30, 64, 72), rgb255(60, 100, 100), sheen);
        return water * (1.0 - 0.6 * depth);
    });
    paintGlints(canvas, QRectF(0, 0, kWidth, kHeight), Noise(502), rgb255(70, 110, 110), 0.25, 0.5);
}

void paintWatermark(Canvas& canvas)
{
    Mask words(kWidth, kHeight);
    for (int row = 0; row < 12; ++row) {
        const double baseline = 16 + row * 21;
        const double offset = (row % 2) * 44.0 - 40.0;
        for (int col = 0; col < 5; ++col) {
            const QPainterPath word = textPath(QStringLiteral("Quorvel"), Face::SansBoldItalic, 15,
                                               QPointF(offset + col * 88.0, baseline));
            words = words.unitedWith(Mask::fromPath(kWidth, kHeight, word));
        }
    }
    canvas.paint(words, [](double, double, Rgb under) { return mix(under, rgb255(170, 176, 176), 0.22); });
}

// Rings spreading where a drop fell.
void paintRipples(Canvas& canvas, QPointF centre, int rings, double spacing)
{
    for (int i = 1; i <= rings; ++i) {
        QPainterPath ring;
        ring.addEllipse(centre, i * spacing, i * spacing * 0.4);
        canvas.paint(strokePath(ring, 0.9), [](double, double, Rgb under) { return screen(under, rgb255(60, 90, 90)); },
                     1.0 - double(i) / (rings + 1));
    }
}

Mask bankMask()
{
    Mask leaves = clumpMask(kWidth, kHeight, Noise(510), QPointF(-10, 40), 70, 80, 0.45, 0.05);
    leaves = leaves.unitedWith(clumpMask(kWidth, kHeight, Noise(511), QPointF(330, 20), 80, 70, 0.45, 0.05));
    leaves = leaves.unitedWith(clumpMask(kWidth, kHeight, Noise(512), QPointF(300, 240), 90, 50, 0.45, 0.05));
    leaves = leaves.unitedWith(clumpMask(kWidth, kHeight, Noise(513), QPointF(10, 250), 70, 46, 0.45, 0.05));
    return leaves.unitedWith(clumpMask(kWidth, kHeight, Noise(514), QPointF(160, -14), 90, 22, 0.5, 0.06));
}

// The banks mirrored in the still water, dark and a little blurred.
void paintBankReflection(Canvas& canvas, const Mask& leaves)
{
    const Noise noise(516);
    const Mask mirrored = leaves.shifted(0, 16).blurred(3.0);
    canvas.paint(mirrored, [&](double x, double y, Rgb under) {
        return mix(under, rgb255(10, 40, 26), 0.5 + 0.3 * noise.fbm(x * 0.03, y * 0.3, 3));
    });
}

void paintBankFoliage(Canvas& canvas, const Mask& leaves)
{
    canvas.fill(leaves.shifted(4, 6).blurred(4.0), rgb255(0, 10, 8), 0.7);
    paintFoliage(canvas, leaves, Noise(515), {rgb255(8, 28, 14), rgb255(40, 90, 40), rgb255(140, 190, 90)}, 0.11);
}

// A stone lantern: base, post, lit fire box, roof and knob.
void paintLantern(Canvas& canvas, double centreX, double groundY)
{
    const Noise noise(520);
    auto stone = [&](double x, double y, Rgb) {
        const double lit = clamp01(1.0 - std::abs(x - centreX) / 14.0);
        return rgb255(70, 68, 64) * ((0.5 + 0.5 * lit) * (0.8 + 0.4 * noise.fbm(x * 0.5, y * 0.5, 3)));
    };
    const double x = centreX;
    const double g = groundY;
    canvas.paint(rectPath(x - 10, g - 5, 20, 5), stone);
    canvas.paint(rectPath(x - 4, g - 30, 8, 26), stone);
    canvas.paint(rectPath(x - 9, g - 34, 18, 4), stone);
    canvas.paint(rectPath(x - 7, g - 46, 14, 12), stone);
    canvas.fill(rectPath(x - 4, g - 44, 8, 8), rgb255(255, 190, 100));
    QPainterPath roof;
    roof.moveTo(x - 14, g - 45);
    roof.quadTo(x - 6, g - 50, x, g - 56);
    roof.quadTo(x + 6, g - 50, x + 14, g - 45);
    roof.closeSubpath();
    canvas.paint(roof, stone);
    canvas.paint(rectPath(x - 2, g - 60, 4, 5), stone);
    glow(canvas, QPointF(x, g - 40), 26, rgb255(180, 110, 40), 0.5);
}

// Maple branches hanging in from the top corner, leaves turning red.
void paintMapleCorner(Canvas& canvas)
{
    Mask leaves = clumpMask(kWidth, kHeight, Noise(530), QPointF(320, 0), 70, 34, 0.5, 0.07);
    leaves = leaves.unitedWith(clumpMask(kWidth, kHeight, Noise(531), QPointF(0, 4), 50, 26, 0.5, 0.07));
    paintFoliage(canvas, leaves, Noise(532), {rgb255(30, 6, 8), rgb255(120, 24, 20), rgb255(220, 90, 40)}, 0.2, 0.9);
}

void paintNightGarden(Canvas& canvas)
{
    paintSky(canvas, Gradient{{0.0, rgb255(6, 10, 28)}, {1.0, rgb255(30, 42, 66)}}, 0, 130);
    glow(canvas, QPointF(40, 24), 10, rgb255(230, 230, 210), 0.9);
    glow(canvas, QPointF(40, 24), 40, rgb255(50, 60, 90), 0.6);
    const Mask far = ridgeMask(kWidth, kHeight, Noise(521), 120, 50, 0.02, 5);
    paintFoliage(canvas, far, Noise(522), {rgb255(4, 10, 12), rgb255(14, 28, 30), rgb255(36, 56, 56)}, 0.1);
    const Mask near = ridgeMask(kWidth, kHeight, Noise(523), 160, 30, 0.03, 5);
    paintFoliage(canvas, near, Noise(524), {rgb255(3, 8, 8), rgb255(12, 26, 22), rgb255(34, 56, 44)}, 0.12);
    paintLantern(canvas, 306, 176);
    paintLantern(canvas, 14, 172);
    const double waterline = 178.0;
    paintReflection(canvas, waterline, Noise(525), rgb255(6, 12, 22), 0.7, 1.2);
    paintGlints(canvas, QRectF(0, waterline + 2, kWidth, 60), Noise(526), rgb255(60, 70, 90), 0.2, 0.6);
    paintBoulder(canvas, Noise(527), QPointF(250, 200), 22, 9, rgb255(60, 62, 66), 0.8);
    paintBoulder(canvas, Noise(528), QPointF(60, 206), 18, 8, rgb255(60, 62, 66), 0.8);
    paintMapleCorner(canvas);
    vignette(canvas, 0.4);
}

void paintZoneLettering(Canvas& canvas)
{
    const QPainterPath title = centredTextPath(QStringLiteral("ZONE SELECT"), Face::SansBoldItalic, 28, 160, 38);
    canvas.fill(Mask::fromPath(kWidth, kHeight, title).blurred(4.0), rgb255(60, 110, 200), 0.6);
    canvas.fill(Mask::fromPath(kWidth, kHeight, title.translated(2, 2)).blurred(0.8), rgb255(0, 0, 0), 0.9);
    canvas.fill(title, rgb255(255, 255, 255));
    const QPainterPath invitation = centredTextPath(QStringLiteral("Choose a zone and take up the challenge!"),
                                                    Face::SerifBoldItalic, 13, 160, 231);
    canvas.fill(Mask::fromPath(kWidth, kHeight, invitation.translated(1, 1)).blurred(0.6), rgb255(0, 0, 0), 0.9);
    canvas.fill(invitation, rgb255(255, 255, 255));
}

// Ground colours of the arrow, as a 16-colour icon would have them.
constexpr QRgb kLightGrey = 0xFFC0C0C0;
constexpr QRgb kWhite = 0xFFFFFFFF;
constexpr QRgb kBlack = 0xFF000000;
constexpr QRgb kDarkGrey = 0xFF808080;

} // namespace

QImage paintMenu()
{
    Canvas canvas(kWidth, kHeight);
    paintPond(canvas);
    const Mask banks = bankMask();
    paintBankReflection(canvas, banks);
    paintRipples(canvas, QPointF(250, 160), 4, 6);
    paintRipples(canvas, QPointF(52, 168), 3, 5);
    Rng rng(503);
    const Noise noise(504);
    paintLilyPads(canvas, noise, rng, QRectF(20, 150, 280, 80), 9, 16);
    paintLilyPads(canvas, noise, rng, QRectF(240, 60, 60, 90), 3, 12);
    paintLilyPads(canvas, noise, rng, QRectF(10, 40, 40, 110), 3, 12);
    paintBankFoliage(canvas, banks);
    paintWatermark(canvas);
    vignette(canvas, 0.3);
    return canvas.toImage();
}

QImage paintMenuArrow()
{
    QImage image(32, 32, QImage::Format_ARGB32);
    image.fill(Qt::transparent);
    const QPolygon arrow({QPoint(2, 11), QPoint(15, 11), QPoint(15, 3), QPoint(29, 16), QPoint(15, 29),
                          QPoint(15, 21), QPoint(2, 21)});
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing, false);
    painter.setPen(Qt::NoPen);
    // Black all over, then the lit upper half as a bevel: white along the
    // edges that face the light, grey on the face.
    painter.setBrush(QColor::fromRgba(kBlack));
    painter.drawPolygon(arrow);
    painter.setClipRect(0, 0, 32, 16);
    painter.setBrush(QColor::fromRgba(kWhite));
    painter.drawPolygon(arrow);
    painter.setBrush(QColor::fromRgba(kLightGrey));
    painter.drawPolygon(arrow.translated(1, 1).intersected(arrow.translated(-1, 1)).intersected(arrow));
    painter.setClipping(false);
    painter.setPen(QColor::fromRgba(kDarkGrey));
    painter.drawLine(4, 16, 26, 16);
    painter.end();
    return image;
}

QImage paintZone()
{
    Canvas canvas(kWidth, kHeight);
    paintNightGarden(canvas);
    paintZoneLettering(canvas);
    return canvas.toImage();
}

} // namespace artgen
