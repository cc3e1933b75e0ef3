#include "PlayFixtures.h"

#include "app/plays/PlayCheck.h"
#include "app/plays/PlayWatch.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>

namespace {

using playgame::verifyPlay;

class PlayCheck : public ::testing::Test {
protected:
    static void SetUpTestSuite() { play_ = playtests::steadyPlay(); }

    static std::string refusal(const plays::Play& play)
    {
        const playgame::Verdict verdict = verifyPlay(plays::writePlay(play));
        EXPECT_FALSE(verdict.valid);
        return verdict.reason;
    }
    // The first key stroke after `fromMs` that typed the character of a hit.
    // The last hit, when a flight tick came just before it at the same moment.
    static std::size_t lastHitAfterTick(const plays::Play& play)
    {
        for (std::size_t i = play.events.size() - 1; i > 1; --i) {
            const plays::Event& key = play.events[i];
            if (key.kind != ui::InputEvent::Kind::KeyStroke || key.typed.at(0).ch == frmStage::characterThatMisses()) {
                continue;
            }
            for (std::size_t j = i - 1; play.events[j].timeMs == key.timeMs; --j) {
                if (play.events[j].kind == ui::InputEvent::Kind::Tick && play.events[j].timer == 0) {
                    return i;
                }
            }
            return 0;
        }
        return 0;
    }
    static std::size_t tickOf(const plays::Play& play, char letter, std::size_t from)
    {
        for (std::size_t i = from; i < play.events.size(); ++i) {
            if (play.events[i].kind == ui::InputEvent::Kind::Tick && play.events[i].timer == letter - 'a') {
                return i;
            }
        }
        return 0;
    }
    static plays::Play play_;
};
plays::Play PlayCheck::play_;

TEST_F(PlayCheck, aRecordedPlayVerifiesToTheFiguresTheGameShowed)
{
    const playgame::Verdict verdict = verifyPlay(plays::writePlay(play_));
    ASSERT_TRUE(verdict.valid) << verdict.reason;
    EXPECT_EQ(verdict.figures, play_.figures);
    EXPECT_GT(play_.figures.hits, 30);
    EXPECT_LT(play_.figures.hitRate, 100);
}

TEST_F(PlayCheck, checkingLeavesTheRunningGamesSharedStateAsItWas)
{
    Module1::CurrentZone = 2;
    Module1::LastScore = 1234;
    Module1::RecordName[0][0] = "ＡＢＣ";
    ASSERT_TRUE(verifyPlay(plays::writePlay(play_)).valid);
    EXPECT_EQ(Module1::CurrentZone, 2);
    EXPECT_EQ(Module1::LastScore, 1234);
    EXPECT_EQ(Module1::RecordName[0][0], "ＡＢＣ");
    Module1::ResetSharedState();
}

TEST_F(PlayCheck, aPlayWithLateAndSkippedTicksVerifies)
{
    std::mt19937 random(7);
    // A busy host: most ticks a few ms late, some later than a whole flight tick.
    const auto lateness = [&random] {
        const int roll = static_cast<int>(random() % 100);
        return roll < 60 ? 0 : roll < 95 ? roll % 9 : 60 + roll * 3;
    };
    const plays::Play late = playtests::playStage(2, 1, 99, lateness, playtests::steadyPlayer);
    const auto isLate = [](std::int64_t least) {
        return [least](const plays::Event& e) { return e.kind == ui::InputEvent::Kind::Tick && e.lateMs >= least; };
    };
    EXPECT_TRUE(std::any_of(late.events.begin(), late.events.end(), isLate(1)));
    EXPECT_TRUE(std::any_of(late.events.begin(), late.events.end(), isLate(100))) << "no tick was skipped";
    const std::string text = plays::writePlay(late);
    const playgame::Verdict verdict = verifyPlay(text);
    ASSERT_TRUE(verdict.valid) << verdict.reason;
    EXPECT_EQ(verdict.figures, late.figures);
}

TEST_F(PlayCheck, eachTamperingIsRefusedWithItsOwnReason)
{
    // The last hit moved 1 ms earlier, to before the flight tick it
    // followed: it finds the target higher up and scores more. (An earlier
    // hit would start the next flight a tick sooner, and the next hit would
    // give those points back.)
    plays::Play earlier = play_;
    const std::size_t key = lastHitAfterTick(earlier);
    ASSERT_GT(key, 0u);
    std::size_t tickFirst = key - 1;
    while (earlier.events[tickFirst - 1].timeMs == earlier.events[key].timeMs) {
        --tickFirst;
    }
    plays::Event hit = earlier.events[key];
    hit.timeMs -= 1;
    earlier.events.erase(earlier.events.begin() + static_cast<long>(key));
    earlier.events.insert(earlier.events.begin() + static_cast<long>(tickFirst), hit);
    EXPECT_NE(refusal(earlier).find("the play says score"), std::string::npos) << refusal(earlier);

    plays::Play added = play_;
    added.events.insert(added.events.begin() + static_cast<long>(key), added.events[key]);
    EXPECT_NE(refusal(added).find("the play says"), std::string::npos);

    plays::Play reseeded = play_;
    reseeded.seed += 1;
    EXPECT_NE(refusal(reseeded).find("the play says score"), std::string::npos);

    plays::Play boasted = play_;
    boasted.figures.total += 1;
    EXPECT_NE(refusal(boasted).find("the play says total " + std::to_string(play_.figures.total + 1) +
                                    ", but it plays to " + std::to_string(play_.figures.total)),
              std::string::npos);

    plays::Play removed = play_;
    const std::size_t tick = tickOf(removed, 'a', 10);
    removed.events.erase(removed.events.begin() + static_cast<long>(tick));
    EXPECT_NE(refusal(removed).find("the flight tick at " + std::to_string(play_.events[tick + 1].timeMs) +
                                    " ms is the one due at"),
              std::string::npos)
        << refusal(removed);

    plays::Play early = play_;
    const std::size_t moved = tickOf(early, 'a', 10);
    early.events[moved].timeMs -= 1;
    EXPECT_NE(refusal(early).find("the flight tick at " + std::to_string(early.events[moved].timeMs) +
                                  " ms is due at " + std::to_string(play_.events[moved].timeMs) +
                                  " ms at the earliest"),
              std::string::npos)
        << refusal(early);
}

TEST_F(PlayCheck, refusalsNameTheLineOfTheEventToBlame)
{
    plays::Play early = plays::readPlay(plays::writePlay(play_));
    const std::size_t moved = tickOf(early, 'a', 10);
    early.events[moved].timeMs -= 1;
    const std::string text = plays::writePlay(early);
    const std::string reason = verifyPlay(text).reason;
    EXPECT_TRUE(reason.starts_with("line " + std::to_string(early.events[moved].line) + ": ")) << reason;
}

TEST_F(PlayCheck, aPlayThatStopsBeforeTimeUpOrGoesOnAfterItIsRefused)
{
    plays::Play shortened = play_;
    shortened.events.resize(shortened.events.size() / 2);
    shortened.endMs = shortened.events.back().timeMs;
    EXPECT_NE(refusal(shortened).find("before \"TIME UP\""), std::string::npos);

    plays::Play longer = play_;
    plays::Event extra = longer.events.back();
    extra.kind = ui::InputEvent::Kind::KeyStroke;
    extra.typed = {ui::TypedChar{65, U'A'}};
    longer.events.push_back(extra);
    EXPECT_NE(refusal(longer).find("an event after \"TIME UP\""), std::string::npos);
}

TEST(PlayWatch, playsAtTheHostsPaceAndStandsStillWhilePaused)
{
    const plays::Play play = playtests::steadyPlay(0, 0);
    playgame::PlayWatch watch(play);
    EXPECT_TRUE(watch.app().form(forms::kStage).caption().starts_with("Replay - Quorvel"));
    watch.showAt(1000);
    watch.showAt(3000);
    EXPECT_EQ(watch.playMs(), 2000);
    watch.togglePause(3000);
    watch.showAt(9000);
    EXPECT_EQ(watch.playMs(), 2000);
    watch.togglePause(9000);
    watch.showAt(40000);
    EXPECT_TRUE(watch.ended());
    EXPECT_EQ(watch.app().loaded<frmStage>()->figures().score, play.figures.score);
}

TEST(PlayWatch, aPlayThatDoesNotVerifyIsNotWatched)
{
    plays::Play play = playtests::steadyPlay(0, 0);
    play.figures.score += 2;
    auto opened = playgame::PlayWatch::open(plays::writePlay(play));
    ASSERT_TRUE(std::holds_alternative<std::string>(opened));
    EXPECT_NE(std::get<std::string>(opened).find("the play says score"), std::string::npos);
}

} // namespace
