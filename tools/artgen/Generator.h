#pragma once

// Paints the pictures and encodes them as PNG files.

#include "tools/artgen/Scenes.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

namespace artgen {

// The picture in its final form: RGB32, or indexed with at most its
// palette's number of colours.
QImage render(const Artwork& artwork);

QByteArray encodePng(const QImage& image);

// Writes NAME.png for every picture (or only those named) into `directory`
// and returns the paths written.
QStringList writePictures(const QString& directory, const QStringList& only = {});

// Larger copies of the 32-pixel icon for desktops that want them, scaled by
// whole factors so the pixels stay crisp: quorvel-64.png, quorvel-128.png.
QStringList writeDesktopIcons(const QString& directory);

// The web app's icons, enlarged the same way: quorvel-48.png from the
// 16-pixel icon, quorvel-96.png, -192 and -512 from the 32-pixel one.
QStringList writeWebIcons(const QString& directory);

} // namespace artgen
