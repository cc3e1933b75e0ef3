#include "tools/artgen/Generator.h"

#include "tools/artgen/Quantize.h"

#include <QBuffer>
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

namespace {

// quorvel-SIZE.png for each size, from the icon SIZES divide by a whole factor.
QStringList writeEnlargedIcons(const QString& directory, const Artwork& icon, std::initializer_list<int> sizes)
{
    makeDirectory(directory);
    const QImage small = render(icon);
    QStringList written;
    for (int size : sizes) {
        if (size % small.width() != 0) {
            throw std::logic_error("an icon enlarged by a factor that is not whole");
        }
        const QString path = QDir(directory).filePath(QStringLiteral("quorvel-%1.png").arg(size));
        writeFile(path, encodePng(small.scaled(size, size, Qt::IgnoreAspectRatio, Qt::FastTransformation)));
        written.push_back(path);
    }
    return written;
}

} // namespace

QStringList writeDesktopIcons(const QString& directory)
{
    return writeEnlargedIcons(directory, {"icon32", 16, 0.0, paintIcon32}, {64, 128});
}

QStringList writeWebIcons(const QString& directory)
{
    QStringList written = writeEnlargedIcons(directory, {"icon16", 16, 0.0, paintIcon16}, {48});
    written << writeEnlargedIcons(directory, {"icon32", 16, 0.0, paintIcon32}, {96, 192, 512});
    return written;
}

} // namespace artgen
