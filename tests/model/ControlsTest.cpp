// Control geometry in twips and pixels, labels that fit their caption, and
// the picture box canvas.

#include "tests/support/TestForms.h"

#include <gtest/gtest.h>

using testing_support::ProbeForm;
using testing_support::ProbeRig;

TEST(ControlGeometry, runTimeValuesSnapToWholePixelsAndReadBackSo)
{
    ProbeRig rig;
    auto& a = dynamic_cast<ProbeForm&>(rig.app.form("frmA"));
    a.Label1.setHeight(61.5); // twips: 4.1 pixels
    EXPECT_EQ(a.Label1.height(), 60);
    a.Label1.setWidth(3120 * 1.2);
    EXPECT_EQ(a.Label1.width(), 3750);
}

TEST(ControlGeometry, designedValuesAreKeptExactly)
{
    ProbeRig rig;
    auto& a = dynamic_cast<ProbeForm&>(rig.app.form("frmA"));
    auto& odd = a.add<ui::Label>(a, "Odd", {130, 2415, 2535, 255});
    EXPECT_EQ(odd.left(), 130);
    EXPECT_EQ(odd.pixelRect().x, 9);
}

TEST(ControlGeometry, aPixelScaledContainerSpeaksPixels)
{
    ProbeRig rig;
    auto& a = dynamic_cast<ProbeForm&>(rig.app.form("frmA"));
    a.Picture1.setScaleMode(ui::ScaleMode::Pixels);
    auto& bar = a.add<ui::Shape>(a.Picture1, "Bar", {360, 3180, 1500, 135});
    EXPECT_EQ(bar.left(), 24);
    EXPECT_EQ(bar.width(), 100);
    bar.setWidth(66.6);
    EXPECT_EQ(bar.width(), 67);
    EXPECT_EQ(bar.twips().width, 1005);
}

TEST(FittingLabels, keepTheirRightEdgeWhenRightAligned)
{
    ProbeRig rig;
    auto& a = dynamic_cast<ProbeForm&>(rig.app.form("frmA"));
    auto& score = a.add<ui::Label>(a.Picture1, "Score", {4455, 420, 120, 270});
    score.setCaption("0");
    score.setAlignment(ui::Alignment::Right);
    score.setFits(true);
    score.setCaption("12345"); // four characters more, 7 pixels each
    EXPECT_EQ(score.twips().width, 120 + 4 * 7 * 15);
    EXPECT_EQ(score.twips().left + score.twips().width, 4575);
}

TEST(FittingLabels, keepTheirLeftEdgeOrCentre)
{
    ProbeRig rig;
    auto& a = dynamic_cast<ProbeForm&>(rig.app.form("frmA"));
    auto& left = a.add<ui::Label>(a, "L", {960, 3060, 270, 225});
    left.setCaption("100");
    left.setFits(true);
    left.setCaption("0");
    EXPECT_EQ(left.twips().left, 960);
    EXPECT_EQ(left.twips().width, 270 - 2 * 7 * 15);

    auto& centred = a.add<ui::Label>(a, "C", {240, 300, 420, 465});
    centred.setCaption("30");
    centred.setAlignment(ui::Alignment::Center);
    centred.setFits(true);
    centred.setCaption("0");
    EXPECT_NEAR(centred.twips().left + centred.twips().width / 2.0, 240 + 420 / 2.0, 1.0);
}

TEST(PictureCanvas, drawingsAccumulateUntilCleared)
{
    ProbeRig rig;
    auto& a = dynamic_cast<ProbeForm&>(rig.app.form("frmA"));
    a.Picture1.setScaleMode(ui::ScaleMode::Pixels);
    a.Picture1.setFontSize(8);
    a.Picture1.print(100, 6, "Ａ", ui::rgb(255, 253, 253));
    a.Picture1.setFontSize(9);
    a.Picture1.print(99.5, 7, "Ａ", ui::colors::black);
    ASSERT_EQ(a.Picture1.drawings().size(), 2u);
    EXPECT_EQ(a.Picture1.drawings()[0].font.points, 8);
    EXPECT_EQ(a.Picture1.drawings()[1].x, 100) << "pixel positions round to even";
    const auto clears = a.Picture1.clearCount();
    a.Picture1.cls();
    EXPECT_TRUE(a.Picture1.drawings().empty());
    EXPECT_EQ(a.Picture1.clearCount(), clears + 1);
}

TEST(ImageControls, takeTheSizeOfTheirPictureUnlessStretched)
{
    ProbeRig rig;
    auto& a = dynamic_cast<ProbeForm&>(rig.app.form("frmA"));
    auto& thumb = a.add<ui::Image>(a.Picture1, "Thumb", {-660, -660, 1815, 2175});
    thumb.setPicture("stage_lake");
    EXPECT_EQ(thumb.width(), 4800);
    EXPECT_EQ(thumb.height(), 3600);
    EXPECT_EQ(thumb.left(), -660);

    auto& banner = a.add<ui::Image>(a.Picture1, "Banner", {840, 1380, 3120, 615});
    banner.setStretch(true);
    banner.setPicture("title_banner");
    EXPECT_EQ(banner.width(), 3120);
}

TEST(ControlRepaints, aSetterMarksTheFormOnlyWhenItsValueReallyChanges)
{
    ProbeRig rig;
    auto& a = dynamic_cast<ProbeForm&>(rig.app.form("frmA"));
    a.takeDirty();
    a.Label1.setCaption("design");
    a.Label1.setLeft(a.Label1.left());
    a.Label1.setForeColor(a.Label1.foreColor());
    a.Picture1.setBackColor(a.Picture1.backColor());
    EXPECT_FALSE(a.takeDirty());
    a.Label1.setCaption("design");
    a.Label1.setForeColor(ui::colors::red);
    EXPECT_TRUE(a.takeDirty()) << "one real change among unchanged values";

    a.setCaption(a.caption());
    a.move(a.left(), a.top());
    a.setClientSize(a.clientWidthTwips(), a.clientHeightTwips());
    EXPECT_FALSE(a.takeDirty()) << "the form's own properties, unchanged";
    a.setClientSize(a.clientWidthTwips(), a.clientHeightTwips() + 15);
    EXPECT_TRUE(a.takeDirty()) << "a taller form";
    EXPECT_EQ(a.clientHeightTwips(), 3675);
}

TEST(ControlRepaints, drawingOnTheCanvasAlwaysMarksTheForm)
{
    ProbeRig rig;
    auto& a = dynamic_cast<ProbeForm&>(rig.app.form("frmA"));
    a.Picture1.cls();
    a.takeDirty();
    a.Picture1.cls();
    EXPECT_TRUE(a.takeDirty()) << "clearing an empty canvas";
    a.Picture1.print(0, 0, "A", ui::colors::black);
    a.takeDirty();
    a.Picture1.print(0, 0, "A", ui::colors::black);
    EXPECT_TRUE(a.takeDirty()) << "the same text again, on top of the first";
}
