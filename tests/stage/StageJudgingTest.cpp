// Which keys a target accepts, which targets a zone draws, and what hits and
// misses do to the score, the response time and the hit rate.

#include "tests/stage/StageSession.h"

#include <set>

namespace stage_test {
namespace {

// Every single-byte code that counts as a hit on a game whose first target
// is `position`. A hit draws a new target, so each hit continues on a fresh
// game with the same first target.
std::set<int> acceptedCodes(int zone, int position)
{
    std::set<int> accepted;
    auto session = openWithFirstTarget(zone, position);
    session->start();
    for (int code = 1; code <= 255; ++code) {
        const double hitsBefore = session->number("Hits");
        session->press(code);
        if (session->number("Hits") > hitsBefore) {
            accepted.insert(code);
            session = openWithFirstTarget(zone, position);
            session->start();
        }
    }
    return accepted;
}

TEST(StageAccepts, LetterAAcceptsTheCapitalTheSmallLetterAndTheKanaOfItsKey)
{
    EXPECT_EQ(acceptedCodes(0, 1), (std::set<int>{65, 97, 0xC1}));
}

TEST(StageAccepts, KanaAAcceptsItselfAndTheDigitKeyThatCarriesIt)
{
    EXPECT_EQ(acceptedCodes(1, 27), (std::set<int>{51, 0xB1}));
}

TEST(StageAccepts, DigitOneAcceptsItselfAndTheKanaOfItsKey)
{
    EXPECT_EQ(acceptedCodes(2, 72), (std::set<int>{49, 0xC7}));
}

TEST(StageAccepts, KeysInTheOtherCaseOfAKanaKeyCountToo)
{
    // ｲ lies on the E key: both cases of the letter are accepted.
    EXPECT_EQ(acceptedCodes(1, 28), (std::set<int>{69, 101, 0xB2}));
}

// Positions drawn over many hits of one game; every hit draws afresh.
std::set<int> positionsDrawn(int zone, int draws)
{
    StageSession s(zone, 7);
    s.open();
    s.start();
    std::set<int> seen{s.targetIndex()};
    for (int i = 0; i < draws; ++i) {
        s.hit();
        seen.insert(s.targetIndex());
    }
    return seen;
}

std::set<int> range(int first, int last)
{
    std::set<int> result;
    for (int p = first; p <= last; ++p) {
        result.insert(p);
    }
    return result;
}

TEST(StageTargets, AlphabeticZoneDrawsEveryLetterAndNothingElse)
{
    EXPECT_EQ(positionsDrawn(0, 1000), range(1, 26));
}

TEST(StageTargets, KanaZoneNeverDrawsTheLastFiveKana)
{
    const std::set<int> seen = positionsDrawn(1, 1500);
    EXPECT_EQ(seen, range(27, 66));
    for (int position : seen) {
        const char32_t kana = Module1::CharTable[0][static_cast<std::size_t>(position - 1)];
        EXPECT_TRUE(kana < U'ﾙ' || kana > U'ﾝ') << position;
    }
}

TEST(StageTargets, AllKindsZoneNeverDrawsTheDigitsSixToZero)
{
    const std::set<int> seen = positionsDrawn(2, 3000);
    EXPECT_EQ(seen, range(1, 76));
    for (int position : seen) {
        const char32_t ch = Module1::CharTable[0][static_cast<std::size_t>(position - 1)];
        EXPECT_TRUE(ch < U'6' || ch > U'9') << position;
        EXPECT_NE(ch, U'0') << position;
    }
}


TEST(StageHitRate, AFirstMissShowsZeroAndEmptiesTheBar)
{
    StageSession s(0);
    s.open();
    s.start();
    const int target = s.targetIndex();
    s.miss();
    EXPECT_EQ(s.state("StageHitRate"), "0");
    EXPECT_EQ(s.label("Label11").caption(), "0");
    EXPECT_EQ(s.bar().width(), 0);
    EXPECT_EQ(s.targetIndex(), target);
    EXPECT_EQ(s.state("StageScore"), "0");
}

TEST(StageHitRate, TwoHitsAndAMissShowTruncatedRateAndARoundedBar)
{
    StageSession s(0);
    s.open();
    s.start();
    s.hit();
    s.miss();
    s.hit();
    EXPECT_EQ(s.label("Label11").caption(), "66.6");
    EXPECT_EQ(s.state("StageHitRate"), "66.6");
    // Two thirds of 100 pixels is 66.67; the bar takes whole pixels.
    EXPECT_EQ(s.bar().width(), 67);
    EXPECT_EQ(s.bar().left(), 24);
    EXPECT_EQ(s.bar().height(), 9);
}

TEST(StageHitRate, EveryKeystrokeAHitKeepsTheFullBar)
{
    StageSession s(0);
    s.open();
    s.start();
    s.hit();
    s.hit();
    EXPECT_EQ(s.label("Label11").caption(), "100");
    EXPECT_EQ(s.bar().width(), 100);
}

TEST(StageResponse, OneHitAfterTwelveTicksShows1200WithALeadingBlank)
{
    StageSession s(0);
    s.open();
    s.start();
    s.advance(1200);
    s.hit();
    EXPECT_EQ(Module1::AvgResponse, 1200);
    EXPECT_EQ(s.label("Label8").caption(), " 1200");
    EXPECT_EQ(s.state("RespTicks"), "0");
}

TEST(StageResponse, AveragesTheTimesBetweenHits)
{
    StageSession s(0);
    s.open();
    s.start();
    s.advance(1200);
    s.hit();
    s.advance(1300);
    s.hit();
    EXPECT_EQ(Module1::AvgResponse, 1250);
    EXPECT_EQ(s.label("Label8").caption(), " 1250");
}

TEST(StageResponse, TruncatesTheAverageToOneDecimal)
{
    StageSession s(0);
    s.open();
    s.start();
    s.advance(100);
    s.hit();
    s.advance(100);
    s.hit();
    s.advance(200);
    s.hit();
    EXPECT_EQ(s.label("Label8").caption(), " 133.3");
    EXPECT_EQ(s.state("RespTotal"), "4");
}

TEST(StageResponse, AMissLeavesTheResponseClockRunning)
{
    StageSession s(0);
    s.open();
    s.start();
    s.advance(500);
    s.miss();
    s.advance(300);
    s.hit();
    EXPECT_EQ(s.label("Label8").caption(), " 800");
}

TEST(StageScoring, AHitBeforeTheFirstTickOfTheGameScores390)
{
    StageSession s(0);
    s.open();
    s.start();
    s.hit();
    EXPECT_EQ(s.state("StageScore"), "390");
    EXPECT_EQ(s.label("Label1").caption(), "390");
}

TEST(StageScoring, AHitBeforeANewTargetsFirstTickScores400)
{
    StageSession s(0);
    s.open();
    s.start();
    s.advance(350);
    const double top = s.number("PosY");
    s.hit();
    s.hit();
    EXPECT_EQ(s.number("StageScore"), (200 - top) * 2 + 400);
}


TEST(StageScoring, AHitAtTheLowestTopScoresNothingButCounts)
{
    StageSession s(0);
    s.open();
    s.start();
    s.hit();
    s.advance(8500); // 85 ticks from the top
    ASSERT_EQ(s.state("PosY"), "200");
    const std::string score = s.state("StageScore");
    s.hit();
    EXPECT_EQ(s.state("StageScore"), score);
    EXPECT_EQ(s.state("Hits"), "2");
    EXPECT_EQ(s.label("Label1").caption(), score);
}

TEST(StageScoring, AHitClearsTheCanvasAndStartsANewFlight)
{
    StageSession s(0);
    s.open();
    s.start();
    s.advance(1000);
    ASSERT_FALSE(s.canvas().drawings().empty());
    s.hit();
    EXPECT_TRUE(s.canvas().drawings().empty());
    EXPECT_EQ(s.state("PosY"), "0");
    EXPECT_EQ(s.state("Fade"), "0");
    EXPECT_EQ(s.state("GlyphSize"), "8");
    const double path = s.number("PathX");
    EXPECT_GE(path, 100);
    EXPECT_LE(path, 199);
    EXPECT_GE(s.number("Phase"), 0);
    EXPECT_LT(s.number("Phase"), 6.28);
}

TEST(StageScoring, KeysAreJudgedAgainstTheNewTargetBeforeItIsDrawn)
{
    StageSession s(0);
    s.open();
    s.start();
    s.hit();
    ASSERT_TRUE(s.canvas().drawings().empty());
    s.hit();
    EXPECT_EQ(s.state("Hits"), "2");
    EXPECT_EQ(s.state("Strokes"), "2");
}

} // namespace
} // namespace stage_test
