#include "platform/web/CanvasRenderer.h"

#include "platform/model/RasterOp.h"
#include "platform/web/WebFonts.h"
#include "platform/web/WindowLayout.h"

#include <emscripten/emscripten.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <vector>

// The page side: the 2D contexts, the pictures and fonts draw.js loaded, and
// the offscreen canvases of picture boxes by handle. Every coordinate given
// here is in device pixels of the target; `target` 0 is the form's canvas.

// clang-format off
EM_JS(void, qv_begin, (const char* canvasId, int width, int height), {
    const id = UTF8ToString(canvasId);
    const canvas = document.getElementById(id);
    if (!canvas) {
        throw new Error('no canvas with the id ' + id + ' to paint into');
    }
    if (canvas.width !== width) canvas.width = width;
    if (canvas.height !== height) canvas.height = height;
    // Read back for every solid fill that combines with what lies under it:
    // a canvas kept in memory answers at once, where one on the GPU stalls.
    const ctx = canvas.getContext('2d', { willReadFrequently: true });
    ctx.setTransform(1, 0, 0, 1, 0, 0);
    ctx.qvFont = undefined;
    ctx.imageSmoothingEnabled = false;
    qvDraw.ctx = ctx;
});

EM_JS(void, qv_fill, (int target, int x, int y, int width, int height, int rgb), {
    const ctx = qvDraw.context(target);
    ctx.fillStyle = qvDraw.colour(rgb);
    ctx.fillRect(x, y, width, height);
});

EM_JS(void, qv_clip_push, (int x, int y, int width, int height), {
    const ctx = qvDraw.ctx;
    ctx.save();
    ctx.beginPath();
    ctx.rect(x, y, width, height);
    ctx.clip();
});

// What restore() brings back is not known here: the next text sets its font.
EM_JS(void, qv_clip_pop, (), {
    const ctx = qvDraw.ctx;
    ctx.restore();
    ctx.qvFont = undefined;
});

// The page keeps each font's CSS by number, so that text passes a number.
EM_JS(void, qv_font_define, (int id, const char* font), { qvDraw.fonts[id] = UTF8ToString(font); });

EM_JS(int, qv_picture_size, (const char* name), {
    const image = qvDraw.picture(UTF8ToString(name));
    return image ? (image.width << 16) | image.height : 0;
});

EM_JS(void, qv_picture, (int target, const char* name, int x, int y, int width, int height), {
    qvDraw.drawPicture(qvDraw.context(target), UTF8ToString(name), x, y, width, height);
});

EM_JS(void, qv_text, (int target, const char* text, int fontId, int rgb, int x, int top, int align), {
    const ctx = qvDraw.context(target);
    const css = qvDraw.fonts[fontId];
    // Setting a font parses it: a stage prints nine glyphs a tick in one font,
    // and a window's labels share a few.
    // Whatever resets the font resets these too.
    if (ctx.qvFont !== css) {
        ctx.font = css;
        ctx.qvFont = css;
        ctx.textBaseline = 'alphabetic';
        // The desktop sets text without kerning.
        ctx.fontKerning = 'none';
    }
    ctx.fillStyle = qvDraw.colour(rgb);
    ctx.textAlign = align === 1 ? 'right' : align === 2 ? 'center' : 'left';
    ctx.fillText(UTF8ToString(text), x, Math.round(top + qvDraw.ascent(css)));
});

EM_JS(int, qv_text_width, (const char* text, const char* font), {
    return Math.round(qvDraw.measure(UTF8ToString(font), UTF8ToString(text)).width);
});

EM_JS(int, qv_font_height, (const char* font), {
    const metrics = qvDraw.measure(UTF8ToString(font), "");
    return Math.round(metrics.fontBoundingBoxAscent) + Math.round(metrics.fontBoundingBoxDescent);
});

EM_JS(void, qv_read_pixels, (int x, int y, int width, int height, unsigned char* into), {
    HEAPU8.set(qvDraw.ctx.getImageData(x, y, width, height).data, into);
});

EM_JS(void, qv_write_pixels, (int x, int y, int width, int height, const unsigned char* from), {
    const bytes = new Uint8ClampedArray(HEAPU8.buffer, from, width * height * 4).slice();
    qvDraw.ctx.putImageData(new ImageData(bytes, width, height), x, y);
});

EM_JS(void, qv_canvas_reset, (int handle, int width, int height, int rgb), {
    const canvas = qvDraw.offscreen(handle);
    canvas.width = width;
    canvas.height = height;
    const ctx = canvas.getContext('2d');
    ctx.imageSmoothingEnabled = false;
    ctx.qvFont = undefined;
    ctx.fillStyle = qvDraw.colour(rgb);
    ctx.fillRect(0, 0, width, height);
});

EM_JS(void, qv_canvas_blit, (int handle, int x, int y), {
    qvDraw.ctx.drawImage(qvDraw.offscreen(handle), x, y);
});

EM_JS(void, qv_canvas_drop, (int handle), { qvDraw.dropOffscreen(handle); });
// clang-format on

namespace webhost {
namespace {

constexpr ui::Color kShadow = ui::rgb(128, 128, 128);
constexpr ui::Color kDarkShadow = ui::rgb(64, 64, 64);
constexpr ui::Color kHighlight = ui::rgb(255, 255, 255);
constexpr int kFormCanvas = 0;

int rgbOf(ui::Color color)
{
    return (color.r << 16) | (color.g << 8) | color.b;
}

enum TextAlign { AlignLeft = 0, AlignRight = 1, AlignCenter = 2 };

double roundedCornerRadius(int width, int height)
{
    return std::min(width, height) / 4.0;
}

// Whether the device pixel (x, y) of a shape `width` × `height` device pixels
// lies inside it, sampled at the pixel's centre as an aliased fill does.
bool insideShape(ui::ShapeKind kind, int x, int y, int width, int height, double radius)
{
    const double px = x + 0.5;
    const double py = y + 0.5;
    if (kind == ui::ShapeKind::Circle) {
        const double rx = width / 2.0;
        const double ry = height / 2.0;
        const double dx = (px - rx) / rx;
        const double dy = (py - ry) / ry;
        return dx * dx + dy * dy <= 1.0;
    }
    if (kind == ui::ShapeKind::RoundedRectangle) {
        const double cx = std::clamp(px, radius, width - radius);
        const double cy = std::clamp(py, radius, height - radius);
        const double dx = px - cx;
        const double dy = py - cy;
        return dx * dx + dy * dy <= radius * radius;
    }
    return true;
}

} // namespace

CanvasRenderer::Rect CanvasRenderer::toDevice(Rect rect) const
{
    const int left = static_cast<int>(std::lround(rect.x * dpr_));
    const int top = static_cast<int>(std::lround(rect.y * dpr_));
    const int right = static_cast<int>(std::lround((rect.x + rect.width) * dpr_));
    const int bottom = static_cast<int>(std::lround((rect.y + rect.height) * dpr_));
    return Rect{left, top, right - left, bottom - top};
}

void CanvasRenderer::render(const ui::Form& form, const std::string& canvasId, double devicePixelRatio)
{
    const Rect client{0, 0, form.clientWidthTwips() / ui::kTwipsPerPixel, form.clientHeightTwips() / ui::kTwipsPerPixel};
    dpr_ = devicePixelRatio;
    formId_ = form.instanceId();
    const Rect device = toDevice(client);
    qv_begin(canvasId.c_str(), device.width, device.height);
    fill(client, ui::colors::controlFace);
    paintChildren(form, 0, 0, client);
}

void CanvasRenderer::forgetForm(std::uint64_t instanceId)
{
    for (auto it = canvases_.begin(); it != canvases_.end();) {
        if (it->first.first == instanceId) {
            qv_canvas_drop(it->second.handle);
            it = canvases_.erase(it);
        } else {
            ++it;
        }
    }
}

int CanvasRenderer::fontId(const ui::Font& font)
{
    for (const DefinedFont& defined : fonts_) {
        if (defined.devicePixelRatio == dpr_ && defined.font == font) {
            return defined.id;
        }
    }
    const int id = static_cast<int>(fonts_.size());
    qv_font_define(id, cssFont(font, dpr_).c_str());
    fonts_.push_back(DefinedFont{font, dpr_, id});
    return id;
}

void CanvasRenderer::fill(Rect rect, ui::Color color)
{
    const Rect device = toDevice(rect);
    qv_fill(kFormCanvas, device.x, device.y, device.width, device.height, rgbOf(color));
}

void CanvasRenderer::paintEdge(Rect rect, ui::Color topLeft, ui::Color bottomRight)
{
    fill(Rect{rect.x, rect.y, rect.width, 1}, topLeft);
    fill(Rect{rect.x, rect.y, 1, rect.height}, topLeft);
    fill(Rect{rect.x, rect.y + rect.height - 1, rect.width, 1}, bottomRight);
    fill(Rect{rect.x + rect.width - 1, rect.y, 1, rect.height}, bottomRight);
}

void CanvasRenderer::paintSunkenBorder(Rect rect)
{
    paintEdge(rect, kShadow, kHighlight);
    paintEdge(Rect{rect.x + 1, rect.y + 1, rect.width - 2, rect.height - 2}, kDarkShadow, ui::colors::controlFace);
}

// Every child of a container is clipped alike, so the clip is set once for all.
void CanvasRenderer::paintChildren(const ui::Container& container, int originX, int originY, Rect clip)
{
    const std::vector<const ui::Control*> order = ui::paintingOrder(container);
    if (order.empty()) {
        return;
    }
    const Rect deviceClip = toDevice(clip);
    qv_clip_push(deviceClip.x, deviceClip.y, deviceClip.width, deviceClip.height);
    for (const ui::Control* control : order) {
        const ui::PixelRect box = control->pixelRect();
        paintControl(*control, Rect{originX + box.x, originY + box.y, box.width, box.height}, clip);
    }
    qv_clip_pop();
}

namespace {

bool intersects(int ax, int aw, int bx, int bw)
{
    return ax < bx + bw && bx < ax + aw;
}

} // namespace

void CanvasRenderer::paintControl(const ui::Control& control, Rect box, Rect clip)
{
    switch (control.kind()) {
    case ui::ControlKind::PictureBox:
        paintPictureBox(static_cast<const ui::PictureBox&>(control), box, clip);
        break;
    case ui::ControlKind::Label:
        paintLabel(static_cast<const ui::Label&>(control), box);
        break;
    case ui::ControlKind::Shape:
        paintShape(static_cast<const ui::Shape&>(control), box, clip);
        break;
    case ui::ControlKind::Image:
        // Screens park pictures outside the window until they need them.
        if (intersects(box.x, box.width, clip.x, clip.width) && intersects(box.y, box.height, clip.y, clip.height)) {
            paintImage(static_cast<const ui::Image&>(control), box);
        }
        break;
    case ui::ControlKind::Frame:
        paintFrame(static_cast<const ui::Frame&>(control), box, clip);
        break;
    case ui::ControlKind::TextBox:
        paintTextBox(static_cast<const ui::TextBox&>(control), box);
        break;
    case ui::ControlKind::Timer:
        break;
    }
}

namespace {

CanvasRenderer::Rect intersection(CanvasRenderer::Rect a, CanvasRenderer::Rect b)
{
    const int left = std::max(a.x, b.x);
    const int top = std::max(a.y, b.y);
    const int right = std::min(a.x + a.width, b.x + b.width);
    const int bottom = std::min(a.y + a.height, b.y + b.height);
    return {left, top, std::max(0, right - left), std::max(0, bottom - top)};
}

} // namespace

void CanvasRenderer::paintPictureBox(const ui::PictureBox& box, Rect rect, Rect clip)
{
    const int inset = box.clientInsetPx();
    const Rect client{rect.x + inset, rect.y + inset, rect.width - 2 * inset, rect.height - 2 * inset};
    if (!client.empty()) {
        if (box.picture().empty() && box.drawings().empty()) {
            fill(client, box.backColor());
        } else {
            const Canvas& canvas = canvasFor(box, client.width, client.height);
            const Rect device = toDevice(client);
            qv_canvas_blit(canvas.handle, device.x, device.y);
        }
    }
    if (box.sunken()) {
        paintSunkenBorder(rect);
    }
    paintChildren(box, client.x, client.y, intersection(client, clip));
}

const CanvasRenderer::Canvas& CanvasRenderer::canvasFor(const ui::PictureBox& box, int width, int height)
{
    Canvas& canvas = canvases_[CanvasKey{formId_, &box}];
    const Rect device = toDevice(Rect{0, 0, width, height});
    const auto& drawings = box.drawings();
    const bool stale = canvas.handle == 0 || canvas.width != device.width || canvas.height != device.height ||
                       canvas.devicePixelRatio != dpr_ || canvas.picture != box.picture() ||
                       canvas.backColor != box.backColor() || canvas.clearCount != box.clearCount() ||
                       canvas.drawingsApplied > drawings.size();
    if (stale) {
        if (canvas.handle == 0) {
            canvas.handle = nextHandle_++;
        }
        qv_canvas_reset(canvas.handle, device.width, device.height, rgbOf(box.backColor()));
        canvas.width = device.width;
        canvas.height = device.height;
        canvas.picture = box.picture();
        canvas.backColor = box.backColor();
        canvas.devicePixelRatio = dpr_;
        canvas.clearCount = box.clearCount();
        canvas.drawingsApplied = 0;
        if (!box.picture().empty()) {
            const int size = qv_picture_size(box.picture().c_str());
            const Rect picture = toDevice(Rect{0, 0, size >> 16, size & 0xFFFF});
            qv_picture(canvas.handle, box.picture().c_str(), 0, 0, picture.width, picture.height);
        }
    }
    const ui::Font* lastFont = nullptr;
    int font = 0;
    for (std::size_t i = canvas.drawingsApplied; i < drawings.size(); ++i) {
        const ui::CanvasText& drawing = drawings[i];
        if (lastFont == nullptr || !(*lastFont == drawing.font)) {
            font = fontId(drawing.font);
            lastFont = &drawing.font;
        }
        qv_text(canvas.handle, drawing.text.c_str(), font, rgbOf(drawing.color),
                static_cast<int>(std::lround(drawing.x * dpr_)), static_cast<int>(std::lround(drawing.y * dpr_)),
                AlignLeft);
    }
    canvas.drawingsApplied = drawings.size();
    return canvas;
}

void CanvasRenderer::paintLabel(const ui::Label& label, Rect rect)
{
    if (label.opaque()) {
        fill(rect, label.backColor());
    }
    Rect textRect = rect;
    if (label.singleBorder()) {
        paintEdge(rect, ui::colors::black, ui::colors::black);
        textRect = Rect{rect.x + 1, rect.y + 1, rect.width - 2, rect.height - 2};
    }
    // Not clipped to the label's own box, as on the desktop: a caption that
    // overhangs its box reads better than one cut short.
    const Rect device = toDevice(textRect);
    int x = device.x;
    int align = AlignLeft;
    if (label.alignment() == ui::Alignment::Right) {
        x = device.x + device.width;
        align = AlignRight;
    } else if (label.alignment() == ui::Alignment::Center) {
        x = static_cast<int>(std::lround(device.x + device.width / 2.0));
        align = AlignCenter;
    }
    qv_text(kFormCanvas, label.caption().c_str(), fontId(label.font()), rgbOf(label.foreColor()), x, device.y, align);
}

void CanvasRenderer::combine(Rect area, Rect clip, const Coverage& covers, ui::Color pen, ui::DrawMode mode)
{
    const Rect device = toDevice(area);
    const Rect region = intersection(device, toDevice(clip));
    if (region.empty()) {
        return;
    }
    std::vector<unsigned char> pixels(static_cast<std::size_t>(region.width) * region.height * 4);
    qv_read_pixels(region.x, region.y, region.width, region.height, pixels.data());
    for (int y = 0; y < region.height; ++y) {
        for (int x = 0; x < region.width; ++x) {
            if (!covers(region.x + x - device.x, region.y + y - device.y, device.width, device.height)) {
                continue;
            }
            unsigned char* pixel = &pixels[(static_cast<std::size_t>(y) * region.width + x) * 4];
            const ui::Color result = ui::rasterPixel(pen, ui::rgb(pixel[0], pixel[1], pixel[2]), mode);
            pixel[0] = result.r;
            pixel[1] = result.g;
            pixel[2] = result.b;
            pixel[3] = 255;
        }
    }
    qv_write_pixels(region.x, region.y, region.width, region.height, pixels.data());
}

void CanvasRenderer::paintShape(const ui::Shape& shape, Rect rect, Rect clip)
{
    Rect area = rect;
    const ui::ShapeKind kind = shape.shape();
    if (kind == ui::ShapeKind::Circle) {
        // The largest circle that fits, centred.
        const int side = std::min(rect.width, rect.height);
        area = Rect{rect.x + (rect.width - side) / 2, rect.y + (rect.height - side) / 2, side, side};
    }
    if (area.empty()) {
        return;
    }
    const double radius = roundedCornerRadius(area.width, area.height) * dpr_;
    if (shape.fillStyle() == ui::FillStyle::Solid && kind == ui::ShapeKind::Rectangle &&
        shape.drawMode() == ui::DrawMode::CopyPen) {
        // Nothing beneath shows through: no need to read it back.
        fill(intersection(area, clip), shape.fillColor());
    } else if (shape.fillStyle() == ui::FillStyle::Solid) {
        const Coverage inside = [kind, radius](int x, int y, int width, int height) {
            return insideShape(kind, x, y, width, height, radius);
        };
        combine(area, clip, inside, shape.fillColor(), shape.drawMode());
    }
    if (!shape.outline()) {
        return;
    }
    if (kind == ui::ShapeKind::Rectangle) {
        paintEdge(area, shape.outlineColor(), shape.outlineColor());
        return;
    }
    // A one-pixel line without smoothing, as the desktop draws it: the pixels
    // of the shape that the shape shrunk by the line's width leaves out.
    const int line = std::max(1, static_cast<int>(std::lround(dpr_)));
    const Coverage ring = [kind, radius, line](int x, int y, int width, int height) {
        if (!insideShape(kind, x, y, width, height, radius)) {
            return false;
        }
        return !insideShape(kind, x - line, y - line, width - 2 * line, height - 2 * line, std::max(0.0, radius - line));
    };
    combine(area, clip, ring, shape.outlineColor(), ui::DrawMode::CopyPen);
}

void CanvasRenderer::paintImage(const ui::Image& image, Rect rect)
{
    if (image.picture().empty()) {
        return;
    }
    Rect shown = rect;
    if (!image.stretch()) {
        const int size = qv_picture_size(image.picture().c_str());
        if (size != 0) {
            shown.width = size >> 16;
            shown.height = size & 0xFFFF;
        }
    }
    const Rect device = toDevice(shown);
    qv_picture(kFormCanvas, image.picture().c_str(), device.x, device.y, device.width, device.height);
}

void CanvasRenderer::paintFrame(const ui::Frame& frame, Rect rect, Rect clip)
{
    fill(rect, ui::colors::controlFace);
    const std::string font = cssFont(frame.font());
    const int fontHeight = qv_font_height(font.c_str());
    const int lineY = rect.y + fontHeight / 2;
    const Rect border{rect.x, lineY, rect.width, rect.y + rect.height - lineY};
    // An etched line: a groove of shadow and highlight.
    paintEdge(border, kShadow, kHighlight);
    paintEdge(Rect{border.x + 1, border.y + 1, border.width - 2, border.height - 2}, kHighlight, kShadow);
    if (!frame.caption().empty()) {
        const int width = qv_text_width(frame.caption().c_str(), font.c_str());
        const Rect caption{rect.x + 6, rect.y, width + 4, fontHeight};
        fill(caption, ui::colors::controlFace);
        const Rect device = toDevice(Rect{caption.x + 2, caption.y, caption.width - 2, caption.height});
        qv_text(kFormCanvas, frame.caption().c_str(), fontId(frame.font()),
                rgbOf(ui::colors::controlText), device.x, device.y, AlignLeft);
    }
    paintChildren(frame, rect.x, rect.y, intersection(rect, clip));
}

void CanvasRenderer::paintTextBox(const ui::TextBox& textBox, Rect rect)
{
    const Rect inner{rect.x + 2, rect.y + 2, rect.width - 4, rect.height - 4};
    fill(inner, textBox.backColor());
    paintSunkenBorder(rect);
    const Rect deviceInner = toDevice(inner);
    qv_clip_push(deviceInner.x, deviceInner.y, deviceInner.width, deviceInner.height);
    const std::string font = cssFont(textBox.font());
    const int fontHeight = qv_font_height(font.c_str());
    const Rect textRect{inner.x + 2, inner.y, inner.width - 3, inner.height};
    // Centred vertically, as the desktop's single-line box centres its text.
    const int textTop = textRect.y + (textRect.height - fontHeight) / 2;
    const Rect device = toDevice(Rect{textRect.x, textTop, textRect.width, fontHeight});
    qv_text(kFormCanvas, textBox.text().c_str(), fontId(textBox.font()), rgbOf(textBox.foreColor()),
            device.x, device.y, AlignLeft);
    if (textBox.form().focused() == &textBox) {
        const int caretX = textRect.x + qv_text_width(textBox.text().c_str(), font.c_str());
        const int caretTop = textRect.y + std::max(0, (textRect.height - fontHeight) / 2);
        fill(Rect{caretX, caretTop, 1, std::min(fontHeight, textRect.height)}, textBox.foreColor());
    }
    qv_clip_pop();
}

} // namespace webhost
