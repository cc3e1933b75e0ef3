#pragma once

// The running program as the screens see it: the registry of forms, which one
// is active, keyboard routing, and the timers. Everything happens on one
// thread; every entry point below runs its handler to completion and then
// settles activation before it returns, so handlers never interleave.

#include "platform/model/Form.h"
#include "platform/model/Services.h"

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace ui {

// One character a key typed: its code page 932 code for KeyPress handlers,
// and the character itself, which a text box inserts.
struct TypedChar {
    int keyAscii = 0;
    char32_t ch = 0;
};

class InputListener;
struct InputEvent;

class Application {
public:
    using Factory = std::function<std::unique_ptr<Form>(Application&)>;

    Application(const Clock& clock, const TextMetrics& metrics, const PictureCatalog& pictures);
    ~Application();
    Application(const Application&) = delete;
    Application& operator=(const Application&) = delete;

    const Clock& clock() const { return clock_; }
    const TextMetrics& metrics() const { return metrics_; }
    const PictureCatalog& pictures() const { return pictures_; }

    // Forms are registered by name once, at wiring time.
    void registerForm(const std::string& name, Factory factory);
    template <class T>
    void registerForm()
    {
        registerForm(T::kFormName, [](Application& app) { return std::make_unique<T>(app); });
    }
    bool isRegistered(const std::string& name) const;

    // The loaded form of that name, loading it (Form_Load) if needed, as any
    // reference to a form does. It is not shown until show() is called.
    Form& form(const std::string& name);
    template <class T>
    T& form()
    {
        return dynamic_cast<T&>(form(T::kFormName));
    }
    // The loaded form of that name, or nullptr; never loads.
    Form* loaded(const std::string& name) const;
    template <class T>
    T* loaded() const
    {
        return dynamic_cast<T*>(loaded(T::kFormName));
    }

    // Visible forms, back to front.
    std::vector<Form*> openForms() const;
    // The open form of that creation (Form::instanceId), or nullptr: a host's
    // window may outlive its form.
    Form* openForm(std::uint64_t instanceId) const;
    Form* activeForm() const { return active_; }
    // True once at least one form was shown and none is left: the program ends.
    bool finished() const { return finished_; }

    // Screen size in twips, for centring.
    double screenWidthTwips() const { return screenWidthTwips_; }
    double screenHeightTwips() const { return screenHeightTwips_; }
    void setScreenSizePx(int width, int height);

    // Player input. Keys go to the active form: to its focused picture box or
    // text box, or to the form itself where no control has the focus.
    void keyDown(int keyCode, int shift = 0);
    // keyAscii is the code page 932 code of the typed character; `typed` is
    // the character itself, which a text box inserts.
    void keyPress(int keyAscii, char32_t typed);
    // One key as the player presses it: KeyDown (when the key has a code),
    // then KeyPress for each character it typed. The characters belong to
    // the window the key went down in: once the KeyDown handler has passed
    // activation to another window they are dropped, as on a real desktop.
    void keyStroke(std::optional<int> keyCode, int shift, const std::vector<TypedChar>& typed);
    // The player clicks a window (activating it) or a control on it (focus
    // moves there when the control can take it).
    void click(Form& form);
    void click(Control& control);
    // The host's window became the active one among ours.
    void activate(Form& form);
    // The close box.
    void requestClose(Form& form);
    // Runs `action` as one event, then settles activation; for start-up and
    // for tests that call handlers directly.
    void run(const std::function<void()>& action);

    // Timers. A timer due at or before now ticks once per call, in order of
    // due time; a late timer ticks once and keeps its phase, never a burst.
    std::optional<std::int64_t> nextTimerDue() const;
    void runTimersDue();
    // The running timer due first (the earlier one of two due together), or nullptr.
    Timer* nextTimer() const;
    // The running timer of that form, name and array index, or nullptr.
    Timer* runningTimer(const std::string& formName, const std::string& name, int index) const;
    // Ticks that timer now, due or not, as runTimersDue would tick it.
    void tick(Timer& timer);

    // The time of the event being handled: the clock as it stood when the
    // event began, so that everything one event starts counts from one
    // moment however long its handlers take. Between events, the clock.
    std::int64_t eventTimeMs() const;

    // Sees every event a host feeds (nullptr: none). Events that the
    // handling of another one causes are part of it and not reported.
    void setInputListener(InputListener* listener) { listener_ = listener; }

    // Used by forms and timers.
    void showForm(Form& form);
    void unloadForm(Form& form);
    void registerTimer(Timer& timer);
    void unregisterTimer(Timer& timer);
    std::uint64_t nextSequence() { return ++sequence_; }

private:
    void settle();
    Form* wantedActive() const;
    Form* topmostVisible() const;
    bool isAlive(const Form* form) const;
    void raise(Form& form);
    void endIfNothingVisible();
    void collectGarbage();
    // Runs `handle` as one event from outside and tells the listener.
    void feed(const std::function<void(InputEvent&)>& describe, const std::function<void()>& handle);
    void strokeKey(std::optional<int> keyCode, int shift, const std::vector<TypedChar>& typed);
    void fireTimer(Timer& timer);

    const Clock& clock_;
    const TextMetrics& metrics_;
    const PictureCatalog& pictures_;
    std::map<std::string, Factory> factories_;
    std::vector<std::unique_ptr<Form>> loaded_;   // in load order
    std::vector<Form*> zOrder_;                    // visible forms, back to front
    std::vector<std::unique_ptr<Form>> graveyard_; // unloaded, destroyed after the event
    std::vector<Timer*> timers_;
    std::vector<Form*> unloading_; // forms whose Form_Unload is running
    Form* active_ = nullptr;
    Form* wanted_ = nullptr;
    bool everShown_ = false;
    bool finished_ = false;
    int depth_ = 0;
    std::uint64_t sequence_ = 0;
    std::int64_t eventTime_ = 0;
    InputListener* listener_ = nullptr;
    int feeding_ = 0; // events from outside being handled, nested included
    double screenWidthTwips_ = 1024.0 * kTwipsPerPixel;
    double screenHeightTwips_ = 768.0 * kTwipsPerPixel;
};

// Moves a virtual clock forward by `ms`, firing every due tick in time order
// at its own moment.
void advanceVirtualTime(Application& app, VirtualClock& clock, std::int64_t ms);

} // namespace ui
