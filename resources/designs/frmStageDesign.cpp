#include "resources/designs/DesignKit.h"
#include "resources/designs/Designs.h"
#include "resources/PictureCatalog.h"

namespace designs {

namespace {

using ui::Alignment;
using ui::colors::black;
using ui::colors::silver;
using ui::colors::white;

ui::Font timesSmall() { return font(kTimes, 9, true); }
ui::Font timesNumber() { return font(kTimes, 11.25, true, true); }
ui::Font arialTitle() { return font(kArial, 48, true, true); }

void fit(ui::Label& label, Alignment alignment = Alignment::Left)
{
    label.setAlignment(alignment);
    label.setFits(true);
}

ui::PictureBox& addCanvas(ui::Form& form)
{
    auto& canvas = form.add<ui::PictureBox>(form, "Picture1", {0, 0, 4860, 3660});
    canvas.setScaleMode(ui::ScaleMode::Pixels);
    canvas.setFont(font(kGothic, 12, true));
    canvas.setPicture(pictures::kStageCastle);
    canvas.setSunken(true);
    return canvas;
}

// The backgrounds of the other two zones wait outside the window until the
// stage copies one of them onto the canvas.
void addParkedBackground(ui::Form& form, const char* name, ui::TwipRect rect, const char* picture)
{
    auto& image = form.add<ui::Image>(form, name, rect);
    image.setPicture(picture);
    image.setVisible(false);
}

void addHitRateBar(ui::Form& form, ui::PictureBox& canvas, const char* name, bool outline, bool solid)
{
    auto& shape = form.add<ui::Shape>(canvas, name, {360, 3180, 1500, 135});
    shape.setShape(ui::ShapeKind::Rectangle);
    shape.setOutline(outline);
    if (solid) {
        shape.setFillStyle(ui::FillStyle::Solid);
        shape.setFillColor(ui::colors::navy);
    }
}

void addCanvasControls(ui::Form& form, ui::PictureBox& canvas)
{
    fit(label(form, canvas, "Label11", {960, 3060, 270, 225}, "100", white, timesSmall()));
    fit(label(form, canvas, "Label9", {240, 3060, 630, 225}, "Average", white, timesSmall()));
    addHitRateBar(form, canvas, "Shape2", true, false);
    addHitRateBar(form, canvas, "Shape3", false, true);
    label(form, canvas, "Label10", {360, 1140, 4095, 1035}, "TIME UP", silver, arialTitle(), 0).setVisible(false);
    addHitRateBar(form, canvas, "Shape1", false, false);
    fit(label(form, canvas, "Label8", {4440, 900, 120, 270}, "0", white, timesNumber()), Alignment::Right);
    fit(label(form, canvas, "Label7", {3840, 660, 735, 225}, "Response", white, timesSmall()));
    fit(label(form, canvas, "Label6", {2040, 2100, 2520, 240}, "Press Space or Enter Key", white,
              font(kCourier, 9, true)));
    fit(label(form, canvas, "Label5", {600, 1140, 3495, 1110}, "READY", silver, arialTitle(), 0));
    label(form, canvas, "Label4", {3840, 180, 855, 255}, "Score", white, timesSmall());
    label(form, canvas, "Label3", {240, 180, 975, 375}, "Time", white, timesSmall());
    fit(label(form, canvas, "Label2", {240, 300, 420, 465}, "30", white, font(kTimes, 20.25, true)),
        Alignment::Center);
    fit(label(form, canvas, "Label1", {4455, 420, 120, 270}, "0", white, timesNumber()), Alignment::Right);
    label(form, canvas, "Label5", {720, 1260, 3495, 1110}, "READY", black, arialTitle(), 1);
    label(form, canvas, "Label10", {480, 1260, 4095, 1095}, "TIME UP", black, arialTitle(), 1).setVisible(false);
}

void addTimer(ui::Form& form, const char* name, int interval, bool running)
{
    auto& timer = form.add<ui::Timer>(form, name, {});
    timer.setInterval(interval);
    if (running) {
        timer.start();
    }
}

} // namespace

void buildStage(ui::Form& form)
{
    form.setCaption("Quorvel - Alphabetic Characters Zone -");
    form.setBorder(ui::FormBorder::FixedSingle);
    form.setClientSize(4860, 3660);

    ui::PictureBox& canvas = addCanvas(form);
    addCanvasControls(form, canvas);
    addParkedBackground(form, "Image1", {5400, 0, 4800, 3600}, pictures::kStageLake);
    addParkedBackground(form, "Image2", {5520, 360, 4800, 3600}, pictures::kStageStream);

    addTimer(form, "Timer1", 100, false);  // flight tick
    addTimer(form, "Timer2", 700, true);   // prompt blink
    addTimer(form, "Timer3", 1000, false); // countdown
    addTimer(form, "Timer4", 100, false);  // response clock
}

} // namespace designs
