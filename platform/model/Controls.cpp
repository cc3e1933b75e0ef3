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
    rect_.left = toTwips(value);
    changed();
}

void Control::setTop(double value)
{
    rect_.top = toTwips(value);
    changed();
}

void Control::setWidth(double value)
{
    rect_.width = std::max(0, toTwips(value));
    changed();
}

void Control::setHeight(double value)
{
    rect_.height = std::max(0, toTwips(value));
    changed();
}

void Control::setDesignRect(TwipRect rect)
{
    rect_ = rect;
    changed();
}

PixelRect Control::pixelRect() const
{
    const auto px = [](int twips) { return roundToPixels(static_cast<double>(twips) / kTwipsPerPixel); };
    return PixelRect{px(rect_.left), px(rect_.top), px(rect_.width), px(rect_.height)};
}

void Control::setVisible(bool visible)
{
    if (visible_ != visible) {
        visible_ = visible;
        changed();
    }
}

void Control::setEnabled(bool enabled)
{
    if (enabled_ != enabled) {
        enabled_ = enabled;
        changed();
    }
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
    if (caption == caption_) {
        return;
    }
    caption_ = std::move(caption);
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
    changed();
}

void Label::setForeColor(Color color)
{
    foreColor_ = color;
    changed();
}

void Label::setFont(Font font)
{
    font_ = std::move(font);
    changed();
}

void Label::setAlignment(Alignment alignment)
{
    alignment_ = alignment;
    changed();
}

void Label::setOpaque(bool opaque, Color backColor)
{
    opaque_ = opaque;
    backColor_ = backColor;
    changed();
}

void Label::setSingleBorder(bool border)
{
    singleBorder_ = border;
    changed();
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
    shape_ = shape;
    changed();
}

void Shape::setOutline(bool outline, Color color)
{
    outline_ = outline;
    outlineColor_ = color;
    changed();
}

void Shape::setFillStyle(FillStyle style)
{
    if (fillStyle_ != style) {
        fillStyle_ = style;
        changed();
    }
}

void Shape::setFillColor(Color color)
{
    fillColor_ = color;
    changed();
}

void Shape::setDrawMode(DrawMode mode)
{
    drawMode_ = mode;
    changed();
}

// ---------------------------------------------------------------- Image

Image::Image(Form& form, Container& parent, std::string name, int index)
    : Control(form, parent, ControlKind::Image, std::move(name), index)
{
}

void Image::setPicture(std::string pictureName)
{
    picture_ = std::move(pictureName);
    if (!stretch_ && !picture_.empty()) {
        if (auto info = form().app().pictures().find(picture_)) {
            TwipRect box = twips();
            box.width = info->width * kTwipsPerPixel;
            box.height = info->height * kTwipsPerPixel;
            setDesignRect(box);
        }
    }
    changed();
}

void Image::setStretch(bool stretch)
{
    stretch_ = stretch;
    changed();
}

// ---------------------------------------------------------------- PictureBox

PictureBox::PictureBox(Form& form, Container& parent, std::string name, int index)
    : Control(form, parent, ControlKind::PictureBox, std::move(name), index)
{
}

void PictureBox::setPicture(std::string pictureName)
{
    picture_ = std::move(pictureName);
    changed();
}

void PictureBox::setBackColor(Color color)
{
    backColor_ = color;
    changed();
}

void PictureBox::setSunken(bool sunken)
{
    sunken_ = sunken;
    changed();
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
    caption_ = std::move(caption);
    changed();
}

void Frame::setFont(Font font)
{
    font_ = std::move(font);
    changed();
}

// ---------------------------------------------------------------- TextBox

TextBox::TextBox(Form& form, Container& parent, std::string name, int index)
    : Control(form, parent, ControlKind::TextBox, std::move(name), index)
{
}

void TextBox::setText(std::string text)
{
    if (text == text_) {
        return;
    }
    text_ = std::move(text);
    changed();
    if (onChange) {
        onChange();
    }
}

void TextBox::setColors(Color back, Color fore)
{
    backColor_ = back;
    foreColor_ = fore;
    changed();
}

void TextBox::setFont(Font font)
{
    font_ = std::move(font);
    changed();
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

void Timer::setEnabled(bool enabled)
{
    if (enabled == running_) {
        return;
    }
    running_ = enabled;
    if (running_) {
        restartCount();
    }
}

void Timer::restartCount()
{
    dueMs_ = form().app().clock().nowMs() + interval_;
    sequence_ = form().app().nextSequence();
}

} // namespace ui
