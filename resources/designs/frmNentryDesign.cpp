#include "resources/designs/DesignKit.h"
#include "resources/designs/Designs.h"
#include "resources/PictureCatalog.h"

#include <array>
#include <string>

namespace designs {

namespace {

constexpr int kRows = 10;
constexpr int kFirstRowTop = 600;
constexpr int kRowHeight = 240;
constexpr int kRowSlant = 120;

constexpr std::array<int, kRows> kRankLeft{1320, 1080, 960, 900, 840, 780, 660, 540, 420, 300};
constexpr std::array<int, kRows> kRankWidth{465, 615, 630, 555, 495, 435, 435, 435, 435, 435};

int rowTop(int row) { return kFirstRowTop + kRowHeight * row; }
bool isNarrowRow(int row) { return row == 1 || row == 3; }

void addNames(ui::Form& form, ui::Container& picture)
{
    for (int row = 0; row < kRows; ++row) {
        const int height = isNarrowRow(row) ? 195 : 225;
        label(form, picture, "Label1", {1920 - kRowSlant * row, rowTop(row), 1770, height}, "0", ui::colors::white,
              font(kGothic, 9.75, true), row);
    }
}

void addScores(ui::Form& form, ui::Container& picture)
{
    for (int row = 0; row < kRows; ++row) {
        const int width = isNarrowRow(row) ? 690 : 675;
        const int height = isNarrowRow(row) ? 195 : 270;
        auto& score = label(form, picture, "Label3", {3720 - kRowSlant * row, rowTop(row), width, height}, "0",
                            ui::colors::white, font(kTimes, 9.75, true, true), row);
        score.setAlignment(ui::Alignment::Right);
    }
}

void addRanks(ui::Form& form, ui::Container& picture)
{
    for (int row = 0; row < kRows; ++row) {
        const std::string rank = std::to_string(row + 1) + ".";
        auto& text = label(form, picture, "Label4", {kRankLeft[row], rowTop(row), kRankWidth[row], 270}, rank.c_str(),
                           ui::colors::white, font(kTimes, 9.75, true, true), row);
        text.setAlignment(ui::Alignment::Right);
    }
}

} // namespace

void buildNentry(ui::Form& form)
{
    form.setCaption("Quorvel - Name Entry -");
    form.setBorder(ui::FormBorder::FixedSingle);
    form.setClientSize(4860, 3660);

    auto& picture = form.add<ui::PictureBox>(form, "Picture1", {0, 0, 4860, 3660});
    picture.setScaleMode(ui::ScaleMode::Twips);
    picture.setPicture(pictures::kNentry);
    picture.setSunken(true);

    addNames(form, picture);
    addScores(form, picture);
    addRanks(form, picture);

    auto& highlight = form.add<ui::Shape>(picture, "Shape1", {1500, 600, 2955, 195});
    highlight.setOutline(false);
    highlight.setFillStyle(ui::FillStyle::Solid);
    highlight.setFillColor(ui::rgb(128, 255, 255));
    highlight.setDrawMode(ui::DrawMode::MergeNotPen);

    auto& prompt = label(form, picture, "Label2", {300, 3120, 1905, 225}, "Please input your name.", ui::colors::white,
                         font(kTimes, 9, true));
    prompt.setFits(true);

    auto& name = form.add<ui::TextBox>(picture, "Text1", {2400, 3120, 1875, 270});
    name.setColors(ui::colors::darkGrey, ui::rgb(192, 192, 255));
    name.setFont(ui::defaultFont());
    // First in the tab order: the name box has the focus when the screen opens.
    name.setTabIndex(-1);
}

} // namespace designs
