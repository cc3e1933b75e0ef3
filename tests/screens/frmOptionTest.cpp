// The options panel: the cursor bar over the three groups, the red markers
// of the chosen sides, and Up from the first group back to the records panel.

#include "tests/support/FrontDriver.h"

#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <string>
#include <vector>

using front_test::FrontDriver;
using front_test::kHomeLeft;
using front_test::kHomeTop;

namespace {

struct MarkerPair {
    const char* left;
    const char* right;
};
constexpr std::array<MarkerPair, 3> kMarkers = {{{"Shape3", "Shape7"}, {"Shape8", "Shape9"}, {"Shape10", "Shape11"}}};

struct OptionsPanel : FrontDriver {
    OptionsPanel() { openOptionsFromMenu(); }

    ui::FillStyle leftMarker(int row) const { return shape("frmOption", kMarkers[row].left).fillStyle(); }
    ui::FillStyle rightMarker(int row) const { return shape("frmOption", kMarkers[row].right).fillStyle(); }
    // The rows whose cursor bar is visible.
    std::vector<int> barRows() const
    {
        std::vector<int> rows;
        for (int row = 0; row < 3; ++row) {
            if (shape("frmOption", "Shape2", row).visible()) {
                rows.push_back(row);
            }
        }
        return rows;
    }
    static std::array<std::int16_t, 3> options()
    {
        return {Module1::OptSpeed, Module1::OptCase, Module1::OptKana};
    }
    void expectChosen(int row, int side) const
    {
        const auto filled = ui::FillStyle::Solid;
        const auto hollow = ui::FillStyle::Transparent;
        EXPECT_EQ(leftMarker(row), side == 0 ? filled : hollow) << "row " << row;
        EXPECT_EQ(rightMarker(row), side == 1 ? filled : hollow) << "row " << row;
    }
};

} // namespace

TEST(OptionMarkers, atStartUpTheLeftMarkersAreFilledAndTheRightOnesAreRings)
{
    OptionsPanel panel;
    for (int row = 0; row < 3; ++row) {
        panel.expectChosen(row, 0);
        EXPECT_FALSE(panel.shape("frmOption", kMarkers[row].left).outline()) << "row " << row;
        EXPECT_TRUE(panel.shape("frmOption", kMarkers[row].right).outline()) << "row " << row;
    }
    EXPECT_EQ(panel.barRows(), std::vector<int>{0});
}

TEST(OptionMarkers, rightOnEachRowChoosesItsSecondValueOnceAndLeftTakesItBack)
{
    OptionsPanel panel;
    panel.key(ui::vk::Right);
    EXPECT_EQ(OptionsPanel::options(), (std::array<std::int16_t, 3>{1, 0, 0}));
    panel.expectChosen(0, 1);
    panel.key(ui::vk::Right);
    EXPECT_EQ(OptionsPanel::options(), (std::array<std::int16_t, 3>{1, 0, 0}));
    panel.expectChosen(0, 1);

    panel.keys({ui::vk::Down, ui::vk::Right});
    EXPECT_EQ(OptionsPanel::options(), (std::array<std::int16_t, 3>{1, 1, 0}));
    panel.expectChosen(1, 1);
    panel.keys({ui::vk::Down, ui::vk::Right});
    EXPECT_EQ(OptionsPanel::options(), (std::array<std::int16_t, 3>{1, 1, 1}));
    panel.expectChosen(2, 1);

    panel.key(ui::vk::Left);
    EXPECT_EQ(OptionsPanel::options(), (std::array<std::int16_t, 3>{1, 1, 0}));
    panel.expectChosen(2, 0);
    panel.expectChosen(0, 1);
}

TEST(OptionCursor, upAndDownMoveTheBarBetweenTheGroupsWithoutWrapping)
{
    OptionsPanel panel;
    panel.key(ui::vk::Down);
    EXPECT_EQ(panel.barRows(), std::vector<int>{1});
    panel.key(ui::vk::Down);
    EXPECT_EQ(panel.barRows(), std::vector<int>{2});
    panel.key(ui::vk::Down);
    EXPECT_EQ(panel.barRows(), std::vector<int>{2});
    EXPECT_EQ(panel.state("frmOption", "OptionRow"), "2");
    panel.key(ui::vk::Up);
    EXPECT_EQ(panel.barRows(), std::vector<int>{1});
    panel.key(ui::vk::Up);
    EXPECT_EQ(panel.barRows(), std::vector<int>{0});
    EXPECT_EQ(panel.active(), "frmOption") << "Up onto the first group stays in the panel";
}

TEST(OptionCursor, upOnTheFirstGroupHandsBackToTheRecordsPanel)
{
    OptionsPanel panel;
    panel.key(ui::vk::Up);
    EXPECT_FALSE(panel.isOpen("frmOption"));
    EXPECT_EQ(panel.active(), "frmRecord");
    EXPECT_EQ(panel.form("frmRecord").left(), kHomeLeft + 3540);
    EXPECT_EQ(panel.form("frmRecord").top(), kHomeTop + 930);
    EXPECT_EQ(Module1::MenuCursor, 1);
    EXPECT_EQ(panel.image("frmMenu", "Image1").top(), 1080);
    EXPECT_EQ(Module1::SidePanel, 1) << "set by the records panel's activation";
}

TEST(OptionCursor, reopeningKeepsTheChoicesAndPutsTheCursorOnSpeed)
{
    OptionsPanel panel;
    panel.keys({ui::vk::Down, ui::vk::Right, ui::vk::Down});
    panel.keys({ui::vk::Up, ui::vk::Up, ui::vk::Up}); // back to the records panel
    ASSERT_EQ(panel.active(), "frmRecord");
    panel.key(ui::vk::Down);
    ASSERT_EQ(panel.active(), "frmOption");
    EXPECT_EQ(panel.barRows(), std::vector<int>{0});
    panel.expectChosen(0, 0);
    panel.expectChosen(1, 1);
    panel.expectChosen(2, 0);
}

TEST(OptionCursor, everyActivationOfTheOpenPanelPutsTheCursorOnSpeed)
{
    OptionsPanel panel;
    panel.standIn("frmOther");
    panel.keys({ui::vk::Down, ui::vk::Down});
    panel.open("frmOther");
    panel.click("frmOption");
    EXPECT_EQ(panel.barRows(), std::vector<int>{0});
    EXPECT_EQ(panel.state("frmOption", "OptionRow"), "0");
}

TEST(OptionCursor, withTheMenuClosedUpStillOpensTheRecordsPanelInItsPlace)
{
    OptionsPanel panel;
    panel.close("frmMenu");
    const double left = panel.form("frmOption").left();
    const double top = panel.form("frmOption").top();
    panel.key(ui::vk::Up);
    EXPECT_FALSE(panel.isOpen("frmMenu")) << "no hidden menu is loaded";
    EXPECT_EQ(panel.openNames(), std::vector<std::string>{"frmRecord"});
    EXPECT_EQ(panel.form("frmRecord").left(), left);
    EXPECT_EQ(panel.form("frmRecord").top(), top - 1890 + 930);
}

TEST(OptionKeys, enterSpaceEscapeAndLettersAreIgnored)
{
    OptionsPanel panel;
    panel.keys({ui::vk::Enter, ui::vk::Space, ui::vk::Escape, ui::vk::A, ui::vk::F, ui::vk::J});
    panel.type(front_test::kSpace);
    EXPECT_EQ(panel.active(), "frmOption");
    EXPECT_EQ(OptionsPanel::options(), (std::array<std::int16_t, 3>{0, 0, 0}));
    EXPECT_EQ(panel.barRows(), std::vector<int>{0});
}

TEST(OptionWindow, itsCloseBoxKeepsTheChoicesAndTouchesNoOtherSharedState)
{
    OptionsPanel panel;
    panel.keys({ui::vk::Right, ui::vk::Down, ui::vk::Right});
    const auto menuCursor = Module1::MenuCursor;
    const auto sidePanel = Module1::SidePanel;
    const auto keepCursor = Module1::KeepCursor;
    panel.close("frmOption");
    EXPECT_EQ(OptionsPanel::options(), (std::array<std::int16_t, 3>{1, 1, 0}));
    EXPECT_EQ(Module1::MenuCursor, menuCursor);
    EXPECT_EQ(Module1::SidePanel, sidePanel);
    EXPECT_EQ(Module1::KeepCursor, keepCursor);
    EXPECT_EQ(panel.active(), "frmMenu");
}
