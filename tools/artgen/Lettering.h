#pragma once

// Lettering as outlines, so it can be filled with gradients, outlined,
// blurred into glows or raised into embossing like any other shape.

#include <QPainterPath>
#include <QString>

namespace artgen {

enum class Face { SansBold, SansBoldItalic, SerifBold, SerifBoldItalic, Gothic };

// The outline of one line of text. `origin` is the left end of the baseline;
// `size` is the em height in pixels; `stretch` scales it across (below 1
// gives condensed letters); `tracking` adds pixels between letters.
QPainterPath textPath(const QString& text, Face face, double size, QPointF origin, double stretch = 1.0,
                      double tracking = 0.0);

// The same line, moved so that its inked extent is centred on `centreX`.
QPainterPath centredTextPath(const QString& text, Face face, double size, double centreX, double baseline,
                             double stretch = 1.0, double tracking = 0.0);

} // namespace artgen
