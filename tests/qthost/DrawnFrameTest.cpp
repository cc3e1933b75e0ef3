// The frame the game draws: a close box whose cross stays a cross at every
// scale, and captions that show in full where they fit.

#include "platform/qt/DrawnFrame.h"

#include "platform/model/Types.h"

#include <QImage>
#include <QPainter>

#include <gtest/gtest.h>

#include <cmath>

namespace {

constexpr QRgb kBlack = 0xFF000000;

QImage paintFrame(const qthost::DrawnFrame& frame, QSize outer, double ratio)
{
    QImage image(QSize(static_cast<int>(std::ceil(outer.width() * ratio)),
                       static_cast<int>(std::ceil(outer.height() * ratio))),
                 QImage::Format_ARGB32);
    image.setDevicePixelRatio(ratio);
    const ui::Color face = ui::colors::controlFace;
    image.fill(QColor(face.r, face.g, face.b));
    QPainter painter(&image);
    frame.paint(painter, outer, QStringLiteral("  Option"), true);
    painter.end();
    return image;
}

bool isBlack(const QImage& image, int x, int y)
{
    return image.pixel(x, y) == kBlack;
}

// The black pixels' bounding box inside `area` (device pixels).
QRect blackBounds(const QImage& image, QRect area)
{
    QRect bounds;
    for (int y = area.top(); y <= area.bottom(); ++y) {
        for (int x = area.left(); x <= area.right(); ++x) {
            if (isBlack(image, x, y)) {
                bounds |= QRect(x, y, 1, 1);
            }
        }
    }
    return bounds;
}

QRect inDevicePixels(QRect rect, double ratio)
{
    const int left = static_cast<int>(std::lround(rect.left() * ratio));
    const int top = static_cast<int>(std::lround(rect.top() * ratio));
    return QRect(left, top, static_cast<int>(std::lround((rect.left() + rect.width()) * ratio)) - left,
                 static_cast<int>(std::lround((rect.top() + rect.height()) * ratio)) - top);
}

void expectCrispCross(ui::FormBorder border, QSize outer, double ratio)
{
    SCOPED_TRACE(testing::Message() << "border " << static_cast<int>(border) << " at " << ratio << "x");
    const qthost::DrawnFrame frame(border);
    const QImage image = paintFrame(frame, outer, ratio);
    const QRect box = inDevicePixels(frame.boxRect(qthost::FramePart::CloseBox, outer), ratio);
    const QRect cross = blackBounds(image, box);
    ASSERT_FALSE(cross.isEmpty()) << "no glyph in the close box";

    // Big enough to read: at 1x a tool window's cross spans 6 x 5 pixels.
    EXPECT_GE(cross.height(), std::floor(4.5 * ratio));
    EXPECT_GE(cross.width(), std::floor(5.5 * ratio));
    EXPECT_LE(cross.width() - cross.height(), std::ceil(2 * ratio)) << "about square";

    // An X: its four ends and its middle are black, the middles of its sides
    // are not; its two strokes meet in the middle row, and there is nothing
    // but black and the box's face colour.
    const QPoint centre = cross.center();
    for (QPoint at : {cross.topLeft(), cross.topRight(), cross.bottomLeft(), cross.bottomRight(), centre}) {
        EXPECT_TRUE(isBlack(image, at.x(), at.y())) << "at " << at.x() << "," << at.y();
    }
    for (QPoint at : {QPoint(centre.x(), cross.top()), QPoint(centre.x(), cross.bottom()),
                      QPoint(cross.left(), centre.y()), QPoint(cross.right(), centre.y())}) {
        EXPECT_FALSE(isBlack(image, at.x(), at.y())) << "at " << at.x() << "," << at.y();
    }
    const ui::Color face = ui::colors::controlFace;
    const QRgb faceRgb = qRgb(face.r, face.g, face.b);
    int firstRowBlack = -1;
    for (int y = cross.top(); y <= cross.bottom(); ++y) {
        int black = 0;
        for (int x = cross.left(); x <= cross.right(); ++x) {
            black += isBlack(image, x, y) ? 1 : 0;
            EXPECT_TRUE(isBlack(image, x, y) || image.pixel(x, y) == faceRgb)
                << "a blended pixel at " << x << "," << y << ": not crisp";
        }
        if (firstRowBlack < 0) {
            firstRowBlack = black;
        }
        if (y == centre.y()) {
            EXPECT_EQ(black, firstRowBlack / 2) << "the middle row";
        } else {
            EXPECT_LE(black, firstRowBlack) << "row " << y;
        }
    }
}

} // namespace

TEST(DrawnFrame, theCloseBoxShowsACrispCrossAtEveryScale)
{
    for (double ratio : {1.0, 1.5, 2.0}) {
        expectCrispCross(ui::FormBorder::ToolWindow, QSize(161, 132), ratio);
        expectCrispCross(ui::FormBorder::FixedSingle, QSize(330, 265), ratio);
    }
}

TEST(DrawnFrame, aCaptionShowsInFullWhereItFitsAndCutShortWhereItDoesNot)
{
    const qthost::DrawnFrame tool(ui::FormBorder::ToolWindow);
    // The certificate, and the records panel with its longest zone name.
    EXPECT_EQ(tool.shownCaption(QSize(210, 175), QStringLiteral("  Quorvel - Certificate -")),
              QStringLiteral("  Quorvel - Certificate -"));
    EXPECT_EQ(tool.shownCaption(QSize(189, 196), QStringLiteral("  All kinds Characters Zone")),
              QStringLiteral("  All kinds Characters Zone"));
    const QString cut = tool.shownCaption(QSize(60, 196), QStringLiteral("  All kinds Characters Zone"));
    EXPECT_TRUE(cut.endsWith(QChar(0x2026))) << cut.toStdString();
}
