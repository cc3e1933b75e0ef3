// What the renderer paints: stacking order, labels, picture boxes with their
// border and canvas, images, frames and text boxes.

#include "platform/qt/FormRenderer.h"
#include "tests/qthost/HostTestSupport.h"

#include <QPainter>

#include <gtest/gtest.h>

using qthost_test::inkBounds;
using qthost_test::ModelRig;
using qthost_test::pixelAt;
using qthost_test::SketchForm;

namespace {

constexpr int t = ui::kTwipsPerPixel;
constexpr ui::Color kBackground = ui::rgb(30, 90, 60);

ui::TwipRect px(int x, int y, int width, int height)
{
    return ui::TwipRect{x * t, y * t, width * t, height * t};
}

// A picture pixel as it shows over a background; the pictures of the game
// are either opaque or fully transparent pixel by pixel.
ui::Color shownOver(QRgb pixel, ui::Color background)
{
    return qAlpha(pixel) == 0 ? background : ui::rgb(qRed(pixel), qGreen(pixel), qBlue(pixel));
}

class FormRendererTest : public ::testing::Test {
protected:
    FormRendererTest() { canvas.setBackColor(kBackground); }

    ui::Label& label(const char* name, ui::TwipRect rect, const char* caption)
    {
        auto& l = form.add<ui::Label>(canvas, name, rect);
        l.setCaption(caption);
        l.setForeColor(ui::colors::white);
        l.setFont(ui::Font{"Arial", 12, true});
        return l;
    }

    // Client pixel (x, y) of the canvas, which sits inside a 2-pixel border.
    ui::Color at(const QImage& image, int x, int y) const { return pixelAt(image, x + 2, y + 2); }
    QRect client(int x, int y, int width, int height) const { return QRect(x + 2, y + 2, width, height); }

    ModelRig rig;
    SketchForm form{rig.app};
    ui::PictureBox& canvas = form.add<ui::PictureBox>(form, "Picture1", {0, 0, 4860, 3660});
    qthost::FormRenderer renderer{rig.app.pictures()};
};

} // namespace

TEST_F(FormRendererTest, theImageCoversTheClientAreaAtTheRequestedPixelRatio)
{
    const QImage normal = renderer.render(form);
    EXPECT_EQ(normal.size(), QSize(324, 244));
    const QImage doubled = renderer.render(form, 2.0);
    EXPECT_EQ(doubled.size(), QSize(648, 488));
    EXPECT_EQ(doubled.devicePixelRatio(), 2.0);
    EXPECT_EQ(pixelAt(doubled, 100, 100), kBackground);
}

TEST_F(FormRendererTest, aPictureBoxHasATwoPixelSunkenBorderOnEverySide)
{
    const QImage image = renderer.render(form);
    const ui::Color shadow = ui::rgb(128, 128, 128);
    const ui::Color darkShadow = ui::rgb(64, 64, 64);
    EXPECT_EQ(pixelAt(image, 0, 0), shadow);
    EXPECT_EQ(pixelAt(image, 100, 0), shadow);
    EXPECT_EQ(pixelAt(image, 0, 100), shadow);
    EXPECT_EQ(pixelAt(image, 1, 1), darkShadow);
    EXPECT_EQ(pixelAt(image, 100, 1), darkShadow);
    EXPECT_EQ(pixelAt(image, 323, 243), ui::colors::white);
    EXPECT_EQ(pixelAt(image, 100, 243), ui::colors::white);
    EXPECT_EQ(pixelAt(image, 322, 242), ui::colors::controlFace);
    EXPECT_EQ(pixelAt(image, 322, 100), ui::colors::controlFace);
    EXPECT_EQ(pixelAt(image, 2, 2), kBackground);
    EXPECT_EQ(pixelAt(image, 321, 241), kBackground);
}

TEST_F(FormRendererTest, aPictureBoxWithoutBorderShowsItsBackgroundToTheEdge)
{
    canvas.setSunken(false);
    const QImage image = renderer.render(form);
    EXPECT_EQ(pixelAt(image, 0, 0), kBackground);
    EXPECT_EQ(pixelAt(image, 323, 243), kBackground);
}

TEST_F(FormRendererTest, theFirstOfTwoOverlappingControlsLiesInFront)
{
    auto& front = label("Label1", px(10, 10, 20, 20), "");
    front.setOpaque(true, ui::colors::red);
    auto& back = label("Label2", px(20, 20, 20, 20), "");
    back.setOpaque(true, ui::colors::navy);
    const QImage image = renderer.render(form);
    EXPECT_EQ(at(image, 25, 25), ui::colors::red) << "overlap";
    EXPECT_EQ(at(image, 35, 35), ui::colors::navy);
    EXPECT_EQ(at(image, 15, 15), ui::colors::red);
}

TEST_F(FormRendererTest, aPictureBoxLiesInFrontOfALabelListedBeforeIt)
{
    auto& before = label("Label1", px(10, 10, 40, 20), "");
    before.setOpaque(true, ui::colors::red);
    auto& inner = form.add<ui::PictureBox>(canvas, "Picture2", px(20, 10, 40, 20));
    inner.setSunken(false);
    inner.setBackColor(ui::colors::silver);
    const QImage image = renderer.render(form);
    EXPECT_EQ(at(image, 30, 20), ui::colors::silver) << "the picture box wins the overlap";
    EXPECT_EQ(at(image, 12, 20), ui::colors::red);
}

TEST_F(FormRendererTest, aShadowLabelListedAfterItsMainCopyLiesBehindIt)
{
    auto& main = label("Label5", px(10, 10, 200, 60), "READY");
    main.setFont(ui::Font{"Arial", 48, true, true});
    main.setForeColor(ui::colors::silver);
    auto& shadow = label("Label5", px(18, 18, 200, 60), "READY");
    shadow.setFont(ui::Font{"Arial", 48, true, true});
    shadow.setForeColor(ui::colors::black);
    const QImage image = renderer.render(form);
    int silver = 0;
    int black = 0;
    for (int y = 10; y < 70; ++y) {
        for (int x = 10; x < 210; ++x) {
            silver += at(image, x, y) == ui::colors::silver ? 1 : 0;
            black += at(image, x, y) == ui::colors::black ? 1 : 0;
        }
    }
    EXPECT_GT(silver, 200) << "the main copy is drawn whole, not covered by its shadow";
    EXPECT_GT(black, 50) << "the shadow shows where the main copy does not cover it";
}

TEST_F(FormRendererTest, aTransparentLabelShowsWhatLiesBehindItAroundItsText)
{
    label("Label1", px(10, 10, 100, 30), "Hi");
    const QImage image = renderer.render(form);
    EXPECT_EQ(at(image, 105, 35), kBackground);
    EXPECT_FALSE(inkBounds(image, client(10, 10, 100, 30), kBackground).isEmpty());
}

TEST_F(FormRendererTest, anOpaqueLabelFillsItsBoxWithItsBackColour)
{
    auto& l = label("Label1", px(10, 10, 100, 30), "Hi");
    l.setOpaque(true, ui::colors::controlFace);
    const QImage image = renderer.render(form);
    EXPECT_EQ(at(image, 105, 35), ui::colors::controlFace);
    EXPECT_EQ(at(image, 111, 35), kBackground) << "just outside the box";
}

TEST_F(FormRendererTest, labelTextHugsTheSideItIsAlignedToAndStartsAtTheTop)
{
    auto& l = label("Label1", px(10, 10, 200, 60), "Score");
    const QRect left = inkBounds(renderer.render(form), client(10, 10, 200, 60), kBackground);
    l.setAlignment(ui::Alignment::Right);
    const QRect right = inkBounds(renderer.render(form), client(10, 10, 200, 60), kBackground);
    l.setAlignment(ui::Alignment::Center);
    const QRect centre = inkBounds(renderer.render(form), client(10, 10, 200, 60), kBackground);

    ASSERT_FALSE(left.isEmpty());
    EXPECT_LE(left.left() - client(10, 10, 1, 1).left(), 2);
    EXPECT_GE(right.right(), client(10, 10, 200, 1).right() - 2);
    const int boxCentre = client(10, 10, 200, 1).center().x();
    EXPECT_LE(std::abs(centre.center().x() - boxCentre), 2);
    EXPECT_EQ(left.width(), right.width());
    // No vertical centring: the glyphs start near the top of the 60-pixel box.
    EXPECT_LT(left.top() - client(10, 10, 1, 1).top(), 8);
    EXPECT_LT(left.bottom(), client(10, 10, 1, 30).bottom());
}

TEST_F(FormRendererTest, aCaptionWiderThanItsLabelIsDrawnWholeButNotPastItsContainer)
{
    label("Label1", px(10, 10, 12, 30), "WWWWWW");
    label("Label2", px(300, 100, 12, 30), "WWWWWW");
    const QImage image = renderer.render(form);
    const QRect ink = inkBounds(image, client(0, 0, 200, 60), kBackground);
    EXPECT_GT(ink.right(), client(10, 10, 40, 1).right()) << "six letters need far more than 12 pixels";
    EXPECT_EQ(pixelAt(image, 323, 110), ui::colors::white) << "the canvas border stays whole";
}

TEST_F(FormRendererTest, aLabelWithASingleBorderIsFramedByAOnePixelLine)
{
    auto& cell = label("Label1", px(10, 10, 50, 15), "");
    cell.setSingleBorder(true);
    const QImage image = renderer.render(form);
    EXPECT_EQ(at(image, 10, 10), ui::colors::black);
    EXPECT_EQ(at(image, 59, 24), ui::colors::black);
    EXPECT_EQ(at(image, 30, 17), kBackground);
}

TEST_F(FormRendererTest, aHiddenControlIsNotDrawn)
{
    auto& l = label("Label1", px(10, 10, 100, 30), "");
    l.setOpaque(true, ui::colors::red);
    l.setVisible(false);
    EXPECT_EQ(at(renderer.render(form), 20, 20), kBackground);
}

TEST_F(FormRendererTest, childrenAreClippedToTheirContainersClientArea)
{
    auto& inner = form.add<ui::PictureBox>(canvas, "Picture2", px(50, 50, 24, 24));
    inner.setBackColor(ui::colors::silver);
    auto& spill = form.add<ui::Label>(inner, "Label1", px(10, 10, 40, 40));
    spill.setOpaque(true, ui::colors::red);
    const QImage image = renderer.render(form);
    // inner client area: 52..71 in canvas pixels
    EXPECT_EQ(at(image, 65, 65), ui::colors::red);
    EXPECT_NE(at(image, 73, 73), ui::colors::red) << "the inner border is not painted over";
    EXPECT_EQ(at(image, 80, 80), kBackground);
}

TEST_F(FormRendererTest, printedTextAccumulatesOnTheCanvasUntilItIsCleared)
{
    canvas.setScaleMode(ui::ScaleMode::Pixels);
    canvas.setFont(ui::Font{"ＭＳ Ｐゴシック", 12, true});
    canvas.print(20, 20, "Ａ", ui::colors::white);
    const QImage first = renderer.render(form);
    EXPECT_FALSE(inkBounds(first, client(18, 18, 24, 24), kBackground).isEmpty());

    canvas.print(100, 100, "あ", ui::colors::red);
    const QImage second = renderer.render(form);
    EXPECT_FALSE(inkBounds(second, client(18, 18, 24, 24), kBackground).isEmpty()) << "the first glyph stays";
    EXPECT_FALSE(inkBounds(second, client(98, 98, 24, 24), kBackground).isEmpty());

    canvas.cls();
    const QImage cleared = renderer.render(form);
    EXPECT_TRUE(inkBounds(cleared, client(0, 0, 320, 240), kBackground).isEmpty());
}

TEST_F(FormRendererTest, printedTextStartsAtItsPositionFromTheTopLeft)
{
    canvas.setScaleMode(ui::ScaleMode::Pixels);
    canvas.setFont(ui::Font{"ＭＳ Ｐゴシック", 12, true});
    canvas.print(40, 50, "Ｈ", ui::colors::white);
    const QRect ink = inkBounds(renderer.render(form), client(0, 0, 320, 240), kBackground);
    ASSERT_FALSE(ink.isEmpty());
    EXPECT_GE(ink.left(), client(40, 50, 1, 1).left());
    EXPECT_LE(ink.left(), client(44, 50, 1, 1).left());
    EXPECT_GE(ink.top(), client(40, 50, 1, 1).top());
    EXPECT_LE(ink.bottom(), client(40, 66, 1, 1).top());
}

TEST_F(FormRendererTest, theKeptCanvasGivesTheSamePixelsAsAFreshRender)
{
    canvas.setScaleMode(ui::ScaleMode::Pixels);
    canvas.setFont(ui::Font{"ＭＳ Ｐゴシック", 12, true});
    for (int i = 0; i < 40; ++i) {
        canvas.print(7 * i % 300, 5 * i % 220, i % 2 == 0 ? "ア" : "ｚ", ui::rgb(255, 6 * i, 0));
        renderer.render(form); // one frame per drawing, as a running stage does
    }
    canvas.cls();
    renderer.render(form);
    for (int i = 0; i < 10; ++i) {
        canvas.print(11 * i, 13 * i, "１", ui::colors::white);
    }
    canvas.setFontSize(20);
    canvas.print(150, 120, "ン", ui::colors::red);

    const QImage incremental = renderer.render(form);
    qthost::FormRenderer fresh{rig.app.pictures()};
    EXPECT_EQ(incremental, fresh.render(form));
    EXPECT_EQ(renderer.cachedCanvasCount(), 1u);
    renderer.forgetForm(form.instanceId());
    EXPECT_EQ(renderer.cachedCanvasCount(), 0u);
}

TEST_F(FormRendererTest, aCanvasClearedAndPrintedAgainBetweenTwoFramesLosesItsOldText)
{
    canvas.setScaleMode(ui::ScaleMode::Pixels);
    canvas.setFont(ui::Font{"ＭＳ Ｐゴシック", 12, true});
    canvas.print(20, 20, "Ａ", ui::colors::white);
    renderer.render(form);
    canvas.cls();
    canvas.print(200, 150, "Ｂ", ui::colors::white);
    canvas.print(220, 150, "Ｃ", ui::colors::white);
    const QImage image = renderer.render(form);
    EXPECT_TRUE(inkBounds(image, client(18, 18, 24, 24), kBackground).isEmpty()) << "cleared before this frame";
    EXPECT_FALSE(inkBounds(image, client(198, 148, 50, 24), kBackground).isEmpty());
}

TEST_F(FormRendererTest, aPictureBoxDrawsItsPictureUnscaledFromTheClientCorner)
{
    canvas.setPicture("certif_green");
    const QImage picture = qthost::loadPicture(rig.catalog, "certif_green");
    const QImage image = renderer.render(form);
    EXPECT_EQ(at(image, 0, 0), shownOver(picture.pixel(0, 0), kBackground));
    EXPECT_EQ(at(image, 199, 149), shownOver(picture.pixel(199, 149), kBackground));
    EXPECT_EQ(at(image, 250, 200), kBackground) << "beyond the 200 x 150 picture";
}

TEST_F(FormRendererTest, anImageTakesItsPictureSizeUnlessStretched)
{
    auto& image = form.add<ui::Image>(canvas, "Image1", px(10, 10, 64, 64));
    image.setPicture("icon16");
    const QImage icon = qthost::loadPicture(rig.catalog, "icon16");
    QImage rendered = renderer.render(form);
    for (int y = 0; y < 16; ++y) {
        for (int x = 0; x < 16; ++x) {
            ASSERT_EQ(at(rendered, 10 + x, 10 + y), shownOver(icon.pixel(x, y), kBackground)) << x << "," << y;
        }
    }
    EXPECT_EQ(at(rendered, 30, 30), kBackground) << "nothing beyond the picture's own size";

    image.setStretch(true);
    image.setWidth(64 * t);
    image.setHeight(64 * t);
    rendered = renderer.render(form);
    for (int y = 0; y < 64; ++y) {
        for (int x = 0; x < 64; ++x) {
            ASSERT_EQ(at(rendered, 10 + x, 10 + y), shownOver(icon.pixel(x / 4, y / 4), kBackground))
                << "each picture pixel covers 4 x 4, at " << x << "," << y;
        }
    }
}

TEST_F(FormRendererTest, atDoubleResolutionPicturesArePixelDoubledNotBlurred)
{
    canvas.setPicture("icon32");
    const QImage icon = qthost::loadPicture(rig.catalog, "icon32");
    const QImage image = renderer.render(form, 2.0);
    for (int y = 0; y < 32; ++y) {
        for (int x = 0; x < 32; ++x) {
            const ui::Color shown = shownOver(icon.pixel(x, y), kBackground);
            for (int dy = 0; dy < 2; ++dy) {
                for (int dx = 0; dx < 2; ++dx) {
                    ASSERT_EQ(pixelAt(image, 2 * (x + 2) + dx, 2 * (y + 2) + dy), shown) << x << "," << y;
                }
            }
        }
    }
}

TEST_F(FormRendererTest, aFrameIsOpaqueWithItsCaptionOverTheEtchedLineAndHoldsItsChildren)
{
    auto& frame = form.add<ui::Frame>(canvas, "Frame1", px(10, 10, 150, 30));
    frame.setCaption("Speed");
    auto& marker = form.add<ui::Shape>(frame, "Shape3", px(8, 16, 5, 5));
    marker.setOutline(false);
    marker.setFillStyle(ui::FillStyle::Solid);
    marker.setFillColor(ui::colors::red);
    const QImage image = renderer.render(form);
    EXPECT_EQ(at(image, 140, 30), ui::colors::controlFace) << "inside the frame";
    EXPECT_EQ(at(image, 10 + 8, 10 + 16), ui::colors::red) << "children sit relative to the frame's corner";
    EXPECT_EQ(at(image, 10, 30), ui::rgb(128, 128, 128)) << "the groove: shadow outside";
    EXPECT_EQ(at(image, 11, 30), ui::colors::white) << "the groove: highlight inside";
    const QRect caption = inkBounds(image, client(12, 10, 60, 6), ui::colors::controlFace);
    EXPECT_FALSE(caption.isEmpty()) << "the caption is written at the top left";
}

TEST_F(FormRendererTest, aTextBoxShowsItsTextInItsColoursAndACaretWhenFocused)
{
    auto& box = form.add<ui::TextBox>(canvas, "Text1", px(20, 20, 125, 18));
    box.setColors(ui::colors::darkGrey, ui::rgb(192, 192, 255));
    const QRect inner = client(22, 22, 121, 14);
    EXPECT_TRUE(inkBounds(renderer.render(form), inner, ui::colors::darkGrey).isEmpty());

    box.setText("Ab");
    const QRect unfocused = inkBounds(renderer.render(form), inner, ui::colors::darkGrey);
    form.setFocus(box);
    const QRect focused = inkBounds(renderer.render(form), inner, ui::colors::darkGrey);
    EXPECT_FALSE(unfocused.isEmpty());
    EXPECT_GT(focused.right(), unfocused.right()) << "the caret stands after the text";
    EXPECT_EQ(at(renderer.render(form), 20, 20), ui::rgb(128, 128, 128)) << "sunken border";
}
