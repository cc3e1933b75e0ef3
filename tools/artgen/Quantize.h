#pragma once

// Reducing a picture to a palette of its own: median cut refined by a few
// k-means rounds, then error diffusion onto that palette.

#include <QImage>
#include <QVector>

namespace artgen {

QVector<QRgb> buildPalette(const QImage& image, int colours);

// Floyd-Steinberg onto `palette`; `dither` scales the diffused error (0 maps
// every pixel to its nearest colour, 1 is full diffusion).
QImage mapToPalette(const QImage& image, const QVector<QRgb>& palette, double dither);

QImage quantize(const QImage& image, int colours, double dither);

// An indexed copy of a picture drawn in few colours already (pixel art),
// keeping alpha; throws if it has more than `maxColours` distinct values.
QImage indexExactly(const QImage& image, int maxColours);

} // namespace artgen
