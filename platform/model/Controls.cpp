#include "platform/model/Controls.h"

#include "platform/model/Application.h"
#include "platform/model/Form.h"

#include <cmath>

namespace ui {

namespace {

int roundToPixels(double pixels)
{
    return static_cast<int>(std::nearbyint(pixels));
}

} // namespace

Control::Control(Form& form, Container& parent, ControlKind kind, std::string name, int index)
    : form_(form), parent_(parent), kind_(kind), name_(std::move(name)), index_(index)
{
}

std::string Control::displayName() const
{
    return index_ < 0 ? name_ : name_ + "(" + std::to_string(index_) + ")";
}

int Control::toTwips(double value) const
{
    const double pixels = parent_.scaleMode() == ScaleMode::Pixels ? value : value / kTwipsPerPixel;
    return roundToPixels(pixels) * kTwipsPerPixel;
}

double Control::fromTwips(int twips) const
{
    return parent_.scaleMode() == ScaleMode::Pixels ? static_cast<double>(twips) / kTwipsPerPixel
                                                    : static_cast<double>(twips);
}

double Control::left() const { return fromTwips(rect_.left); }
double Control::top() const { return fromTwips(rect_.top); }
double Control::width() const { return fromTwips(rect_.width); }
double Control::height() const { return fromTwips(rect_.height); }

void Control::setLeft(double value)
{
    assignAndMark(rect_.left, toTwips(value));
}

void Control::setTop(double value)
{
    assignAndMark(rect_.top, toTwips(value));
}

void Control::setWidth(double value)
{
    assignAndMark(rect_.width, std::max(0, toTwips(value)));
}

void Control::setHeight(double value)
{
    assignAndMark(rect_.height, std::max(0, toTwips(value)));
}

void Control::setDesignRect(TwipRect rect)
{
    assignAndMark(rect_, rect);
}

PixelRect Control::pixelRect() const
{
    const auto px = [](int twips) { return roundToPixels(static_cast<double>(twips) / kTwipsPerPixel); };
    return PixelRect{px(rect_.left), px(rect_.top), px(rect_.width), px(rect_.height)};
}

void Control::setVisible(bool visible)
{
    assignAndMark(visible_, visible);
}

void Control::setEnabled(bool enabled)
{
    assignAndMark(enabled_, enabled);
}

void Control::changed()
{
    form_.markDirty();
}

// ---------------------------------------------------------------- Label

Label::Label(Form& form, Container& parent, std::string name, int index)
    : Control(form, parent, ControlKind::Label, std::move(name), index)
{
}

void Label::setCaption(std::string caption)
{
    if (!assignAndMark(caption_, std::move(caption))) {
        return;
    }
    if (fits_) {
        const TextMetrics& metrics = form().app().metrics();
        const int delta = metrics.textWidthPx(font_, caption_) - metrics.textWidthPx(font_, fittedCaption_);
        TwipRect box = twips();
        const int newWidth = std::max(0, fittedWidthTwips_ + delta * kTwipsPerPixel);
        if (alignment_ == Alignment::Right) {
            box.left += box.width - newWidth;
        } else if (alignment_ == Alignment::Center) {
            box.left += (box.width - newWidth) / 2;
        }
        box.width = newWidth;
        setDesignRect(box);
    }
}

void Label::setForeColor(Color color)
{
    assignAndMark(foreColor_, color);
}

void Label::setFont(Font font)
{
    assignAndMark(font_, std::move(font));
}

void Label::setAlignment(Alignment alignment)
{
    assignAndMark(alignment_, alignment);
}

void Label::setOpaque(bool opaque, Color backColor)
{
    assignAndMark(opaque_, opaque);
    assignAndMark(backColor_, backColor);
}

void Label::setSingleBorder(bool border)
{
    assignAndMark(singleBorder_, border);
}

void Label::setFits(bool fits)
{
    fits_ = fits;
    fittedCaption_ = caption_;
    fittedWidthTwips_ = twips().width;
}

// ---------------------------------------------------------------- Shape

Shape::Shape(Form& form, Container& parent, std::string name, int index)
    : Control(form, parent, ControlKind::Shape, std::move(name), index)
{
}

void Shape::setShape(ShapeKind shape)
{
    assignAndMark(shape_, shape);
}

void Shape::setOutline(bool outline, Color color)
{
    assignAndMark(outline_, outline);
    assignAndMark(outlineColor_, color);
}

void Shape::setFillStyle(FillStyle style)
{
    assignAndMark(fillStyle_, style);
}

void Shape::setFillColor(Color color)
{
    assignAndMark(fillColor_, color);
}

void Shape::setDrawMode(DrawMode mode)
{
    assignAndMark(drawMode_, mode);
}

// ---------------------------------------------------------------- Image

Image::Image(Form& form, Container& parent, std::string name, int index)
    : Control(form, parent, ControlKind::Image, std::move(name), index)
{
}

void Image::setPicture(std::string pictureName)
{
    assignAndMark(picture_, std::move(pictureName));
    // Setting the same picture again still gives the image its picture's size.
    if (!stretch_ && !picture_.empty()) {
        if (auto info = form().app().pictures().find(picture_)) {
            TwipRect box = twips();
            box.width = info->width * kTwipsPerPixel;
            box.height = info->height * kTwipsPerPixel;
            setDesignRect(box);
        }
    }
}

void Image::setStretch(bool stretch)
{
    assignAndMark(stretch_, stretch);
}

// ---------------------------------------------------------------- PictureBox

PictureBox::PictureBox(Form& form, Container& parent, std::string name, int index)
    : Control(form, parent, ControlKind::PictureBox, std::move(name), index)
{
}

void PictureBox::setPicture(std::string pictureName)
{
    assignAndMark(picture_, std::move(pictureName));
}

void PictureBox::setBackColor(Color color)
{
    assignAndMark(backColor_, color);
}

void PictureBox::setSunken(bool sunken)
{
    assignAndMark(sunken_, sunken);
}

void PictureBox::setFont(Font font)
{
    font_ = std::move(font);
}

void PictureBox::setFontSize(double points)
{
    font_.points = points;
}

void PictureBox::print(double x, double y, std::string text, Color color)
{
    const bool pixels = scaleMode() == ScaleMode::Pixels;
    const int px = roundToPixels(pixels ? x : x / kTwipsPerPixel);
    const int py = roundToPixels(pixels ? y : y / kTwipsPerPixel);
    drawings_.push_back(CanvasText{px, py, std::move(text), color, font_});
    changed();
}

void PictureBox::cls()
{
    drawings_.clear();
    ++clearCount_;
    changed();
}

// ---------------------------------------------------------------- Frame

Frame::Frame(Form& form, Container& parent, std::string name, int index)
    : Control(form, parent, ControlKind::Frame, std::move(name), index)
{
}

void Frame::setCaption(std::string caption)
{
    assignAndMark(caption_, std::move(caption));
}

void Frame::setFont(Font font)
{
    assignAndMark(font_, std::move(font));
}

// ---------------------------------------------------------------- TextBox

TextBox::TextBox(Form& form, Container& parent, std::string name, int index)
    : Control(form, parent, ControlKind::TextBox, std::move(name), index)
{
}

void TextBox::setText(std::string text)
{
    if (assignAndMark(text_, std::move(text)) && onChange) {
        onChange();
    }
}

void TextBox::setColors(Color back, Color fore)
{
    assignAndMark(backColor_, back);
    assignAndMark(foreColor_, fore);
}

void TextBox::setFont(Font font)
{
    assignAndMark(font_, std::move(font));
}

// ---------------------------------------------------------------- Timer

Timer::Timer(Form& form, Container& parent, std::string name, int index)
    : Control(form, parent, ControlKind::Timer, std::move(name), index)
{
    form.app().registerTimer(*this);
}

Timer::~Timer()
{
    form().app().unregisterTimer(*this);
}

void Timer::setInterval(int milliseconds)
{
    if (interval_ == milliseconds) {
        return;
    }
    interval_ = milliseconds;
    if (running_) {
        restartCount();
    }
}

void Timer::start()
{
    if (!running_) {
        running_ = true;
        restartCount();
    }
}

void Timer::stop()
{
    running_ = false;
}

void Timer::restartCount()
{
    dueMs_ = form().app().eventTimeMs() + interval_;
    sequence_ = form().app().nextSequence();
}

// ---------------------------------------------------------------- painting order

bool isWindowedControl(const Control& control)
{
    switch (control.kind()) {
    case ControlKind::PictureBox:
    case ControlKind::Frame:
    case ControlKind::TextBox:
        return true;
    default:
        return false;
    }
}

std::vector<const Control*> paintingOrder(const Container& container)
{
    std::vector<const Control*> order;
    const auto& children = container.children();
    for (bool windowed : {false, true}) {
        for (auto it = children.rbegin(); it != children.rend(); ++it) {
            const Control& control = **it;
            if (control.visible() && control.kind() != ControlKind::Timer && isWindowedControl(control) == windowed) {
                order.push_back(&control);
            }
        }
    }
    return order;
}

} // namespace ui
