#include "resources/designs/DesignKit.h"
#include "resources/designs/Designs.h"
#include "resources/PictureCatalog.h"

namespace designs {

namespace {

void addParkedPicture(ui::Form& form, const char* name, ui::TwipRect rect, const char* picture)
{
    auto& image = form.add<ui::Image>(form, name, rect);
    image.setPicture(picture);
    image.setVisible(false);
}

} // namespace

void buildCertif(ui::Form& form)
{
    form.setCaption("  Quorvel - Certificate -");
    form.setBorder(ui::FormBorder::ToolWindow);
    form.setClientSize(3060, 2310);

    auto& picture = form.add<ui::PictureBox>(form, "Picture1", {0, 0, 3060, 2310});
    picture.setScaleMode(ui::ScaleMode::Twips);
    picture.setPicture(pictures::kCertifPale);
    picture.setSunken(true);

    auto& classWord = label(form, picture, "Label4", {1440, 1380, 1050, 540}, "Class", ui::colors::black,
                            font(kTimes, 24, true, true));
    classWord.setFits(true);

    auto& special = label(form, picture, "Label2", {960, 1080, 885, 330}, "Special", ui::colors::red,
                          font(kTimes, 14.25, true, true));
    special.setFits(true);

    auto& letter = label(form, picture, "Label3", {300, 480, 1275, 1395}, "A", ui::colors::controlText,
                         font(kTimes, 72, true, true));
    letter.setAlignment(ui::Alignment::Center);

    auto& heading = label(form, picture, "Label1", {540, 120, 1965, 480}, "Certificate", ui::colors::controlText,
                          font(kArial, 20.25, true, true));
    heading.setFits(true);

    addParkedPicture(form, "Image1", {3300, 0, 3000, 2250}, pictures::kCertifExpert);
    addParkedPicture(form, "Image2", {3420, 480, 3000, 2250}, pictures::kCertifGreen);
}

} // namespace designs
