#include "resources/designs/DesignKit.h"
#include "resources/designs/Designs.h"
#include "resources/PictureCatalog.h"

namespace designs {

namespace {

constexpr ui::Color kFrameGreen = ui::rgb(128, 255, 128);

void thumbnail(ui::Form& form, ui::Container& parent, const char* boxName, int boxLeft, const char* imageName)
{
    auto& box = form.add<ui::PictureBox>(parent, boxName, {boxLeft, 720, 1215, 1575});
    // The zone select gives the image its picture when it loads.
    form.add<ui::Image>(box, imageName, {-660, -660, 1815, 2175});
}

void frameBar(ui::Form& form, ui::Container& parent, const char* name, ui::TwipRect rect)
{
    auto& bar = form.add<ui::Shape>(parent, name, rect);
    bar.setShape(ui::ShapeKind::Rectangle);
    bar.setOutline(false);
    bar.setFillColor(kFrameGreen);
    bar.setFillStyle(ui::FillStyle::Solid);
}

void zoneLabel(ui::Form& form, ui::Container& parent, const char* name, ui::TwipRect rect, const char* caption,
               int index = -1)
{
    label(form, parent, name, rect, caption, ui::colors::white, font(kTimes, 9, true, true), index).setFits(true);
}

} // namespace

void buildZone(ui::Form& form)
{
    form.setCaption("Quorvel - Zone Select -");
    form.setBorder(ui::FormBorder::FixedSingle);
    form.setClientSize(4860, 3660);

    auto& picture = form.add<ui::PictureBox>(form, "Picture1", {0, 0, 4860, 3660});
    picture.setPicture(pictures::kZone);

    thumbnail(form, picture, "Picture3", 3240, "Image3");
    thumbnail(form, picture, "Picture2", 1800, "Image2");
    thumbnail(form, picture, "Picture4", 360, "Image1");
    frameBar(form, picture, "Shape4", {1560, 660, 75, 1695});
    frameBar(form, picture, "Shape3", {300, 660, 75, 1695});
    frameBar(form, picture, "Shape2", {300, 2280, 1335, 75});
    zoneLabel(form, picture, "Label5", {3480, 2340, 690, 225}, "All kinds");
    zoneLabel(form, picture, "Label3", {1800, 2520, 1200, 225}, "Characters Zone", 2);
    zoneLabel(form, picture, "Label3", {3240, 2520, 1200, 225}, "Characters Zone", 1);
    zoneLabel(form, picture, "Label4", {2220, 2340, 405, 225}, "Kana");
    zoneLabel(form, picture, "Label3", {360, 2520, 1200, 225}, "Characters Zone", 0);
    zoneLabel(form, picture, "Label2", {600, 2340, 810, 225}, "Alphabetic", 0);
    frameBar(form, picture, "Shape1", {300, 660, 1335, 75});
}

} // namespace designs
