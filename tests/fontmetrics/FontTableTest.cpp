// The game's table of advance widths against the installed fonts and the
// desktop host's measuring: the checked-in table is what the generator makes
// today, and every caption the game can put into a fitted label measures the
// same with the table as with Qt.

#include "platform/model/Text.h"
#include "platform/qt/QtServices.h"
#include "resources/metrics/GameTextMetrics.h"
#include "tools/fontmetrics/FontTableGenerator.h"

#include <gtest/gtest.h>

#include <fstream>
#include <random>
#include <sstream>
#include <string>
#include <vector>

namespace {

std::string checkedInTable()
{
    const std::string path = QV_CHECKED_IN_FONT_TABLE;
    std::ifstream file(path, std::ios::binary);
    EXPECT_TRUE(file) << "cannot read " << path;
    std::ostringstream text;
    text << file.rdbuf();
    return text.str();
}

// What the stage, the results and the records put into their fitted number
// labels: scores, negative ones included, response times and hit rates with
// one decimal, with and without the blank the stage puts before them.
std::vector<std::string> numberCaptions()
{
    std::vector<std::string> captions;
    for (int value = -500; value <= 3000; ++value) {
        captions.push_back(ui::numberText(value));
    }
    std::mt19937 random(7);
    for (int i = 0; i < 2000; ++i) {
        captions.push_back(ui::numberText(static_cast<int>(random() % 100'000'000)));
    }
    for (int tenths = 0; tenths <= 10'000; ++tenths) {
        const std::string text = ui::numberText(tenths / 10.0);
        captions.push_back(text);
        captions.push_back(" " + text);
    }
    return captions;
}

TEST(FontTable, IsWhatTheGeneratorMakesFromTheInstalledFonts)
{
    ASSERT_EQ(qthost::missingFontsReport().toStdString(), "");
    const auto fonts = fontmetricsgen::distinctFonts(fontmetricsgen::labelsOfDesigns(false));
    EXPECT_EQ(fontmetricsgen::renderTable(fonts), checkedInTable())
        << "regenerate with: cmake --build --preset release --target font-metrics-table";
}

TEST(FontTable, MeasuresEveryCaptionOfAFittedLabelAsTheDesktopHost)
{
    const fontmetrics::GameTextMetrics game;
    const qthost::QtTextMetrics desktop;
    const auto fitted = fontmetricsgen::labelsOfDesigns(true);
    ASSERT_FALSE(fitted.empty());
    for (const auto& label : fitted) {
        EXPECT_EQ(game.textWidthPx(label.font, label.caption), desktop.textWidthPx(label.font, label.caption))
            << label.font.face << ' ' << label.font.points << ": " << label.caption;
    }
    const auto numbers = numberCaptions();
    for (const ui::Font& font : fontmetricsgen::distinctFonts(fitted)) {
        for (const std::string& caption : numbers) {
            ASSERT_EQ(game.textWidthPx(font, caption), desktop.textWidthPx(font, caption))
                << font.face << ' ' << font.points << ": \"" << caption << '"';
        }
    }
}

TEST(FontTable, GivesCharactersOutsideTheTableTheWidthOfTheirReferenceGlyph)
{
    const fontmetrics::GameTextMetrics game;
    const qthost::QtTextMetrics desktop;
    for (const ui::Font& font : fontmetricsgen::distinctFonts(fontmetricsgen::labelsOfDesigns(false))) {
        EXPECT_EQ(game.textWidthPx(font, "漢字"), 2 * desktop.textWidthPx(font, "一")) << font.face;
        EXPECT_EQ(game.textWidthPx(font, "Ａ"), desktop.textWidthPx(font, "一")) << font.face;
        EXPECT_EQ(game.textWidthPx(font, "é€"), 2 * desktop.textWidthPx(font, "?")) << font.face;
        EXPECT_EQ(game.textWidthPx(font, "ｱﾟ"), desktop.textWidthPx(font, "ｱﾟ")) << font.face;
    }
}

TEST(FontTable, MeasuresAFontItLacksAsItsNearestFontScaled)
{
    const fontmetrics::GameTextMetrics game;
    const ui::Font designed{"Times New Roman", 20.25, true, false}; // 27 pixels, the stage's clock
    const ui::Font doubled{"Times New Roman", 40.5, true, false};   // 54 pixels, not in the table
    const int width = game.textWidthPx(designed, "Average");
    ASSERT_GT(width, 0);
    EXPECT_EQ(game.textWidthPx(doubled, "Average"), 2 * width);
    EXPECT_EQ(game.textWidthPx(ui::Font{"No Such Face", 9, false, false}, "Average"),
              game.textWidthPx(ui::Font{}, "Average"))
        << "a face the table lacks is measured as its first font, the dialog font";
}

} // namespace
