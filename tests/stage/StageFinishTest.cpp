// The end of a game: what the finish key hands over to the shared state and
// to the results screen, and what closing the window leaves behind.

#include "tests/stage/StageSession.h"

namespace stage_test {
namespace {

void playUntilTimeUp(StageSession& s)
{
    s.advance(30000);
    ASSERT_EQ(s.label("Label2").caption(), "0");
}

TEST(StageFinish, HandsTheMeasurementsOverAndKeepsTheTenBest)
{
    StageSession s(1);
    Module1::FillDefaultRecords();
    const auto tableBefore = Module1::RecordScore;
    s.open();
    s.start();
    s.advance(1200);
    s.hit();
    s.miss();
    s.advance(1300);
    s.hit();
    const double score = s.number("StageScore");
    playUntilTimeUp(s);
    s.press(kEnter);

    EXPECT_EQ(Module1::AvgResponse, 1250);
    EXPECT_EQ(Module1::LastScore, score);
    EXPECT_EQ(Module1::RecordScore[1][10], score);
    EXPECT_EQ(Module1::HitRate, 66.6);
    for (int zone = 0; zone < Module1::kZones; ++zone) {
        for (int rank = 0; rank < 10; ++rank) {
            EXPECT_EQ(Module1::RecordScore[zone][rank], tableBefore[zone][rank]);
        }
    }
    EXPECT_EQ(Module1::RecordScore[0][10], 0);
    EXPECT_EQ(Module1::RecordScore[2][10], 0);
}

TEST(StageFinish, OpensTheResultsWhereTheStageStoodAndClosesTheStage)
{
    StageSession s(0);
    s.open(2345, 1234);
    s.start();
    playUntilTimeUp(s);
    s.press(kSpace);

    EXPECT_FALSE(s.stageOpen());
    ui::Form* results = s.rig.app.loaded("frmResults");
    ASSERT_NE(results, nullptr);
    EXPECT_TRUE(results->visible());
    EXPECT_EQ(results->left(), 2345);
    EXPECT_EQ(results->top(), 1234);
    EXPECT_EQ(s.rig.app.activeForm(), results);
    EXPECT_FALSE(s.rig.app.finished());
}

TEST(StageFinish, AGameWithoutAHitEndsWithResponseZero)
{
    StageSession s(0);
    s.open();
    Module1::AvgResponse = 812.5;
    s.start();
    s.miss();
    playUntilTimeUp(s);
    s.press(kEnter);
    EXPECT_EQ(Module1::AvgResponse, 0);
    EXPECT_EQ(Module1::HitRate, 0);
    EXPECT_EQ(Module1::LastScore, 0);
}

TEST(StageFinish, AGameWithoutAJudgedKeyEndsWithHitRateZeroWhileTheLabelShows100)
{
    StageSession s(0);
    s.open();
    s.start();
    playUntilTimeUp(s);
    EXPECT_EQ(s.label("Label11").caption(), "100");
    s.press(kSpace);
    EXPECT_EQ(Module1::HitRate, 0);
    EXPECT_EQ(Module1::AvgResponse, 0);
}

TEST(StageFinish, TheResponseTimeAfterTheLastHitDoesNotCount)
{
    StageSession s(2);
    s.open();
    s.start();
    s.advance(700);
    s.hit();
    playUntilTimeUp(s);
    s.press(kEnter);
    EXPECT_EQ(Module1::AvgResponse, 700);
    EXPECT_EQ(Module1::RecordScore[2][10], Module1::LastScore);
}

TEST(StageFinish, OtherKeysLeaveTheFinishedStageWaiting)
{
    StageSession s(0);
    s.open();
    s.start();
    playUntilTimeUp(s);
    s.press('A');
    s.press(kNeverAccepted);
    EXPECT_TRUE(s.stageOpen());
    EXPECT_EQ(s.rig.app.loaded("frmResults"), nullptr);
}

TEST(StageClose, ClosingDuringPlayDiscardsTheGame)
{
    StageSession s(0);
    Module1::FillDefaultRecords();
    s.open();
    s.start();
    s.advance(900);
    s.hit();
    s.miss();
    const double response = Module1::AvgResponse;
    s.rig.app.requestClose(s.stage());

    EXPECT_FALSE(s.stageOpen());
    EXPECT_EQ(s.rig.app.loaded("frmResults"), nullptr);
    EXPECT_TRUE(s.rig.app.finished());
    EXPECT_EQ(Module1::AvgResponse, response);
    EXPECT_EQ(Module1::HitRate, 0);
    EXPECT_EQ(Module1::LastScore, 0);
    EXPECT_EQ(Module1::RecordScore[0][10], 0);
}

TEST(StageClose, ClosingAfterTimeUpWritesNothingMore)
{
    StageSession s(0);
    s.open();
    s.start();
    s.hit();
    playUntilTimeUp(s);
    s.rig.app.requestClose(s.stage());
    EXPECT_EQ(Module1::LastScore, 0);
    EXPECT_EQ(Module1::RecordScore[0][10], 0);
    EXPECT_EQ(Module1::HitRate, 0);
    EXPECT_EQ(s.events, "");
}

} // namespace
} // namespace stage_test
