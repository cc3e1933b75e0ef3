// Where the game's windows stand on the page: the title centred in the
// viewport, the menu where the title stood, the side panels beside the menu,
// all measured from the frames the page gives the window elements.

#include "core/Module1.h"
#include "platform/web/WindowLayout.h"
#include "tests/support/Rig.h"

#include <gtest/gtest.h>

namespace {

constexpr int kViewportWidth = 1280;
constexpr int kViewportHeight = 900;

class PagePlacementTest : public ::testing::Test {
protected:
    PagePlacementTest()
    {
        rig.app.setScreenSizePx(kViewportWidth, kViewportHeight);
        rig.app.run([this] { Module1::Main(rig.app); });
        rig.advance(4000);
    }

    webhost::Box frameOf(const char* name) const
    {
        const ui::Form* form = rig.app.loaded(name);
        EXPECT_NE(form, nullptr) << name;
        return form != nullptr ? webhost::windowLayout(*form).frame : webhost::Box{};
    }

    void press(int keyCode, std::vector<ui::TypedChar> typed = {})
    {
        rig.app.keyStroke(keyCode, 0, typed);
        rig.advance(200);
    }

    testing_support::Rig rig;
};

} // namespace

TEST_F(PagePlacementTest, theMenuAndItsPanelsStandWhereTheTitleAndTheMenuPutThem)
{
    const webhost::Box title = frameOf("frmTitle");
    EXPECT_LE(std::abs(2 * title.x + title.width - kViewportWidth), 1);
    EXPECT_LE(std::abs(2 * title.y + title.height - kViewportHeight), 1);

    press(ui::vk::Space, {ui::TypedChar{' ', U' '}});
    const webhost::Box menu = frameOf("frmMenu");
    EXPECT_EQ(menu.x, title.x);
    EXPECT_EQ(menu.y, title.y);

    press(ui::vk::Down);
    const webhost::Box records = frameOf("frmRecord");
    EXPECT_EQ(records.x - menu.x, 3540 / ui::kTwipsPerPixel);
    EXPECT_EQ(records.y - menu.y, 930 / ui::kTwipsPerPixel);

    press(ui::vk::Down);
    const webhost::Box options = frameOf("frmOption");
    EXPECT_EQ(options.x - menu.x, 3540 / ui::kTwipsPerPixel);
    EXPECT_EQ(options.y - menu.y, 1890 / ui::kTwipsPerPixel);
}
