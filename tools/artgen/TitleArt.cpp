// The title picture and the banner of the intro.

#include "tools/artgen/Lettering.h"
#include "tools/artgen/Scenery.h"
#include "tools/artgen/Scenes.h"

#include <cmath>
#include <vector>

namespace artgen {

namespace {

constexpr int kWidth = 320;
constexpr int kHeight = 240;

void paintSmoke(Canvas& canvas)
{
    const Noise noise(401);
    canvas.shade([&](double x, double y) {
        const double smoke = noise.warped(x * 0.012, y * 0.016, 5, 3.0);
        const double wisps = smoothstep(0.45, 0.85, smoke);
        const double depth = 0.6 + 0.4 * (1.0 - y / kHeight);
        const Rgb base = mix(rgb255(6, 6, 16), rgb255(14, 12, 30), y / kHeight);
        return base + mix(rgb255(30, 34, 64), rgb255(92, 88, 120), wisps) * (wisps * depth);
    });
    // A cold glow behind the lettering.
    glow(canvas, QPointF(160, 62), 110, rgb255(30, 60, 130), 0.55);
}

void paintSparks(Canvas& canvas)
{
    Rng rng(402);
    for (int i = 0; i < 70; ++i) {
        const QPointF at(rng.range(0, kWidth), rng.range(0, 150));
        const double size = std::pow(rng.uniform(), 3.0);
        glow(canvas, at, 1.0 + size * 3.0, rgb255(255, 255, 255), 0.5 + 0.5 * size);
        if (size > 0.45) {
            // Bright ones get a four-pointed flare.
            const double arm = 5.0 + size * 10.0;
            QPainterPath cross;
            cross.moveTo(at.x() - arm, at.y());
            cross.lineTo(at.x() + arm, at.y());
            cross.moveTo(at.x(), at.y() - arm * 0.8);
            cross.lineTo(at.x(), at.y() + arm * 0.8);
            const Mask flare = Mask::fromPath(kWidth, kHeight, strokePath(cross, 0.7));
            canvas.paint(flare, [&](double x, double y, Rgb under) {
                const double d = std::hypot(x - at.x(), y - at.y()) / arm;
                return screen(under, rgb255(220, 230, 255) * (1.0 - d));
            });
        }
    }
}

// Chrome: sky above the horizon line, dark ground below it, both blue.
void paintChromeLogo(Canvas& canvas)
{
    const QPainterPath text = centredTextPath(QStringLiteral("Quorvel"), Face::SansBoldItalic, 70, 158, 84);
    const QRectF box = text.boundingRect();
    const Mask letters = Mask::fromPath(kWidth, kHeight, text);
    const Mask outline = Mask::fromPath(kWidth, kHeight, text.united(strokePath(text, 3.0)));
    canvas.fill(outline.blurred(5.0), rgb255(40, 90, 200), 0.8);
    canvas.fill(outline, rgb255(8, 14, 40));
    const Gradient chrome{{0.0, rgb255(240, 248, 255)}, {0.38, rgb255(120, 168, 236)},
                          {0.52, rgb255(18, 34, 100)},  {0.58, rgb255(40, 80, 180)},
                          {0.8, rgb255(110, 170, 250)}, {1.0, rgb255(220, 236, 255)}};
    const Mask body = letters.blurred(1.2);
    canvas.paint(letters, [&](double x, double y, Rgb) {
        const double t = (y - box.top()) / box.height() + 0.06 * (x - box.left()) / box.width();
        // Edges facing up and left catch a highlight, like a bevel.
        const int ix = static_cast<int>(x);
        const int iy = static_cast<int>(y);
        const double bevel = body.at(ix + 1, iy + 1) - body.at(ix - 1, iy - 1);
        return clamp01(chrome.at(t) + Rgb{1, 1, 1} * (bevel * 0.6));
    });
}

void paintSubtitle(Canvas& canvas)
{
    const QPainterPath text = centredTextPath(QStringLiteral("for Windows 95"), Face::SansBoldItalic, 17, 196, 108);
    canvas.fill(Mask::fromPath(kWidth, kHeight, text.translated(1.5, 1.5)).blurred(1.0), rgb255(0, 0, 0), 0.9);
    const QRectF box = text.boundingRect();
    canvas.paint(text, [&](double, double y, Rgb) {
        return mix(rgb255(255, 255, 255), rgb255(170, 190, 220), (y - box.top()) / box.height());
    });
}

// The keyboard lies on a plane seen from above and in front; (u, v) run
// across it and from its back edge to its front edge.
struct KeyboardPlane {
    QPointF backLeft;
    QPointF backRight;
    QPointF frontRight;
    QPointF frontLeft;

    QPointF at(double u, double v) const
    {
        const QPointF back = backLeft + (backRight - backLeft) * u;
        const QPointF front = frontLeft + (frontRight - frontLeft) * u;
        return back + (front - back) * v;
    }
    QPainterPath quad(double u0, double v0, double u1, double v1, QPointF lift = {}) const
    {
        QPainterPath path;
        path.moveTo(at(u0, v0) + lift);
        path.lineTo(at(u1, v0) + lift);
        path.lineTo(at(u1, v1) + lift);
        path.lineTo(at(u0, v1) + lift);
        path.closeSubpath();
        return path;
    }
};

const std::vector<std::vector<double>>& keyRows()
{
    static const std::vector<std::vector<double>> rows = {
        {1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1},
        {1.5, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1.5},
        {1.75, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 2.25},
        {2.25, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 2.75},
        {1.5, 1.25, 1.25, 6.0, 1.25, 1.25, 1.25, 1.25, 1.0},
    };
    return rows;
}

// Shadow, case and the case's front edge.
void paintKeyboardCase(Canvas& canvas, const KeyboardPlane& plane)
{
    canvas.fill(Mask::fromPath(kWidth, kHeight, plane.quad(-0.02, 0.0, 1.03, 1.1, QPointF(4, 6))).blurred(5.0),
                rgb255(0, 0, 0), 0.7);
    canvas.fill(plane.quad(-0.03, -0.06, 1.03, 1.06, QPointF(0, 4)), rgb255(120, 122, 130));
    canvas.paint(plane.quad(-0.03, -0.06, 1.03, 1.06), [&](double x, double, Rgb) {
        return mix(rgb255(214, 214, 210), rgb255(170, 172, 178), x / kWidth);
    });
}

// One key between (u0, v0) and (u1, v1): its front face, and its cap raised
// above it (barely, when pressed) with a shallow dish.
void paintKey(Canvas& canvas, const KeyboardPlane& plane, QRectF key, bool pressed)
{
    const double u0 = key.left();
    const double u1 = key.right();
    const double v0 = key.top();
    const double v1 = key.bottom();
    const QPointF lift(0, pressed ? -0.8 : -(2.0 + 1.2 * v1));
    const QPointF mid = plane.at((u0 + u1) / 2, (v0 + v1) / 2) + lift;
    canvas.fill(plane.quad(u0, v0, u1, v1), rgb255(128, 130, 140));
    canvas.paint(plane.quad(u0 + 0.003, v0 + 0.01, u1 - 0.003, v1 - 0.012, lift), [&](double x, double y, Rgb) {
        const double dish = std::hypot(x - mid.x(), (y - mid.y()) * 2.0) / 12.0;
        const Rgb top = mix(rgb255(248, 248, 242), rgb255(214, 216, 224), x / kWidth);
        return top * (1.0 - 0.07 * clamp01(1.0 - dish));
    });
}

// The keys from the back row to the front, each row's widths scaled to fill it.
void paintKeyboard(Canvas& canvas, const KeyboardPlane& plane, int pressedRow, int pressedKey)
{
    paintKeyboardCase(canvas, plane);
    const auto& rows = keyRows();
    const double rowDepth = 1.0 / rows.size();
    for (std::size_t r = 0; r < rows.size(); ++r) {
        double total = 0.0;
        for (double w : rows[r]) {
            total += w;
        }
        double u = 0.0;
        for (std::size_t k = 0; k < rows[r].size(); ++k) {
            const QRectF key(QPointF(u / total + 0.006, r * rowDepth + 0.012),
                             QPointF((u + rows[r][k]) / total - 0.006, (r + 1) * rowDepth - 0.012));
            u += rows[r][k];
            paintKey(canvas, plane, key, static_cast<int>(r) == pressedRow && static_cast<int>(k) == pressedKey);
        }
    }
}

struct Finger {
    QPointF knuckle;
    QPointF tip;
    double width;
};

// Index, middle, ring, little finger and thumb of a right hand whose index
// finger rests at `fingertip`.
std::vector<Finger> fingersOf(QPointF wrist, QPointF fingertip)
{
    return {
        {wrist + QPointF(-26, -20), fingertip, 9.0},
        {wrist + QPointF(-15, -24), fingertip + QPointF(16, -5), 9.4},
        {wrist + QPointF(-4, -23), fingertip + QPointF(31, -3), 8.8},
        {wrist + QPointF(6, -18), fingertip + QPointF(44, 4), 7.6},
        {wrist + QPointF(-30, -2), fingertip + QPointF(-8, 22), 9.6},
    };
}

QPainterPath handOutline(QPointF wrist, const std::vector<Finger>& fingers)
{
    QPainterPath arm;
    arm.moveTo(wrist + QPointF(-14, 0));
    arm.lineTo(QPointF(kWidth + 10, wrist.y() + 2));
    arm.lineTo(QPointF(kWidth + 10, wrist.y() + 34));
    arm.lineTo(wrist + QPointF(10, 22));
    arm.closeSubpath();
    QPainterPath palm;
    palm.addEllipse(QRectF(wrist.x() - 34, wrist.y() - 26, 50, 36));
    QPainterPath hand = arm.united(palm);
    for (const Finger& f : fingers) {
        QPainterPath bone;
        bone.moveTo(f.knuckle);
        bone.quadTo((f.knuckle + f.tip) / 2 + QPointF(0, -4), f.tip);
        hand = hand.united(strokePath(bone, f.width));
    }
    return hand;
}

// A right hand seen from behind and above, its index finger on a key.
void paintHand(Canvas& canvas, QPointF fingertip)
{
    const QPointF wrist(fingertip.x() + 50, fingertip.y() + 42);
    const std::vector<Finger> fingers = fingersOf(wrist, fingertip);
    const Mask mask = Mask::fromPath(kWidth, kHeight, handOutline(wrist, fingers));
    canvas.fill(mask.shifted(3, 5).blurred(3.0), rgb255(0, 0, 0), 0.55);
    // Rounded forms: lit on their upper left, deeper colour at the edges.
    const Mask round = mask.blurred(2.5);
    canvas.paint(mask, [&](double x, double y, Rgb) {
        const int ix = static_cast<int>(x);
        const int iy = static_cast<int>(y);
        const double light = clamp01(0.6 + (round.at(ix + 2, iy + 2) - round.at(ix - 2, iy - 2)) * 1.5);
        const double depth = round.at(ix, iy);
        return mix(rgb255(150, 104, 92), rgb255(246, 212, 188), light * (0.6 + 0.4 * depth));
    });
    // Creases between the four fingers.
    for (std::size_t i = 0; i + 2 < fingers.size(); ++i) {
        QPainterPath crease;
        const QPointF a = (fingers[i].knuckle + fingers[i + 1].knuckle) / 2;
        crease.moveTo(a);
        crease.lineTo(a + ((fingers[i].tip + fingers[i + 1].tip) / 2 - a) * 0.35);
        canvas.fill(strokePath(crease, 0.8), rgb255(150, 100, 88), 0.5);
    }
}

void paintSmallPrint(Canvas& canvas)
{
    canvas.paint(rectPath(0, 224, kWidth, 16), [](double, double y, Rgb under) {
        return under * (1.0 - 0.75 * smoothstep(224.0, 230.0, y));
    });
    const QPainterPath text = centredTextPath(QStringLiteral("(C) 1996  QUORVEL PROJECT.  ALL RIGHTS RESERVED."),
                                              Face::SansBold, 8, 160, 236.5, 1.0, 0.3);
    canvas.fill(text, rgb255(255, 255, 255));
}

} // namespace

QImage paintTitle()
{
    Canvas canvas(kWidth, kHeight);
    paintSmoke(canvas);
    paintSparks(canvas);
    const KeyboardPlane plane{{92, 160}, {268, 164}, {288, 218}, {36, 210}};
    paintKeyboard(canvas, plane, 2, 6);
    paintHand(canvas, plane.at(0.47, 0.5) + QPointF(0, -3));
    paintChromeLogo(canvas);
    paintSubtitle(canvas);
    paintSmallPrint(canvas);
    return canvas.toImage();
}

QImage paintTitleBanner()
{
    Canvas canvas(208, 41, rgb255(255, 255, 255));
    const QPainterPath text = centredTextPath(QStringLiteral("Quorvel"), Face::SansBoldItalic, 37, 102, 31);
    canvas.fill(Mask::fromPath(208, 41, text.translated(3, 3)).blurred(1.2), rgb255(150, 150, 150));
    const QRectF box = text.boundingRect();
    canvas.paint(text, [&](double, double y, Rgb) {
        return mix(rgb255(40, 90, 230), rgb255(8, 30, 150), (y - box.top()) / box.height());
    });
    return canvas.toImage();
}

} // namespace artgen
