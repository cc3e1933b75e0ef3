#pragma once

// Short-hands the design builders share: the named faces and the usual
// label styles.

#include "platform/model/Form.h"

namespace designs {

inline constexpr const char* kGothic = "ＭＳ Ｐゴシック";
inline constexpr const char* kTimes = "Times New Roman";
inline constexpr const char* kArial = "Arial";
inline constexpr const char* kCourier = "Courier New";

inline ui::Font font(const char* face, double points, bool bold = false, bool italic = false)
{
    return ui::Font{face, points, bold, italic};
}

// A transparent label with caption, colour and font.
inline ui::Label& label(ui::Form& form, ui::Container& parent, const char* name, ui::TwipRect rect,
                        const char* caption, ui::Color color, ui::Font labelFont, int index = -1)
{
    auto& l = form.add<ui::Label>(parent, name, rect, index);
    l.setCaption(caption);
    l.setForeColor(color);
    l.setFont(std::move(labelFont));
    return l;
}

} // namespace designs
