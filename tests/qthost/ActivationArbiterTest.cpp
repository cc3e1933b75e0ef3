// Whose an activation is, and whose a close is, on a clock the tests move:
// the window manager's moves in the grace after a change are undone, later
// ones are the player's; a close sent to a window whose owner just went away
// is the platform's.

#include "platform/qt/ActivationArbiter.h"

#include <gtest/gtest.h>

using qthost::ActivationFacts;
using qthost::ActivationVerdict;

namespace {

constexpr std::uint64_t kMenu = 11;
constexpr std::uint64_t kZone = 12;
constexpr std::uint64_t kPanel = 13;

ActivationFacts facts(std::uint64_t modelActive, std::uint64_t platformActive)
{
    return ActivationFacts{modelActive, platformActive, false};
}

class ActivationArbiterTest : public ::testing::Test {
protected:
    void at(std::int64_t ms) { clock.set(ms); }

    ui::VirtualClock clock;
    qthost::ActivationArbiter arbiter{clock};
};

} // namespace

TEST_F(ActivationArbiterTest, aFocusMoveWithinTheGraceAfterAChangeIsUndoneAndOneAfterItIsThePlayers)
{
    at(5000);
    arbiter.windowsChanged();
    at(5749);
    EXPECT_EQ(arbiter.judgeActivation(kMenu, facts(kZone, kMenu)), ActivationVerdict::Reassert);
    at(5750);
    EXPECT_EQ(arbiter.judgeActivation(kMenu, facts(kZone, kMenu)), ActivationVerdict::PlayersChoice);
}

TEST_F(ActivationArbiterTest, withinTheGraceNothingIsDoneWhileTheModelsWindowStillHasTheFocus)
{
    arbiter.windowsChanged();
    EXPECT_EQ(arbiter.judgeActivation(kMenu, facts(kZone, kZone)), ActivationVerdict::Ignore);
    EXPECT_EQ(arbiter.judgeActivation(kMenu, facts(0, kMenu)), ActivationVerdict::Ignore)
        << "no form of the model to hand the focus back to";
}

TEST_F(ActivationArbiterTest, activationsWhileSyncingOrOfTheModelsOwnActiveFormChangeNothing)
{
    at(10'000);
    EXPECT_EQ(arbiter.judgeActivation(kMenu, ActivationFacts{kZone, kMenu, true}), ActivationVerdict::Ignore);
    EXPECT_EQ(arbiter.judgeActivation(kZone, facts(kZone, kZone)), ActivationVerdict::Ignore);
}

TEST_F(ActivationArbiterTest, theModelsActiveFormIsAskedForOnceAndTheAskStartsTheGrace)
{
    at(2000);
    EXPECT_TRUE(arbiter.shouldActivate(facts(kZone, kMenu)));
    EXPECT_FALSE(arbiter.shouldActivate(facts(kZone, kMenu))) << "asked already";
    at(2500);
    EXPECT_EQ(arbiter.judgeActivation(kMenu, facts(kZone, kMenu)), ActivationVerdict::Reassert);
    at(2750);
    EXPECT_EQ(arbiter.judgeActivation(kMenu, facts(kZone, kMenu)), ActivationVerdict::PlayersChoice);
}

TEST_F(ActivationArbiterTest, aFormWhoseWindowIsActiveAlreadyIsNotAskedForAndStartsNoGrace)
{
    EXPECT_FALSE(arbiter.shouldActivate(facts(kZone, kZone)));
    EXPECT_FALSE(arbiter.shouldActivate(facts(kZone, 0))) << "taken as asked for";
    EXPECT_EQ(arbiter.judgeActivation(kMenu, facts(kZone, kMenu)), ActivationVerdict::PlayersChoice);
}

TEST_F(ActivationArbiterTest, theFormThePlayerPickedIsNotAskedForAgain)
{
    EXPECT_TRUE(arbiter.shouldActivate(facts(kZone, 0)));
    at(1000);
    ASSERT_EQ(arbiter.judgeActivation(kMenu, facts(kZone, kMenu)), ActivationVerdict::PlayersChoice);
    EXPECT_FALSE(arbiter.shouldActivate(facts(kMenu, kZone)));
}

TEST_F(ActivationArbiterTest, aFormShownAgainInANewWindowIsAskedForAgain)
{
    EXPECT_TRUE(arbiter.shouldActivate(facts(kZone, 0)));
    arbiter.windowGone(kZone);
    EXPECT_TRUE(arbiter.shouldActivate(facts(kZone, 0)));
}

TEST_F(ActivationArbiterTest, twoWindowsShownInOneStepLeaveTheModelsActiveFormInFrontThroughTheGrace)
{
    at(3000);
    arbiter.windowsChanged();
    arbiter.windowsChanged();
    ASSERT_TRUE(arbiter.shouldActivate(facts(kPanel, kMenu)));
    at(3100);
    EXPECT_EQ(arbiter.judgeActivation(kMenu, facts(kPanel, kMenu)), ActivationVerdict::Reassert);
    at(3749);
    EXPECT_EQ(arbiter.judgeActivation(kZone, facts(kPanel, kZone)), ActivationVerdict::Reassert);
    at(3750);
    EXPECT_EQ(arbiter.judgeActivation(kZone, facts(kPanel, kZone)), ActivationVerdict::PlayersChoice);
}

TEST_F(ActivationArbiterTest, everyChangeRestartsTheGrace)
{
    arbiter.windowsChanged();
    at(600);
    arbiter.windowsChanged();
    at(1000);
    EXPECT_EQ(arbiter.judgeActivation(kMenu, facts(kZone, kMenu)), ActivationVerdict::Reassert)
        << "past the first grace, inside the second";
    at(1350);
    EXPECT_EQ(arbiter.judgeActivation(kMenu, facts(kZone, kMenu)), ActivationVerdict::PlayersChoice);
}

TEST_F(ActivationArbiterTest, aCloseRightAfterTheOwnerWentAwayIsIgnoredAndOneASecondLaterHonoured)
{
    at(4000);
    EXPECT_TRUE(arbiter.closeIsPlayers(kPanel));
    arbiter.ownerWentAway(kPanel);
    at(4999);
    EXPECT_FALSE(arbiter.closeIsPlayers(kPanel));
    EXPECT_TRUE(arbiter.closeIsPlayers(kMenu)) << "only the orphan";
    at(5000);
    EXPECT_TRUE(arbiter.closeIsPlayers(kPanel));
}

TEST_F(ActivationArbiterTest, aCloseDuringTheActivationGraceIsThePlayersUnlessTheOwnerJustWent)
{
    arbiter.windowsChanged();
    EXPECT_TRUE(arbiter.closeIsPlayers(kPanel));
    arbiter.ownerWentAway(kPanel);
    EXPECT_FALSE(arbiter.closeIsPlayers(kPanel));
}

TEST_F(ActivationArbiterTest, aWindowThatIsGoneIsNoLongerOrphaned)
{
    arbiter.ownerWentAway(kPanel);
    arbiter.windowGone(kPanel);
    EXPECT_TRUE(arbiter.closeIsPlayers(kPanel)) << "a new window of that form owes nothing to the old one";
}
