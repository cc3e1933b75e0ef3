// The application icon, drawn pixel by pixel in a 16-colour palette: a
// tilted grey keyboard crossed by a blue band with the name on it.

#include "tools/artgen/Scenes.h"

#include <QPainter>
#include <QPolygon>

#include <cmath>
#include <string_view>

namespace artgen {

namespace {

constexpr QRgb kClear = 0x00000000;
constexpr QRgb kBlack = 0xFF000000;
constexpr QRgb kDarkGrey = 0xFF404040;
constexpr QRgb kGrey = 0xFF808080;
constexpr QRgb kLightGrey = 0xFFC0C0C0;
constexpr QRgb kWhite = 0xFFFFFFFF;
constexpr QRgb kNavy = 0xFF000060;
constexpr QRgb kBlue = 0xFF0000B0;
constexpr QRgb kSky = 0xFF4060FF;

// Capitals three pixels wide and five high; Q keeps its tail below.
const char* const* glyph(char c)
{
    static const char* const q[] = {"###", "#.#", "#.#", "#.#", "###", "..#"};
    static const char* const u[] = {"#.#", "#.#", "#.#", "#.#", "###"};
    static const char* const o[] = {"###", "#.#", "#.#", "#.#", "###"};
    static const char* const r[] = {"##.", "#.#", "##.", "#.#", "#.#"};
    static const char* const v[] = {"#.#", "#.#", "#.#", "#.#", ".#."};
    static const char* const e[] = {"###", "#..", "##.", "#..", "###"};
    static const char* const l[] = {"#..", "#..", "#..", "#..", "###"};
    switch (c) {
    case 'Q': return q;
    case 'U': return u;
    case 'O': return o;
    case 'R': return r;
    case 'V': return v;
    case 'E': return e;
    default: return l;
    }
}

void putText(QImage& image, std::string_view text, int left, int top)
{
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char* const* rows = glyph(text[i]);
        const int height = text[i] == 'Q' ? 6 : 5;
        for (int y = 0; y < height; ++y) {
            for (int x = 0; x < 3; ++x) {
                if (rows[y][x] == '#') {
                    image.setPixel(left + static_cast<int>(i) * 4 + x, top + y, kWhite);
                }
            }
        }
    }
}

// The keyboard as a rectangle turned by `degrees` around the centre, keys
// placed one by one so each stays a crisp block of pixels.
void putKeyboard(QImage& image, double width, double height, double degrees, int columns, int rows, int keySize)
{
    const double a = degrees * M_PI / 180.0;
    const QPointF centre(image.width() / 2.0, image.height() / 2.0);
    auto place = [&](double u, double v) {
        const double x = u - width / 2;
        const double y = v - height / 2;
        return centre + QPointF(x * std::cos(a) - y * std::sin(a), x * std::sin(a) + y * std::cos(a));
    };
    const QPolygon body({place(0, 0).toPoint(), place(width, 0).toPoint(), place(width, height).toPoint(),
                         place(0, height).toPoint()});
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing, false);
    painter.setPen(QColor::fromRgba(kBlack));
    painter.setBrush(QColor::fromRgba(kGrey));
    painter.drawPolygon(body);
    painter.setPen(QColor::fromRgba(kWhite));
    painter.drawLine(body[3], body[0]);
    painter.drawLine(body[0], body[1]);
    painter.setPen(QColor::fromRgba(kDarkGrey));
    painter.drawLine(body[3] + QPoint(1, -1), body[2] + QPoint(-1, -1));
    painter.end();
    const double pitchU = (width - 2.0) / columns;
    const double pitchV = (height - 3.0) / rows;
    for (int j = 0; j < rows; ++j) {
        for (int i = 0; i < columns; ++i) {
            const QPointF at = place(1.5 + (i + 0.5) * pitchU, 1.5 + (j + 0.5) * pitchV);
            const int x = static_cast<int>(std::floor(at.x() - keySize / 2.0 + 0.5));
            const int y = static_cast<int>(std::floor(at.y() - keySize / 2.0 + 0.5));
            for (int dy = 0; dy < keySize; ++dy) {
                for (int dx = 0; dx < keySize; ++dx) {
                    const QRgb colour = (dx == 0 && dy == 0) ? kWhite : kLightGrey;
                    image.setPixel(x + dx, y + dy, colour);
                }
            }
        }
    }
}

void putBand(QImage& image, int top, int height)
{
    for (int x = 0; x < image.width(); ++x) {
        image.setPixel(x, top, kSky);
        for (int y = top + 1; y < top + height - 1; ++y) {
            image.setPixel(x, y, kBlue);
        }
        image.setPixel(x, top + height - 1, kNavy);
    }
}

QImage blankIcon(int size)
{
    QImage image(size, size, QImage::Format_ARGB32);
    image.fill(kClear);
    return image;
}

} // namespace

QImage paintIcon32()
{
    QImage image = blankIcon(32);
    putKeyboard(image, 30, 22, -18, 9, 6, 2);
    putBand(image, 12, 9);
    putText(image, "QUORVEL", 3, 14);
    return image;
}

QImage paintIcon16()
{
    QImage image = blankIcon(16);
    putKeyboard(image, 15, 12, -18, 5, 4, 1);
    putBand(image, 5, 7);
    putText(image, "Q", 4, 6);
    putText(image, "V", 9, 6);
    return image;
}

} // namespace artgen
