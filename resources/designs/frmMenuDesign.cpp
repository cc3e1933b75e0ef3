#include "resources/designs/DesignKit.h"
#include "resources/designs/Designs.h"
#include "resources/PictureCatalog.h"

namespace designs {

void buildMenu(ui::Form& form)
{
    form.setCaption("Quorvel - Menu -");
    form.setBorder(ui::FormBorder::FixedSingle);
    form.setClientSize(4860, 3660);

    auto& picture = form.add<ui::PictureBox>(form, "Picture1", {0, 0, 4860, 3660});
    picture.setPicture(pictures::kMenu);

    form.add<ui::Image>(picture, "Image1", {1080, 660, 480, 480}).setPicture(pictures::kMenuArrow);

    const ui::Font itemFont = font(kTimes, 18, true, true);
    label(form, picture, "Label3", {1620, 1500, 1470, 420}, "OPTION", ui::colors::white, itemFont);
    label(form, picture, "Label2", {1620, 1080, 1755, 420}, "RECORDS", ui::colors::white, itemFont);
    label(form, picture, "Label1", {1620, 660, 1215, 420}, "START", ui::colors::white, itemFont);
}

} // namespace designs
