// The pictures as the game loads them: every name of the catalogue is
// embedded, at its size and colour depth, and the few pictures with a job
// beyond looking good do that job.

#include "resources/PictureCatalog.h"

#include <QImage>
#include <QSet>
#include <QString>

#include <gtest/gtest.h>

#include <cmath>

namespace {

QImage embedded(const char* name)
{
    return QImage(QStringLiteral(":/pictures/%1.png").arg(QString::fromLatin1(name)));
}

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

double channelToLinear(int value)
{
    const double v = value / 255.0;
    return v <= 0.04045 ? v / 12.92 : std::pow((v + 0.055) / 1.055, 2.4);
}

// Relative luminance and contrast as accessibility guidelines define them.
double luminance(QRgb colour)
{
    return 0.2126 * channelToLinear(qRed(colour)) + 0.7152 * channelToLinear(qGreen(colour)) +
           0.0722 * channelToLinear(qBlue(colour));
}

double contrastOfWhiteOn(QRgb colour)
{
    return 1.05 / (luminance(colour) + 0.05);
}

struct Panel {
    int left;
    int top;
    int right; // inclusive
    int bottom;
};

// Where the stage's white labels sit: time; score and response; hit rate.
constexpr Panel kStagePanels[] = {{12, 14, 48, 50}, {252, 14, 308, 78}, {12, 205, 127, 226}};

} // namespace

TEST(EmbeddedPictures, everyCataloguedPictureLoadsAtItsCataloguedSize)
{
    for (const pictures::Entry& entry : pictures::all()) {
        SCOPED_TRACE(entry.name);
        const QImage image = embedded(entry.name);
        ASSERT_FALSE(image.isNull());
        EXPECT_EQ(image.width(), entry.info.width);
        EXPECT_EQ(image.height(), entry.info.height);
    }
}

TEST(EmbeddedPictures, palettedPicturesAreIndexedAndKeepWithinTheirColourCount)
{
    for (const pictures::Entry& entry : pictures::all()) {
        if (entry.info.colors == 0) {
            continue;
        }
        SCOPED_TRACE(entry.name);
        const QImage image = embedded(entry.name);
        EXPECT_EQ(image.format(), QImage::Format_Indexed8);
        EXPECT_LE(image.colorCount(), entry.info.colors);
        EXPECT_LE(distinctColours(image), entry.info.colors);
    }
}

TEST(EmbeddedPictures, trueColourScenesAreNotFlatFields)
{
    // A painted scene uses thousands of colours; a placeholder a handful.
    for (const pictures::Entry& entry : pictures::all()) {
        if (entry.info.colors != 0) {
            continue;
        }
        SCOPED_TRACE(entry.name);
        EXPECT_GT(distinctColours(embedded(entry.name)), 500);
    }
}

TEST(StageBackgrounds, whiteLabelsStayReadableEverywhereOnTheThreePanels)
{
    for (const char* name : {pictures::kStageCastle, pictures::kStageLake, pictures::kStageStream}) {
        SCOPED_TRACE(name);
        const QImage image = embedded(name).convertToFormat(QImage::Format_RGB32);
        double worst = 21.0;
        for (const Panel& panel : kStagePanels) {
            for (int y = panel.top; y <= panel.bottom; ++y) {
                for (int x = panel.left; x <= panel.right; ++x) {
                    worst = std::min(worst, contrastOfWhiteOn(image.pixel(x, y)));
                }
            }
        }
        EXPECT_GE(worst, 4.5);
    }
}

TEST(StageBackgrounds, panelsAreTranslucentSoTheSceneShowsThrough)
{
    // A flat painted box would have one colour; glass over a scene has many
    // (fewer in the 256-colour picture, but still more than a few).
    for (const char* name : {pictures::kStageCastle, pictures::kStageLake, pictures::kStageStream}) {
        SCOPED_TRACE(name);
        const QImage image = embedded(name);
        for (const Panel& panel : kStagePanels) {
            const QImage inside =
                image.copy(panel.left, panel.top, panel.right - panel.left + 1, panel.bottom - panel.top + 1);
            EXPECT_GT(distinctColours(inside), 8);
        }
    }
}

TEST(MenuArrow, isTransparentAroundTheArrowAndOpaqueOnIt)
{
    const QImage arrow = embedded(pictures::kMenuArrow).convertToFormat(QImage::Format_ARGB32);
    ASSERT_EQ(arrow.size(), QSize(32, 32));
    for (int i = 0; i < 32; ++i) {
        EXPECT_EQ(qAlpha(arrow.pixel(i, 0)), 0) << "top edge at " << i;
        EXPECT_EQ(qAlpha(arrow.pixel(i, 31)), 0) << "bottom edge at " << i;
        EXPECT_EQ(qAlpha(arrow.pixel(0, i)), 0) << "left edge at " << i;
        EXPECT_EQ(qAlpha(arrow.pixel(31, i)), 0) << "right edge at " << i;
    }
    // Above and below the shaft, behind the head, lies nothing.
    EXPECT_EQ(qAlpha(arrow.pixel(6, 5)), 0);
    EXPECT_EQ(qAlpha(arrow.pixel(6, 26)), 0);
    EXPECT_EQ(qAlpha(arrow.pixel(20, 16)), 255);
}

TEST(MenuArrow, hasALightGreyUpperHalfAndABlackLowerHalf)
{
    const QImage arrow = embedded(pictures::kMenuArrow).convertToFormat(QImage::Format_ARGB32);
    const QRgb upper = arrow.pixel(10, 13);
    const QRgb lower = arrow.pixel(10, 19);
    EXPECT_EQ(qAlpha(upper), 255);
    EXPECT_EQ(qAlpha(lower), 255);
    EXPECT_GT(qGray(upper), 150);
    EXPECT_EQ(qGray(lower), 0);
}

TEST(CertificatePictures, mossPicturesAreLightEnoughForBlackLettering)
{
    // The class letter, "Class" and "Certificate" are black on these.
    for (const char* name : {pictures::kCertifPale, pictures::kCertifGreen}) {
        SCOPED_TRACE(name);
        const QImage image = embedded(name).convertToFormat(QImage::Format_RGB32);
        double sum = 0.0;
        for (int y = 0; y < image.height(); ++y) {
            for (int x = 0; x < image.width(); ++x) {
                sum += luminance(image.pixel(x, y));
            }
        }
        const double meanLuminance = sum / (image.width() * image.height());
        // Black on the average colour has at least 7:1.
        EXPECT_GE((meanLuminance + 0.05) / 0.05, 7.0);
    }
}
