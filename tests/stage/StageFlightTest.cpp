// The flight of a target across the canvas: where and how it is drawn, how
// it grows and reddens, and its replacement when it leaves the canvas.

#include "tests/stage/StageSession.h"

#include <algorithm>
#include <cmath>

namespace stage_test {
namespace {

// Ticks until the current target flies off, advancing one flight tick at a
// time; a fly-off is seen as the flight starting again from the top.
int ticksUntilFlyOff(StageSession& s)
{
    for (int tick = 1; tick <= 200; ++tick) {
        s.advance(100);
        if (s.state("PosY") == "0") {
            return tick;
        }
    }
    return -1;
}


TEST(StageFlight, FirstTickDrawsABlackOutlineThenTheGlyphAt100And6)
{
    StageSession s(0);
    s.open();
    s.start();
    s.advance(100);
    const auto& drawn = s.canvas().drawings();
    ASSERT_EQ(drawn.size(), 10U);
    int i = 0;
    for (int dy = -1; dy <= 1; ++dy) {
        for (int dx = -1; dx <= 1; ++dx, ++i) {
            EXPECT_EQ(drawn[i].x, 100 + dx) << i;
            EXPECT_EQ(drawn[i].y, 6 + dy) << i;
            EXPECT_EQ(drawn[i].color, ui::colors::black) << i;
            EXPECT_EQ(drawn[i].font.points, 8) << i;
        }
    }
    EXPECT_EQ(drawn[9].x, 100);
    EXPECT_EQ(drawn[9].y, 6);
    EXPECT_EQ(drawn[9].color, ui::rgb(255, 253, 253));
    EXPECT_EQ(drawn[9].font.points, 8);
    EXPECT_EQ(drawn[9].font.face, "ＭＳ Ｐゴシック");
    EXPECT_TRUE(drawn[9].font.bold);
}

TEST(StageFlight, FirstTickMovesEveryAccumulatorOneStep)
{
    StageSession s(0);
    s.open();
    s.start();
    s.advance(100);
    EXPECT_EQ(s.state("GlyphSize"), "8.2");
    EXPECT_EQ(s.state("Fade"), "2");
    EXPECT_EQ(s.state("Phase"), "0.2");
    EXPECT_EQ(s.state("Swing"), "0.4");
    EXPECT_EQ(s.state("Drift"), "-1.2");
    EXPECT_EQ(s.state("PosX"), "100");
    EXPECT_EQ(s.state("PosY"), "6");
    s.advance(100);
    EXPECT_EQ(s.state("Drift"), "-2.4");
}


struct GlyphStyle {
    int zone;
    int optCase;
    int optKana;
    int table;
};

class StageGlyphStyle : public ::testing::TestWithParam<GlyphStyle> {};

TEST_P(StageGlyphStyle, LettersFollowTheCaseOptionAndKanaTheKanaOption)
{
    const GlyphStyle style = GetParam();
    StageSession s(style.zone);
    Module1::OptCase = static_cast<std::int16_t>(style.optCase);
    Module1::OptKana = static_cast<std::int16_t>(style.optKana);
    s.open();
    s.start();
    s.advance(100);
    const int target = s.targetIndex();
    const auto& table = Module1::CharTable[static_cast<std::size_t>(style.table)];
    EXPECT_EQ(s.glyphDrawings().back().text, ui::toUtf8(table[static_cast<std::size_t>(target - 1)]));
}

INSTANTIATE_TEST_SUITE_P(CaseAndKana, StageGlyphStyle,
                         ::testing::Values(GlyphStyle{0, 0, 1, 3}, GlyphStyle{0, 1, 0, 4}, GlyphStyle{1, 1, 0, 3},
                                           GlyphStyle{1, 0, 1, 4}));

TEST(StageFlight, TopsAfterAHitRunOneByOneAndRoundHalvesToEven)
{
    StageSession s(0);
    s.open();
    s.start();
    s.hit();
    s.advance(3000);
    std::vector<int> tops;
    for (const auto& drawing : s.glyphDrawings()) {
        tops.push_back(drawing.y);
    }
    ASSERT_GE(tops.size(), 27U);
    for (int i = 0; i < 25; ++i) {
        EXPECT_EQ(tops[static_cast<std::size_t>(i)], i + 1);
    }
    EXPECT_EQ(tops[25], 26); // 25 * 1.02 + 1 = 26.5
    EXPECT_EQ(tops[26], 28);
}

TEST(StageFlight, TheFontGrowsOnePointEveryFifthTick)
{
    StageSession s(0);
    s.open();
    s.start();
    s.hit();
    s.advance(8600);
    const auto glyphs = s.glyphDrawings();
    ASSERT_EQ(glyphs.size(), 86U);
    for (int tick = 1; tick <= 5; ++tick) {
        EXPECT_EQ(glyphs[static_cast<std::size_t>(tick - 1)].font.points, 8) << tick;
    }
    for (int tick = 6; tick <= 10; ++tick) {
        EXPECT_EQ(glyphs[static_cast<std::size_t>(tick - 1)].font.points, 9) << tick;
    }
    EXPECT_EQ(glyphs[84].font.points, 24);
    EXPECT_EQ(glyphs[85].font.points, 25);
}

TEST(StageFlight, TheFirstTargetFliesOffAtItsEightyFirstTickAtFade162)
{
    StageSession s(0);
    s.open();
    s.start();
    EXPECT_EQ(ticksUntilFlyOff(s), 81);
    const auto glyphs = s.glyphDrawings();
    ASSERT_EQ(glyphs.size(), 81U);
    EXPECT_EQ(glyphs.back().color, ui::rgb(255, 93, 93));
    EXPECT_GT(glyphs.back().y, 200);
}

TEST(StageFlight, LaterTargetsFlyEightySixTicksAndEndAtFade172)
{
    StageSession s(0);
    s.open();
    s.start();
    ASSERT_EQ(ticksUntilFlyOff(s), 81);
    EXPECT_EQ(ticksUntilFlyOff(s), 86);
    const auto glyphs = s.glyphDrawings();
    ASSERT_EQ(glyphs.size(), 81U + 86U);
    EXPECT_EQ(glyphs.back().color, ui::rgb(255, 83, 83));
    EXPECT_EQ(glyphs.back().y, 205);
}

TEST(StageFlyOff, ReplacesTheTargetOnANewPathWithoutClearingTheTrail)
{
    StageSession s(0);
    s.open();
    s.start();
    ASSERT_EQ(ticksUntilFlyOff(s), 81);
    const auto trail = s.canvas().drawings().size();
    EXPECT_EQ(trail, 810U);
    EXPECT_EQ(s.state("GlyphSize"), "8");
    EXPECT_EQ(s.state("Fade"), "0");
    EXPECT_EQ(s.state("Swing"), "0");
    EXPECT_EQ(s.state("Drift"), "0");
    EXPECT_GE(s.number("PathX"), 130);
    EXPECT_LE(s.number("PathX"), 189);
    s.advance(100);
    EXPECT_EQ(s.canvas().drawings().size(), trail + 10);
    EXPECT_EQ(s.glyphDrawings().back().y, 1);
}

TEST(StageFlyOff, IsNoMissAndKeepsTheResponseClockRunning)
{
    StageSession s(0);
    s.open();
    s.start();
    ASSERT_EQ(ticksUntilFlyOff(s), 81);
    EXPECT_EQ(s.state("RespTicks"), "81");
    EXPECT_EQ(s.state("Strokes"), "0");
    EXPECT_EQ(s.state("StageScore"), "0");
    EXPECT_EQ(s.label("Label11").caption(), "100");
    s.advance(400);
    s.hit();
    EXPECT_EQ(s.label("Label8").caption(), " 8500");
}

TEST(StageFlyOff, ADriftAwayFromTheCentreFollowsThePath)
{
    StageSession s(0);
    s.open();
    s.start();
    ASSERT_EQ(ticksUntilFlyOff(s), 81);
    const double path = s.number("PathX");
    s.advance(100);
    EXPECT_NEAR(s.number("Drift"), (path - 160) * 0.02, 1e-12);
}


} // namespace
} // namespace stage_test

namespace stage_test {
namespace {

// The numbers the fixed seed yields, in the order they are taken.
std::vector<double> seededNumbers(std::uint64_t seed, int count)
{
    Random::SetFixedSeed(seed);
    Random::Randomize();
    std::vector<double> numbers;
    for (int i = 0; i < count; ++i) {
        numbers.push_back(Random::Rnd());
    }
    return numbers;
}

TEST(StageRandomOrder, AHitDrawsTheTargetThenThePathThenThePhase)
{
    const auto r = seededNumbers(11, 4);
    StageSession s(0, 11);
    s.open();
    EXPECT_EQ(s.number("TargetIndex"), std::floor(r[0] * 26) + 1);
    s.start();
    s.hit();
    EXPECT_EQ(s.number("TargetIndex"), std::floor(r[1] * 26) + 1);
    EXPECT_EQ(s.number("PathX"), std::floor(r[2] * 100) + 100);
    EXPECT_EQ(s.state("Phase"), ui::numberText(r[3] * 6.28));
}

TEST(StageRandomOrder, AFlyOffDrawsTheTargetThenThePathThenThePhase)
{
    const auto r = seededNumbers(12, 4);
    StageSession s(1, 12);
    s.open();
    s.start();
    s.advance(8100);
    ASSERT_EQ(s.state("PosY"), "0");
    EXPECT_EQ(s.number("TargetIndex"), std::floor(r[1] * 40) + 27);
    EXPECT_EQ(s.number("PathX"), std::floor(r[2] * 60) + 130);
    EXPECT_EQ(s.state("Phase"), ui::numberText(r[3] * 6.28));
}

} // namespace
} // namespace stage_test
