// The main menu: its cursor rows, the records panel that opens when the
// cursor lands on RECORDS, and START leading to the zone select.

#include "tests/support/FrontDriver.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

using front_test::FrontDriver;
using front_test::kHomeLeft;
using front_test::kHomeTop;

namespace {

struct MenuScreen : FrontDriver {
    double arrowTop() const { return image("frmMenu", "Image1").top(); }
};

} // namespace

TEST(MenuCursor, activationPutsTheCursorOnStartUnlessItIsKept)
{
    for (std::int16_t keep : {0, 1}) {
        MenuScreen menu;
        Module1::MenuCursor = 2;
        Module1::KeepCursor = keep;
        menu.open("frmMenu");
        EXPECT_EQ(Module1::MenuCursor, keep == 1 ? 2 : 0) << "KeepCursor " << keep;
        EXPECT_EQ(menu.arrowTop(), keep == 1 ? 1500 : 660) << "KeepCursor " << keep;
    }
}

TEST(MenuCursor, upOnStartAndDownOnOptionDoNotWrap)
{
    MenuScreen menu;
    menu.open("frmMenu");
    menu.key(ui::vk::Up);
    EXPECT_EQ(Module1::MenuCursor, 0);
    EXPECT_EQ(menu.arrowTop(), 660);
    EXPECT_FALSE(menu.isOpen("frmRecord"));

    menu.key(ui::vk::Down);  // onto RECORDS: the records panel opens
    menu.click("frmMenu");   // back to the menu: the panel closes
    menu.key(ui::vk::Down);  // onto OPTION: the menu opens nothing
    EXPECT_EQ(menu.openNames(), std::vector<std::string>{"frmMenu"});
    EXPECT_EQ(menu.arrowTop(), 1500);
    menu.key(ui::vk::Down);
    EXPECT_EQ(Module1::MenuCursor, 2);
    EXPECT_EQ(menu.arrowTop(), 1500);
    EXPECT_EQ(menu.openNames(), std::vector<std::string>{"frmMenu"});
}

TEST(MenuCursor, downFromStartOpensTheRecordsPanelBesideTheMenuAtOnce)
{
    MenuScreen menu;
    menu.open("frmMenu");
    menu.key(ui::vk::Down);
    EXPECT_EQ(Module1::MenuCursor, 1);
    EXPECT_EQ(menu.arrowTop(), 1080);
    EXPECT_EQ(menu.active(), "frmRecord");
    EXPECT_EQ(menu.form("frmRecord").left(), kHomeLeft + 3540);
    EXPECT_EQ(menu.form("frmRecord").top(), kHomeTop + 930);
    EXPECT_EQ(menu.openNames(), (std::vector<std::string>{"frmMenu", "frmRecord"}));
}

TEST(MenuCursor, upFromOptionOnTheMenuOpensTheRecordsPanelAgain)
{
    MenuScreen menu;
    menu.openOptionsFromMenu();
    menu.click("frmMenu");
    ASSERT_EQ(menu.openNames(), std::vector<std::string>{"frmMenu"});
    ASSERT_EQ(Module1::MenuCursor, 2);
    menu.key(ui::vk::Up);
    EXPECT_EQ(menu.arrowTop(), 1080);
    EXPECT_EQ(menu.active(), "frmRecord");
    EXPECT_EQ(menu.form("frmRecord").top(), kHomeTop + 930);
}

TEST(MenuKeys, leftRightAndEscapeDoNothing)
{
    MenuScreen menu;
    menu.open("frmMenu");
    menu.keys({ui::vk::Left, ui::vk::Right, ui::vk::Escape, ui::vk::A, ui::vk::F});
    EXPECT_EQ(Module1::MenuCursor, 0);
    EXPECT_EQ(menu.arrowTop(), 660);
    EXPECT_EQ(menu.openNames(), std::vector<std::string>{"frmMenu"});
}

TEST(MenuKeys, spaceAndEnterDoNothingOnRecordsOrOption)
{
    MenuScreen menu;
    menu.openRecordsFromMenu();
    menu.click("frmMenu"); // the cursor stays on RECORDS
    menu.keys({ui::vk::Space, ui::vk::Enter});
    EXPECT_EQ(menu.openNames(), std::vector<std::string>{"frmMenu"});
    menu.key(ui::vk::Down);
    menu.keys({ui::vk::Space, ui::vk::Enter});
    EXPECT_EQ(menu.openNames(), std::vector<std::string>{"frmMenu"});
    EXPECT_FALSE(menu.isOpen("frmZone"));
}

TEST(MenuKeys, spaceOrEnterOnStartOpensTheZoneSelectWhereTheMenuStood)
{
    for (int confirm : {ui::vk::Space, ui::vk::Enter}) {
        MenuScreen menu;
        menu.open("frmMenu", 1230, 4470);
        menu.key(confirm);
        EXPECT_FALSE(menu.isOpen("frmMenu")) << "key " << confirm;
        EXPECT_EQ(menu.active(), "frmZone") << "key " << confirm;
        EXPECT_EQ(menu.form("frmZone").left(), 1230) << "key " << confirm;
        EXPECT_EQ(menu.form("frmZone").top(), 4470) << "key " << confirm;
    }
}

TEST(MenuSidePanels, aClickOnTheMenuClosesWhicheverPanelIsOpen)
{
    MenuScreen records;
    records.openRecordsFromMenu();
    records.click("frmMenu");
    EXPECT_FALSE(records.isOpen("frmRecord"));
    EXPECT_EQ(Module1::MenuCursor, 1) << "the cursor stays where it is";
    EXPECT_EQ(records.arrowTop(), 1080);
    EXPECT_EQ(Module1::SidePanel, 1) << "the menu leaves SidePanel as it was";

    MenuScreen options;
    options.openOptionsFromMenu();
    ASSERT_EQ(options.active(), "frmOption");
    options.click("frmMenu");
    EXPECT_FALSE(options.isOpen("frmOption"));
    EXPECT_EQ(options.openNames(), std::vector<std::string>{"frmMenu"});
    EXPECT_EQ(options.arrowTop(), 1500);
}

TEST(MenuWindow, closingTheMenuLeavesItsPanelOpenAndTheLastWindowEndsTheProgram)
{
    MenuScreen menu;
    menu.openRecordsFromMenu();
    menu.close("frmMenu");
    EXPECT_FALSE(menu.rig.app.finished());
    EXPECT_EQ(menu.active(), "frmRecord");
    menu.close("frmRecord");
    EXPECT_TRUE(menu.rig.app.finished());
}
