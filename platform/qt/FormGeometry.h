#pragma once

// Where controls lie on their form, in the form's client pixels, and which
// control a click lands on. Stacking follows the model: children()[0] of a
// container is in front, and picture boxes, frames and text boxes lie in
// front of the labels, shapes and images of their container.

#include "platform/model/Form.h"

#include <QPoint>
#include <QRect>

#include <vector>

namespace qthost {

// The control's box in client pixels of its form.
QRect formRect(const ui::Control& control);

// The top-left corner of a container's client area in client pixels of the
// form.
QPoint clientOrigin(const ui::Container& container);

// Visible, and inside containers that are all visible.
bool isShown(const ui::Control& control);

// The front-most, innermost visible control under `point` (client pixels),
// or nullptr when the point hits the form itself.
ui::Control* controlAt(const ui::Form& form, QPoint point);

} // namespace qthost
