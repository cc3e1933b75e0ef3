// The records panel beside the menu: the ten best of each zone, Left/Right
// between zones, Up and Down carrying the menu's cursor on.

#include "screens/frmRecord.h"
#include "tests/support/FrontDriver.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using front_test::FrontDriver;
using front_test::kHomeLeft;
using front_test::kHomeTop;

namespace {

const std::string kZoneCaptions[3] = {"  Alphabetic Characters Zone", "  Kana Characters Zone",
                                      "  All kinds Characters Zone"};

struct RecordsPanel : FrontDriver {
    std::string name(int rank) const { return label("frmRecord", "Label1", rank).caption(); }
    std::string score(int rank) const { return label("frmRecord", "Label3", rank).caption(); }
    std::string caption() const { return form("frmRecord").caption(); }

    // A different table in every zone, so a listing tells its zone.
    static void fillDistinctTables()
    {
        for (int zone = 0; zone < 3; ++zone) {
            for (int rank = 0; rank < 10; ++rank) {
                Module1::RecordName[zone][rank] = "z" + std::to_string(zone) + "r" + std::to_string(rank);
                Module1::RecordScore[zone][rank] = 50000 * (zone + 1) - 700 * rank;
            }
        }
    }
    void expectListing(int zone) const
    {
        EXPECT_EQ(caption(), kZoneCaptions[zone]);
        for (int rank = 0; rank < 10; ++rank) {
            EXPECT_EQ(name(rank), Module1::RecordName[zone][rank]) << "zone " << zone << " rank " << rank;
            EXPECT_EQ(score(rank), std::to_string(Module1::RecordScore[zone][rank]))
                << "zone " << zone << " rank " << rank;
        }
    }
};

} // namespace

TEST(RecordsListing, openingListsTheDefaultTableOfZoneZeroAndMarksThePanelOpen)
{
    RecordsPanel panel;
    panel.openRecordsFromMenu();
    EXPECT_EQ(panel.caption(), "  Alphabetic Characters Zone");
    for (int rank = 0; rank < 10; ++rank) {
        EXPECT_EQ(panel.label("frmRecord", "Label2", rank).caption(), std::to_string(rank + 1) + ".");
        EXPECT_EQ(panel.name(rank), "CPU");
        EXPECT_EQ(panel.score(rank), std::to_string(10000 - 1000 * rank));
    }
    EXPECT_EQ(Module1::SidePanel, 1);
    EXPECT_EQ(Module1::KeepCursor, 1);
    EXPECT_EQ(panel.state("frmRecord", "ZoneCaption(2)"), kZoneCaptions[2]);
}

TEST(RecordsZones, rightAndLeftWalkThroughTheZonesWithoutWrapping)
{
    RecordsPanel panel;
    RecordsPanel::fillDistinctTables();
    panel.openRecordsFromMenu();
    for (int zone : {1, 2, 2}) {
        panel.key(ui::vk::Right);
        panel.expectListing(zone);
    }
    for (int zone : {1, 0, 0}) {
        panel.key(ui::vk::Left);
        panel.expectListing(zone);
    }
    EXPECT_EQ(panel.state("frmRecord", "ViewZone"), "0");
}

TEST(RecordsListing, relistingShowsTheSharedTablesAsTheyAreNowInTheZoneShown)
{
    RecordsPanel panel;
    panel.openRecordsFromMenu();
    panel.key(ui::vk::Right);
    RecordsPanel::fillDistinctTables();
    EXPECT_EQ(panel.name(0), "CPU");
    panel.rig.app.form<frmRecord>().relist();
    panel.expectListing(1);
}

TEST(RecordsZones, everyOpeningStartsAtZoneZero)
{
    RecordsPanel panel;
    RecordsPanel::fillDistinctTables();
    Module1::CurrentZone = 2;
    panel.openRecordsFromMenu();
    panel.keys({ui::vk::Right, ui::vk::Right, ui::vk::Up}); // leave on zone 2
    panel.key(ui::vk::Down);                                // and open again from the menu
    ASSERT_EQ(panel.active(), "frmRecord");
    panel.expectListing(0);
}

TEST(RecordsLeaving, upClosesThePanelAndTheMenuCursorGoesToStart)
{
    RecordsPanel panel;
    panel.openRecordsFromMenu();
    ASSERT_EQ(Module1::MenuCursor, 1);
    panel.key(ui::vk::Up);
    EXPECT_FALSE(panel.isOpen("frmRecord"));
    EXPECT_EQ(Module1::MenuCursor, 0);
    EXPECT_EQ(Module1::SidePanel, 0);
    EXPECT_EQ(panel.image("frmMenu", "Image1").top(), 660);
    EXPECT_EQ(panel.active(), "frmMenu");
}

TEST(RecordsLeaving, downOpensTheOptionsPanelBesideTheMenuWithTheCursorOnOption)
{
    RecordsPanel panel;
    panel.openRecordsFromMenu();
    panel.key(ui::vk::Down);
    EXPECT_FALSE(panel.isOpen("frmRecord"));
    EXPECT_EQ(Module1::MenuCursor, 2);
    EXPECT_EQ(panel.image("frmMenu", "Image1").top(), 1500);
    EXPECT_EQ(panel.active(), "frmOption");
    EXPECT_EQ(panel.form("frmOption").left(), kHomeLeft + 3540);
    EXPECT_EQ(panel.form("frmOption").top(), kHomeTop + 1890);
    // The options panel is activated after the records panel's last write
    // of 0, so the menu knows which panel to close.
    EXPECT_EQ(Module1::SidePanel, 2);
}

TEST(RecordsLeaving, withTheMenuClosedDownStillOpensTheOptionsPanelInItsPlace)
{
    RecordsPanel panel;
    panel.openRecordsFromMenu();
    panel.close("frmMenu");
    const double left = panel.form("frmRecord").left();
    const double top = panel.form("frmRecord").top();
    panel.key(ui::vk::Down);
    EXPECT_FALSE(panel.isOpen("frmMenu")) << "no hidden menu is loaded";
    EXPECT_EQ(panel.openNames(), std::vector<std::string>{"frmOption"});
    EXPECT_EQ(panel.form("frmOption").left(), left);
    EXPECT_EQ(panel.form("frmOption").top(), top + 1890 - 930);
    EXPECT_EQ(Module1::MenuCursor, 2);
}

TEST(RecordsKeys, lettersEnterSpaceAndEscapeAreIgnored)
{
    RecordsPanel panel;
    panel.openRecordsFromMenu();
    panel.keys({ui::vk::A, ui::vk::F, ui::vk::Enter, ui::vk::Space, ui::vk::Escape});
    panel.type('a');
    panel.type(front_test::kEnter);
    EXPECT_EQ(panel.active(), "frmRecord");
    EXPECT_EQ(panel.caption(), kZoneCaptions[0]);
    EXPECT_EQ(Module1::MenuCursor, 1);
    EXPECT_EQ(Module1::SidePanel, 1);
}

TEST(RecordsWindow, itsCloseBoxHandsBackToTheMenuWithTheCursorOnRecords)
{
    RecordsPanel panel;
    panel.openRecordsFromMenu();
    panel.close("frmRecord");
    EXPECT_EQ(panel.active(), "frmMenu");
    EXPECT_EQ(Module1::MenuCursor, 1);
    EXPECT_EQ(panel.image("frmMenu", "Image1").top(), 1080);
}
