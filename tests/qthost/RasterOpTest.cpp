// Solid shape fills combine with the pixels underneath by their draw mode,
// exactly, channel by channel; nothing outside the shape changes.

#include "platform/qt/FormRenderer.h"
#include "tests/qthost/HostTestSupport.h"

#include <gtest/gtest.h>

using qthost_test::ModelRig;
using qthost_test::pixelAt;
using qthost_test::SketchForm;

namespace {

// Screen 28 78 C8 under pen 0F F0 55; the expected values are worked out by
// hand next to each case.
constexpr ui::Color kScreen = ui::rgb(0x28, 0x78, 0xC8);
constexpr ui::Color kPen = ui::rgb(0x0F, 0xF0, 0x55);
constexpr int kInset = 2; // the picture box's sunken border

class RasterOpTest : public ::testing::Test {
protected:
    RasterOpTest()
    {
        canvas.setBackColor(kScreen);
    }

    // A solid shape without outline, in client pixels of the canvas.
    ui::Shape& solid(int x, int y, int width, int height, ui::DrawMode mode, ui::ShapeKind kind = ui::ShapeKind::Rectangle)
    {
        auto& shape = form.add<ui::Shape>(canvas, "Shape" + std::to_string(++shapes), toTwips(x, y, width, height));
        shape.setShape(kind);
        shape.setOutline(false);
        shape.setFillStyle(ui::FillStyle::Solid);
        shape.setFillColor(kPen);
        shape.setDrawMode(mode);
        return shape;
    }

    static ui::TwipRect toTwips(int x, int y, int width, int height)
    {
        constexpr int t = ui::kTwipsPerPixel;
        return ui::TwipRect{x * t, y * t, width * t, height * t};
    }

    // Every pixel of the client rectangle has `expected`.
    void expectArea(const QImage& image, QRect client, ui::Color expected)
    {
        for (int y = client.top(); y <= client.bottom(); ++y) {
            for (int x = client.left(); x <= client.right(); ++x) {
                ASSERT_EQ(pixelAt(image, x + kInset, y + kInset), expected) << "at client pixel " << x << "," << y;
            }
        }
    }

    // The one-pixel ring just outside the client rectangle kept the screen.
    void expectUntouchedAround(const QImage& image, QRect client)
    {
        const QRect ring = client.adjusted(-1, -1, 1, 1);
        for (int x = ring.left(); x <= ring.right(); ++x) {
            EXPECT_EQ(pixelAt(image, x + kInset, ring.top() + kInset), kScreen);
            EXPECT_EQ(pixelAt(image, x + kInset, ring.bottom() + kInset), kScreen);
        }
        for (int y = ring.top(); y <= ring.bottom(); ++y) {
            EXPECT_EQ(pixelAt(image, ring.left() + kInset, y + kInset), kScreen);
            EXPECT_EQ(pixelAt(image, ring.right() + kInset, y + kInset), kScreen);
        }
    }

    ModelRig rig;
    SketchForm form{rig.app};
    ui::PictureBox& canvas = form.add<ui::PictureBox>(form, "Picture1", {0, 0, 4860, 3660});
    qthost::FormRenderer renderer{rig.app.pictures()};
    int shapes = 0;
};

struct ModeCase {
    ui::DrawMode mode;
    ui::Color expected;
    const char* name;
};

} // namespace

TEST_F(RasterOpTest, eachDrawModeCombinesPenAndScreenExactlyInsideTheShapeOnly)
{
    const ModeCase cases[] = {
        {ui::DrawMode::CopyPen, ui::rgb(0x0F, 0xF0, 0x55), "pen"},
        // 0F|~28=0F|D7=DF, F0|~78=F0|87=F7, 55|~C8=55|37=77
        {ui::DrawMode::MergePenNot, ui::rgb(0xDF, 0xF7, 0x77), "pen | ~screen"},
        // ~0F|28=F0|28=F8, ~F0|78=0F|78=7F, ~55|C8=AA|C8=EA
        {ui::DrawMode::MergeNotPen, ui::rgb(0xF8, 0x7F, 0xEA), "~pen | screen"},
        // 0F&D7=07, F0&87=80, 55&37=15
        {ui::DrawMode::MaskPenNot, ui::rgb(0x07, 0x80, 0x15), "pen & ~screen"},
        // 0F&28=08, F0&78=70, 55&C8=40
        {ui::DrawMode::MaskPen, ui::rgb(0x08, 0x70, 0x40), "pen & screen"},
    };
    int column = 0;
    for (const ModeCase& c : cases) {
        solid(10 + 20 * column++, 10, 10, 8, c.mode);
    }
    const QImage image = renderer.render(form);
    column = 0;
    for (const ModeCase& c : cases) {
        SCOPED_TRACE(c.name);
        const QRect area(10 + 20 * column++, 10, 10, 8);
        expectArea(image, area, c.expected);
        expectUntouchedAround(image, area);
    }
}

TEST_F(RasterOpTest, aFillCombinesWithWhateverWasDrawnUnderneathIt)
{
    solid(10, 10, 20, 10, ui::DrawMode::MaskPen);
    // Added after the shape, so it lies behind it: white under the left half.
    auto& under = form.add<ui::Label>(canvas, "Label1", toTwips(10, 10, 10, 10));
    under.setOpaque(true, ui::colors::white);
    const QImage image = renderer.render(form);
    expectArea(image, QRect(10, 10, 10, 10), kPen);                          // pen & FF = pen
    expectArea(image, QRect(20, 10, 10, 10), ui::rgb(0x08, 0x70, 0x40));     // pen & screen
}

TEST_F(RasterOpTest, theSameModeAppliedTwiceByOverlappingShapesStacksUp)
{
    // ~pen | screen twice: the second sees the result of the first.
    solid(10, 10, 10, 10, ui::DrawMode::MergeNotPen);
    solid(10, 10, 10, 10, ui::DrawMode::MergeNotPen);
    const QImage image = renderer.render(form);
    // F8 7F EA, then F0|F8=F8, 0F|7F=7F, AA|EA=EA: idempotent.
    expectArea(image, QRect(10, 10, 10, 10), ui::rgb(0xF8, 0x7F, 0xEA));
}

TEST_F(RasterOpTest, aCircleFillsTheLargestCentredCircleAndLeavesTheCornersOfItsBox)
{
    solid(10, 10, 40, 20, ui::DrawMode::MergePenNot, ui::ShapeKind::Circle);
    const QImage image = renderer.render(form);
    const ui::Color filled = ui::rgb(0xDF, 0xF7, 0x77);
    EXPECT_EQ(pixelAt(image, 30 + kInset, 20 + kInset), filled) << "centre";
    EXPECT_EQ(pixelAt(image, 21 + kInset, 20 + kInset), filled) << "left edge of the circle";
    EXPECT_EQ(pixelAt(image, 15 + kInset, 20 + kInset), kScreen) << "the box is wider than the circle";
    EXPECT_EQ(pixelAt(image, 20 + kInset, 10 + kInset), kScreen) << "corner of the circle's square";
    EXPECT_EQ(pixelAt(image, 45 + kInset, 20 + kInset), kScreen);
}

TEST_F(RasterOpTest, aRoundedRectangleLeavesItsCornerPixels)
{
    solid(10, 10, 40, 20, ui::DrawMode::CopyPen, ui::ShapeKind::RoundedRectangle);
    const QImage image = renderer.render(form);
    EXPECT_EQ(pixelAt(image, 10 + kInset, 10 + kInset), kScreen);
    EXPECT_EQ(pixelAt(image, 49 + kInset, 29 + kInset), kScreen);
    EXPECT_EQ(pixelAt(image, 30 + kInset, 10 + kInset), kPen) << "middle of the top edge";
    EXPECT_EQ(pixelAt(image, 30 + kInset, 20 + kInset), kPen);
}

TEST_F(RasterOpTest, aTransparentShapeDrawsOnlyItsOutline)
{
    auto& frame = form.add<ui::Shape>(canvas, "Shape1", toTwips(10, 10, 20, 10));
    frame.setOutline(true, ui::colors::black);
    frame.setFillColor(kPen); // ignored while the fill is transparent
    const QImage image = renderer.render(form);
    EXPECT_EQ(pixelAt(image, 10 + kInset, 10 + kInset), ui::colors::black);
    EXPECT_EQ(pixelAt(image, 29 + kInset, 19 + kInset), ui::colors::black);
    EXPECT_EQ(pixelAt(image, 20 + kInset, 10 + kInset), ui::colors::black);
    expectArea(image, QRect(11, 11, 18, 8), kScreen);
    expectUntouchedAround(image, QRect(10, 10, 20, 10));
}

TEST_F(RasterOpTest, aShapeReachingPastItsContainerIsCutAtTheClientArea)
{
    solid(300, 220, 40, 40, ui::DrawMode::CopyPen);
    const QImage image = renderer.render(form);
    EXPECT_EQ(pixelAt(image, 319 + kInset, 239 + kInset), kPen);
    // The sunken border's outer highlight and inner face at the bottom right.
    EXPECT_EQ(pixelAt(image, 323, 243), ui::colors::white);
    EXPECT_EQ(pixelAt(image, 322, 242), ui::colors::controlFace);
}

TEST_F(RasterOpTest, atDoubleResolutionEveryDevicePixelOfTheShapeIsCombined)
{
    solid(10, 10, 10, 5, ui::DrawMode::MaskPenNot);
    const QImage image = renderer.render(form, 2.0);
    ASSERT_EQ(image.size(), QSize(648, 488));
    EXPECT_EQ(image.devicePixelRatio(), 2.0);
    const ui::Color expected = ui::rgb(0x07, 0x80, 0x15);
    for (int y = 2 * (10 + kInset); y < 2 * (15 + kInset); ++y) {
        for (int x = 2 * (10 + kInset); x < 2 * (20 + kInset); ++x) {
            ASSERT_EQ(pixelAt(image, x, y), expected) << x << "," << y;
        }
    }
    EXPECT_EQ(pixelAt(image, 2 * (10 + kInset) - 1, 2 * (10 + kInset)), kScreen);
    EXPECT_EQ(pixelAt(image, 2 * (20 + kInset), 2 * (10 + kInset)), kScreen);
}
