// Designed faces map to installed fonts at 96 dpi, the Japanese Gothic draws
// every class of target glyph, and pictures come from the resources or a
// placeholder of the catalogued size.

#include "platform/qt/QtServices.h"
#include "resources/PictureCatalog.h"
#include "tests/qthost/HostTestSupport.h"

#include <QFontInfo>
#include <QFontMetrics>
#include <QPainter>
#include <QRawFont>

#include <gtest/gtest.h>

namespace {

const ui::Font kGothic{"ＭＳ Ｐゴシック", 12, true};

QImage drawn(const QFont& font, const QString& text)
{
    QImage image(40, 40, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter painter(&image);
    painter.setFont(font);
    painter.setPen(Qt::black);
    painter.drawText(QPoint(4, 30), text);
    return image;
}

} // namespace

TEST(QtFont, pointSizesBecomePixelsAtNinetySixDotsPerInch)
{
    const std::pair<double, int> sizes[] = {{8.25, 11}, {9, 12}, {11.25, 15}, {12, 16}, {20.25, 27}, {48, 64}};
    for (const auto& [points, pixels] : sizes) {
        EXPECT_EQ(qthost::qtFont(ui::Font{"Arial", points}).pixelSize(), pixels) << points << " pt";
    }
}

TEST(QtFont, keepsBoldAndItalicAsDesigned)
{
    const QFont font = qthost::qtFont(ui::Font{"Arial", 48, true, true});
    EXPECT_TRUE(font.bold());
    EXPECT_TRUE(font.italic());
    EXPECT_FALSE(qthost::qtFont(ui::Font{"Arial", 9}).bold());
}

TEST(QtFont, westernFacesUseTheirLiberationCounterparts)
{
    EXPECT_EQ(QFontInfo(qthost::qtFont(ui::Font{"Times New Roman", 9, true})).family(), "Liberation Serif");
    EXPECT_EQ(QFontInfo(qthost::qtFont(ui::Font{"Arial", 48, true, true})).family(), "Liberation Sans");
    EXPECT_EQ(QFontInfo(qthost::qtFont(ui::Font{"Courier New", 9, true})).family(), "Liberation Mono");
}

TEST(QtFont, theJapaneseGothicResolvesToAnInstalledGothic)
{
    EXPECT_TRUE(qthost::japaneseGothicFamilies().contains(QFontInfo(qthost::qtFont(kGothic)).family()));
}

TEST(QtFont, theDefaultFontIsASansAsWideAsTheDesignsExpectThatStillDrawsKana)
{
    const QFont font = qthost::qtFont(ui::defaultFont());
    EXPECT_EQ(QFontInfo(font).family(), "Liberation Sans");
    EXPECT_EQ(font.pixelSize(), 11) << "8.25 points";
    // The options panel's cursor bar over this caption is 112 pixels wide.
    EXPECT_LE(QFontMetrics(font).horizontalAdvance("Alphabetic Character"), 112);
    EXPECT_LE(QFontMetrics(font).horizontalAdvance("Minuscule"), 57) << "its 855-twip label";
    EXPECT_TRUE(QFontMetrics(font).inFontUcs4(U'た')) << "kana fall back to the Gothic";
}

TEST(QtFont, theGothicDrawsFullWidthLettersHiraganaKatakanaAndDigits)
{
    const QFont font = qthost::qtFont(kGothic);
    const QRawFont raw = QRawFont::fromFont(font);
    ASSERT_TRUE(raw.isValid());
    const QImage missing = drawn(font, QString::fromUcs4(U"\U0010FFFD"));
    for (char32_t ch : {U'Ａ', U'ｚ', U'あ', U'ん', U'ア', U'ン', U'１', U'０'}) {
        const QString text = QString::fromUcs4(&ch, 1);
        EXPECT_TRUE(raw.supportsCharacter(static_cast<uint>(ch))) << text.toStdString();
        EXPECT_TRUE(QFontMetrics(font).inFontUcs4(static_cast<uint>(ch))) << text.toStdString();
        EXPECT_NE(drawn(font, text), missing) << text.toStdString() << " looks like the missing-glyph box";
    }
}

TEST(QtFont, aJapaneseFontIsReportedInstalledAndNothingIsMissing)
{
    EXPECT_TRUE(qthost::japaneseFontAvailable());
    EXPECT_TRUE(qthost::missingFontsReport().isEmpty()) << qthost::missingFontsReport().toStdString();
}

TEST(QtTextMetrics, measuresCaptionsAsTheyAreDrawn)
{
    const qthost::QtTextMetrics metrics;
    const ui::Font times{"Times New Roman", 9, true};
    EXPECT_EQ(metrics.textWidthPx(times, ""), 0);
    const int one = metrics.textWidthPx(times, "0");
    const int five = metrics.textWidthPx(times, "00000");
    EXPECT_GT(one, 3);
    EXPECT_EQ(five, 5 * one) << "digits share one advance";
    EXPECT_GT(metrics.textWidthPx(ui::Font{"Times New Roman", 20.25, true}, "0"), one);
    EXPECT_GT(metrics.textWidthPx(kGothic, "あいう"), metrics.textWidthPx(kGothic, "あ"));
}

TEST(LoadPicture, aPictureComesAtItsCataloguedSize)
{
    for (const pictures::Entry& entry : pictures::all()) {
        const QImage image = qthost::loadPicture(pictures::Catalog(), entry.name);
        EXPECT_EQ(image.size(), QSize(entry.info.width, entry.info.height)) << entry.name;
    }
}

TEST(LoadPicture, anUnknownNameGivesAMarkedPlaceholderInsteadOfNothing)
{
    const QImage image = qthost::loadPicture(pictures::Catalog(), "no_such_picture");
    ASSERT_FALSE(image.isNull());
    EXPECT_EQ(image.pixel(0, 0), qRgb(255, 0, 255)) << "a magenta edge marks art that is missing";
}

TEST(LoadPicture, aPictureIsLoadedOnceAndSharedAfterwards)
{
    const QImage first = qthost::loadPicture(pictures::Catalog(), pictures::kTitle);
    const QImage second = qthost::loadPicture(pictures::Catalog(), pictures::kTitle);
    EXPECT_EQ(first.cacheKey(), second.cacheKey());
}

namespace {

// Knows one picture that has no artwork yet.
class SketchCatalog : public ui::PictureCatalog {
public:
    std::optional<ui::PictureInfo> find(std::string_view name) const override
    {
        return name == "sketch_only" ? std::optional(ui::PictureInfo{48, 20, 16}) : std::nullopt;
    }
};

} // namespace

TEST(LoadPicture, aPlaceholderTakesItsSizeFromTheCatalogueItIsGiven)
{
    EXPECT_EQ(qthost::decodePicture(SketchCatalog(), "sketch_only").size(), QSize(48, 20));
    EXPECT_EQ(qthost::decodePicture(pictures::Catalog(), "sketch_only").size(), QSize(32, 32))
        << "a name no catalogue knows";
}

TEST(LoadPicture, anIconHoldsOneSizeForEachPicture)
{
    const QIcon icon = qthost::iconFromPictures(pictures::Catalog(), {pictures::kIcon32, pictures::kIcon16});
    EXPECT_EQ(icon.availableSizes(), (QList<QSize>{QSize(32, 32), QSize(16, 16)}));
}
