// The painting kit under the scenes: masks, canvas sampling and output,
// gradients, embossing, reflections, lettering and the files it writes.

#include "tools/artgen/Canvas.h"
#include "tools/artgen/Generator.h"
#include "tools/artgen/Lettering.h"
#include "tools/artgen/Noise.h"
#include "tools/artgen/Scenery.h"

#include <QDir>
#include <QImage>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <cmath>

namespace {

double massOf(const artgen::Mask& mask)
{
    double sum = 0.0;
    for (int y = 0; y < mask.height(); ++y) {
        for (int x = 0; x < mask.width(); ++x) {
            sum += mask.at(x, y);
        }
    }
    return sum;
}

double brightness(const artgen::Canvas& canvas, int x, int y)
{
    const artgen::Rgb c = canvas.at(x, y);
    return c.r + c.g + c.b;
}

} // namespace

TEST(Masks, aPathCoversExactlyThePixelsInsideIt)
{
    QPainterPath square;
    square.addRect(2, 3, 4, 5);
    const artgen::Mask mask = artgen::Mask::fromPath(10, 10, square);
    EXPECT_DOUBLE_EQ(mask.at(2, 3), 1.0);
    EXPECT_DOUBLE_EQ(mask.at(5, 7), 1.0);
    EXPECT_DOUBLE_EQ(mask.at(1, 3), 0.0);
    EXPECT_DOUBLE_EQ(mask.at(6, 7), 0.0);
    EXPECT_DOUBLE_EQ(mask.at(2, 8), 0.0);
    EXPECT_NEAR(massOf(mask), 20.0, 1e-9);
    // Outside the mask there is nothing, rather than a crash.
    EXPECT_DOUBLE_EQ(mask.at(-1, 4), 0.0);
    EXPECT_DOUBLE_EQ(mask.at(4, 10), 0.0);
}

TEST(Masks, blurringSpreadsCoverageWithoutLosingIt)
{
    artgen::Mask dot(21, 21);
    dot.set(10, 10, 1.0);
    const artgen::Mask soft = dot.blurred(2.0);
    EXPECT_NEAR(massOf(soft), 1.0, 1e-9);
    EXPECT_LT(soft.at(10, 10), 0.1);
    EXPECT_GT(soft.at(10, 10), soft.at(12, 10));
    EXPECT_NEAR(soft.at(8, 10), soft.at(12, 10), 1e-12);
}

TEST(Masks, shiftingMovesAndCombiningKeepsTheLargerOrTheRest)
{
    artgen::Mask a(5, 5);
    a.set(1, 1, 1.0);
    const artgen::Mask moved = a.shifted(2, 3);
    EXPECT_DOUBLE_EQ(moved.at(3, 4), 1.0);
    EXPECT_DOUBLE_EQ(moved.at(1, 1), 0.0);
    const artgen::Mask both = a.unitedWith(moved);
    EXPECT_NEAR(massOf(both), 2.0, 1e-12);
    EXPECT_NEAR(massOf(both.minus(a)), 1.0, 1e-12);
    EXPECT_NEAR(massOf(a.inverted()), 24.0, 1e-12);
}

TEST(CanvasOutput, sampleBlendsNeighbouringPixels)
{
    artgen::Canvas canvas(2, 1);
    canvas.set(0, 0, {0.0, 0.0, 0.0});
    canvas.set(1, 0, {1.0, 0.5, 0.0});
    const artgen::Rgb middle = canvas.sample(1.0, 0.5);
    EXPECT_NEAR(middle.r, 0.5, 1e-12);
    EXPECT_NEAR(middle.g, 0.25, 1e-12);
    // Beyond the edge the edge pixel holds.
    EXPECT_NEAR(canvas.sample(-5.0, 0.5).r, 0.0, 1e-12);
    EXPECT_NEAR(canvas.sample(9.0, 0.5).r, 1.0, 1e-12);
}

TEST(CanvasOutput, eightBitOutputDithersBetweenNeighbouringLevelsKeepingTheMean)
{
    artgen::Canvas canvas(16, 16, {127.5 / 255.0, 0.0, 1.0});
    const QImage image = canvas.toImage();
    double sum = 0.0;
    for (int y = 0; y < 16; ++y) {
        for (int x = 0; x < 16; ++x) {
            const int red = qRed(image.pixel(x, y));
            EXPECT_TRUE(red == 127 || red == 128);
            EXPECT_EQ(qGreen(image.pixel(x, y)), 0);
            EXPECT_EQ(qBlue(image.pixel(x, y)), 255);
            sum += red;
        }
    }
    EXPECT_NEAR(sum / 256.0, 127.5, 0.01);
}

TEST(Gradients, holdTheirEndsAndBlendBetweenStops)
{
    const artgen::Gradient g{{0.2, {0.0, 0.0, 0.0}}, {0.6, {1.0, 0.0, 0.0}}, {1.0, {1.0, 1.0, 0.0}}};
    EXPECT_DOUBLE_EQ(g.at(-1.0).r, 0.0);
    EXPECT_DOUBLE_EQ(g.at(0.4).r, 0.5);
    EXPECT_DOUBLE_EQ(g.at(0.8).g, 0.5);
    EXPECT_DOUBLE_EQ(g.at(3.0).g, 1.0);
}

TEST(Effects, embossingLightsTheUpperLeftEdgeAndShadesTheLowerRight)
{
    artgen::Canvas canvas(30, 30, {0.5, 0.5, 0.5});
    QPainterPath square;
    square.addRect(10, 10, 10, 10);
    artgen::emboss(canvas, artgen::Mask::fromPath(30, 30, square), 1.0, 2.0);
    EXPECT_GT(brightness(canvas, 10, 15), 1.5);
    EXPECT_GT(brightness(canvas, 15, 10), 1.5);
    EXPECT_LT(brightness(canvas, 19, 15), 1.5);
    EXPECT_LT(brightness(canvas, 15, 19), 1.5);
    EXPECT_NEAR(brightness(canvas, 2, 2), 1.5, 1e-12);
}

TEST(Effects, stillWaterMirrorsWhatStandsAboveIt)
{
    artgen::Canvas canvas(20, 40, {0.0, 0.0, 1.0});
    for (int x = 0; x < 20; ++x) {
        for (int y = 10; y < 14; ++y) {
            canvas.set(x, y, {1.0, 0.0, 0.0});
        }
    }
    artgen::paintReflection(canvas, 20.0, artgen::Noise(1), {0.0, 0.0, 0.0}, 1.0, 0.0);
    // Rows 10..13 lie 7..10 rows above the waterline, so they show 7..10 below.
    EXPECT_GT(canvas.at(5, 28).r, 0.9);
    EXPECT_LT(canvas.at(5, 24).r, 0.1);
    EXPECT_GT(canvas.at(5, 24).b, 0.9);
}

TEST(Effects, cellularNoiseOrdersItsDistancesAndNamesTheNearestPoint)
{
    const artgen::Noise noise(11);
    for (int i = 0; i < 200; ++i) {
        const double x = i * 0.173;
        const double y = i * 0.291;
        const artgen::Noise::Cells cells = noise.cellular(x, y);
        EXPECT_LE(cells.f1, cells.f2);
        EXPECT_NEAR(std::hypot(cells.cx - x, cells.cy - y), cells.f1, 1e-9);
    }
}

TEST(Lettering, centredTextIsCentredAndStretchNarrowsIt)
{
    const QPainterPath wide = artgen::centredTextPath(QStringLiteral("RESULTS"), artgen::Face::SansBold, 30, 100, 50);
    const QPainterPath narrow =
        artgen::centredTextPath(QStringLiteral("RESULTS"), artgen::Face::SansBold, 30, 100, 50, 0.5);
    EXPECT_NEAR(wide.boundingRect().center().x(), 100.0, 0.01);
    EXPECT_NEAR(narrow.boundingRect().center().x(), 100.0, 0.01);
    EXPECT_NEAR(narrow.boundingRect().width(), wide.boundingRect().width() * 0.5, 0.5);
    EXPECT_NEAR(narrow.boundingRect().height(), wide.boundingRect().height(), 0.01);
    // Capitals sit on the baseline and rise about seven tenths of the size.
    EXPECT_NEAR(wide.boundingRect().bottom(), 50.0, 0.8);
    EXPECT_NEAR(wide.boundingRect().height(), 21.5, 1.5);
}

TEST(GeneratorFiles, writesOnlyTheNamedPicturesWhenNamesAreGiven)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QStringList written = artgen::writePictures(dir.path(), {QStringLiteral("icon16")});
    ASSERT_EQ(written.size(), 1);
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), QStringList{QStringLiteral("icon16.png")});
    EXPECT_EQ(QImage(written.front()).size(), QSize(16, 16));
}

namespace {

// Every PATH is the icon SMALL enlarged by a whole factor, pixel for pixel.
void expectPixelExactEnlargements(const QStringList& paths, const artgen::Artwork& smallIcon)
{
    const QImage small = artgen::render(smallIcon).convertToFormat(QImage::Format_ARGB32);
    for (const QString& path : paths) {
        SCOPED_TRACE(path.toStdString());
        const QImage large = QImage(path).convertToFormat(QImage::Format_ARGB32);
        ASSERT_EQ(large.width() % small.width(), 0);
        ASSERT_EQ(large.height(), large.width());
        const int factor = large.width() / small.width();
        for (int y = 0; y < large.height(); ++y) {
            for (int x = 0; x < large.width(); ++x) {
                ASSERT_EQ(large.pixel(x, y), small.pixel(x / factor, y / factor)) << x << "," << y;
            }
        }
    }
}

} // namespace

TEST(GeneratorFiles, desktopIconsArePixelExactEnlargementsOfTheSmallIcon)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QStringList written = artgen::writeDesktopIcons(dir.path());
    ASSERT_EQ(written.size(), 2);
    EXPECT_EQ(QImage(written[0]).width(), 64);
    EXPECT_EQ(QImage(written[1]).width(), 128);
    expectPixelExactEnlargements(written, {"icon32", 16, 0.0, artgen::paintIcon32});
}

TEST(GeneratorFiles, webIconsComeInTheSizesTheManifestNamesAndStayCrisp)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QStringList written = artgen::writeWebIcons(dir.path());
    ASSERT_EQ(written.size(), 4);
    const int sizes[] = {48, 96, 192, 512};
    for (int i = 0; i < 4; ++i) {
        EXPECT_TRUE(written[i].endsWith(QStringLiteral("quorvel-%1.png").arg(sizes[i])));
        EXPECT_EQ(QImage(written[i]).size(), QSize(sizes[i], sizes[i]));
    }
    expectPixelExactEnlargements({written[0]}, {"icon16", 16, 0.0, artgen::paintIcon16});
    expectPixelExactEnlargements(written.mid(1), {"icon32", 16, 0.0, artgen::paintIcon32});
}
