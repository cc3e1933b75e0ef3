#include "platform/web/CanvasRenderer.h"

#include <emscripten/emscripten.h>

// Until the real renderer arrives: the client area in the control face, with
// the form's name, so that windows can be told apart.
EM_JS(void, qv_js_placeholder_paint, (const char* canvasId, const char* name), {
    const canvas = document.getElementById(UTF8ToString(canvasId));
    if (!canvas) return;
    const g = canvas.getContext('2d');
    g.fillStyle = '#d4d0c8';
    g.fillRect(0, 0, canvas.width, canvas.height);
    g.fillStyle = '#000';
    g.font = `${Math.round(16 * window.devicePixelRatio)}px sans-serif`;
    g.fillText(UTF8ToString(name), 8, 24 * window.devicePixelRatio);
});

namespace webhost {

void CanvasRenderer::render(const ui::Form& form, const std::string& canvasId, double)
{
    qv_js_placeholder_paint(canvasId.c_str(), form.name().c_str());
}

void CanvasRenderer::forgetForm(std::uint64_t) {}

} // namespace webhost
