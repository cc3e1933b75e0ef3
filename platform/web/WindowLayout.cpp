#include "platform/web/WindowLayout.h"

#include "platform/model/Controls.h"

#include <algorithm>
#include <cmath>

namespace webhost {
namespace {

// Between the title bar's edge and its boxes.
constexpr int kBoxGap = 2;
// How far along the edges a corner resizes both ways.
constexpr int kCornerGrip = 16;

const ui::Control* asControl(const ui::Container& container)
{
    return dynamic_cast<const ui::Control*>(&container);
}

Box boxInParent(const ui::Control& control)
{
    const ui::PixelRect rect = control.pixelRect();
    return Box{rect.x, rect.y, rect.width, rect.height};
}

// The top-left corner of a container's client area in client pixels of the form.
void clientOrigin(const ui::Container& container, int& x, int& y)
{
    x = 0;
    y = 0;
    if (const ui::Control* control = asControl(container)) {
        const Box box = formBox(*control);
        x = box.x + container.clientInsetPx();
        y = box.y + container.clientInsetPx();
    }
}

ui::Control* hitInContainer(const ui::Container& container, int originX, int originY, int x, int y)
{
    const std::vector<const ui::Control*> order = ui::paintingOrder(container);
    for (auto it = order.rbegin(); it != order.rend(); ++it) { // front to back
        const ui::Control& control = **it;
        Box box = boxInParent(control);
        box.x += originX;
        box.y += originY;
        if (!box.contains(x, y)) {
            continue;
        }
        if (const auto* inner = dynamic_cast<const ui::Container*>(&control)) {
            const int inset = inner->clientInsetPx();
            const Box client{box.x + inset, box.y + inset, box.width - 2 * inset, box.height - 2 * inset};
            if (client.contains(x, y)) {
                if (ui::Control* child = hitInContainer(*inner, client.x, client.y, x, y)) {
                    return child;
                }
            }
        }
        return const_cast<ui::Control*>(&control);
    }
    return nullptr;
}

// The boxes sit at the right end of the title bar, the close box last.
Box titleBoxAt(const Box& caption, int slot)
{
    const int height = caption.height - 2 * kBoxGap;
    const int width = height + 2;
    int right = caption.x + caption.width - 1 - kBoxGap;
    if (slot > 0) {
        right -= width + kBoxGap; // the maximise box, apart from the close box
    }
    if (slot > 1) {
        right -= width; // the minimise box, against the maximise box
    }
    return Box{right - width + 1, caption.y + kBoxGap, width, height};
}

Size formClientSize(const ui::Form& form)
{
    return Size{form.clientWidthTwips() / ui::kTwipsPerPixel, form.clientHeightTwips() / ui::kTwipsPerPixel};
}

// The border strips that resize: each side, and each corner along both of
// its edges for a stretch a pointer can find.
std::vector<ResizeGrip> resizeGrips(const Box& frame, int side)
{
    const int w = frame.width;
    const int h = frame.height;
    const int cornerX = std::min(kCornerGrip, w / 2);
    const int cornerY = std::min(kCornerGrip, h / 2);
    const std::vector<ResizeGrip> all{
        {kTopEdge, Box{cornerX, 0, w - 2 * cornerX, side}},
        {kBottomEdge, Box{cornerX, h - side, w - 2 * cornerX, side}},
        {kLeftEdge, Box{0, cornerY, side, h - 2 * cornerY}},
        {kRightEdge, Box{w - side, cornerY, side, h - 2 * cornerY}},
        {kLeftEdge | kTopEdge, Box{0, 0, cornerX, side}},
        {kLeftEdge | kTopEdge, Box{0, 0, side, cornerY}},
        {kRightEdge | kTopEdge, Box{w - cornerX, 0, cornerX, side}},
        {kRightEdge | kTopEdge, Box{w - side, 0, side, cornerY}},
        {kLeftEdge | kBottomEdge, Box{0, h - side, cornerX, side}},
        {kLeftEdge | kBottomEdge, Box{0, h - cornerY, side, cornerY}},
        {kRightEdge | kBottomEdge, Box{w - cornerX, h - side, cornerX, side}},
        {kRightEdge | kBottomEdge, Box{w - side, h - cornerY, side, cornerY}},
    };
    std::vector<ResizeGrip> grips;
    for (const ResizeGrip& grip : all) {
        if (grip.box.width > 0 && grip.box.height > 0) {
            grips.push_back(grip);
        }
    }
    return grips;
}

} // namespace

int twipsToPixels(double twips)
{
    return static_cast<int>(std::lround(twips / ui::kTwipsPerPixel));
}

double pixelsToTwips(int pixels)
{
    return static_cast<double>(pixels) * ui::kTwipsPerPixel;
}

WindowLayout windowLayout(const ui::Form& form)
{
    return windowLayout(form, PageWindow{}, Size{});
}

WindowLayout windowLayout(const ui::Form& form, const PageWindow& page, Size viewport)
{
    const ui::FrameMetrics metrics = ui::frameMetrics(form.border());
    const bool sizable = form.border() == ui::FormBorder::Sizable;
    const Size formClient = formClientSize(form);
    WindowLayout layout;
    if (sizable && page.maximized) {
        layout.frame = Box{0, 0, viewport.width, viewport.height};
    } else {
        const Size client = sizable && page.clientSize ? *page.clientSize : formClient;
        layout.frame = Box{twipsToPixels(form.left()), twipsToPixels(form.top()), client.width + 2 * metrics.side,
                           client.height + 2 * metrics.side + metrics.caption};
    }
    layout.client = Box{metrics.side, metrics.side + metrics.caption, layout.frame.width - 2 * metrics.side,
                        layout.frame.height - 2 * metrics.side - metrics.caption};
    layout.canvas = Box{layout.client.x, layout.client.y, formClient.width, formClient.height};
    // The caption's last row is the face between the bar and the client area.
    layout.caption = Box{metrics.side, metrics.side, layout.frame.width - 2 * metrics.side, metrics.caption - 1};
    layout.closeBox = titleBoxAt(layout.caption, 0);
    if (sizable) {
        layout.maximizeBox = titleBoxAt(layout.caption, 1);
        layout.minimizeBox = titleBoxAt(layout.caption, 2);
        if (!page.maximized) {
            layout.grips = resizeGrips(layout.frame, metrics.side);
        }
    }
    return layout;
}

Size minimumFrameSize(const ui::Form& form)
{
    const ui::FrameMetrics metrics = ui::frameMetrics(form.border());
    const int boxWidth = titleBoxAt(Box{0, 0, 0, metrics.caption - 1}, 0).width;
    return Size{2 * metrics.side + 3 * (boxWidth + kBoxGap), 2 * metrics.side + metrics.caption};
}

Box resizedFrame(const ui::Form& form, const Box& start, int edges, int dx, int dy)
{
    const Size minimum = minimumFrameSize(form);
    Box frame = start;
    if ((edges & kLeftEdge) != 0) {
        const int right = start.x + start.width;
        frame.width = std::max(minimum.width, start.width - dx);
        frame.x = right - frame.width;
    } else if ((edges & kRightEdge) != 0) {
        frame.width = std::max(minimum.width, start.width + dx);
    }
    if ((edges & kTopEdge) != 0) {
        const int bottom = start.y + start.height;
        // The title bar stays on the page, where it can be taken again.
        const int top = std::max(start.y + dy, std::min(start.y, 0));
        frame.y = std::min(top, bottom - minimum.height);
        frame.height = bottom - frame.y;
    } else if ((edges & kBottomEdge) != 0) {
        frame.height = std::max(minimum.height, start.height + dy);
    }
    return frame;
}

Size clientSizeOf(const ui::Form& form, const Box& frame)
{
    const ui::FrameMetrics metrics = ui::frameMetrics(form.border());
    return Size{frame.width - 2 * metrics.side, frame.height - 2 * metrics.side - metrics.caption};
}

Box keptInReach(const Box& frame, const Box& caption, Size viewport, int reach)
{
    const int inReach = std::min(reach, caption.width);
    Box kept = frame;
    kept.x = std::min(kept.x, viewport.width - inReach - caption.x);
    kept.x = std::max(kept.x, inReach - caption.x - caption.width);
    kept.y = std::min(kept.y, viewport.height - caption.y - caption.height);
    kept.y = std::max(kept.y, 0);
    return kept;
}

Box keptInside(const Box& frame, Size viewport)
{
    Box kept = frame;
    kept.x = std::max(0, std::min(kept.x, viewport.width - kept.width));
    kept.y = std::max(0, std::min(kept.y, viewport.height - kept.height));
    return kept;
}

ui::Form* activeAfterMinimizing(const std::vector<ui::Form*>& open, const ui::Form& active,
                                const std::function<bool(const ui::Form&)>& minimized)
{
    for (auto it = open.rbegin(); it != open.rend(); ++it) {
        if (*it != &active && !minimized(**it)) {
            return *it;
        }
    }
    return nullptr;
}

Box formBox(const ui::Control& control)
{
    Box box = boxInParent(control);
    int x = 0;
    int y = 0;
    clientOrigin(control.parent(), x, y);
    box.x += x;
    box.y += y;
    return box;
}

bool isShown(const ui::Control& control)
{
    for (const ui::Control* at = &control; at != nullptr; at = asControl(at->parent())) {
        if (!at->visible()) {
            return false;
        }
    }
    return true;
}

ui::Control* controlAt(const ui::Form& form, int x, int y)
{
    return hitInContainer(form, 0, 0, x, y);
}

Box textInputBox(const ui::TextBox& box)
{
    const Box outer = formBox(box);
    return Box{outer.x + 2, outer.y + 2, outer.width - 4, outer.height - 4};
}

} // namespace webhost
