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
    // Qt reports `activated` active at that moment.
    ActivationVerdict activationAt(std::int64_t ms, std::uint64_t activated, const ActivationFacts& now)
    {
        at(ms);
        return arbiter.judgeActivation(activated, now);
    }

    ui::VirtualClock clock;
    qthost::ActivationArbiter arbiter{clock};
};

} // namespace

TEST_F(ActivationArbiterTest, aFocusMoveWithinTheGraceAfterAChangeIsUndoneAndOneAfterItIsThePlayers)
{
    at(5000);
    arbiter.windowsChanged();
    EXPECT_EQ(activationAt(5749, kMenu, facts(kZone, kMenu)), ActivationVerdict::Reassert);
    EXPECT_EQ(activationAt(5750, kMenu, facts(kZone, kMenu)), ActivationVerdict::PlayersChoice);
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
    EXPECT_EQ(activationAt(10'000, kMenu, ActivationFacts{kZone, kMenu, true}), ActivationVerdict::Ignore);
    EXPECT_EQ(arbiter.judgeActivation(kZone, facts(kZone, kZone)), ActivationVerdict::Ignore);
}

TEST_F(ActivationArbiterTest, theModelsActiveFormIsAskedForOnceAndTheAskStartsTheGrace)
{
    at(2000);
    EXPECT_TRUE(arbiter.shouldActivate(facts(kZone, kMenu)));
    EXPECT_FALSE(arbiter.shouldActivate(facts(kZone, kMenu))) << "asked already";
    EXPECT_EQ(activationAt(2500, kMenu, facts(kZone, kMenu)), ActivationVerdict::Reassert);
    EXPECT_EQ(activationAt(2750, kMenu, facts(kZone, kMenu)), ActivationVerdict::PlayersChoice);
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
    ASSERT_EQ(activationAt(1000, kMenu, facts(kZone, kMenu)), ActivationVerdict::PlayersChoice);
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
    EXPECT_EQ(activationAt(3100, kMenu, facts(kPanel, kMenu)), ActivationVerdict::Reassert);
    EXPECT_EQ(activationAt(3749, kZone, facts(kPanel, kZone)), ActivationVerdict::Reassert);
    EXPECT_EQ(activationAt(3750, kZone, facts(kPanel, kZone)), ActivationVerdict::PlayersChoice);
}

TEST_F(ActivationArbiterTest, everyChangeRestartsTheGrace)
{
    arbiter.windowsChanged();
    at(600);
    arbiter.windowsChanged();
    EXPECT_EQ(activationAt(1000, kMenu, facts(kZone, kMenu)), ActivationVerdict::Reassert)
        << "past the first grace, inside the second";
    EXPECT_EQ(activationAt(1350, kMenu, facts(kZone, kMenu)), ActivationVerdict::PlayersChoice);
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
