// Where controls lie on their form and which one a click lands on.

#include "platform/qt/FormGeometry.h"
#include "tests/qthost/HostTestSupport.h"

#include <gtest/gtest.h>

using qthost_test::ModelRig;
using qthost_test::SketchForm;

namespace {

constexpr int t = ui::kTwipsPerPixel;

ui::TwipRect px(int x, int y, int width, int height)
{
    return ui::TwipRect{x * t, y * t, width * t, height * t};
}

class FormGeometryTest : public ::testing::Test {
protected:
    ModelRig rig;
    SketchForm form{rig.app};
    ui::PictureBox& canvas = form.add<ui::PictureBox>(form, "Picture1", {0, 0, 4860, 3660});
};

} // namespace

TEST_F(FormGeometryTest, aControlInsideAPictureBoxSitsInsideItsBorder)
{
    auto& label = form.add<ui::Label>(canvas, "Label1", px(10, 20, 30, 15));
    EXPECT_EQ(qthost::formRect(label), QRect(12, 22, 30, 15));
    auto& inner = form.add<ui::PictureBox>(canvas, "Picture2", px(100, 50, 60, 60));
    auto& deep = form.add<ui::Label>(inner, "Label2", px(5, 5, 10, 10));
    EXPECT_EQ(qthost::formRect(deep), QRect(2 + 100 + 2 + 5, 2 + 50 + 2 + 5, 10, 10));
}

TEST_F(FormGeometryTest, aFramesChildrenCountFromTheFramesCorner)
{
    auto& frame = form.add<ui::Frame>(canvas, "Frame1", px(10, 10, 150, 30));
    auto& label = form.add<ui::Label>(frame, "Label2", px(20, 12, 40, 13));
    EXPECT_EQ(qthost::formRect(label), QRect(2 + 10 + 20, 2 + 10 + 12, 40, 13));
}

TEST_F(FormGeometryTest, aControlInAHiddenContainerIsNotShown)
{
    auto& inner = form.add<ui::PictureBox>(canvas, "Picture2", px(100, 50, 60, 60));
    auto& label = form.add<ui::Label>(inner, "Label2", px(5, 5, 10, 10));
    EXPECT_TRUE(qthost::isShown(label));
    inner.setVisible(false);
    EXPECT_FALSE(qthost::isShown(label));
}

TEST_F(FormGeometryTest, aClickLandsOnTheFrontMostInnermostVisibleControl)
{
    auto& front = form.add<ui::Label>(canvas, "Label1", px(10, 10, 40, 40));
    auto& behind = form.add<ui::Label>(canvas, "Label2", px(30, 30, 40, 40));
    auto& hidden = form.add<ui::Label>(canvas, "Label3", px(0, 0, 320, 240));
    hidden.setVisible(false);
    EXPECT_EQ(qthost::controlAt(form, QPoint(2 + 35, 2 + 35)), &front);
    EXPECT_EQ(qthost::controlAt(form, QPoint(2 + 60, 2 + 60)), &behind);
    EXPECT_EQ(qthost::controlAt(form, QPoint(2 + 200, 2 + 200)), &canvas);
    EXPECT_EQ(qthost::controlAt(form, QPoint(0, 0)), &canvas) << "the border belongs to the picture box";
}

TEST_F(FormGeometryTest, aPictureBoxCatchesClicksOverALabelListedBeforeIt)
{
    auto& label = form.add<ui::Label>(canvas, "Label1", px(10, 10, 40, 40));
    auto& inner = form.add<ui::PictureBox>(canvas, "Picture2", px(30, 10, 40, 40));
    EXPECT_EQ(qthost::controlAt(form, QPoint(2 + 40, 2 + 20)), &inner);
    EXPECT_EQ(qthost::controlAt(form, QPoint(2 + 15, 2 + 20)), &label);
}

TEST_F(FormGeometryTest, aClickOutsideEveryControlHitsTheFormItself)
{
    canvas.setWidth(100 * t);
    EXPECT_EQ(qthost::controlAt(form, QPoint(200, 100)), nullptr);
}

TEST_F(FormGeometryTest, theFirstChildIsPaintedLastAndWindowsAfterGraphicalControls)
{
    auto& first = form.add<ui::Label>(canvas, "Label1", px(0, 0, 1, 1));
    auto& box = form.add<ui::PictureBox>(canvas, "Picture2", px(0, 0, 1, 1));
    auto& last = form.add<ui::Shape>(canvas, "Shape1", px(0, 0, 1, 1));
    form.add<ui::Timer>(canvas, "Timer1", {});
    const std::vector<const ui::Control*> expected{&last, &first, &box};
    EXPECT_EQ(ui::paintingOrder(canvas), expected);
}
