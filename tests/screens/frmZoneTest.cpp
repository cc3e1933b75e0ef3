// The zone select: the thumbnails, the green frame moved by Left/Right or
// F/J, and confirming a zone into the stage.

#include "resources/PictureCatalog.h"
#include "tests/support/FrontDriver.h"

#include <gtest/gtest.h>

#include <array>
#include <vector>

using front_test::FrontDriver;

namespace {

struct ZoneScreen : FrontDriver {
    ZoneScreen()
    {
        standIn("frmStage");
        open("frmZone", 3015, 1290);
    }
    // Lefts of the top, bottom, left and right bars of the frame.
    std::array<double, 4> frameLefts() const
    {
        return {shape("frmZone", "Shape1").left(), shape("frmZone", "Shape2").left(),
                shape("frmZone", "Shape3").left(), shape("frmZone", "Shape4").left()};
    }
};

constexpr std::array<double, 4> kFrameOnZone0 = {300, 300, 300, 1560};
constexpr std::array<double, 4> kFrameOnZone1 = {1740, 1740, 1740, 3000};
constexpr std::array<double, 4> kFrameOnZone2 = {3180, 3180, 3180, 4440};

} // namespace

TEST(ZoneThumbnails, eachBoxShowsItsZonesStageBackgroundFrom44PixelsIn)
{
    ZoneScreen zone;
    const std::vector<std::pair<const char*, const char*>> thumbnails = {
        {"Image1", pictures::kStageCastle}, {"Image2", pictures::kStageLake}, {"Image3", pictures::kStageStream}};
    for (const auto& [name, picture] : thumbnails) {
        const ui::Image& image = zone.image("frmZone", name);
        EXPECT_EQ(image.picture(), picture) << name;
        EXPECT_EQ(image.left(), -660) << name;
        EXPECT_EQ(image.top(), -660) << name;
        EXPECT_EQ(image.width(), 4800) << name << " takes the picture's 320 px";
        EXPECT_EQ(image.height(), 3600) << name << " takes the picture's 240 px";
    }
    EXPECT_EQ(zone.frameLefts(), kFrameOnZone0);
    EXPECT_EQ(zone.state("frmZone", "ZoneCursor"), "0");
}

TEST(ZoneFrame, rightTwicePutsTheFrameAroundAllKindsWithoutWrapping)
{
    ZoneScreen zone;
    zone.key(ui::vk::Right);
    EXPECT_EQ(zone.frameLefts(), kFrameOnZone1);
    zone.key(ui::vk::Right);
    EXPECT_EQ(zone.frameLefts(), kFrameOnZone2);
    zone.key(ui::vk::Right);
    zone.key(ui::vk::J);
    EXPECT_EQ(zone.frameLefts(), kFrameOnZone2);
    EXPECT_EQ(zone.state("frmZone", "ZoneCursor"), "2");
    for (const char* bar : {"Shape1", "Shape2", "Shape3", "Shape4"}) {
        EXPECT_EQ(zone.shape("frmZone", bar).top(), bar == std::string("Shape2") ? 2280 : 660) << bar;
    }
}

TEST(ZoneFrame, theHomeRowKeysFAndJMoveTheFrameLikeTheArrowsWithoutWrapping)
{
    ZoneScreen zone;
    zone.keys({ui::vk::Left, ui::vk::F});
    EXPECT_EQ(zone.frameLefts(), kFrameOnZone0);
    zone.keys({ui::vk::J, ui::vk::J});
    EXPECT_EQ(zone.frameLefts(), kFrameOnZone2);
    zone.key(ui::vk::F);
    EXPECT_EQ(zone.frameLefts(), kFrameOnZone1);
    zone.key(ui::vk::Left);
    EXPECT_EQ(zone.frameLefts(), kFrameOnZone0);
}

TEST(ZoneFrame, upDownEscapeAndOtherLettersDoNothing)
{
    ZoneScreen zone;
    zone.key(ui::vk::Right);
    zone.keys({ui::vk::Up, ui::vk::Down, ui::vk::Escape, ui::vk::A, ui::vk::F + 1, ui::vk::J - 1});
    EXPECT_EQ(zone.frameLefts(), kFrameOnZone1);
    EXPECT_EQ(zone.openNames(), std::vector<std::string>{"frmZone"});
}

TEST(ZoneConfirm, confirmingAfterRightTwicePlaysZoneTwoWhereTheZoneSelectStood)
{
    ZoneScreen zone;
    zone.keys({ui::vk::Right, ui::vk::Right, ui::vk::Enter});
    EXPECT_EQ(Module1::CurrentZone, 2);
    EXPECT_FALSE(zone.isOpen("frmZone"));
    EXPECT_EQ(zone.openNames(), std::vector<std::string>{"frmStage"});
    EXPECT_EQ(zone.active(), "frmStage");
    EXPECT_EQ(zone.form("frmStage").left(), 3015);
    EXPECT_EQ(zone.form("frmStage").top(), 1290);
}

TEST(ZoneConfirm, confirmingAtOncePlaysZoneZeroWhateverWasPlayedLast)
{
    ZoneScreen zone;
    Module1::CurrentZone = 1;
    zone.key(ui::vk::Space);
    EXPECT_EQ(Module1::CurrentZone, 0);
    EXPECT_EQ(zone.active(), "frmStage");
}

TEST(ZoneWindow, closingTheZoneSelectEndsTheProgramAndLeavesNothingLoaded)
{
    ZoneScreen zone;
    zone.close("frmZone");
    EXPECT_TRUE(zone.rig.app.finished());
    EXPECT_EQ(zone.rig.app.loaded("frmStage"), nullptr);
}
