// The results screen: figures, bars and final score of a play, the prompt,
// and where Enter or Space leads.

#include "tests/support/AfterGameRig.h"

#include <gtest/gtest.h>

#include <array>

using testing_support::AfterGameRig;
using testing_support::captionOf;

namespace {

struct Figures {
    std::array<std::string, 4> captions;
    std::array<double, 4> bars;
};

Figures figuresOf(const ui::Form& results)
{
    Figures shown;
    for (int row = 0; row < 4; ++row) {
        shown.captions[row] = captionOf(results, "Label2", row);
        shown.bars[row] = results.get<ui::Shape>("Shape2", row).width();
    }
    return shown;
}

ui::Form& showResults(AfterGameRig& rig, std::int32_t raw, double average, double hitRate)
{
    rig.finishPlay(raw, average, hitRate);
    return rig.showAt("frmResults");
}

} // namespace

TEST(ResultsScoring, aTypicalPlayShowsItsFiguresBarsAndFinalScore)
{
    AfterGameRig rig;
    const Figures shown = figuresOf(showResults(rig, 5000, 600, 90));
    EXPECT_EQ(shown.captions, (std::array<std::string, 4>{"5000", "600", "90", "6390"}));
    EXPECT_EQ(shown.bars, (std::array<double, 4>{27, 93, 90, 31}));
    EXPECT_EQ(Module1::AvgResponse, 2100) << "the average becomes the response points";
    EXPECT_EQ(Module1::RecordScore[0][10], 6390);
    EXPECT_EQ(Module1::LastScore, 6390);
}

TEST(ResultsScoring, onlyTheWholeResponsePointsCountAndAFastAverageFillsTheBar)
{
    AfterGameRig rig;
    const Figures shown = figuresOf(showResults(rig, 12000, 412.5, 97.3));
    EXPECT_EQ(Module1::AvgResponse, 2662.5);
    EXPECT_EQ(shown.captions[3], "14266");
    EXPECT_EQ(shown.bars[1], 100);
    EXPECT_EQ(shown.captions[1], "412.5");
    EXPECT_EQ(shown.captions[2], "97.3");
}

TEST(ResultsScoring, aFinalScoreHalfwayBetweenTwoIntegersGoesToTheEvenOne)
{
    for (auto [raw, expected] : {std::pair{1001, 500}, std::pair{1003, 502}}) {
        AfterGameRig rig;
        showResults(rig, raw, 1400, 50);
        EXPECT_EQ(Module1::RecordScore[0][10], expected) << "raw " << raw;
    }
}

TEST(ResultsScoring, aPlayWithoutHitsScoresNothingAndLeadsBackToTheTitle)
{
    AfterGameRig rig;
    const Figures shown = figuresOf(showResults(rig, 0, 0, 0));
    EXPECT_EQ(shown.captions, (std::array<std::string, 4>{"0", "0", "0", "0"}));
    EXPECT_EQ(shown.bars, (std::array<double, 4>{0, 0, 0, 0}));
    EXPECT_EQ(Module1::AvgResponse, 0) << "an untimed play earns no response points";
    rig.pressEnter();
    EXPECT_TRUE(rig.isOpen("frmTitle"));
    EXPECT_EQ(rig.app.loaded("frmResults"), nullptr);
}

TEST(ResultsScoring, anAverageThatSinglePrecisionCannotTellFromZeroCountsAsUntimed)
{
    AfterGameRig rig;
    const ui::Form& results = showResults(rig, 1000, 0.00001, 100);
    EXPECT_EQ(results.get<ui::Shape>("Shape2", 1).width(), 0);
    EXPECT_EQ(Module1::RecordScore[0][10], 1000);
}

TEST(ResultsScoring, theResponseBarIsFullFromFiveHundredFiftyMillisecondsDown)
{
    for (auto [average, points] : {std::pair{550.0, 2250.0}, std::pair{100.0, 3600.0}, std::pair{0.1, 3899.7}}) {
        AfterGameRig rig;
        const ui::Form& results = showResults(rig, 1000, average, 100);
        EXPECT_EQ(results.get<ui::Shape>("Shape2", 1).width(), 100) << average;
        EXPECT_DOUBLE_EQ(Module1::AvgResponse, points) << average;
    }
}

TEST(ResultsScoring, anAverageOfThirteenHundredOrMoreEarnsNoResponsePoints)
{
    for (double average : {1300.0, 1300.1, 2500.0}) {
        AfterGameRig rig;
        const ui::Form& results = showResults(rig, 4000, average, 100);
        EXPECT_EQ(results.get<ui::Shape>("Shape2", 1).width(), 0) << average;
        EXPECT_EQ(Module1::RecordScore[0][10], 4000) << average;
    }
}

TEST(ResultsScoring, barsStopAtTheirFullLength)
{
    AfterGameRig rig;
    const Figures shown = figuresOf(showResults(rig, 25000, 2000, 100));
    EXPECT_EQ(shown.bars[0], 100);
    EXPECT_EQ(shown.bars[3], 100);
    EXPECT_EQ(shown.captions[3], "25000");
}

TEST(ResultsScoring, aSecondActivationDoesNotScoreTheScoreAgain)
{
    AfterGameRig rig;
    ui::Form& results = showResults(rig, 5000, 600, 90);
    rig.showAt("frmTitle");
    rig.app.click(results);
    ASSERT_EQ(rig.app.activeForm(), &results);
    EXPECT_EQ(Module1::RecordScore[0][10], 6390);
    EXPECT_EQ(Module1::AvgResponse, 2100);
    EXPECT_EQ(captionOf(results, "Label2", 1), "600");
}

TEST(ResultsScoring, onlyTheZoneOfThePlayIsScored)
{
    AfterGameRig rig;
    Module1::RecordScore[0][10] = 777;
    rig.finishPlay(5000, 600, 90, 2);
    rig.showAt("frmResults");
    EXPECT_EQ(Module1::RecordScore[2][10], 6390);
    EXPECT_EQ(Module1::RecordScore[0][10], 777);
}

TEST(ResultsNextScreen, belowTwoThousandTheTitleTakesTheResultsPlace)
{
    AfterGameRig rig;
    Module1::RecordScore[0][9] = 100;
    Module1::NewRecord = 1;
    rig.showResultsScoring(1999);
    rig.pressSpace();
    ASSERT_TRUE(rig.isOpen("frmTitle"));
    EXPECT_EQ(rig.title()->left(), 1800);
    EXPECT_EQ(rig.title()->top(), 1200);
    EXPECT_EQ(rig.app.loaded("frmResults"), nullptr);
    EXPECT_EQ(Module1::NewRecord, 1) << "left as it was";
}

TEST(ResultsNextScreen, twoThousandAboveTheTenthPlaceGoesToTheNameEntry)
{
    AfterGameRig rig;
    Module1::RecordScore[0][9] = 1500;
    rig.showResultsScoring(2000);
    rig.pressEnter();
    EXPECT_EQ(Module1::NewRecord, 1);
    ASSERT_TRUE(rig.isOpen("frmNentry"));
    EXPECT_EQ(rig.app.loaded("frmNentry")->left(), 1800);
    EXPECT_EQ(rig.app.loaded("frmNentry")->top(), 1200);
    EXPECT_EQ(rig.app.loaded("frmResults"), nullptr);
}

TEST(ResultsNextScreen, aScoreEqualToTheTenthPlaceGetsTheCertificateOverTheResults)
{
    AfterGameRig rig;
    Module1::RecordScore[0][9] = 8000;
    Module1::NewRecord = 1;
    ui::Form& results = rig.showResultsScoring(8000);
    rig.pressEnter();
    EXPECT_EQ(Module1::NewRecord, 0);
    ui::Form* certificate = rig.app.loaded("frmCertif");
    ASSERT_NE(certificate, nullptr);
    EXPECT_EQ(certificate->left(), 1800 + 900);
    EXPECT_EQ(certificate->top(), 1200 + 675);
    EXPECT_EQ(rig.app.openForms(), (std::vector<ui::Form*>{&results, certificate}));
    EXPECT_EQ(rig.app.activeForm(), certificate);
}

TEST(ResultsNextScreen, keysOtherThanEnterAndSpaceDoNothing)
{
    AfterGameRig rig;
    ui::Form& results = rig.showResultsScoring(1000);
    rig.app.keyPress('A', U'A');
    rig.app.keyPress(27, U'\x1b');
    rig.app.keyDown(ui::vk::Enter);
    rig.app.keyDown(ui::vk::Down);
    EXPECT_EQ(rig.app.openForms(), std::vector<ui::Form*>{&results});
}

TEST(ResultsPrompt, blinksEverySevenTenthsOfASecondFromTheMomentOfLoading)
{
    AfterGameRig rig;
    const ui::Form& results = rig.showResultsScoring(1000);
    const auto& prompt = results.get<ui::Label>("Label4");
    EXPECT_TRUE(prompt.visible());
    rig.advance(699);
    EXPECT_TRUE(prompt.visible());
    rig.advance(1);
    EXPECT_FALSE(prompt.visible());
    rig.advance(700);
    EXPECT_TRUE(prompt.visible());
    rig.advance(700);
    EXPECT_FALSE(prompt.visible());
}

TEST(ResultsDesign, isASizableWindowWithItsCanvasAtTheTopLeftInPixels)
{
    AfterGameRig rig;
    const ui::Form& results = rig.app.form("frmResults");
    EXPECT_EQ(results.caption(), "Quorvel - Results -");
    EXPECT_EQ(results.border(), ui::FormBorder::Sizable);
    const auto& canvas = results.get<ui::PictureBox>("Picture1");
    EXPECT_EQ(canvas.left(), 0);
    EXPECT_EQ(canvas.top(), 0);
    EXPECT_EQ(canvas.scaleMode(), ui::ScaleMode::Pixels);
    EXPECT_EQ(results.focused(), &canvas) << "the canvas takes the keys";
    EXPECT_EQ(captionOf(results, "Label2", 3), "0") << "figures read 0 until the window is activated";
}
