#include "resources/designs/DesignKit.h"
#include "resources/designs/Designs.h"
#include "resources/PictureCatalog.h"

#include <array>

namespace designs {

namespace {

struct ResultRow {
    const char* caption;
    int top;
    int captionHeight;
    ui::Color barColor;
};

constexpr ui::Color kPurple = ui::rgb(192, 0, 192);
constexpr ui::Color kGreen = ui::rgb(0, 192, 0);

constexpr std::array<ResultRow, 4> kRows{{
    {"Score", 1440, 255, kPurple},
    {"Response", 1680, 315, kPurple},
    {"Average", 1920, 315, kPurple},
    {"Total", 2400, 255, kGreen},
}};

// The bar's top lies 60 twips below its row's labels.
constexpr int kBarDrop = 60;

ui::Font figureFont() { return font(kTimes, 12, true, true); }

void addBar(ui::Form& form, ui::Container& parent, const char* name, int row, ui::Color fill, ui::DrawMode mode)
{
    auto& bar = form.add<ui::Shape>(parent, name, {2040, kRows[row].top + kBarDrop, 1500, 195}, row);
    bar.setOutline(false);
    bar.setFillStyle(ui::FillStyle::Solid);
    bar.setFillColor(fill);
    bar.setDrawMode(mode);
}

} // namespace

void buildResults(ui::Form& form)
{
    form.setCaption("Quorvel - Results -");
    form.setBorder(ui::FormBorder::Sizable);
    form.setClientSize(4860, 3660);

    auto& picture = form.add<ui::PictureBox>(form, "Picture1", {0, 0, 4860, 3660});
    picture.setScaleMode(ui::ScaleMode::Pixels);
    picture.setPicture(pictures::kResults);
    picture.setSunken(true);

    for (int row = 0; row < static_cast<int>(kRows.size()); ++row) {
        auto& caption = label(form, picture, "Label1", {780, kRows[row].top, 1155, kRows[row].captionHeight},
                              kRows[row].caption, ui::colors::white, figureFont(), row);
        caption.setAlignment(ui::Alignment::Right);
    }
    for (int row = 0; row < static_cast<int>(kRows.size()); ++row) {
        label(form, picture, "Label2", {2160, kRows[row].top, 1035, 255}, "0", ui::colors::white, figureFont(), row);
    }
    for (int row = 0; row < static_cast<int>(kRows.size()); ++row) {
        addBar(form, picture, "Shape2", row, kRows[row].barColor, ui::DrawMode::MaskPenNot);
    }
    for (int row = 0; row < static_cast<int>(kRows.size()); ++row) {
        addBar(form, picture, "Shape1", row, ui::colors::darkGrey, ui::DrawMode::MaskPen);
    }

    auto& prompt = label(form, picture, "Label4", {1860, 3000, 2520, 240}, "Press Space or Enter Key",
                         ui::colors::darkNavy, font(kCourier, 9, true));
    prompt.setFits(true);

    auto& blink = form.add<ui::Timer>(form, "Timer1", {});
    blink.setInterval(700);
    blink.start();
}

} // namespace designs
