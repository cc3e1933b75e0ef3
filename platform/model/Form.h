#pragma once

// A form is one window of the program: its caption, border, client size and
// position, the controls of its design, and the event handlers a screen
// overrides. A form exists at most once per application; showing a form that
// is not loaded creates it afresh from its design.

#include "platform/model/Controls.h"
#include "platform/model/StateDump.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace ui {

class Application;

class Form : public Container {
public:
    Form(Application& app, std::string name);
    ~Form() override;
    Form(const Form&) = delete;
    Form& operator=(const Form&) = delete;

    Application& app() const { return app_; }
    const std::string& name() const { return name_; }
    // Unique for every creation of any form, so a host can tell a form
    // created afresh from the one it replaced.
    std::uint64_t instanceId() const { return instanceId_; }

    // Window properties. Left and Top are twips of the outer window on the
    // screen; Width and Height are the outer size, derived from the client
    // size and the border style.
    const std::string& caption() const { return caption_; }
    void setCaption(std::string caption);
    FormBorder border() const { return border_; }
    void setBorder(FormBorder border);
    int clientWidthTwips() const { return clientWidthTwips_; }
    int clientHeightTwips() const { return clientHeightTwips_; }
    void setClientSize(int widthTwips, int heightTwips);
    double left() const { return left_; }
    double top() const { return top_; }
    void setLeft(double twips);
    void setTop(double twips);
    void move(double leftTwips, double topTwips);
    double width() const;
    double height() const;

    bool visible() const { return visible_; }
    bool loaded() const { return loaded_; }

    // Shows the form modeless; it becomes the active window once the current
    // handler has finished.
    void show();
    // Runs Form_Unload and, unless it cancels, destroys the form and its timers.
    void unload();
    // Opens the form `name` with its corner on this form's, moved `down` and
    // `right` twips (top set first, then left), shows it and returns it.
    Form& openHere(const std::string& name, double down = 0, double right = 0);

    // Keyboard focus among the form's controls.
    Control* focused() const { return focused_; }
    void setFocus(Control& control);

    // Design building and lookup.
    template <class T>
    T& add(Container& parent, std::string name, TwipRect rect, int index = -1)
    {
        auto control = std::make_unique<T>(*this, parent, std::move(name), index);
        T& ref = *control;
        ref.setDesignRect(rect);
        parent.adoptChild(&ref);
        controls_.push_back(std::move(control));
        return ref;
    }
    // Every control, in the order the design created them.
    const std::vector<std::unique_ptr<Control>>& controls() const { return controls_; }
    Control* find(const std::string& name, int index = -1) const;
    template <class T>
    T& get(const std::string& name, int index = -1) const
    {
        return dynamic_cast<T&>(findOrThrow(name, index));
    }
    template <class T>
    ControlArray<T> array(const std::string& name) const
    {
        ControlArray<T> result;
        for (int i = 0; find(name, i) != nullptr; ++i) {
            result.add(get<T>(name, i));
        }
        return result;
    }

    // Handlers a screen overrides.
    virtual void Form_Load() {}
    virtual void Form_Activate() {}
    virtual void Form_Deactivate() {}
    virtual void Form_Unload(int& cancel) { (void)cancel; }
    virtual void Form_KeyDown(int keyCode, int shift) { (void)keyCode; (void)shift; }
    virtual void Form_KeyPress(int& keyAscii) { (void)keyAscii; }

    // The screen's private values, for the replay driver's dump.
    virtual void dumpState(StateDump& out) const { (void)out; }

    // Set when anything visible changed since the host last painted.
    bool takeDirty();
    void markDirty() { dirty_ = true; }
    void markDirtyIf(bool changed) { dirty_ = dirty_ || changed; }

    // Called by the application only.
    void setVisibleFlag(bool visible);
    void setLoadedFlag(bool loaded) { loaded_ = loaded; }
    void focusFirstControl();
    void stopTimers();

private:
    Control& findOrThrow(const std::string& name, int index) const;

    Application& app_;
    std::string name_;
    std::uint64_t instanceId_;
    std::string caption_;
    FormBorder border_ = FormBorder::FixedSingle;
    int clientWidthTwips_ = 4860;
    int clientHeightTwips_ = 3660;
    double left_ = 0;
    double top_ = 0;
    bool visible_ = false;
    bool loaded_ = false;
    bool dirty_ = true;
    Control* focused_ = nullptr;
    std::vector<std::unique_ptr<Control>> controls_;
};

// The outer frame the model assumes around a client area, in pixels.
struct FrameMetrics {
    int side = 0;
    int caption = 0;
};
FrameMetrics frameMetrics(FormBorder border);

} // namespace ui
