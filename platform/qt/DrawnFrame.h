#pragma once

// The frame a window draws itself where the platform cannot give it the one
// its design asks for. Native Wayland has no window manager frame for a
// client that wants a particular one: Qt's own decoration puts minimise and
// maximise buttons on every window, a 30-pixel title bar that cuts the
// panels' captions short. X window managers frame the small tool windows
// with their usual title bar, icon and buttons, which leave the caption a
// few letters. The drawn frame has the model's nominal sizes, so the
// window's outer size is the form's Width × Height, and boxes only where the
// border style has them: a close box on fixed and tool windows, all three on
// sizable ones.

#include "platform/model/Form.h"

#include <QMargins>
#include <QPoint>
#include <QRect>
#include <QSize>
#include <QString>

class QPainter;

namespace qthost {

// Which windows get a drawn frame; the others are framed by the platform.
enum class DrawnFrames { None, ToolWindows, All };

enum class FramePart { Client, Caption, CloseBox, MinimizeBox, MaximizeBox, Edge };

class DrawnFrame {
public:
    explicit DrawnFrame(ui::FormBorder border) : border_(border) {}

    ui::FormBorder border() const { return border_; }
    QMargins margins() const;
    QSize outerSize(QSize clientSize) const { return clientSize.grownBy(margins()); }

    FramePart partAt(QPoint point, QSize outer) const;
    // Which edges a press at `point` resizes; none unless the window is sizable.
    Qt::Edges edgesAt(QPoint point, QSize outer) const;

    void paint(QPainter& painter, QSize outer, const QString& caption, bool active) const;
    // The caption as the bar shows it: cut short with an ellipsis when it
    // does not fit beside the boxes.
    QString shownCaption(QSize outer, const QString& caption) const;

    QRect captionRect(QSize outer) const;
    QRect boxRect(FramePart box, QSize outer) const;

private:
    bool hasBox(FramePart box) const;
    void paintBorder(QPainter& painter, QSize outer) const;
    void paintCaption(QPainter& painter, QSize outer, const QString& caption, bool active) const;
    void paintBox(QPainter& painter, FramePart box, QRect rect) const;
    QRect captionTextRect(QSize outer) const;

    ui::FormBorder border_;
};

} // namespace qthost
