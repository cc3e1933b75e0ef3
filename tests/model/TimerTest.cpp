// Timers under virtual time: first tick one interval after starting, ticks
// in time order, nothing after stopping or unloading, no bursts when late.

#include "tests/support/TestForms.h"

#include <gtest/gtest.h>

using testing_support::ProbeForm;
using testing_support::ProbeRig;

namespace {

ProbeForm& shownProbe(ProbeRig& rig, const char* name = "frmA")
{
    auto& form = dynamic_cast<ProbeForm&>(rig.app.form(name));
    form.show();
    rig.clearLog();
    return form;
}

} // namespace

TEST(Timers, aStartedTimerFirstTicksOneFullIntervalLater)
{
    ProbeRig rig;
    auto& a = shownProbe(rig);
    rig.advance(250);
    a.Timer1.setInterval(700);
    a.Timer1.start();
    rig.advance(699);
    EXPECT_EQ(rig.log(), "");
    rig.advance(1);
    EXPECT_EQ(rig.log(), "A.Timer1@950;");
    rig.advance(1400);
    EXPECT_EQ(rig.log(), "A.Timer1@950;A.Timer1@1650;A.Timer1@2350;");
}

TEST(Timers, ticksOfSeveralTimersComeInTimeOrderThenStartOrder)
{
    ProbeRig rig;
    auto& a = shownProbe(rig);
    a.Timer2.setInterval(300);
    a.Timer1.setInterval(100);
    a.Timer2.start();
    a.Timer1.start();
    rig.advance(300);
    EXPECT_EQ(rig.log(), "A.Timer1@100;A.Timer1@200;A.Timer2@300;A.Timer1@300;");
}

TEST(Timers, stoppingATimerInsideAnotherTimersTickDropsItsPendingTick)
{
    ProbeRig rig;
    auto& a = shownProbe(rig);
    a.Timer1.setInterval(100);
    a.Timer2.setInterval(100);
    a.Timer1.start();
    a.Timer2.start();
    a.Timer1.onTimer = [&] { a.Timer2.stop(); };
    rig.advance(1000);
    EXPECT_EQ(rig.log(), "") << "Timer2 was due at the same moment but never ticks";
}

TEST(Timers, unloadingAFormStopsItsTimersForGood)
{
    ProbeRig rig;
    auto& a = shownProbe(rig);
    rig.app.form("frmB").show();
    a.Timer1.setInterval(100);
    a.Timer1.start();
    rig.advance(100);
    rig.app.requestClose(a);
    rig.clearLog();
    rig.advance(10000);
    EXPECT_EQ(rig.log(), "");
    EXPECT_FALSE(rig.app.nextTimerDue().has_value());
}

TEST(Timers, changingTheIntervalOfARunningTimerRestartsItsCount)
{
    ProbeRig rig;
    auto& a = shownProbe(rig);
    a.Timer1.setInterval(100);
    a.Timer1.start();
    rig.advance(80);
    a.Timer1.setInterval(50);
    rig.advance(49);
    EXPECT_EQ(rig.log(), "");
    rig.advance(1);
    EXPECT_EQ(rig.log(), "A.Timer1@130;");
}

TEST(Timers, aLateTimerTicksOnceAndKeepsItsPhase)
{
    ProbeRig rig;
    auto& a = shownProbe(rig);
    a.Timer1.setInterval(100);
    a.Timer1.start();
    rig.clock.set(450); // the host was busy: four ticks are overdue
    rig.app.runTimersDue();
    EXPECT_EQ(rig.log(), "A.Timer1@450;");
    EXPECT_EQ(rig.app.nextTimerDue(), 500);
}

TEST(Timers, aTimerStartedAgainCountsAFreshIntervalOnlyAfterAStop)
{
    ProbeRig rig;
    auto& a = shownProbe(rig);
    a.Timer1.setInterval(700);
    a.Timer1.start();
    rig.advance(500);
    a.Timer1.stop();
    a.Timer1.start();
    rig.advance(699);
    EXPECT_EQ(rig.log(), "");
    rig.advance(1);
    EXPECT_EQ(rig.log(), "A.Timer1@1200;");
    rig.advance(300);
    a.Timer1.start(); // still running: its count goes on
    rig.advance(400);
    EXPECT_EQ(rig.log(), "A.Timer1@1200;A.Timer1@1900;");
}
