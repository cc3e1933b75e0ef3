#include "tools/artgen/Generator.h"

#include "tools/artgen/Quantize.h"

#include <QBuffer>
#include <QColor>
#include <QDir>
#include <QFile>

#include <stdexcept>

namespace artgen {

const std::vector<Artwork>& artworks()
{
    static const std::vector<Artwork> list = {
        {"title", 0, 0.0, paintTitle},
        {"title_banner", 0, 0.0, paintTitleBanner},
        {"menu", 256, 0.75, paintMenu},
        {"menu_arrow", 16, 0.0, paintMenuArrow},
        {"zone", 0, 0.0, paintZone},
        {"stage_castle", 0, 0.0, paintStageCastle},
        {"stage_lake", 0, 0.0, paintStageLake},
        {"stage_stream", 256, 0.75, paintStageStream},
        {"results", 0, 0.0, paintResults},
        {"nentry", 0, 0.0, paintNameEntry},
        {"certif_pale", 256, 0.75, paintCertificatePale},
        {"certif_green", 0, 0.0, paintCertificateGreen},
        {"certif_expert", 256, 0.75, paintCertificateExpert},
        {"icon32", 16, 0.0, paintIcon32},
        {"icon16", 16, 0.0, paintIcon16},
    };
    return list;
}

QImage render(const Artwork& artwork)
{
    const QImage painted = artwork.paint();
    if (artwork.colours == 0) {
        return painted.convertToFormat(QImage::Format_RGB32);
    }
    if (artwork.colours <= 16) {
        // Small pictures are drawn as pixel art in their few colours.
        return indexExactly(painted, artwork.colours);
    }
    return quantize(painted, artwork.colours, artwork.dither);
}

QByteArray encodePng(const QImage& image)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    // For PNG the "quality" is the zlib effort: 0 packs tightest.
    if (!image.save(&buffer, "PNG", 0)) {
        throw std::runtime_error("PNG encoding failed");
    }
    return bytes;
}

namespace {

void writeFile(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size()) {
        throw std::runtime_error("cannot write " + path.toStdString());
    }
}

void makeDirectory(const QString& directory)
{
    if (!QDir().mkpath(directory)) {
        throw std::runtime_error("cannot create " + directory.toStdString());
    }
}

} // namespace

QStringList writePictures(const QString& directory, const QStringList& only)
{
    makeDirectory(directory);
    QStringList written;
    for (const Artwork& artwork : artworks()) {
        const QString name = QString::fromLatin1(artwork.name);
        if (!only.isEmpty() && !only.contains(name)) {
            continue;
        }
        const QString path = QDir(directory).filePath(name + QStringLiteral(".png"));
        writeFile(path, encodePng(render(artwork)));
        written.push_back(path);
    }
    return written;
}

QByteArray encodePixelSvg(const QImage& image)
{
    const QImage argb = image.convertToFormat(QImage::Format_ARGB32);
    QByteArray svg = QStringLiteral("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
                                    "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"%1\" height=\"%2\" "
                                    "viewBox=\"0 0 %1 %2\" shape-rendering=\"crispEdges\">\n")
                         .arg(argb.width())
                         .arg(argb.height())
                         .toUtf8();
    for (int y = 0; y < argb.height(); ++y) {
        for (int x = 0; x < argb.width();) {
            const QRgb colour = argb.pixel(x, y);
            int run = 1;
            while (x + run < argb.width() && argb.pixel(x + run, y) == colour) {
                ++run;
            }
            if (qAlpha(colour) != 0) {
                QString rect = QStringLiteral("<rect x=\"%1\" y=\"%2\" width=\"%3\" height=\"1\" fill=\"%4\"")
                                   .arg(x)
                                   .arg(y)
                                   .arg(run)
                                   .arg(QColor(colour).name(QColor::HexRgb));
                if (qAlpha(colour) != 255) {
                    rect += QStringLiteral(" fill-opacity=\"%1\"").arg(qAlpha(colour) / 255.0, 0, 'f', 3);
                }
                svg += rect.toUtf8() + "/>\n";
            }
            x += run;
        }
    }
    return svg + "</svg>\n";
}

namespace {

// quorvel-SIZE.png for each size, scaled without smoothing so the pixels
// stay crisp.
QStringList writeEnlargedIcons(const QString& directory, const QImage& small, std::initializer_list<int> sizes)
{
    makeDirectory(directory);
    QStringList written;
    for (int size : sizes) {
        const QString path = QDir(directory).filePath(QStringLiteral("quorvel-%1.png").arg(size));
        writeFile(path, encodePng(small.scaled(size, size, Qt::IgnoreAspectRatio, Qt::FastTransformation)));
        written.push_back(path);
    }
    return written;
}

} // namespace

QStringList writeDesktopIcons(const QString& directory)
{
    const QImage icon = render({"icon32", 16, 0.0, paintIcon32});
    QStringList written = writeEnlargedIcons(directory, icon, {48, 64, 128});
    const QString svgPath = QDir(directory).filePath(QStringLiteral("quorvel.svg"));
    writeFile(svgPath, encodePixelSvg(icon));
    written.push_back(svgPath);
    return written;
}

QStringList writeWebIcons(const QString& directory)
{
    // Whole factors only: a web app's icon is shown at many sizes.
    QStringList written = writeEnlargedIcons(directory, render({"icon16", 16, 0.0, paintIcon16}), {48});
    written << writeEnlargedIcons(directory, render({"icon32", 16, 0.0, paintIcon32}), {96, 192, 512});
    return written;
}

} // namespace artgen
