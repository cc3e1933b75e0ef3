#include "platform/qt/DrawnFrame.h"

#include "platform/model/Types.h"

#include <QColor>
#include <QFont>
#include <QFontMetrics>
#include <QPainter>
#include <QPen>

#include <algorithm>

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

void DrawnFrame::paintCaption(QPainter& painter, QSize outer, const QString& caption, bool active) const
{
    const QRect bar = captionRect(outer);
    painter.fillRect(bar, active ? kActiveCaption : kInactiveCaption);
    QFont font(QStringLiteral("Liberation Sans"));
    font.setPixelSize(bar.height() - 5);
    font.setBold(true);
    painter.setFont(font);
    painter.setPen(active ? kActiveCaptionText : kInactiveCaptionText);
    int textRight = bar.right();
    for (FramePart box : {FramePart::CloseBox, FramePart::MaximizeBox, FramePart::MinimizeBox}) {
        if (hasBox(box)) {
            textRight = std::min(textRight, boxRect(box, outer).left() - kBoxGap);
        }
    }
    const QRect textRect(bar.left() + 3, bar.top(), textRight - bar.left() - 3, bar.height());
    const QString shown = QFontMetrics(font).elidedText(caption, Qt::ElideRight, textRect.width());
    painter.drawText(textRect, Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine, shown);
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
        for (int dx = 0; dx < 2; ++dx) {
            painter.drawLine(glyph.left() + dx, glyph.top(), glyph.right() - 1 + dx, glyph.bottom());
            painter.drawLine(glyph.left() + dx, glyph.bottom(), glyph.right() - 1 + dx, glyph.top());
        }
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
