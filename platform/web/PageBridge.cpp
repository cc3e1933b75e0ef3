#include "platform/web/PageBridge.h"

#include <emscripten/emscripten.h>
#include <emscripten/html5.h>

#include <cstdio>

// The page's script is loaded before the program starts: window.qvWindows
// (windows.js) and window.qvPage (page.js).

EM_JS(void, qv_js_message, (const char* text, int kind), {
    window.qvPage.message(UTF8ToString(text), ["lasting", "passing", "state"][kind]);
});
EM_JS(void, qv_js_end_state_notice, (), { window.qvPage.endNotice("state"); });
EM_JS(double, qv_js_pixel_ratio, (), { return window.qvWindows.pixelRatio(); });
EM_JS(double, qv_js_page_scale, (), { return window.qvWindows.scale(); });
EM_JS(void, qv_js_leave_guard, (int on), { window.qvPage.guardLeaving(on !== 0); });
EM_JS(int, qv_js_page_language_is_japanese, (), { return document.documentElement.lang === "ja" ? 1 : 0; });
EM_JS(void, qv_js_open, (double id, const char* name), { window.qvWindows.open(id, UTF8ToString(name)); });
EM_JS(void, qv_js_update, (double id, const char* json), {
    window.qvWindows.update(id, JSON.parse(UTF8ToString(json)));
});
EM_JS(void, qv_js_text_input, (double id, const char* json), {
    window.qvWindows.textInput(id, JSON.parse(UTF8ToString(json)));
});
EM_JS(void, qv_js_focus_input, (double id, const char* control, int index), {
    window.qvWindows.focusInput(id, UTF8ToString(control), index);
});
EM_JS(void, qv_js_focus_page, (), { window.qvWindows.focusPage(); });
EM_JS(void, qv_js_wake_soon, (), { window.qvWindows.wakeSoon(); });
EM_JS(void, qv_js_close, (double id), { window.qvWindows.close(id); });
EM_JS(void, qv_js_ended, (const char* note), { window.qvPage.ended(UTF8ToString(note)); });
EM_JS(void, qv_js_failed, (const char* text), { window.qvPage.failed(UTF8ToString(text)); });

namespace webhost {
namespace {

std::string boxJson(const Box& box)
{
    return "[" + std::to_string(box.x) + "," + std::to_string(box.y) + "," + std::to_string(box.width) + "," +
           std::to_string(box.height) + "]";
}

std::string numberJson(double value)
{
    char text[32];
    std::snprintf(text, sizeof text, "%.6g", value);
    return text;
}

double idArgument(std::uint64_t id)
{
    return static_cast<double>(id);
}

} // namespace

void showPageMessage(std::string_view text, NoticeKind kind)
{
    qv_js_message(std::string(text).c_str(), static_cast<int>(kind));
}

void endStateNotice()
{
    qv_js_end_state_notice();
}

namespace page {

std::string jsonString(std::string_view text)
{
    std::string out = "\"";
    for (char c : text) {
        switch (c) {
        case '"':
            out += "\\\"";
            break;
        case '\\':
            out += "\\\\";
            break;
        default:
            if (static_cast<unsigned char>(c) < 0x20) {
                char escaped[8];
                std::snprintf(escaped, sizeof escaped, "\\u%04x", static_cast<unsigned>(c));
                out += escaped;
            } else {
                out += c;
            }
        }
    }
    return out + "\"";
}

void openWindow(std::uint64_t id, std::string_view formName)
{
    qv_js_open(idArgument(id), std::string(formName).c_str());
}

std::string windowJson(const WindowLayout& layout, const WindowLook& look)
{
    std::string json = "{\"caption\":" + jsonString(look.caption) + ",\"active\":" + (look.active ? "true" : "false") +
                       ",\"stack\":" + std::to_string(look.stackIndex) +
                       ",\"dpr\":" + numberJson(look.devicePixelRatio) + ",\"frame\":" + boxJson(layout.frame) +
                       ",\"client\":" + boxJson(layout.client) + ",\"bar\":" + boxJson(layout.caption) +
                       ",\"close\":" + boxJson(layout.closeBox) + ",\"canvas\":" + boxJson(layout.canvas) +
                       ",\"maximized\":" + (look.maximized ? "true" : "false") +
                       ",\"minimized\":" + (look.minimized ? "true" : "false");
    if (layout.maximizeBox && layout.minimizeBox) {
        json += ",\"maximize\":" + boxJson(*layout.maximizeBox) + ",\"minimize\":" + boxJson(*layout.minimizeBox);
    }
    json += ",\"grips\":[";
    for (std::size_t i = 0; i < layout.grips.size(); ++i) {
        json += (i == 0 ? "[" : ",[") + std::to_string(layout.grips[i].edges) + "," +
                boxJson(layout.grips[i].box) + "]";
    }
    return json + "]}";
}

std::string textInputJson(const TextInputState& state)
{
    return "{\"control\":" + jsonString(state.control) + ",\"index\":" + std::to_string(state.index) +
                             ",\"box\":" + boxJson(state.box) + ",\"shown\":" + (state.shown ? "true" : "false") +
                             ",\"enabled\":" + (state.enabled ? "true" : "false") +
                             ",\"text\":" + jsonString(state.text) + ",\"font\":" + jsonString(state.cssFont) +
                             ",\"back\":" + jsonString(state.backColor) + ",\"fore\":" + jsonString(state.foreColor) +
                             "}";
}

void updateWindow(std::uint64_t id, const std::string& json)
{
    qv_js_update(idArgument(id), json.c_str());
}

void updateTextInput(std::uint64_t id, const std::string& json)
{
    qv_js_text_input(idArgument(id), json.c_str());
}

void focusTextInput(std::uint64_t id, std::string_view control, int index)
{
    qv_js_focus_input(idArgument(id), std::string(control).c_str(), index);
}

void focusPage()
{
    qv_js_focus_page();
}

void wakeSoon()
{
    qv_js_wake_soon();
}

void closeWindow(std::uint64_t id)
{
    qv_js_close(idArgument(id));
}

void programEnded(std::string_view note)
{
    qv_js_ended(std::string(note).c_str());
}

void programFailed(std::string_view message)
{
    qv_js_failed(std::string(message).c_str());
}

double devicePixelRatio()
{
    return qv_js_pixel_ratio();
}

double pageScale()
{
    return qv_js_page_scale();
}

Size viewportSize()
{
    double width = 0;
    double height = 0;
    emscripten_get_element_css_size("#qv-desktop", &width, &height);
    const double scale = pageScale();
    return Size{static_cast<int>(width / scale), static_cast<int>(height / scale)};
}

void guardLeaving(bool on)
{
    qv_js_leave_guard(on ? 1 : 0);
}

bool japanesePage()
{
    return qv_js_page_language_is_japanese() != 0;
}

} // namespace page
} // namespace webhost
