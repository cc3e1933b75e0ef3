#include "platform/model/Form.h"

#include "platform/model/Application.h"

#include <algorithm>
#include <atomic>
#include <stdexcept>

namespace ui {

namespace {

std::uint64_t nextInstanceId()
{
    static std::atomic<std::uint64_t> counter{0};
    return ++counter;
}

} // namespace

FrameMetrics frameMetrics(FormBorder border)
{
    switch (border) {
    case FormBorder::FixedSingle:
        return FrameMetrics{3, 18};
    case FormBorder::Sizable:
        return FrameMetrics{4, 18};
    case FormBorder::ToolWindow:
        return FrameMetrics{3, 15};
    }
    return FrameMetrics{};
}

Form::Form(Application& app, std::string name)
    : app_(app), name_(std::move(name)), instanceId_(nextInstanceId())
{
}

Form::~Form() = default;

void Form::setCaption(std::string caption)
{
    markDirtyIf(assignIfChanged(caption_, std::move(caption)));
}

void Form::setBorder(FormBorder border)
{
    markDirtyIf(assignIfChanged(border_, border));
}

void Form::setClientSize(int widthTwips, int heightTwips)
{
    // Both are stored: | does not stop at the first change.
    markDirtyIf(assignIfChanged(clientWidthTwips_, widthTwips) | assignIfChanged(clientHeightTwips_, heightTwips));
}

void Form::setLeft(double twips)
{
    markDirtyIf(assignIfChanged(left_, twips));
}

void Form::setTop(double twips)
{
    markDirtyIf(assignIfChanged(top_, twips));
}

void Form::move(double leftTwips, double topTwips)
{
    markDirtyIf(assignIfChanged(left_, leftTwips) | assignIfChanged(top_, topTwips));
}

double Form::width() const
{
    return clientWidthTwips_ + 2.0 * frameMetrics(border_).side * kTwipsPerPixel;
}

double Form::height() const
{
    const FrameMetrics frame = frameMetrics(border_);
    return clientHeightTwips_ + (2.0 * frame.side + frame.caption) * kTwipsPerPixel;
}

void Form::show()
{
    app_.showForm(*this);
}

void Form::unload()
{
    app_.unloadForm(*this);
}

Form& Form::openHere(const std::string& name, double down, double right)
{
    Form& next = app_.form(name);
    next.setTop(top_ + down);
    next.setLeft(left_ + right);
    next.show();
    return next;
}

void Form::setFocus(Control& control)
{
    if (&control.form() == this && control.canTakeFocus()) {
        focused_ = &control;
    }
}

Control* Form::find(const std::string& name, int index) const
{
    for (const auto& control : controls_) {
        if (control->name() == name && control->index() == index) {
            return control.get();
        }
    }
    return nullptr;
}

Control& Form::findOrThrow(const std::string& name, int index) const
{
    if (Control* control = find(name, index)) {
        return *control;
    }
    throw std::out_of_range(name_ + " has no control " + name +
                            (index < 0 ? std::string() : "(" + std::to_string(index) + ")"));
}

bool Form::takeDirty()
{
    return std::exchange(dirty_, false);
}

void Form::setVisibleFlag(bool visible)
{
    visible_ = visible;
    markDirty();
}

void Form::focusFirstControl()
{
    Control* best = nullptr;
    for (const auto& control : controls_) {
        if (control->canTakeFocus() && (best == nullptr || control->tabIndex() < best->tabIndex())) {
            best = control.get();
        }
    }
    focused_ = best;
}

void Form::stopTimers()
{
    for (const auto& control : controls_) {
        if (auto* timer = dynamic_cast<Timer*>(control.get())) {
            timer->stop();
        }
    }
}

} // namespace ui
