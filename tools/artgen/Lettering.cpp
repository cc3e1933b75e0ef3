#include "tools/artgen/Lettering.h"

#include <QFont>
#include <QFontInfo>
#include <QTransform>

#include <stdexcept>

namespace artgen {

namespace {

constexpr int kDesignSize = 200;

QFont fontFor(Face face)
{
    QFont font;
    switch (face) {
    case Face::SansBold:
    case Face::SansBoldItalic:
        font.setFamily(QStringLiteral("Liberation Sans"));
        break;
    case Face::SerifBold:
    case Face::SerifBoldItalic:
        font.setFamily(QStringLiteral("Liberation Serif"));
        break;
    case Face::Gothic:
        font.setFamily(QStringLiteral("IPAPGothic"));
        break;
    }
    font.setPixelSize(kDesignSize);
    font.setBold(face != Face::Gothic);
    font.setItalic(face == Face::SansBoldItalic || face == Face::SerifBoldItalic);
    font.setStyleStrategy(QFont::StyleStrategy(QFont::PreferOutline | QFont::NoFontMerging));
    font.setKerning(true);
    // Another face in its place would quietly change every picture.
    if (QFontInfo(font).family() != font.family()) {
        throw std::runtime_error("font not installed: " + font.family().toStdString());
    }
    return font;
}

} // namespace

QPainterPath textPath(const QString& text, Face face, double size, QPointF origin, double stretch,
                      double tracking)
{
    QFont font = fontFor(face);
    const double scale = size / kDesignSize;
    if (tracking != 0.0) {
        font.setLetterSpacing(QFont::AbsoluteSpacing, tracking / (scale * stretch));
    }
    QPainterPath path;
    path.addText(0, 0, font, text);
    QTransform transform;
    transform.translate(origin.x(), origin.y());
    transform.scale(scale * stretch, scale);
    return transform.map(path);
}

QPainterPath centredTextPath(const QString& text, Face face, double size, double centreX, double baseline,
                             double stretch, double tracking)
{
    const QPainterPath path = textPath(text, face, size, QPointF(0, baseline), stretch, tracking);
    const QRectF ink = path.boundingRect();
    return path.translated(centreX - ink.center().x(), 0);
}

} // namespace artgen
