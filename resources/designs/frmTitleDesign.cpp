#include "resources/designs/DesignKit.h"
#include "resources/designs/Designs.h"
#include "resources/PictureCatalog.h"

namespace designs {

void buildTitle(ui::Form& form)
{
    form.setCaption("Quorvel for Windows 95");
    form.setBorder(ui::FormBorder::FixedSingle);
    form.setClientSize(4860, 3660);

    auto& picture = form.add<ui::PictureBox>(form, "Picture1", {0, 0, 4860, 3660});
    picture.setBackColor(ui::colors::white);

    auto& prompt = label(form, picture, "Label6", {1080, 2040, 2520, 240}, "Press Space or Enter Key",
                         ui::colors::white, font(kCourier, 9, true));
    prompt.setFits(true);
    prompt.setVisible(false);

    auto& banner = form.add<ui::Image>(picture, "Image1", {840, 1380, 3120, 615});
    banner.setStretch(true);
    banner.setPicture(pictures::kTitleBanner);
    banner.setVisible(false);

    // Parked off the client area; only its picture is used.
    form.add<ui::Image>(form, "Image2", {4980, 60, 4800, 3600}).setPicture(pictures::kTitle);

    auto& intro = form.add<ui::Timer>(form, "Timer1", {});
    intro.setInterval(100);
    intro.start();
    auto& blink = form.add<ui::Timer>(form, "Timer2", {});
    blink.setInterval(700);
    blink.stop();
}

} // namespace designs
