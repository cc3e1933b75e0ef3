// The artwork generator: the same pictures on every run, palettes that keep
// their limits, and panels that keep white text readable.

#include "tools/artgen/Color.h"
#include "tools/artgen/Generator.h"
#include "tools/artgen/Noise.h"
#include "tools/artgen/Quantize.h"
#include "tools/artgen/Rng.h"

#include "resources/PictureCatalog.h"

#include <QSet>
#include <QString>

#include <gtest/gtest.h>

#include <map>
#include <stdexcept>
#include <string>

namespace {

int distinctColours(const QImage& image)
{
    const QImage argb = image.convertToFormat(QImage::Format_ARGB32);
    QSet<QRgb> colours;
    for (int y = 0; y < argb.height(); ++y) {
        for (int x = 0; x < argb.width(); ++x) {
            colours.insert(argb.pixel(x, y));
        }
    }
    return static_cast<int>(colours.size());
}

// A smooth field of many colours: what quantising has to cope with.
QImage rainbowField(int width, int height)
{
    QImage image(width, height, QImage::Format_RGB32);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            image.setPixel(x, y, qRgb(x * 255 / (width - 1), y * 255 / (height - 1), (x + y) * 255 / (width + height - 2)));
        }
    }
    return image;
}

double meanAbsoluteError(const QImage& a, const QImage& b)
{
    const QImage x = a.convertToFormat(QImage::Format_RGB32);
    const QImage y = b.convertToFormat(QImage::Format_RGB32);
    double sum = 0.0;
    for (int j = 0; j < x.height(); ++j) {
        for (int i = 0; i < x.width(); ++i) {
            const QRgb p = x.pixel(i, j);
            const QRgb q = y.pixel(i, j);
            sum += std::abs(qRed(p) - qRed(q)) + std::abs(qGreen(p) - qGreen(q)) + std::abs(qBlue(p) - qBlue(q));
        }
    }
    return sum / (3.0 * x.width() * x.height());
}

// Painting is slow enough to do once for the tests that only look.
const std::map<std::string, QImage>& firstRendering()
{
    static const std::map<std::string, QImage> images = [] {
        std::map<std::string, QImage> rendered;
        for (const artgen::Artwork& artwork : artgen::artworks()) {
            rendered[artwork.name] = artgen::render(artwork);
        }
        return rendered;
    }();
    return images;
}

} // namespace

TEST(Generator, paintsEveryPictureOfTheCatalogueAndNothingElse)
{
    QStringList painted;
    for (const artgen::Artwork& artwork : artgen::artworks()) {
        painted << QString::fromLatin1(artwork.name);
    }
    QStringList catalogued;
    for (const pictures::Entry& entry : pictures::all()) {
        catalogued << QString::fromLatin1(entry.name);
    }
    painted.sort();
    catalogued.sort();
    EXPECT_EQ(painted, catalogued);
}

TEST(Generator, paintsEachPictureAtItsCatalogueSizeAndDepth)
{
    pictures::Catalog catalog;
    for (const artgen::Artwork& artwork : artgen::artworks()) {
        SCOPED_TRACE(artwork.name);
        const auto info = catalog.find(artwork.name);
        ASSERT_TRUE(info.has_value());
        const QImage& image = firstRendering().at(artwork.name);
        EXPECT_EQ(image.width(), info->width);
        EXPECT_EQ(image.height(), info->height);
        EXPECT_EQ(artwork.colours, info->colors);
        if (info->colors > 0) {
            EXPECT_EQ(image.format(), QImage::Format_Indexed8);
            EXPECT_LE(distinctColours(image), info->colors);
        }
    }
}

TEST(Generator, writesTheSameBytesEveryTimeItRuns)
{
    for (const artgen::Artwork& artwork : artgen::artworks()) {
        SCOPED_TRACE(artwork.name);
        const QByteArray first = artgen::encodePng(firstRendering().at(artwork.name));
        const QByteArray second = artgen::encodePng(artgen::render(artwork));
        EXPECT_FALSE(first.isEmpty());
        EXPECT_EQ(first, second);
    }
}

TEST(Randomness, theSameSeedGivesTheSameSequenceAndAnotherSeedAnother)
{
    artgen::Rng a(7);
    artgen::Rng b(7);
    artgen::Rng c(8);
    int differences = 0;
    for (int i = 0; i < 100; ++i) {
        const double x = a.uniform();
        EXPECT_EQ(x, b.uniform());
        EXPECT_GE(x, 0.0);
        EXPECT_LT(x, 1.0);
        differences += x != c.uniform() ? 1 : 0;
    }
    EXPECT_GT(differences, 90);
}

TEST(Randomness, noiseStaysWithinZeroToOneAndVariesAcrossTheField)
{
    const artgen::Noise noise(3);
    double low = 1.0;
    double high = 0.0;
    for (int y = 0; y < 60; ++y) {
        for (int x = 0; x < 60; ++x) {
            for (double v : {noise.value(x * 0.37, y * 0.37), noise.fbm(x * 0.11, y * 0.11, 5),
                             noise.ridged(x * 0.07, y * 0.07, 4), noise.warped(x * 0.05, y * 0.05, 4, 2.0)}) {
                low = std::min(low, v);
                high = std::max(high, v);
            }
        }
    }
    EXPECT_GE(low, 0.0);
    EXPECT_LE(high, 1.0);
    EXPECT_GT(high - low, 0.5);
}

TEST(Quantizing, keepsWithinThePaletteSizeAndCloseToTheOriginal)
{
    const QImage field = rainbowField(96, 64);
    for (int colours : {16, 256}) {
        SCOPED_TRACE(colours);
        const QImage reduced = artgen::quantize(field, colours, 0.75);
        EXPECT_EQ(reduced.format(), QImage::Format_Indexed8);
        EXPECT_LE(reduced.colorCount(), colours);
        EXPECT_LE(distinctColours(reduced), colours);
        EXPECT_LT(meanAbsoluteError(field, reduced), colours == 16 ? 24.0 : 5.0);
    }
}

TEST(Quantizing, keepsAPictureThatAlreadyFitsItsPaletteExactly)
{
    QImage stripes(40, 10, QImage::Format_RGB32);
    const QRgb colours[] = {qRgb(200, 10, 10), qRgb(10, 200, 10), qRgb(10, 10, 200), qRgb(250, 250, 250)};
    for (int y = 0; y < 10; ++y) {
        for (int x = 0; x < 40; ++x) {
            stripes.setPixel(x, y, colours[(x / 10 + y) % 4]);
        }
    }
    EXPECT_EQ(meanAbsoluteError(stripes, artgen::quantize(stripes, 16, 1.0)), 0.0);
}

TEST(Quantizing, indexingPixelArtKeepsTransparencyAndRefusesTooManyColours)
{
    QImage art(4, 4, QImage::Format_ARGB32);
    art.fill(Qt::transparent);
    art.setPixel(1, 1, qRgba(255, 0, 0, 255));
    art.setPixel(2, 2, qRgba(0, 0, 255, 255));
    const QImage indexed = artgen::indexExactly(art, 16);
    EXPECT_EQ(indexed.format(), QImage::Format_Indexed8);
    EXPECT_EQ(qAlpha(indexed.pixel(0, 0)), 0);
    EXPECT_EQ(indexed.pixel(1, 1), qRgba(255, 0, 0, 255));
    EXPECT_EQ(indexed.pixel(2, 2), qRgba(0, 0, 255, 255));

    QImage busy(8, 8, QImage::Format_ARGB32);
    for (int i = 0; i < 64; ++i) {
        busy.setPixel(i % 8, i / 8, qRgb(i * 4, 0, 0));
    }
    EXPECT_THROW(artgen::indexExactly(busy, 16), std::runtime_error);
}

TEST(PanelTint, darkensJustEnoughForWhiteTextAndLeavesDarkColoursAlone)
{
    const artgen::Rgb white{1.0, 1.0, 1.0};
    const artgen::Rgb navy = artgen::rgb255(6, 14, 58);
    for (const artgen::Rgb sky : {artgen::rgb255(200, 220, 250), artgen::rgb255(255, 255, 255),
                                  artgen::rgb255(120, 160, 90)}) {
        const artgen::Rgb tinted = artgen::darkenForWhiteText(sky, navy, 4.5);
        EXPECT_GE(artgen::contrastRatio(white, tinted), 4.5);
        EXPECT_LT(artgen::contrastRatio(white, tinted), 4.7);
    }
    const artgen::Rgb dark = artgen::rgb255(20, 30, 40);
    const artgen::Rgb kept = artgen::darkenForWhiteText(dark, navy, 4.5);
    EXPECT_EQ(kept.r, dark.r);
    EXPECT_EQ(kept.g, dark.g);
    EXPECT_EQ(kept.b, dark.b);
}

TEST(PanelTint, contrastRatioMatchesTheKnownExtremes)
{
    EXPECT_NEAR(artgen::contrastRatio({1, 1, 1}, {0, 0, 0}), 21.0, 1e-9);
    EXPECT_NEAR(artgen::contrastRatio({0.5, 0.5, 0.5}, {0.5, 0.5, 0.5}), 1.0, 1e-9);
    // Mid grey (119) is the darkest grey with less than 4.5:1 against white.
    EXPECT_LT(artgen::contrastRatio({1, 1, 1}, artgen::rgb255(119, 119, 119)), 4.5);
    EXPECT_GE(artgen::contrastRatio({1, 1, 1}, artgen::rgb255(118, 118, 118)), 4.5);
}
