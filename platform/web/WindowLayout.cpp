#include "platform/web/WindowLayout.h"

#include "platform/model/Controls.h"

#include <cmath>

namespace webhost {
namespace {

// Between the title bar's edge and its boxes.
constexpr int kBoxGap = 2;

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
    const ui::FrameMetrics metrics = ui::frameMetrics(form.border());
    const int clientWidth = form.clientWidthTwips() / ui::kTwipsPerPixel;
    const int clientHeight = form.clientHeightTwips() / ui::kTwipsPerPixel;
    WindowLayout layout;
    layout.frame = Box{twipsToPixels(form.left()), twipsToPixels(form.top()), clientWidth + 2 * metrics.side,
                       clientHeight + 2 * metrics.side + metrics.caption};
    layout.client = Box{metrics.side, metrics.side + metrics.caption, clientWidth, clientHeight};
    // The caption's last row is the face between the bar and the client area.
    layout.caption = Box{metrics.side, metrics.side, layout.frame.width - 2 * metrics.side, metrics.caption - 1};
    layout.closeBox = titleBoxAt(layout.caption, 0);
    if (form.border() == ui::FormBorder::Sizable) {
        layout.maximizeBox = titleBoxAt(layout.caption, 1);
        layout.minimizeBox = titleBoxAt(layout.caption, 2);
    }
    return layout;
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
