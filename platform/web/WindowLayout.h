#pragma once

// Where a form's window and its parts stand on the page, in CSS pixels: the
// frame at the form's Left and Top, the client area of the form's exact size
// inside the title bar and border the game draws, and the boxes of the title
// bar. A sizable window may be resized, maximised to the page's viewport or
// minimised to the page's strip of window buttons; the model keeps none of
// that but the place, so the host keeps it in a PageWindow. Which control a
// click lands on, and where a text box lies. Plain C++, so it is tested
// without a browser.

#include "platform/model/Form.h"

#include <functional>
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

struct Size {
    int width = 0;
    int height = 0;
    friend bool operator==(const Size&, const Size&) = default;
};

// The edges a resize moves, as bits.
enum Edge : int { kLeftEdge = 1, kTopEdge = 2, kRightEdge = 4, kBottomEdge = 8 };

// A strip of the border where a press resizes the window by its edges.
struct ResizeGrip {
    int edges = 0;
    Box box; // in the frame
    friend bool operator==(const ResizeGrip&, const ResizeGrip&) = default;
};

// What the page keeps of a window besides the form's own properties.
struct PageWindow {
    std::optional<Size> clientSize; // the player's, in place of the form's
    bool maximized = false;
    bool minimized = false;
    // Where the form stood before it was maximised, in twips.
    double restoreLeft = 0;
    double restoreTop = 0;
};

struct WindowLayout {
    Box frame;   // on the page
    Box client;  // in the frame
    Box canvas;  // in the frame: the form's own client size at the client area's corner
    Box caption; // in the frame: the coloured bar
    // In the frame; the minimise and maximise boxes only on a sizable window.
    Box closeBox;
    std::optional<Box> maximizeBox;
    std::optional<Box> minimizeBox;
    std::vector<ResizeGrip> grips; // a sizable window's, while not maximised
};

// Twips to whole pixels, to the nearest.
int twipsToPixels(double twips);
// A frame position on the page as the form's Left or Top.
double pixelsToTwips(int pixels);

WindowLayout windowLayout(const ui::Form& form);
// The window as the page shows it: a maximised one fills the viewport.
WindowLayout windowLayout(const ui::Form& form, const PageWindow& page, Size viewport);

// The smallest frame of a sizable window: the border and the title bar with
// its boxes whole, and no client area, as small as the desktop allows.
Size minimumFrameSize(const ui::Form& form);
// The frame after its EDGES were dragged by DX, DY from START, no smaller
// than the minimum; the opposite edges stay where they were.
Box resizedFrame(const ui::Form& form, const Box& start, int edges, int dx, int dy);
// The client size of a frame of the form's border.
Size clientSizeOf(const ui::Form& form, const Box& frame);

// How much of a title bar a drag leaves in the viewport, across, in CSS
// pixels of the browser's window; the bar always stays whole down.
inline constexpr int kTitleBarInReach = 40;

// The frame moved as little as it takes to keep REACH pixels of its title
// bar (CAPTION, in the frame) inside the viewport across, all of the bar
// down, and the bar below the viewport's top, where it can be taken again.
Box keptInReach(const Box& frame, const Box& caption, Size viewport, int reach);
// The frame moved as little as it takes to lie wholly inside the viewport;
// one larger than the viewport stands at its top or left edge.
Box keptInside(const Box& frame, Size viewport);

// The window to activate when ACTIVE is minimised: the front-most other open
// one that is not minimised, or nullptr. OPEN is back to front.
ui::Form* activeAfterMinimizing(const std::vector<ui::Form*>& open, const ui::Form& active,
                                const std::function<bool(const ui::Form&)>& minimized);

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
