// The road of a game through the front screens, twice, from start-up: title,
// menu, records, options (every option changed), back, START, zone 2, the
// stage, and back to the title. Every window must open where the one before
// it stood, or at its fixed offset from the menu.

#include "resources/PictureCatalog.h"
#include "tests/support/AfterGameRig.h"
#include "tests/support/FrontDriver.h"

#include <gtest/gtest.h>

#include <array>
#include <string>
#include <vector>

using front_test::FrontDriver;
using front_test::kEnter;
using front_test::kSpace;

namespace {

struct Place {
    double left;
    double top;
    friend bool operator==(const Place&, const Place&) = default;
};

std::ostream& operator<<(std::ostream& out, const Place& place)
{
    return out << "(" << place.left << ", " << place.top << ")";
}

class Road : public FrontDriver {
public:
    Road()
    {
        // Without both after-game screens the road returns to the title the
        // way the results screen would, through stand-ins.
        playsRealGame_ = rig.app.isRegistered("frmStage") && rig.app.isRegistered("frmResults");
        if (!playsRealGame_) {
            standIn("frmStage");
        }
        Module1::Main(rig.app);
    }

    Place placeOf(const char* name) const { return {form(name).left(), form(name).top()}; }
    double arrowTop() const { return image("frmMenu", "Image1").top(); }
    std::array<std::int16_t, 3> options() const { return {Module1::OptSpeed, Module1::OptCase, Module1::OptKana}; }

    // One lap from the title back to the title; `choice` is the side (0 or
    // 1) picked for every option on the way.
    void lap(int choice, int startKey)
    {
        const Place home = placeOf("frmTitle");
        advance(4000);
        type(startKey);
        ASSERT_EQ(openNames(), std::vector<std::string>{"frmMenu"});
        EXPECT_EQ(placeOf("frmMenu"), home);
        EXPECT_EQ(arrowTop(), 660) << "a new menu starts on START";

        key(ui::vk::Down);
        ASSERT_EQ(active(), "frmRecord");
        EXPECT_EQ(placeOf("frmRecord"), (Place{home.left + 3540, home.top + 930}));
        key(ui::vk::Down);
        ASSERT_EQ(active(), "frmOption");
        EXPECT_EQ(placeOf("frmOption"), (Place{home.left + 3540, home.top + 1890}));
        EXPECT_EQ(arrowTop(), 1500);

        chooseEveryOption(choice);
        EXPECT_EQ(options(), (std::array<std::int16_t, 3>{std::int16_t(choice), std::int16_t(choice),
                                                          std::int16_t(choice)}));

        keys({ui::vk::Up, ui::vk::Up, ui::vk::Up});
        ASSERT_EQ(active(), "frmRecord");
        EXPECT_EQ(placeOf("frmRecord"), (Place{home.left + 3540, home.top + 930}));
        EXPECT_EQ(arrowTop(), 1080);
        key(ui::vk::Up);
        ASSERT_EQ(active(), "frmMenu");
        EXPECT_EQ(arrowTop(), 660);

        key(ui::vk::Enter);
        ASSERT_EQ(openNames(), std::vector<std::string>{"frmZone"});
        EXPECT_EQ(placeOf("frmZone"), home);
        keys({ui::vk::Right, ui::vk::J, ui::vk::Space});
        EXPECT_EQ(Module1::CurrentZone, 2);
        ASSERT_EQ(openNames(), std::vector<std::string>{"frmStage"});
        EXPECT_EQ(placeOf("frmStage"), home);

        backToTitle();
        ASSERT_EQ(openNames(), std::vector<std::string>{"frmTitle"});
        EXPECT_EQ(placeOf("frmTitle"), home);
    }

private:
    void chooseEveryOption(int choice)
    {
        const int side = choice == 1 ? ui::vk::Right : ui::vk::Left;
        keys({side, ui::vk::Down, side, ui::vk::Down, side});
    }

    void backToTitle()
    {
        if (!playsRealGame_) {
            const Place stage = placeOf("frmStage");
            open("frmTitle", stage.left, stage.top);
            close("frmStage");
            return;
        }
        EXPECT_EQ(control<ui::Timer>("frmStage", "Timer1").interval(), 100 - 50 * Module1::OptSpeed)
            << "the stage follows the speed option";
        const Place stage = placeOf("frmStage");
        type(kEnter);
        advance(31000);
        type(kEnter);
        ASSERT_EQ(active(), "frmResults");
        EXPECT_EQ(placeOf("frmResults"), stage);
        type(kEnter); // no hit: far too low a score for a rank
    }

    testing_support::ScratchAppDir appDir_;
    bool playsRealGame_ = false;
};

} // namespace

TEST(MenuRoad, theWholeRoadTwiceKeepsEveryWindowInPlace)
{
    Road road;
    ASSERT_EQ(road.openNames(), std::vector<std::string>{"frmTitle"});
    const ui::Form& title = road.form("frmTitle");
    EXPECT_FLOAT_EQ(title.left(), (road.rig.app.screenWidthTwips() - title.width()) / 2);
    EXPECT_FLOAT_EQ(title.top(), (road.rig.app.screenHeightTwips() - title.height()) / 2);

    road.lap(1, kSpace);
    if (testing::Test::HasFatalFailure()) {
        return;
    }
    EXPECT_EQ(road.state("frmTitle", "IntroStep"), "0") << "the title plays its intro again";
    road.lap(0, kEnter);
}
