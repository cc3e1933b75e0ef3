#include "platform/qt/DrawnFrame.h"

#include "platform/model/Types.h"

#include <QColor>
#include <QFont>
#include <QFontMetrics>
#include <QPainter>
#include <QPaintDevice>
#include <QPen>
#include <QTransform>

#include <algorithm>
#include <cmath>

namespace qthost {
namespace {

const QColor kFace(ui::colors::controlFace.r, ui::colors::controlFace.g, ui::colors::controlFace.b);
const QColor kLight(255, 255, 255);
const QColor kShadow(128, 128, 128);
const QColor kDarkShadow(64, 64, 64);
const QColor kActiveCaption(0, 0, 128);
const QColor kInactiveCaption(128, 128, 128);
const QColor kActiveCaptionText(255, 255, 255);
const QColor kInactiveCaptionText(212, 208, 200);
constexpr int kBoxGap = 2;

// A raised edge: light above and left, shadow below and right.
void drawRaisedEdge(QPainter& painter, QRect rect, const QColor& light, const QColor& dark)
{
    painter.setPen(light);
    painter.drawLine(rect.topLeft(), rect.topRight());
    painter.drawLine(rect.topLeft(), rect.bottomLeft());
    painter.setPen(dark);
    painter.drawLine(rect.bottomLeft(), rect.bottomRight());
    painter.drawLine(rect.topRight(), rect.bottomRight());
}

QFont captionFont(const QRect& bar)
{
    QFont font(QStringLiteral("Liberation Sans"));
    font.setPixelSize(bar.height() - 5);
    font.setBold(true);
    return font;
}

// Rounds to whole device pixels.
int devicePixels(double logical, double ratio)
{
    return static_cast<int>(std::lround(logical * ratio));
}

// The close box's cross, painted pixel by pixel in device pixels: two
// diagonals whose strokes are two pixels wide at 1x. A pen scaled by a
// fractional ratio, or a glyph sized in logical pixels, melts into a blob.
void paintCross(QPainter& painter, QRect box)
{
    const double ratio = painter.device() != nullptr ? painter.device()->devicePixelRatioF() : 1.0;
    const int stroke = std::max(2, devicePixels(2.0, ratio));
    int rows = devicePixels(box.height() - 5, ratio);
    rows -= (rows % 2 == 0) ? 1 : 0; // an odd count puts the crossing on one row
    const int width = rows - 1 + stroke;
    const int left = devicePixels(box.left(), ratio);
    const int top = devicePixels(box.top(), ratio);
    const int boxWidth = devicePixels(box.left() + box.width(), ratio) - left;
    const int boxHeight = devicePixels(box.top() + box.height(), ratio) - top;
    const int x0 = left + (boxWidth - width) / 2;
    const int y0 = top + (boxHeight - rows) / 2;
    painter.save();
    painter.setWorldTransform(QTransform::fromScale(1.0 / ratio, 1.0 / ratio), true);
    for (int row = 0; row < rows; ++row) {
        painter.fillRect(QRect(x0 + row, y0 + row, stroke, 1), Qt::black);
        painter.fillRect(QRect(x0 + width - stroke - row, y0 + row, stroke, 1), Qt::black);
    }
    painter.restore();
}

} // namespace

QMargins DrawnFrame::margins() const
{
    const ui::FrameMetrics metrics = ui::frameMetrics(border_);
    return QMargins(metrics.side, metrics.side + metrics.caption, metrics.side, metrics.side);
}

QRect DrawnFrame::captionRect(QSize outer) const
{
    const ui::FrameMetrics metrics = ui::frameMetrics(border_);
    // The caption's last row is the face between the bar and the client area.
    return QRect(metrics.side, metrics.side, outer.width() - 2 * metrics.side, metrics.caption - 1);
}

bool DrawnFrame::hasBox(FramePart box) const
{
    return box == FramePart::CloseBox || border_ == ui::FormBorder::Sizable;
}

QRect DrawnFrame::boxRect(FramePart box, QSize outer) const
{
    if (!hasBox(box)) {
        return QRect();
    }
    const QRect caption = captionRect(outer);
    const int height = caption.height() - 2 * kBoxGap;
    const int width = height + 2;
    int right = caption.right() - kBoxGap;
    if (box != FramePart::CloseBox) {
        right -= width + kBoxGap; // the maximise box
    }
    if (box == FramePart::MinimizeBox) {
        right -= width; // the minimise box sits against it
    }
    return QRect(right - width + 1, caption.top() + kBoxGap, width, height);
}

FramePart DrawnFrame::partAt(QPoint point, QSize outer) const
{
    if (edgesAt(point, outer) != Qt::Edges()) {
        return FramePart::Edge;
    }
    for (FramePart box : {FramePart::CloseBox, FramePart::MaximizeBox, FramePart::MinimizeBox}) {
        if (boxRect(box, outer).contains(point)) {
            return box;
        }
    }
    if (QRect(QPoint(0, 0), outer).marginsRemoved(margins()).contains(point)) {
        return FramePart::Client;
    }
    return captionRect(outer).contains(point) ? FramePart::Caption : FramePart::Edge;
}

Qt::Edges DrawnFrame::edgesAt(QPoint point, QSize outer) const
{
    Qt::Edges edges;
    if (border_ != ui::FormBorder::Sizable) {
        return edges;
    }
    const int side = margins().left();
    if (point.x() < side) {
        edges |= Qt::LeftEdge;
    } else if (point.x() >= outer.width() - side) {
        edges |= Qt::RightEdge;
    }
    if (point.y() < side) {
        edges |= Qt::TopEdge;
    } else if (point.y() >= outer.height() - side) {
        edges |= Qt::BottomEdge;
    }
    return edges;
}

void DrawnFrame::paint(QPainter& painter, QSize outer, const QString& caption, bool active) const
{
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing, false);
    paintBorder(painter, outer);
    paintCaption(painter, outer, caption, active);
    for (FramePart box : {FramePart::CloseBox, FramePart::MaximizeBox, FramePart::MinimizeBox}) {
        if (hasBox(box)) {
            paintBox(painter, box, boxRect(box, outer));
        }
    }
    painter.restore();
}

void DrawnFrame::paintBorder(QPainter& painter, QSize outer) const
{
    // The face between the edges is the window's background, filled already.
    const QRect all(QPoint(0, 0), outer);
    drawRaisedEdge(painter, all, kFace, kDarkShadow);
    drawRaisedEdge(painter, all.adjusted(1, 1, -1, -1), kLight, kShadow);
}

QRect DrawnFrame::captionTextRect(QSize outer) const
{
    const QRect bar = captionRect(outer);
    int textRight = bar.right();
    for (FramePart box : {FramePart::CloseBox, FramePart::MaximizeBox, FramePart::MinimizeBox}) {
        if (hasBox(box)) {
            textRight = std::min(textRight, boxRect(box, outer).left() - kBoxGap);
        }
    }
    return QRect(bar.left() + 3, bar.top(), textRight - bar.left() - 3, bar.height());
}

QString DrawnFrame::shownCaption(QSize outer, const QString& caption) const
{
    const QFontMetrics metrics(captionFont(captionRect(outer)));
    return metrics.elidedText(caption, Qt::ElideRight, captionTextRect(outer).width());
}

void DrawnFrame::paintCaption(QPainter& painter, QSize outer, const QString& caption, bool active) const
{
    const QRect bar = captionRect(outer);
    painter.fillRect(bar, active ? kActiveCaption : kInactiveCaption);
    painter.setFont(captionFont(bar));
    painter.setPen(active ? kActiveCaptionText : kInactiveCaptionText);
    painter.drawText(captionTextRect(outer), Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine,
                     shownCaption(outer, caption));
}

void DrawnFrame::paintBox(QPainter& painter, FramePart box, QRect rect) const
{
    painter.fillRect(rect, kFace);
    drawRaisedEdge(painter, rect, kLight, kDarkShadow);
    drawRaisedEdge(painter, rect.adjusted(1, 1, -1, -1), kFace, kShadow);
    const QRect glyph = rect.adjusted(4, 3, -5, -4);
    painter.setPen(QPen(Qt::black, 1));
    switch (box) {
    case FramePart::CloseBox:
        paintCross(painter, rect);
        break;
    case FramePart::MaximizeBox:
        painter.drawRect(glyph.adjusted(0, 0, -1, -1));
        painter.drawLine(glyph.left(), glyph.top() + 1, glyph.right() - 1, glyph.top() + 1);
        break;
    case FramePart::MinimizeBox:
        painter.fillRect(QRect(glyph.left(), glyph.bottom() - 1, glyph.width() - 2, 2), Qt::black);
        break;
    default:
        break;
    }
}

} // namespace qthost
