// Which Qt platform the game asks for, and the line it prints when that
// platform cannot start.

#include "app/PlatformChoice.h"

#include <gtest/gtest.h>

using platformchoice::Environment;

TEST(PlatformChoice, AnXDisplayWinsOverWaylandUnlessThePlayerChose)
{
    EXPECT_EQ(platformchoice::platformToRequest({"", ":0", ""}), "xcb");
    EXPECT_EQ(platformchoice::platformToRequest({"", ":1", "wayland-0"}), "xcb") << "XWayland places windows";
    EXPECT_EQ(platformchoice::platformToRequest({"", "", "wayland-0"}), "wayland");
    EXPECT_EQ(platformchoice::platformToRequest({"wayland", ":1", "wayland-0"}), std::nullopt);
    EXPECT_EQ(platformchoice::platformToRequest({"offscreen", "", ""}), std::nullopt);
    EXPECT_EQ(platformchoice::platformToRequest({"", "", ""}), std::nullopt);
}

TEST(PlatformChoice, NamesThePlatformQtWillStartAndWhetherADisplayIsThere)
{
    EXPECT_EQ(platformchoice::platformName({"xcb", "", "wayland-0"}), "xcb");
    EXPECT_EQ(platformchoice::platformName({"", "", "wayland-0"}), "wayland");
    EXPECT_TRUE(platformchoice::displayAvailable({"offscreen", "", ""}));
    EXPECT_TRUE(platformchoice::displayAvailable({"", "", "wayland-0"}));
    EXPECT_FALSE(platformchoice::displayAvailable({"", "", ""}));
}

TEST(PlatformChoice, AnXClientOfAWaylandSessionIsToldApart)
{
    EXPECT_TRUE(platformchoice::xClientOfWaylandSession({"", ":1", "wayland-0"}));
    EXPECT_TRUE(platformchoice::xClientOfWaylandSession({"xcb", ":1", "wayland-0"}));
    EXPECT_FALSE(platformchoice::xClientOfWaylandSession({"", ":0", ""}));
    EXPECT_FALSE(platformchoice::xClientOfWaylandSession({"", "", "wayland-0"}));
}

TEST(PlatformChoice, TheFailureLineNamesThePlatformAndQtsOwnReason)
{
    const std::vector<QString> xcb = {
        "could not connect to display ",
        "Could not load the Qt platform plugin \"xcb\" in \"\" even though it was found.",
        "This application failed to start because no Qt platform plugin could be initialized.\n\nAvailable...",
    };
    EXPECT_EQ(platformchoice::StartGuard::failureLine("xcb", xcb),
              "quorvel: cannot open windows on the Qt platform \"xcb\": could not connect to display");
    const QString generic = platformchoice::StartGuard::failureLine(
        "bogus", {"This application failed to start because no Qt platform plugin could be initialized."});
    EXPECT_TRUE(generic.startsWith("quorvel: cannot open windows on the Qt platform \"bogus\": ")) << generic.toStdString();
    EXPECT_FALSE(generic.contains('\n'));
}
