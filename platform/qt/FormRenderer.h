#pragma once

// Paints a form of the window model into an image: the client area with every
// visible control, front to back as the model orders them. The renderer keeps
// the canvas of each picture box (picture plus printed text) between calls and
// only adds what was printed since, because a stage prints thousands of glyphs
// in one play.

#include "platform/model/Form.h"
#include "platform/model/Services.h"

#include <QImage>
#include <QRect>

#include <cstdint>
#include <map>
#include <string>
#include <utility>

class QPainter;

namespace qthost {

class FormRenderer {
public:
    // Pictures come from the embedded resources, placeholders sized by `catalog`.
    explicit FormRenderer(const ui::PictureCatalog& catalog) : catalog_(catalog) {}

    QImage render(const ui::Form& form, qreal devicePixelRatio = 1.0);

    // Drops the canvases kept for a form that no longer exists.
    void forgetForm(std::uint64_t instanceId);
    std::size_t cachedCanvasCount() const { return canvases_.size(); }

private:
    struct Canvas {
        QImage image;
        std::string picture;
        ui::Color backColor;
        qreal devicePixelRatio = 0;
        std::uint64_t clearCount = 0;
        std::size_t drawingsApplied = 0;
    };
    using CanvasKey = std::pair<std::uint64_t, const ui::PictureBox*>;

    // `clip` is the container's client area in form pixels; `origin` is where
    // that client area's top-left lies.
    void paintChildren(const ui::Container& container, QPoint origin, QRect clip);
    void paintControl(const ui::Control& control, QRect box, QRect clip);
    void paintPictureBox(const ui::PictureBox& box, QRect rect, QRect clip);
    void paintLabel(const ui::Label& label, QRect rect);
    void paintShape(const ui::Shape& shape, QRect rect, QRect clip);
    void paintImage(const ui::Image& image, QRect rect);
    void paintFrame(const ui::Frame& frame, QRect rect, QRect clip);
    void paintTextBox(const ui::TextBox& textBox, QRect rect);

    const QImage& canvasFor(const ui::PictureBox& box, QSize clientSize);
    const QImage& picture(const std::string& name);

    const ui::PictureCatalog& catalog_;
    QImage* target_ = nullptr;
    QPainter* painter_ = nullptr;
    qreal dpr_ = 1.0;
    std::uint64_t formId_ = 0;
    std::map<CanvasKey, Canvas> canvases_;
    // The pictures each form shows, decoded once and dropped with the form:
    // a stage redraws its background after every hit, but a screen that has
    // closed keeps nothing.
    std::map<std::uint64_t, std::map<std::string, QImage>> pictures_;
};

// The 2-pixel sunken 3-D border of picture boxes and text boxes, drawn inside
// `rect`.
void paintSunkenBorder(QPainter& painter, QRect rect);

// Combines `pen` with the pixels of `image` wherever `mask` is set, as a
// solid shape fill does. `area` is in the image's device pixels and `mask`
// has its size; pixels outside `clip` (device pixels) are left alone.
void applyRasterOp(QImage& image, const QImage& mask, QRect area, QRect clip, ui::Color pen, ui::DrawMode mode);

} // namespace qthost
