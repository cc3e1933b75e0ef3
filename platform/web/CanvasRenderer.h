#pragma once

// Paints a form's client area into its canvas in the page.

#include "platform/model/Form.h"

#include <cstdint>
#include <string>

namespace webhost {

class CanvasRenderer {
public:
    void render(const ui::Form& form, const std::string& canvasId, double devicePixelRatio);
    void forgetForm(std::uint64_t instanceId);
};

} // namespace webhost
