#include "platform/model/Application.h"

#include "platform/model/InputEvent.h"

#include "platform/model/Text.h"

#include <algorithm>
#include <stdexcept>

namespace ui {

namespace {

// Activation changes can cascade (a deactivated form may close itself and
// show another); a cycle longer than this is a fault of the screens.
constexpr int kMaxActivationSteps = 1000;

} // namespace

Application::Application(const Clock& clock, const TextMetrics& metrics, const PictureCatalog& pictures)
    : clock_(clock), metrics_(metrics), pictures_(pictures)
{
}

Application::~Application()
{
    // Forms own timers that unregister themselves: destroy them while the
    // registry still exists.
    zOrder_.clear();
    graveyard_.clear();
    loaded_.clear();
}

void Application::registerForm(const std::string& name, Factory factory)
{
    factories_[name] = std::move(factory);
}

bool Application::isRegistered(const std::string& name) const
{
    return factories_.count(name) != 0;
}

Form& Application::form(const std::string& name)
{
    if (Form* existing = loaded(name)) {
        return *existing;
    }
    auto factory = factories_.find(name);
    if (factory == factories_.end()) {
        throw std::out_of_range("no form is registered as " + name);
    }
    loaded_.push_back(factory->second(*this));
    Form& created = *loaded_.back();
    created.setLoadedFlag(true);
    created.focusFirstControl();
    run([&created] { created.Form_Load(); });
    return created;
}

Form* Application::loaded(const std::string& name) const
{
    for (const auto& form : loaded_) {
        if (form->name() == name) {
            return form.get();
        }
    }
    return nullptr;
}

std::vector<Form*> Application::openForms() const
{
    return zOrder_;
}

Form* Application::openForm(std::uint64_t instanceId) const
{
    const auto found = std::find_if(zOrder_.begin(), zOrder_.end(),
                                    [instanceId](const Form* form) { return form->instanceId() == instanceId; });
    return found == zOrder_.end() ? nullptr : *found;
}

void Application::setScreenSizePx(int width, int height)
{
    screenWidthTwips_ = static_cast<double>(width) * kTwipsPerPixel;
    screenHeightTwips_ = static_cast<double>(height) * kTwipsPerPixel;
}

// ---------------------------------------------------------------- input

void Application::keyDown(int keyCode, int shift)
{
    const auto describe = [&](InputEvent& event) {
        event.kind = InputEvent::Kind::KeyDown;
        event.keyCode = keyCode;
        event.shift = shift;
    };
    feed(describe, [&] { run([&] {
        Form* target = active_;
        if (target == nullptr) {
            return;
        }
        Control* focused = target->focused();
        if (focused == nullptr) {
            target->Form_KeyDown(keyCode, shift);
        } else if (auto* picture = dynamic_cast<PictureBox*>(focused); picture && picture->onKeyDown) {
            picture->onKeyDown(keyCode, shift);
        } else if (auto* text = dynamic_cast<TextBox*>(focused); text && text->onKeyDown) {
            text->onKeyDown(keyCode, shift);
        }
    }); });
}

namespace {

void eraseLastCharacter(std::string& utf8)
{
    while (!utf8.empty()) {
        const auto byte = static_cast<unsigned char>(utf8.back());
        utf8.pop_back();
        if ((byte & 0xC0) != 0x80) {
            return;
        }
    }
}

void typeIntoTextBox(TextBox& box, int keyAscii, char32_t typed)
{
    int code = keyAscii;
    if (box.onKeyPress) {
        box.onKeyPress(code);
    }
    if (code == 0) {
        return; // the handler refused the character
    }
    std::string text = box.text();
    if (code == vk::Backspace) {
        eraseLastCharacter(text);
    } else if (typed >= 0x20 && typed != 0x7F) {
        text += toUtf8(typed);
    }
    box.setText(std::move(text));
}

} // namespace

void Application::keyPress(int keyAscii, char32_t typed)
{
    const auto describe = [&](InputEvent& event) {
        event.kind = InputEvent::Kind::KeyPress;
        event.typed = {TypedChar{keyAscii, typed}};
    };
    feed(describe, [&] { run([&] {
        Form* target = active_;
        if (target == nullptr) {
            return;
        }
        Control* focused = target->focused();
        int code = keyAscii;
        if (focused == nullptr) {
            target->Form_KeyPress(code);
        } else if (auto* picture = dynamic_cast<PictureBox*>(focused); picture && picture->onKeyPress) {
            picture->onKeyPress(code);
        } else if (auto* text = dynamic_cast<TextBox*>(focused)) {
            typeIntoTextBox(*text, keyAscii, typed);
        }
    }); });
}

void Application::keyStroke(std::optional<int> keyCode, int shift, const std::vector<TypedChar>& typed)
{
    const auto describe = [&](InputEvent& event) {
        event.kind = InputEvent::Kind::KeyStroke;
        event.keyCode = keyCode;
        event.shift = shift;
        event.typed = typed;
    };
    feed(describe, [&] { strokeKey(keyCode, shift, typed); });
}

void Application::strokeKey(std::optional<int> keyCode, int shift, const std::vector<TypedChar>& typed)
{
    const Form* target = active_;
    if (target == nullptr) {
        return;
    }
    const std::uint64_t targetId = target->instanceId();
    if (keyCode) {
        keyDown(*keyCode, shift);
    }
    for (const TypedChar& key : typed) {
        if (active_ == nullptr || active_->instanceId() != targetId) {
            return;
        }
        keyPress(key.keyAscii, key.ch);
    }
}

void Application::click(Form& form)
{
    const auto describe = [&](InputEvent& event) {
        event.kind = InputEvent::Kind::Click;
        event.form = form.name();
    };
    feed(describe, [&] { run([&] {
        if (isAlive(&form) && form.visible()) {
            wanted_ = &form;
        }
    }); });
}

void Application::click(Control& control)
{
    const auto describe = [&](InputEvent& event) {
        event.kind = InputEvent::Kind::Click;
        event.form = control.form().name();
        event.control = control.name();
        event.index = control.index();
    };
    feed(describe, [&] { run([&] {
        Form& form = control.form();
        if (!isAlive(&form) || !form.visible()) {
            return;
        }
        wanted_ = &form;
        form.setFocus(control);
        if (auto* picture = dynamic_cast<PictureBox*>(&control); picture && picture->onClick) {
            picture->onClick();
        }
    }); });
}

void Application::activate(Form& form)
{
    const auto describe = [&](InputEvent& event) {
        event.kind = InputEvent::Kind::Activate;
        event.form = form.name();
    };
    feed(describe, [&] { click(form); });
}

void Application::requestClose(Form& form)
{
    const auto describe = [&](InputEvent& event) {
        event.kind = InputEvent::Kind::Close;
        event.form = form.name();
    };
    feed(describe, [&] { run([&] {
        if (isAlive(&form)) {
            form.unload();
        }
    }); });
}

std::int64_t Application::eventTimeMs() const
{
    return feeding_ > 0 || depth_ > 0 ? eventTime_ : clock_.nowMs();
}

void Application::feed(const std::function<void(InputEvent&)>& describe, const std::function<void()>& handle)
{
    if (feeding_ > 0) {
        handle(); // part of the event that is being fed
        return;
    }
    eventTime_ = clock_.nowMs();
    std::optional<InputEvent> event;
    if (listener_ != nullptr) {
        event.emplace();
        event->timeMs = eventTime_;
        describe(*event);
    }
    ++feeding_;
    try {
        handle();
    } catch (...) {
        --feeding_;
        throw;
    }
    --feeding_;
    if (event && listener_ != nullptr) {
        listener_->inputHandled(*event);
    }
}

void Application::run(const std::function<void()>& action)
{
    if (depth_ == 0 && feeding_ == 0) {
        eventTime_ = clock_.nowMs();
    }
    ++depth_;
    try {
        action();
    } catch (...) {
        --depth_;
        throw;
    }
    --depth_;
    if (depth_ == 0) {
        settle();
        collectGarbage();
    }
}

// ---------------------------------------------------------------- forms

void Application::showForm(Form& form)
{
    if (depth_ == 0) {
        run([&] { showForm(form); });
        return;
    }
    if (!isAlive(&form)) {
        return;
    }
    if (!form.visible()) {
        form.setVisibleFlag(true);
        zOrder_.push_back(&form);
        everShown_ = true;
    } else {
        raise(form);
    }
    wanted_ = &form;
}

void Application::unloadForm(Form& form)
{
    if (depth_ == 0) {
        run([&] { unloadForm(form); });
        return;
    }
    if (!isAlive(&form) || std::find(unloading_.begin(), unloading_.end(), &form) != unloading_.end()) {
        return;
    }
    unloading_.push_back(&form);
    int cancel = 0;
    form.Form_Unload(cancel);
    unloading_.erase(std::find(unloading_.begin(), unloading_.end(), &form));
    if (cancel != 0 || !isAlive(&form)) {
        return;
    }
    form.stopTimers();
    form.setVisibleFlag(false);
    form.setLoadedFlag(false);
    std::erase(zOrder_, &form);
    if (wanted_ == &form) {
        wanted_ = nullptr;
    }
    if (active_ == &form) {
        active_ = nullptr; // an unloaded form gets no Deactivate
    }
    auto owned = std::find_if(loaded_.begin(), loaded_.end(), [&](const auto& f) { return f.get() == &form; });
    graveyard_.push_back(std::move(*owned));
    loaded_.erase(owned);
}

bool Application::isAlive(const Form* form) const
{
    return std::any_of(loaded_.begin(), loaded_.end(), [&](const auto& f) { return f.get() == form; });
}

void Application::raise(Form& form)
{
    auto at = std::find(zOrder_.begin(), zOrder_.end(), &form);
    if (at != zOrder_.end() && at + 1 != zOrder_.end()) {
        zOrder_.erase(at);
        zOrder_.push_back(&form);
        form.markDirty();
    }
}

Form* Application::topmostVisible() const
{
    return zOrder_.empty() ? nullptr : zOrder_.back();
}

Form* Application::wantedActive() const
{
    if (wanted_ != nullptr && isAlive(wanted_) && wanted_->visible()) {
        return wanted_;
    }
    return topmostVisible();
}

// Brings activation in line with what the last event asked for: the form
// that lost it is deactivated, the one that gains it activated, each once.
// Handlers may show or close forms on the way, so repeat until stable.
void Application::settle()
{
    ++depth_;
    for (int step = 0; step < kMaxActivationSteps; ++step) {
        Form* want = wantedActive();
        if (want == active_) {
            break;
        }
        if (active_ != nullptr) {
            Form* old = std::exchange(active_, nullptr);
            if (isAlive(old) && old->visible()) {
                old->Form_Deactivate();
            }
            continue;
        }
        active_ = want;
        wanted_ = want;
        raise(*want);
        want->Form_Activate();
    }
    --depth_;
    endIfNothingVisible();
}

void Application::endIfNothingVisible()
{
    if (!everShown_ || !zOrder_.empty() || finished_) {
        return;
    }
    // Forms loaded but never shown would keep an invisible program alive.
    ++depth_;
    while (!loaded_.empty()) {
        Form& hidden = *loaded_.back();
        unloadForm(hidden);
        if (!loaded_.empty() && loaded_.back().get() == &hidden) {
            break; // it refused to close; nothing more can be done
        }
    }
    --depth_;
    active_ = nullptr;
    wanted_ = nullptr;
    finished_ = true;
}

void Application::collectGarbage()
{
    graveyard_.clear();
}

// ---------------------------------------------------------------- timers

void Application::registerTimer(Timer& timer)
{
    timers_.push_back(&timer);
}

void Application::unregisterTimer(Timer& timer)
{
    std::erase(timers_, &timer);
}

namespace {

bool isRunning(const Timer& timer)
{
    return timer.running() && timer.interval() > 0 && timer.form().loaded();
}

} // namespace

std::optional<std::int64_t> Application::nextTimerDue() const
{
    std::optional<std::int64_t> next;
    for (const Timer* timer : timers_) {
        if (isRunning(*timer) && (!next || timer->dueMs() < *next)) {
            next = timer->dueMs();
        }
    }
    return next;
}

void Application::runTimersDue()
{
    const std::int64_t now = clock_.nowMs();
    for (;;) {
        Timer* next = nextTimer();
        if (next == nullptr || next->dueMs() > now) {
            return;
        }
        tick(*next);
    }
}

Timer* Application::nextTimer() const
{
    Timer* next = nullptr;
    for (Timer* timer : timers_) {
        if (!isRunning(*timer)) {
            continue;
        }
        if (next == nullptr || timer->dueMs() < next->dueMs() ||
            (timer->dueMs() == next->dueMs() && timer->sequence() < next->sequence())) {
            next = timer;
        }
    }
    return next;
}

Timer* Application::runningTimer(const std::string& formName, const std::string& name, int index) const
{
    for (Timer* timer : timers_) {
        if (isRunning(*timer) && timer->form().name() == formName && timer->name() == name &&
            timer->index() == index) {
            return timer;
        }
    }
    return nullptr;
}

void Application::tick(Timer& timer)
{
    const auto describe = [&](InputEvent& event) {
        event.kind = InputEvent::Kind::Tick;
        event.form = timer.form().name();
        event.control = timer.name();
        event.index = timer.index();
        event.dueMs = timer.dueMs();
    };
    feed(describe, [&] { fireTimer(timer); });
}

void Application::fireTimer(Timer& timer)
{
    // Keep the phase; skip ticks that are already past rather than
    // delivering them in a burst.
    const std::int64_t now = eventTimeMs();
    const std::int64_t interval = timer.interval();
    std::int64_t due = timer.dueMs() + interval;
    if (due <= now) {
        due += ((now - due) / interval + 1) * interval;
    }
    timer.setDueMs(due);
    run([&timer] {
        if (timer.onTimer) {
            timer.onTimer();
        }
    });
}

void advanceVirtualTime(Application& app, VirtualClock& clock, std::int64_t ms)
{
    const std::int64_t target = clock.nowMs() + ms;
    for (;;) {
        const auto due = app.nextTimerDue();
        if (!due || *due > target) {
            break;
        }
        if (*due > clock.nowMs()) {
            clock.set(*due);
        }
        app.runTimersDue();
    }
    clock.set(target);
}

} // namespace ui
