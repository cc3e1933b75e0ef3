#include "platform/qt/FormGeometry.h"

#include <algorithm>

namespace qthost {
namespace {

const ui::Control* asControl(const ui::Container& container)
{
    return dynamic_cast<const ui::Control*>(&container);
}

QRect boxInParent(const ui::Control& control)
{
    const ui::PixelRect box = control.pixelRect();
    return QRect(box.x, box.y, box.width, box.height);
}

ui::Control* hitInContainer(const ui::Container& container, QPoint origin, QPoint point)
{
    std::vector<const ui::Control*> order = ui::paintingOrder(container);
    // Front to back.
    for (auto it = order.rbegin(); it != order.rend(); ++it) {
        const ui::Control& control = **it;
        const QRect box = boxInParent(control).translated(origin);
        if (!box.contains(point)) {
            continue;
        }
        if (const auto* inner = dynamic_cast<const ui::Container*>(&control)) {
            const int inset = inner->clientInsetPx();
            const QRect client = box.adjusted(inset, inset, -inset, -inset);
            if (client.contains(point)) {
                if (ui::Control* child = hitInContainer(*inner, client.topLeft(), point)) {
                    return child;
                }
            }
        }
        return const_cast<ui::Control*>(&control);
    }
    return nullptr;
}

} // namespace

QPoint clientOrigin(const ui::Container& container)
{
    const ui::Control* control = asControl(container);
    if (control == nullptr) {
        return QPoint(0, 0); // the form's own client area
    }
    const int inset = container.clientInsetPx();
    return formRect(*control).topLeft() + QPoint(inset, inset);
}

QRect formRect(const ui::Control& control)
{
    return boxInParent(control).translated(clientOrigin(control.parent()));
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

ui::Control* controlAt(const ui::Form& form, QPoint point)
{
    return hitInContainer(form, QPoint(0, 0), point);
}

} // namespace qthost
