#pragma once

// The controls a form is built from. Geometry is stored in twips, snapped to
// whole pixels whenever it is set at run time (a designed value is kept as
// designed); getters and setters speak the scale of the control's container
// (twips, or pixels for picture boxes whose scale unit is the pixel).

#include "platform/model/Types.h"

#include <cstdint>
#include <functional>
#include <string>
#include <utility>
#include <vector>

namespace ui {

class Form;
class Control;

struct TwipRect {
    int left = 0;
    int top = 0;
    int width = 0;
    int height = 0;
    friend bool operator==(const TwipRect&, const TwipRect&) = default;
};

struct PixelRect {
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;
};

// Something that holds controls: a form, a picture box or a frame.
// Children are kept front to back: children()[0] is drawn last, on top.
class Container {
public:
    virtual ~Container() = default;
    ScaleMode scaleMode() const { return scaleMode_; }
    void setScaleMode(ScaleMode mode) { scaleMode_ = mode; }
    const std::vector<Control*>& children() const { return children_; }
    void adoptChild(Control* child) { children_.push_back(child); }
    // Offset of the client area inside the container's own box, in pixels
    // (a sunken picture box has a 2-pixel border).
    virtual int clientInsetPx() const { return 0; }

private:
    ScaleMode scaleMode_ = ScaleMode::Twips;
    std::vector<Control*> children_;
};

class Control {
public:
    Control(Form& form, Container& parent, ControlKind kind, std::string name, int index);
    virtual ~Control() = default;
    Control(const Control&) = delete;
    Control& operator=(const Control&) = delete;

    ControlKind kind() const { return kind_; }
    const std::string& name() const { return name_; }
    int index() const { return index_; } // -1 when not part of a control array
    std::string displayName() const;     // "Label3(0)" or "Picture1"
    Form& form() const { return form_; }
    Container& parent() const { return parent_; }

    // Geometry in the parent's scale units.
    double left() const;
    double top() const;
    double width() const;
    double height() const;
    void setLeft(double value);
    void setTop(double value);
    void setWidth(double value);
    void setHeight(double value);

    // Designed geometry, in twips, kept exactly as given.
    void setDesignRect(TwipRect rect);
    TwipRect twips() const { return rect_; }
    // Box in pixels relative to the parent's client area.
    PixelRect pixelRect() const;

    bool visible() const { return visible_; }
    void setVisible(bool visible);
    bool enabled() const { return enabled_; }
    void setEnabled(bool enabled);

    int tabIndex() const { return tabIndex_; }
    void setTabIndex(int tabIndex) { tabIndex_ = tabIndex; }
    virtual bool canTakeFocus() const { return false; }

protected:
    void changed();
    // Every setter of something drawn stores through this: the form is
    // marked only when the value really changed. Returns whether it did.
    template <class T, class V>
    bool assignAndMark(T& field, V&& value)
    {
        if (!assignIfChanged(field, std::forward<V>(value))) {
            return false;
        }
        changed();
        return true;
    }

private:
    int toTwips(double value) const;
    double fromTwips(int twips) const;

    Form& form_;
    Container& parent_;
    ControlKind kind_;
    std::string name_;
    int index_;
    TwipRect rect_;
    bool visible_ = true;
    bool enabled_ = true;
    int tabIndex_ = 0;
};

class Label : public Control {
public:
    Label(Form& form, Container& parent, std::string name, int index);

    const std::string& caption() const { return caption_; }
    // A label that fits its caption resizes itself, keeping its left edge
    // (left-aligned), right edge (right-aligned) or centre (centred).
    void setCaption(std::string caption);

    Color foreColor() const { return foreColor_; }
    void setForeColor(Color color);
    const Font& font() const { return font_; }
    void setFont(Font font);
    Alignment alignment() const { return alignment_; }
    void setAlignment(Alignment alignment);
    bool opaque() const { return opaque_; }
    Color backColor() const { return backColor_; }
    void setOpaque(bool opaque, Color backColor = colors::controlFace);
    bool singleBorder() const { return singleBorder_; }
    void setSingleBorder(bool border);
    // Marks the current caption and width as the fitted design; later
    // captions change the width by the difference of their measured widths.
    void setFits(bool fits);
    bool fits() const { return fits_; }

private:
    std::string caption_;
    Color foreColor_ = colors::controlText;
    Font font_;
    Alignment alignment_ = Alignment::Left;
    bool opaque_ = false;
    Color backColor_ = colors::controlFace;
    bool singleBorder_ = false;
    bool fits_ = false;
    std::string fittedCaption_;
    int fittedWidthTwips_ = 0;
};

class Shape : public Control {
public:
    Shape(Form& form, Container& parent, std::string name, int index);

    ShapeKind shape() const { return shape_; }
    void setShape(ShapeKind shape);
    bool outline() const { return outline_; }
    Color outlineColor() const { return outlineColor_; }
    void setOutline(bool outline, Color color = colors::black);
    FillStyle fillStyle() const { return fillStyle_; }
    void setFillStyle(FillStyle style);
    void setFillStyle(int style) { setFillStyle(style == 0 ? FillStyle::Solid : FillStyle::Transparent); }
    Color fillColor() const { return fillColor_; }
    void setFillColor(Color color);
    DrawMode drawMode() const { return drawMode_; }
    void setDrawMode(DrawMode mode);

private:
    ShapeKind shape_ = ShapeKind::Rectangle;
    bool outline_ = true;
    Color outlineColor_ = colors::black;
    FillStyle fillStyle_ = FillStyle::Transparent;
    Color fillColor_ = colors::black;
    DrawMode drawMode_ = DrawMode::CopyPen;
};

class Image : public Control {
public:
    Image(Form& form, Container& parent, std::string name, int index);

    const std::string& picture() const { return picture_; }
    // An image that does not stretch takes the size of its picture.
    void setPicture(std::string pictureName);
    bool stretch() const { return stretch_; }
    void setStretch(bool stretch);

private:
    std::string picture_;
    bool stretch_ = false;
};

// One drawing on a picture box's persistent canvas, in pixels.
struct CanvasText {
    int x = 0;
    int y = 0;
    std::string text; // UTF-8
    Color color;
    Font font;
};

class PictureBox : public Control, public Container {
public:
    PictureBox(Form& form, Container& parent, std::string name, int index);

    const std::string& picture() const { return picture_; }
    void setPicture(std::string pictureName);
    Color backColor() const { return backColor_; }
    void setBackColor(Color color);
    bool sunken() const { return sunken_; }
    void setSunken(bool sunken);
    int clientInsetPx() const override { return sunken_ ? 2 : 0; }

    // The font used for text drawn on the canvas.
    const Font& font() const { return font_; }
    void setFont(Font font);
    void setFontSize(double points);

    // Drawing: text drawn with a transparent background accumulates on the
    // canvas until cls() clears it back to the picture. x, y are in the box's
    // scale units from the top-left corner of its client area.
    void print(double x, double y, std::string text, Color color);
    void cls();
    const std::vector<CanvasText>& drawings() const { return drawings_; }
    // Bumped by every cls(), so a renderer can tell a cleared canvas from one
    // that only grew.
    std::uint64_t clearCount() const { return clearCount_; }

    bool canTakeFocus() const override { return visible() && enabled(); }

    std::function<void(int keyCode, int shift)> onKeyDown;
    std::function<void(int& keyAscii)> onKeyPress;
    std::function<void()> onClick;

private:
    std::string picture_;
    Color backColor_ = colors::controlFace;
    bool sunken_ = true;
    Font font_;
    std::vector<CanvasText> drawings_;
    std::uint64_t clearCount_ = 0;
};

class Frame : public Control, public Container {
public:
    Frame(Form& form, Container& parent, std::string name, int index);

    const std::string& caption() const { return caption_; }
    void setCaption(std::string caption);
    const Font& font() const { return font_; }
    void setFont(Font font);
    // Controls inside are placed from the frame's outer top-left corner, the
    // caption line included: there is no inset.
    int clientInsetPx() const override { return 0; }

private:
    std::string caption_;
    Font font_;
};

class TextBox : public Control {
public:
    TextBox(Form& form, Container& parent, std::string name, int index);

    const std::string& text() const { return text_; }
    // Fires onChange when the text really changes.
    void setText(std::string text);
    Color backColor() const { return backColor_; }
    Color foreColor() const { return foreColor_; }
    void setColors(Color back, Color fore);
    const Font& font() const { return font_; }
    void setFont(Font font);

    bool canTakeFocus() const override { return visible() && enabled(); }

    std::function<void()> onChange;
    std::function<void(int& keyAscii)> onKeyPress;
    std::function<void(int keyCode, int shift)> onKeyDown;

private:
    std::string text_;
    Color backColor_ = colors::white;
    Color foreColor_ = colors::controlText;
    Font font_;
};

class Timer : public Control {
public:
    Timer(Form& form, Container& parent, std::string name, int index);
    ~Timer() override;

    int interval() const { return interval_; }
    // Changing the interval of a running timer restarts its count.
    void setInterval(int milliseconds);
    // A started timer ticks one full interval later; starting a running timer
    // changes nothing. A stopped timer drops any tick not yet handled.
    void start();
    void stop();
    bool running() const { return running_; }

    std::function<void()> onTimer;

    // Scheduling, used by the application's timer loop.
    std::int64_t dueMs() const { return dueMs_; }
    void setDueMs(std::int64_t due) { dueMs_ = due; }
    std::uint64_t sequence() const { return sequence_; }

private:
    // The control's Enabled flag is not whether the timer runs: asking a
    // timer for it would be a mistake.
    using Control::enabled;
    using Control::setEnabled;

    void restartCount();

    int interval_ = 0;
    bool running_ = false;
    std::int64_t dueMs_ = 0;
    std::uint64_t sequence_ = 0;
};

// Controls of the same name told apart by index, from 0.
template <class T>
class ControlArray {
public:
    void add(T& control) { members_.push_back(&control); }
    T& operator()(int index) const { return *members_.at(static_cast<std::size_t>(index)); }
    int size() const { return static_cast<int>(members_.size()); }

private:
    std::vector<T*> members_;
};

// Picture boxes, frames and text boxes: the controls that are windows of
// their own and so cover the graphical ones of the same container.
bool isWindowedControl(const Control& control);

// The children of a container in the order every host paints them, back to
// front: graphical controls first, then windowed ones, each group from the
// last child to the first. Timers and hidden controls are left out.
std::vector<const Control*> paintingOrder(const Container& container);

} // namespace ui
