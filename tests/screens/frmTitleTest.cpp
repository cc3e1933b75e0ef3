// The title screen: the intro's timeline, the blinking prompt, and the way
// Space or Enter leaves for the main menu at any moment.

#include "resources/PictureCatalog.h"
#include "tests/support/FrontDriver.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

using front_test::FrontDriver;
using front_test::kEnter;
using front_test::kSpace;

namespace {

struct TitleScreen : FrontDriver {
    TitleScreen() { open("frmTitle"); }
    ui::Image& banner() const { return image("frmTitle", "Image1"); }
    ui::Label& prompt() const { return label("frmTitle", "Label6"); }
    std::string picture() const { return control<ui::PictureBox>("frmTitle", "Picture1").picture(); }
    // Runs the intro up to and including tick n (ticks come every 100 ms).
    void untilTick(int n) { advance(n * 100 - rig.clock.nowMs()); }
};

struct BannerBox {
    double top;
    double height;
};

} // namespace

TEST(TitleIntro, theBannerGrowsAroundTheMiddleInWholePixelSteps)
{
    TitleScreen title;
    EXPECT_FALSE(title.banner().visible());
    // Step s asks for s x 61.5 twips; the banner takes the nearest whole
    // pixel (ties to even) and is centred on the 3600-twip picture area.
    const std::vector<std::pair<int, BannerBox>> expected = {
        {1, {1800, 0}},   {2, {1770, 60}},   {6, {1650, 300}},
        {7, {1620, 375}}, {11, {1500, 615}},
    };
    for (const auto& [tick, box] : expected) {
        title.untilTick(tick);
        EXPECT_TRUE(title.banner().visible()) << "tick " << tick;
        EXPECT_EQ(title.banner().height(), box.height) << "tick " << tick;
        EXPECT_EQ(title.banner().top(), box.top) << "tick " << tick;
        EXPECT_EQ(title.banner().width(), 3120) << "the banner only grows in height, tick " << tick;
    }
}

TEST(TitleIntro, theBannerRestsThenWidensTwelveTimesAroundTheMiddle)
{
    TitleScreen title;
    title.untilTick(25);
    EXPECT_EQ(title.banner().height(), 615);
    EXPECT_EQ(title.banner().width(), 3120);
    EXPECT_EQ(title.banner().left(), 840);
    EXPECT_EQ(title.state("frmTitle", "IntroStep"), "25");

    EXPECT_EQ(title.picture(), "");
    int widenings = 0;
    double width = title.banner().width();
    for (int tick = 26; tick <= 37; ++tick) {
        title.untilTick(tick);
        if (title.banner().width() > width) {
            ++widenings;
        }
        width = title.banner().width();
        // Centred on the 4800-twip picture area, to the nearest whole pixel.
        EXPECT_LE(std::abs(title.banner().left() + width / 2 - 2400), 7.5) << "tick " << tick;
        EXPECT_EQ(title.banner().height(), 615) << "tick " << tick;
        if (tick == 26) {
            EXPECT_EQ(title.state("frmTitle", "IntroStep"), "10");
            EXPECT_EQ(title.state("frmTitle", "IntroDir"), "-1");
            EXPECT_EQ(width, 3750) << "208 px x 1.2 = 249.6 px, taken as 250";
        }
    }
    EXPECT_EQ(widenings, 12);
    // 208 px widened twelve times, each time to the nearest whole pixel.
    EXPECT_EQ(width, 1856 * 15);
    EXPECT_EQ(title.banner().left(), -11520);
    EXPECT_EQ(title.state("frmTitle", "IntroStep"), "-1");
    // The last tick also ends the intro: the title picture takes over.
    EXPECT_FALSE(title.banner().visible());
    EXPECT_EQ(title.picture(), pictures::kTitle);
    EXPECT_FALSE(title.control<ui::Timer>("frmTitle", "Timer1").running());
}

TEST(TitleIntro, thePromptAppears700msAfterTheIntroAndBlinksEvery700ms)
{
    TitleScreen title;
    title.advance(3700 + 699);
    EXPECT_FALSE(title.prompt().visible());
    title.advance(1);
    EXPECT_TRUE(title.prompt().visible());
    title.advance(699);
    EXPECT_TRUE(title.prompt().visible());
    title.advance(1);
    EXPECT_FALSE(title.prompt().visible());
    title.advance(700);
    EXPECT_TRUE(title.prompt().visible());
    title.advance(700);
    EXPECT_FALSE(title.prompt().visible());
}

TEST(TitleIntro, activationRestartsTheCountAndTheWidenedBannerGrowsAgain)
{
    TitleScreen title;
    title.standIn("frmOther");
    title.untilTick(29); // the fourth widening: 432 px
    const double widened = title.banner().width();
    EXPECT_EQ(widened, 432 * 15);

    title.open("frmOther");
    title.click("frmTitle");
    EXPECT_EQ(title.state("frmTitle", "IntroStep"), "0");
    EXPECT_EQ(title.state("frmTitle", "IntroDir"), "1");

    title.untilTick(30);
    EXPECT_EQ(title.banner().height(), 0);
    EXPECT_EQ(title.banner().top(), 1800);
    EXPECT_EQ(title.banner().width(), widened);

    // The whole intro of 37 ticks runs again from the activation.
    title.untilTick(29 + 36);
    EXPECT_EQ(title.picture(), "");
    title.untilTick(29 + 37);
    EXPECT_EQ(title.picture(), pictures::kTitle);
}

TEST(TitleKeys, spaceDuringTheIntroOrEnterAfterItOpensTheMenuWhereTheTitleStood)
{
    const std::vector<std::pair<std::int64_t, int>> presses = {{1550, kSpace}, {6000, kEnter}};
    for (const auto& [moment, typed] : presses) {
        TitleScreen title;
        title.advance(moment);
        title.type(typed);
        EXPECT_FALSE(title.isOpen("frmTitle")) << "at " << moment << " ms";
        EXPECT_EQ(title.openNames(), std::vector<std::string>{"frmMenu"});
        EXPECT_EQ(title.active(), "frmMenu");
        EXPECT_EQ(title.form("frmMenu").left(), front_test::kHomeLeft);
        EXPECT_EQ(title.form("frmMenu").top(), front_test::kHomeTop);
    }
}

TEST(TitleKeys, otherKeysAreIgnoredDuringAndAfterTheIntro)
{
    TitleScreen title;
    for (std::int64_t moment : {500, 6000}) {
        title.advance(moment - title.rig.clock.nowMs());
        for (int typed : {int{'a'}, int{'Z'}, int{'1'}, 27, 8}) {
            title.type(typed);
        }
        title.keys({ui::vk::Enter, ui::vk::Space, ui::vk::Down, ui::vk::Escape});
        EXPECT_TRUE(title.isOpen("frmTitle")) << "at " << moment << " ms";
        EXPECT_FALSE(title.isOpen("frmMenu")) << "at " << moment << " ms";
    }
}

TEST(TitleWindow, opensFromItsDesignAndEndsTheProgramWhenClosed)
{
    TitleScreen title;
    const ui::Form& form = title.form("frmTitle");
    EXPECT_EQ(form.caption(), "Quorvel for Windows 95");
    EXPECT_EQ(form.border(), ui::FormBorder::FixedSingle);
    EXPECT_EQ(title.picture(), "");
    EXPECT_EQ(title.control<ui::PictureBox>("frmTitle", "Picture1").backColor(), ui::colors::white);
    EXPECT_FALSE(title.prompt().visible());

    title.advance(2000);
    title.close("frmTitle");
    EXPECT_TRUE(title.rig.app.finished());
    EXPECT_FALSE(title.isOpen("frmMenu"));
}
