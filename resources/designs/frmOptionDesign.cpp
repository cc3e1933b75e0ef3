#include "resources/designs/DesignKit.h"
#include "resources/designs/Designs.h"

namespace designs {

namespace {

constexpr int kMarkerTop = 240;
constexpr int kMarkerSize = 75;
constexpr int kLeftMarkerLeft = 120;
constexpr int kRightMarkerLeft = 1200;

struct OptionGroup {
    const char* frame;
    const char* caption;
    int top;
    const char* rightMarker;
    const char* leftMarker;
    const char* rightChoice;
    ui::TwipRect rightChoiceRect;
    const char* rightText;
    const char* leftChoice;
    ui::TwipRect leftChoiceRect;
    const char* leftText;
    int row;
    int barWidth;
};

// The right marker keeps the one-pixel black outline, so it shows as a ring
// when hollow; the left marker has none and vanishes when hollow.
void marker(ui::Form& form, ui::Container& frame, const char* name, int left, bool outlined)
{
    auto& dot = form.add<ui::Shape>(frame, name, {left, kMarkerTop, kMarkerSize, kMarkerSize});
    dot.setShape(ui::ShapeKind::Circle);
    dot.setFillColor(ui::colors::red);
    dot.setFillStyle(ui::FillStyle::Transparent);
    dot.setOutline(outlined);
}

void choice(ui::Form& form, ui::Container& frame, const char* name, ui::TwipRect rect, const char* text)
{
    auto& word = form.add<ui::Label>(frame, name, rect);
    word.setCaption(text);
    word.setOpaque(true);
}

void cursorBar(ui::Form& form, ui::Container& frame, int row, int width)
{
    auto& bar = form.add<ui::Shape>(frame, "Shape2", {120, 0, width, 195}, row);
    bar.setShape(ui::ShapeKind::RoundedRectangle);
    bar.setOutline(false);
    bar.setFillColor(ui::colors::navy);
    bar.setFillStyle(ui::FillStyle::Solid);
    bar.setDrawMode(ui::DrawMode::MergePenNot);
    bar.setVisible(row == 0);
}

void group(ui::Form& form, const OptionGroup& g)
{
    auto& frame = form.add<ui::Frame>(form, g.frame, {0, g.top, 2295, 435});
    frame.setCaption(g.caption);
    marker(form, frame, g.rightMarker, kRightMarkerLeft, true);
    marker(form, frame, g.leftMarker, kLeftMarkerLeft, false);
    choice(form, frame, g.rightChoice, g.rightChoiceRect, g.rightText);
    choice(form, frame, g.leftChoice, g.leftChoiceRect, g.leftText);
    cursorBar(form, frame, g.row, g.barWidth);
}

void frameShadow(ui::Form& form, const char* name, ui::TwipRect rect)
{
    auto& shadow = form.add<ui::Shape>(form, name, rect);
    shadow.setOutline(false);
    shadow.setFillColor(ui::colors::darkGrey);
    shadow.setFillStyle(ui::FillStyle::Solid);
}

} // namespace

void buildOption(ui::Form& form)
{
    form.setCaption("  Option");
    form.setBorder(ui::FormBorder::ToolWindow);
    form.setClientSize(2325, 1665);

    group(form, {"Frame3", "Kana Character", 960, "Shape11", "Shape10", "Label7", {1380, 180, 855, 195}, "Kata",
                 "Label6", {300, 180, 615, 195}, "Hira", 2, 1245});
    group(form, {"Frame2", "Alphabetic Character", 480, "Shape9", "Shape8", "Label5", {1380, 180, 855, 195},
                 "Minuscule", "Label4", {300, 180, 855, 195}, "Capital", 1, 1680});
    group(form, {"Frame1", "Speed", 0, "Shape7", "Shape3", "Label3", {1380, 180, 675, 195}, "High", "Label2",
                 {300, 180, 675, 195}, "Low", 0, 525});

    const char* help = "U , D , R , L: select";
    label(form, form, "Label1", {420, 1440, 1575, 255}, help, ui::colors::lightGrey, font(kTimes, 9, true), 1);
    label(form, form, "Label1", {420, 1455, 1575, 255}, help, ui::colors::navy, font(kTimes, 9, true), 0);

    frameShadow(form, "Shape6", {60, 1080, 2285, 360});
    frameShadow(form, "Shape5", {60, 600, 2285, 360});
    frameShadow(form, "Shape1", {60, 120, 2285, 365});
}

} // namespace designs
