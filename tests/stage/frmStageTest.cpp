// The stage window: its design, set-up, the Waiting state, the start key and
// the clocks that lead to TIME UP.

#include "resources/PictureCatalog.h"
#include "tests/stage/StageSession.h"

#include <algorithm>

namespace stage_test {
namespace {

bool isBehind(const ui::Container& parent, const ui::Control& back, const ui::Control& front)
{
    const auto& order = parent.children();
    const auto at = [&](const ui::Control& c) { return std::find(order.begin(), order.end(), &c) - order.begin(); };
    return at(front) < at(back);
}

TEST(StageDesign, OpensWithTheDesignedFiguresPromptAndBackground)
{
    StageSession s(0);
    s.open();
    EXPECT_EQ(s.stage().caption(), "Quorvel - Alphabetic Characters Zone -");
    EXPECT_EQ(s.stage().clientWidthTwips(), 4860);
    EXPECT_EQ(s.stage().clientHeightTwips(), 3660);
    EXPECT_EQ(s.label("Label2").caption(), "30");
    EXPECT_EQ(s.label("Label1").caption(), "0");
    EXPECT_EQ(s.label("Label8").caption(), "0");
    EXPECT_EQ(s.label("Label11").caption(), "100");
    EXPECT_TRUE(s.label("Label5", 0).visible());
    EXPECT_TRUE(s.label("Label5", 1).visible());
    EXPECT_TRUE(s.label("Label6").visible());
    EXPECT_FALSE(s.label("Label10", 0).visible());
    EXPECT_FALSE(s.label("Label10", 1).visible());
    EXPECT_EQ(s.bar().width(), 100);
    EXPECT_EQ(s.canvas().picture(), pictures::kStageCastle);
    EXPECT_EQ(s.canvas().font().points, 12);
    EXPECT_TRUE(s.canvas().drawings().empty());
}

TEST(StageDesign, ShadowCopiesOfTheTitlesLieBehindTheirMainCopies)
{
    StageSession s(0);
    s.open();
    const ui::PictureBox& canvas = s.canvas();
    EXPECT_TRUE(isBehind(canvas, s.label("Label5", 1), s.label("Label5", 0)));
    EXPECT_TRUE(isBehind(canvas, s.label("Label10", 1), s.label("Label10", 0)));
    EXPECT_EQ(s.label("Label5", 1).left() - s.label("Label5", 0).left(), 8);
    EXPECT_EQ(s.label("Label5", 1).top() - s.label("Label5", 0).top(), 8);
}

TEST(StageDesign, OnlyThePromptBlinkRunsBeforeTheStart)
{
    StageSession s(0);
    s.open();
    EXPECT_FALSE(s.timer("Timer1").running());
    EXPECT_TRUE(s.timer("Timer2").running());
    EXPECT_FALSE(s.timer("Timer3").running());
    EXPECT_FALSE(s.timer("Timer4").running());
    EXPECT_EQ(s.timer("Timer2").interval(), 700);
    EXPECT_EQ(s.timer("Timer3").interval(), 1000);
    EXPECT_EQ(s.timer("Timer4").interval(), 100);
}

TEST(StageDesign, TheScoreKeepsItsRightEdgeAsItGrows)
{
    StageSession s(0);
    s.open();
    const double rightEdge = s.label("Label1").left() + s.label("Label1").width();
    s.start();
    s.hit();
    s.hit();
    s.hit();
    ASSERT_GE(s.label("Label1").caption().size(), 3U);
    EXPECT_EQ(s.label("Label1").left() + s.label("Label1").width(), rightEdge);
    EXPECT_EQ(rightEdge, 305); // 4575 twips
}

TEST(StageSetUp, ResetsTheMenuCursorAndItsMemory)
{
    StageSession s(0);
    Module1::KeepCursor = 1;
    Module1::MenuCursor = 2;
    s.open();
    EXPECT_EQ(Module1::KeepCursor, 0);
    EXPECT_EQ(Module1::MenuCursor, 0);
}

TEST(StageSetUp, FirstTargetWaitsAtTheTopOfItsPath)
{
    StageSession s(0);
    s.open();
    EXPECT_EQ(s.state("PosY"), "5");
    EXPECT_EQ(s.state("PosX"), "5");
    EXPECT_EQ(s.state("PathX"), "100");
    EXPECT_EQ(s.state("Phase"), "0");
    EXPECT_EQ(s.state("GlyphSize"), "8");
    EXPECT_EQ(s.state("TimeLeft"), "30");
    EXPECT_EQ(s.state("ZoneCount(1)"), "40");
    EXPECT_EQ(s.state("ZoneStart(1)"), "27");
}

struct ZoneLook {
    int zone;
    const char* caption;
    const char* picture;
};

class StageZoneLook : public ::testing::TestWithParam<ZoneLook> {};

TEST_P(StageZoneLook, CaptionAndBackgroundFollowTheZone)
{
    StageSession s(GetParam().zone);
    s.open();
    EXPECT_EQ(s.stage().caption(), GetParam().caption);
    EXPECT_EQ(s.canvas().picture(), GetParam().picture);
}

INSTANTIATE_TEST_SUITE_P(EveryZone, StageZoneLook,
                         ::testing::Values(ZoneLook{0, "Quorvel - Alphabetic Characters Zone -", pictures::kStageCastle},
                                           ZoneLook{1, "Quorvel - Kana Characters Zone -", pictures::kStageLake},
                                           ZoneLook{2, "Quorvel - All kinds Characters Zone -",
                                                    pictures::kStageStream}));

TEST(StageWaiting, IgnoresEveryKeyButEnterAndSpace)
{
    StageSession s(0);
    s.open();
    for (int code : {65, 97, 0xC1, 27, 8, 49, kNeverAccepted}) {
        s.press(code);
    }
    s.advance(2000);
    EXPECT_FALSE(s.timer("Timer1").running());
    EXPECT_TRUE(s.label("Label5", 0).visible());
    EXPECT_EQ(s.label("Label2").caption(), "30");
    EXPECT_EQ(s.state("Strokes"), "0");
    EXPECT_TRUE(s.canvas().drawings().empty());
}

TEST(StageWaiting, ThePromptBlinksEvery700Milliseconds)
{
    StageSession s(0);
    s.open();
    s.advance(699);
    EXPECT_TRUE(s.label("Label6").visible());
    s.advance(1);
    EXPECT_FALSE(s.label("Label6").visible());
    s.advance(700);
    EXPECT_TRUE(s.label("Label6").visible());
}

class StageStartKey : public ::testing::TestWithParam<int> {};

TEST_P(StageStartKey, StartsTheGameAndHidesReadyAndThePrompt)
{
    StageSession s(0);
    s.open();
    Module1::HitRate = 55;
    s.press(GetParam());
    EXPECT_FALSE(s.label("Label5", 0).visible());
    EXPECT_FALSE(s.label("Label5", 1).visible());
    EXPECT_FALSE(s.label("Label6").visible());
    EXPECT_TRUE(s.timer("Timer1").running());
    EXPECT_FALSE(s.timer("Timer2").running());
    EXPECT_EQ(Module1::HitRate, 0);
    EXPECT_EQ(s.state("Strokes"), "0");
}

TEST_P(StageStartKey, TheFirstSecondEndsOneSecondAfterTheStart)
{
    StageSession s(0);
    s.open();
    s.advance(450);
    s.press(GetParam());
    s.advance(999);
    EXPECT_EQ(s.label("Label2").caption(), "30");
    s.advance(1);
    EXPECT_EQ(s.label("Label2").caption(), "29");
}

TEST_P(StageStartKey, IsJudgedAsAMissDuringPlayAndNeverRestarts)
{
    StageSession s(0);
    s.open();
    s.start();
    s.advance(1500);
    const auto drawn = s.canvas().drawings().size();
    s.press(GetParam());
    EXPECT_EQ(s.state("Strokes"), "1");
    EXPECT_EQ(s.label("Label11").caption(), "0");
    EXPECT_EQ(s.label("Label2").caption(), "29");
    EXPECT_EQ(s.canvas().drawings().size(), drawn);
    s.advance(500);
    EXPECT_EQ(s.label("Label2").caption(), "28");
}

TEST_P(StageStartKey, InTheFirstSecondOfPlayIsStillAMissAndNotARestart)
{
    StageSession s(0);
    s.open();
    s.start();
    s.advance(500);
    s.press(GetParam());
    EXPECT_EQ(s.state("Strokes"), "1");
    EXPECT_EQ(s.state("RespTicks"), "5");
    EXPECT_FALSE(s.timer("Timer2").running());
    s.advance(500);
    EXPECT_EQ(s.label("Label2").caption(), "29");
}

INSTANTIATE_TEST_SUITE_P(EnterAndSpace, StageStartKey, ::testing::Values(kEnter, kSpace));

TEST(StageCountdown, TheThirtiethSecondEndsThePlayWithTimeUp)
{
    StageSession s(0);
    s.open();
    s.start();
    s.advance(29000);
    EXPECT_EQ(s.label("Label2").caption(), "1");
    EXPECT_FALSE(s.label("Label10", 0).visible());
    s.advance(1000);
    EXPECT_EQ(s.label("Label2").caption(), "0");
    EXPECT_FALSE(s.timer("Timer1").running());
    EXPECT_FALSE(s.timer("Timer3").running());
    EXPECT_FALSE(s.timer("Timer4").running());
    EXPECT_TRUE(s.label("Label10", 0).visible());
    EXPECT_TRUE(s.label("Label10", 1).visible());
    EXPECT_FALSE(s.label("Label6").visible());
}

TEST(StageCountdown, TimeUpKeepsTheLastDrawingAndBlinksThePromptAgain)
{
    StageSession s(0);
    s.open();
    s.start();
    s.advance(30000);
    const auto drawn = s.canvas().drawings().size();
    const std::string ticks = s.state("RespTicks");
    ASSERT_GT(drawn, 0U);
    s.advance(699);
    EXPECT_FALSE(s.label("Label6").visible());
    s.advance(1);
    EXPECT_TRUE(s.label("Label6").visible());
    s.advance(5000);
    EXPECT_EQ(s.canvas().drawings().size(), drawn);
    EXPECT_EQ(s.state("RespTicks"), ticks);
    EXPECT_EQ(s.label("Label2").caption(), "0");
}

TEST(StageCountdown, KeysOtherThanEnterAndSpaceAreNotJudgedAfterTimeUp)
{
    StageSession s(0);
    s.open();
    s.start();
    s.miss();
    s.advance(30000);
    for (int code : {65, 97, 0xC1, kNeverAccepted}) {
        s.press(code);
    }
    ASSERT_TRUE(s.stageOpen());
    EXPECT_EQ(s.state("Strokes"), "1");
    EXPECT_EQ(s.state("Hits"), "0");
}

TEST(StageClocks, ResponseClockCountsTenthsOfASecondFromTheStart)
{
    StageSession s(0);
    s.open();
    s.advance(1000);
    EXPECT_EQ(s.state("RespTicks"), "0");
    s.start();
    s.advance(1250);
    EXPECT_EQ(s.state("RespTicks"), "12");
}

TEST(StageClocks, HighSpeedHalvesOnlyTheFlightTick)
{
    StageSession s(0);
    Module1::OptSpeed = 1;
    s.open();
    EXPECT_EQ(s.timer("Timer1").interval(), 50);
    EXPECT_EQ(s.timer("Timer3").interval(), 1000);
    EXPECT_EQ(s.timer("Timer4").interval(), 100);
    s.start();
    s.advance(1000);
    EXPECT_EQ(s.glyphDrawings().size(), 20U);
    EXPECT_EQ(s.state("RespTicks"), "10");
    EXPECT_EQ(s.label("Label2").caption(), "29");
}


} // namespace
} // namespace stage_test
