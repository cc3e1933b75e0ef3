#pragma once

// Paints a form of the window model into the 2D context of a page canvas, as
// the desktop host paints it into an image: the client area with every
// visible control, back to front, at the canvas's backing resolution. The
// canvas of each picture box (picture plus printed text) is kept in an
// offscreen canvas between calls and only what was printed since is added,
// because a stage prints thousands of glyphs in one play.
//
// What can be compared with the desktop: for the same model state, the
// page's client canvas equals the desktop's replay PNG of that form pixel
// for pixel wherever no text is drawn (pictures, fills, borders, frames, the
// results bars' raster operations, which combine exactly), at 1x and at 2x
// against a snap taken at scale 2. Text has the same faces, sizes, colours
// and places, but the browser smooths and spaces glyphs its own way, so its
// pixels differ within a pixel or two of every glyph. Circles and rounded
// rectangles are rasterised by the same rule as the desktop's but not by its
// code: their edges may differ by a pixel. tests/web/drawing.test.mjs makes
// that comparison for the screens that hold still.

#include "platform/model/Form.h"

#include <cstdint>
#include <functional>
#include <map>
#include <string>
#include <utility>
#include <vector>

namespace webhost {

class CanvasRenderer {
public:
    // In pixels, of the form's client area or of the canvas's backing store.
    struct Rect {
        int x = 0;
        int y = 0;
        int width = 0;
        int height = 0;
        bool empty() const { return width <= 0 || height <= 0; }
    };

    // Paints into the canvas with the id `canvasId`, sizing its backing store
    // to the client area times `devicePixelRatio`. The first call asks the
    // canvas for its 2D context, as one read back often; nothing else should
    // ask for it earlier.
    void render(const ui::Form& form, const std::string& canvasId, double devicePixelRatio);
    // Drops the offscreen canvases kept for a form that no longer exists.
    void forgetForm(std::uint64_t instanceId);

private:
    struct Canvas {
        int handle = 0;
        int width = 0;
        int height = 0;
        std::string picture;
        ui::Color backColor;
        double devicePixelRatio = 0;
        std::uint64_t clearCount = 0;
        std::size_t drawingsApplied = 0;
    };
    using CanvasKey = std::pair<std::uint64_t, const ui::PictureBox*>;
    struct DefinedFont {
        ui::Font font;
        double devicePixelRatio = 0;
        int id = 0;
    };

    void paintChildren(const ui::Container& container, int originX, int originY, Rect clip);
    void paintControl(const ui::Control& control, Rect box, Rect clip);
    void paintPictureBox(const ui::PictureBox& box, Rect rect, Rect clip);
    void paintLabel(const ui::Label& label, Rect rect);
    void paintShape(const ui::Shape& shape, Rect rect, Rect clip);
    void paintImage(const ui::Image& image, Rect rect);
    void paintFrame(const ui::Frame& frame, Rect rect, Rect clip);
    void paintTextBox(const ui::TextBox& textBox, Rect rect);
    void paintSunkenBorder(Rect rect);
    void paintEdge(Rect rect, ui::Color topLeft, ui::Color bottomRight);
    void fill(Rect rect, ui::Color color);
    // The number the page knows the font by, at the current scale.
    int fontId(const ui::Font& font);
    // Whether the device pixel (x, y) of a shape `width` × `height` device
    // pixels is covered.
    using Coverage = std::function<bool(int x, int y, int width, int height)>;
    // Combines `pen` by `mode` with every covered pixel of `area` inside `clip`.
    void combine(Rect area, Rect clip, const Coverage& covers, ui::Color pen, ui::DrawMode mode);
    const Canvas& canvasFor(const ui::PictureBox& box, int width, int height);

    Rect toDevice(Rect rect) const;

    double dpr_ = 1.0;
    std::uint64_t formId_ = 0;
    int nextHandle_ = 1;
    std::map<CanvasKey, Canvas> canvases_;
    std::vector<DefinedFont> fonts_;
};

} // namespace webhost
