#pragma once

// Where a form's window and its parts stand on the page, in CSS pixels: the
// frame at the form's Left and Top, the client area of the form's exact size
// inside the title bar and border the game draws, and the boxes of the title
// bar. Which control a click lands on, and where a text box lies. Plain C++,
// so it is tested without a browser.

#include "platform/model/Form.h"

#include <optional>
#include <vector>

namespace webhost {

struct Box {
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;
    bool contains(int px, int py) const { return px >= x && py >= y && px < x + width && py < y + height; }
    friend bool operator==(const Box&, const Box&) = default;
};

enum class TitleBox { Close, Maximize, Minimize };

struct WindowLayout {
    Box frame;   // on the page
    Box client;  // in the frame
    Box caption; // in the frame: the coloured bar
    // In the frame; the minimise and maximise boxes only on a sizable window.
    Box closeBox;
    std::optional<Box> maximizeBox;
    std::optional<Box> minimizeBox;
};

// Twips to whole pixels, to the nearest.
int twipsToPixels(double twips);
// A frame position on the page as the form's Left or Top.
double pixelsToTwips(int pixels);

WindowLayout windowLayout(const ui::Form& form);

// The control's box in client pixels of its form.
Box formBox(const ui::Control& control);
// Visible, and inside containers that are all visible.
bool isShown(const ui::Control& control);
// The front-most, innermost visible control under a point of the client
// area, or nullptr when the point hits the form itself.
ui::Control* controlAt(const ui::Form& form, int x, int y);
// Where the text input of a text box goes in the client area: inside the
// sunken border the renderer draws.
Box textInputBox(const ui::TextBox& box);

} // namespace webhost
