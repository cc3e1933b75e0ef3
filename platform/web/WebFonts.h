#pragma once

// The page's fonts for the designs' fonts, mapped as the desktop host maps
// them to its installed fonts: "Times New Roman" to Web Serif, "Arial" and
// the default user-interface font to Web Sans, "Courier New" to Web Mono,
// "ＭＳ Ｐゴシック" to Web Gothic, every face backed by Web Gothic and then
// the browser's Japanese fonts. The web fonts are the desktop's fonts cut to
// the characters the game draws and renamed (tools/webfonts). Sizes are
// points at 96 dpi in whole pixels; the default font is 8.25 points.

#include "platform/model/Types.h"

#include <string>
#include <vector>

namespace webhost {

struct PageFont {
    std::vector<std::string> families; // first choice first
    int pixelSize = 0;                  // CSS pixels
    bool bold = false;
    bool italic = false;
};

PageFont pageFont(const ui::Font& font);

// The CSS `font` value of `font`, its size scaled by `devicePixelRatio` for
// drawing at backing resolution. The text input over a text box takes its
// font from here too.
std::string cssFont(const ui::Font& font, double devicePixelRatio = 1.0);

} // namespace webhost
