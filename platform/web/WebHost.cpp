#include "platform/web/WebHost.h"

#include "platform/model/Controls.h"
#include "platform/web/KeyCodes.h"
#include "platform/web/PageBridge.h"
#include "platform/web/WebFonts.h"
#include "platform/web/WindowLayout.h"

#include <emscripten/emscripten.h>
#include <emscripten/eventloop.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <exception>
#include <utility>
#include <vector>

namespace webhost {
namespace {

WebHost* theHost = nullptr;

// How much earlier than a timer's due time its timeout wakes the host.
constexpr double kWakeEarlyMs = 1.0;
// A shorter wait is left to message tasks: browsers stretch a timeout set
// from within a timeout to at least 4 ms.
constexpr double kShortestTimeoutMs = 4.0;

std::string cssColor(ui::Color color)
{
    char text[8];
    std::snprintf(text, sizeof text, "#%02x%02x%02x", color.r, color.g, color.b);
    return text;
}

void onTimeout(void*)
{
    if (theHost != nullptr) {
        theHost->timerDue();
    }
}

} // namespace

WebHost::WebHost(ui::Application& app, const WebClock& clock, CanvasRenderer& renderer)
    : app_(app), clock_(clock), renderer_(renderer)
{
    theHost = this;
}

WebHost::~WebHost()
{
    if (timeout_) {
        emscripten_clear_timeout(*timeout_);
    }
    theHost = nullptr;
}

template <class Action>
void WebHost::guarded(Action&& action)
{
    if (failed_) {
        return;
    }
    try {
        action();
    } catch (const std::exception& error) {
        fail(error.what());
    } catch (...) {
        fail("an unknown error");
    }
}

void WebHost::fail(std::string_view what)
{
    failed_ = true;
    if (timeout_) {
        emscripten_clear_timeout(*timeout_);
        timeout_.reset();
    }
    page::programFailed((page::japanesePage() ? "エラーのため、プログラムが止まりました: "
                                              : "The program stopped because of an error: ") +
                        std::string(what));
}

// ---------------------------------------------------------------- sync

void WebHost::sync()
{
    if (syncing_) {
        resyncWanted_ = true;
        return;
    }
    syncing_ = true;
    do {
        resyncWanted_ = false;
        guarded([this] { syncOnce(); });
    } while (resyncWanted_ && !failed_);
    syncing_ = false;
    if (!failed_ && afterSync_) {
        guarded([this] { afterSync_(); });
    }
    if (!failed_ && !ended_ && app_.finished()) {
        ended_ = true;
        std::string note;
        guarded([&] { note = endNote_ ? endNote_() : std::string(); });
        if (!failed_) {
            page::programEnded(note);
        }
    }
    armTimer();
}

void WebHost::syncOnce()
{
    const std::vector<ui::Form*> forms = app_.openForms();
    for (ui::Form* form : forms) {
        if (!windows_.contains(form->instanceId())) {
            openWindow(*form);
        }
    }
    std::vector<std::uint64_t> gone;
    for (const auto& [id, state] : windows_) {
        if (app_.openForm(id) == nullptr) {
            gone.push_back(id);
        }
    }
    for (std::uint64_t id : gone) {
        closeWindow(id);
    }
    const bool repaintAll = std::exchange(repaintAll_, false);
    for (std::size_t i = 0; i < forms.size(); ++i) {
        const bool dirty = forms[i]->takeDirty();
        updateWindow(*forms[i], static_cast<int>(i));
        if (dirty || repaintAll) {
            render(*forms[i]);
        }
    }
    syncKeyboardFocus();
}

void WebHost::openWindow(ui::Form& form)
{
    page::openWindow(form.instanceId(), form.name());
    windows_[form.instanceId()] = WindowState{};
    // As a window manager places a window that would open off the screen.
    const Box frame = windowLayout(form).frame;
    moveFrame(form, frame, keptInside(frame, page::viewportSize()));
    // Its first picture shows every change so far.
    form.takeDirty();
    updateWindow(form, 0);
    render(form);
}

void WebHost::closeWindow(std::uint64_t formId)
{
    windows_.erase(formId);
    renderer_.forgetForm(formId);
    page::closeWindow(formId);
}

void WebHost::updateWindow(ui::Form& form, int stackIndex)
{
    WindowState& state = windows_.at(form.instanceId());
    const page::WindowLook look{form.caption(), app_.activeForm() == &form, stackIndex, page::devicePixelRatio(),
                                state.page.maximized, state.page.minimized};
    // Only a maximised window needs the viewport, which costs the page a layout.
    const Size viewport = state.page.maximized ? page::viewportSize() : Size{};
    std::string json = page::windowJson(windowLayout(form, state.page, viewport), look);
    if (json != state.shownJson) {
        page::updateWindow(form.instanceId(), json);
        state.shownJson = std::move(json);
    }
    syncTextInputs(form, state);
}

void WebHost::syncTextInputs(const ui::Form& form, WindowState& state)
{
    for (const auto& control : form.controls()) {
        const auto* box = dynamic_cast<const ui::TextBox*>(control.get());
        if (box == nullptr) {
            continue;
        }
        std::string json = page::textInputJson(
            page::TextInputState{box->name(), box->index(), textInputBox(*box), isShown(*box), box->enabled(),
                                 box->text(), cssFont(box->font()), cssColor(box->backColor()),
                                 cssColor(box->foreColor())});
        std::string& shown = state.textInputJson[box->name() + "#" + std::to_string(box->index())];
        if (json != shown) {
            page::updateTextInput(form.instanceId(), json);
            shown = std::move(json);
        }
    }
}

// The active form's focused text box has the keyboard, so that an input
// method composes into it; otherwise the page has it and every key goes to
// the game.
void WebHost::syncKeyboardFocus()
{
    const ui::Form* active = app_.activeForm();
    const auto* box = active != nullptr ? dynamic_cast<const ui::TextBox*>(active->focused()) : nullptr;
    if (box != nullptr && isShown(*box) && box->enabled()) {
        page::focusTextInput(active->instanceId(), box->name(), box->index());
    } else {
        page::focusPage();
    }
}

void WebHost::paintingReady()
{
    paintingHeld_ = false;
    repaintAll_ = true;
    sync();
}

void WebHost::render(const ui::Form& form)
{
    if (paintingHeld_) {
        return;
    }
    renderer_.render(form, "qv-client-" + std::to_string(form.instanceId()), page::devicePixelRatio());
    if (afterPaint_) {
        afterPaint_(form);
    }
}

void WebHost::armTimer()
{
    if (timeout_) {
        emscripten_clear_timeout(*timeout_);
        timeout_.reset();
    }
    if (failed_ || ended_ || timersLeftToOwner_) {
        return; // once the program is over nothing ticks
    }
    const std::optional<std::int64_t> due = app_.nextTimerDue();
    if (!due) {
        return;
    }
    // A browser's timeout often fires a millisecond or more late, and later
    // on a busy machine, which would shake the flight's 50 ms ticks. So the
    // timeout wakes the host a little early, and message tasks, which run as
    // soon as the page is free, wait out the rest.
    const double wait = clock_.msUntil(*due);
    if (wait > kShortestTimeoutMs) {
        timeout_ = emscripten_set_timeout(onTimeout, wait - kWakeEarlyMs, nullptr);
    } else if (!wakePosted_) {
        wakePosted_ = true;
        page::wakeSoon();
    }
}

// ---------------------------------------------------------------- events

void WebHost::timerDue()
{
    timeout_.reset();
    const std::optional<std::int64_t> due = app_.nextTimerDue();
    if (due && app_.clock().nowMs() < *due) {
        armTimer(); // woken early on purpose
        return;
    }
    runDueTimers();
}

void WebHost::wake()
{
    wakePosted_ = false;
    timerDue();
}

void WebHost::runDueTimers()
{
    if (!timersLeftToOwner_) {
        guarded([this] { app_.runTimersDue(); });
    }
    sync();
}

void WebHost::pageShownAgain()
{
    // A hidden page's timeouts are held back: the ticks due meanwhile fire
    // now, in the model's order.
    runDueTimers();
}

void WebHost::scaleChanged()
{
    repaintAll_ = true;
    sync();
}

void WebHost::keyboardReturned()
{
    if (!failed_) {
        syncKeyboardFocus();
    }
}

void WebHost::keyDown(std::string_view code, std::string_view key, int shift, bool ctrlOrMeta)
{
    if (activeIsMinimized()) {
        return; // as on a desktop, where another program has the keyboard then
    }
    const std::optional<int> keyCode = virtualKeyForCode(code);
    const std::vector<ui::TypedChar> typed = typedCharsForKey(key, ctrlOrMeta);
    if (!keyCode && typed.empty()) {
        return;
    }
    guarded([&] { app_.keyStroke(keyCode, shift, typed); });
    sync();
}

void WebHost::textCommitted(std::string_view utf8)
{
    if (activeIsMinimized()) {
        return;
    }
    const std::vector<ui::TypedChar> typed = typedCharsForText(utf8);
    if (typed.empty()) {
        return;
    }
    guarded([&] { app_.keyStroke(std::nullopt, 0, typed); });
    sync();
}

void WebHost::clientPressed(std::uint64_t formId, int x, int y)
{
    ui::Form* form = openForm(formId);
    if (form == nullptr) {
        return;
    }
    guarded([&] {
        if (ui::Control* control = controlAt(*form, x, y)) {
            app_.click(*control);
        } else {
            app_.click(*form);
        }
    });
    sync();
}

void WebHost::textInputPressed(std::uint64_t formId, const std::string& control, int index)
{
    ui::Form* form = openForm(formId);
    ui::Control* box = form != nullptr ? form->find(control, index) : nullptr;
    if (box == nullptr) {
        return;
    }
    guarded([&] { app_.click(*box); });
    sync();
}

void WebHost::framePressed(std::uint64_t formId)
{
    ui::Form* form = openForm(formId);
    if (form == nullptr || app_.activeForm() == form) {
        return;
    }
    guarded([&] { app_.activate(*form); });
    sync();
}

void WebHost::closeBoxClicked(std::uint64_t formId)
{
    if (ui::Form* form = openForm(formId)) {
        guarded([&] { app_.requestClose(*form); });
        sync();
    }
}

void WebHost::windowDragged(std::uint64_t formId, int frameX, int frameY)
{
    ui::Form* form = openForm(formId);
    if (form == nullptr) {
        return;
    }
    const auto found = windows_.find(formId);
    if (found != windows_.end() && found->second.page.maximized) {
        return; // a maximised window stays where it is
    }
    const WindowLayout layout = windowLayout(*form);
    const Box wanted{frameX, frameY, layout.frame.width, layout.frame.height};
    const int reach = static_cast<int>(std::ceil(kTitleBarInReach / page::pageScale()));
    // The next screen opens where this one now stands.
    moveFrame(*form, layout.frame, keptInReach(wanted, layout.caption, page::viewportSize(), reach));
    sync();
}

// The model's Left and Top follow the frame, as the desktop's follow a
// window the player or the window manager moved; a frame that stays on the
// same pixels leaves them as the game set them.
void WebHost::moveFrame(ui::Form& form, const Box& from, const Box& to)
{
    if (to.x != from.x || to.y != from.y) {
        guarded([&] { form.move(pixelsToTwips(to.x), pixelsToTwips(to.y)); });
    }
}

// The model keeps a form's client size: the player's size is the page's, as
// the desktop's window manager keeps it. The place is the model's, so a
// resize by the left or top edge moves the form.
void WebHost::windowResized(std::uint64_t formId, int edges, const Box& start, int dx, int dy)
{
    PageWindow* page = sizableWindow(formId);
    if (page == nullptr || page->maximized || page->minimized) {
        return;
    }
    ui::Form& form = *app_.openForm(formId);
    const Box frame = resizedFrame(form, start, edges, dx, dy);
    page->clientSize = clientSizeOf(form, frame);
    if (frame.x != start.x || frame.y != start.y) {
        guarded([&] { form.move(pixelsToTwips(frame.x), pixelsToTwips(frame.y)); });
    }
    sync();
}

// A maximised window's frame stands at the viewport's corner, and so does
// the form, as a maximised window's does on X11; restored, it goes back.
void WebHost::maximizeClicked(std::uint64_t formId)
{
    PageWindow* page = sizableWindow(formId);
    if (page == nullptr || page->minimized) {
        return;
    }
    ui::Form& form = *app_.openForm(formId);
    page->maximized = !page->maximized;
    if (page->maximized) {
        page->restoreLeft = form.left();
        page->restoreTop = form.top();
        guarded([&] { form.move(0, 0); });
    } else {
        guarded([&] { form.move(page->restoreLeft, page->restoreTop); });
    }
    sync();
}

// Minimising the active window hands the activation to the front-most window
// still shown, as a desktop's window manager does; with none, the model
// keeps its active form and no key reaches it until it is back.
void WebHost::minimizeClicked(std::uint64_t formId)
{
    PageWindow* page = sizableWindow(formId);
    if (page == nullptr || page->minimized) {
        return;
    }
    page->minimized = true;
    ui::Form& form = *app_.openForm(formId);
    if (app_.activeForm() == &form) {
        if (ui::Form* next = activeAfterMinimizing(app_.openForms(), form,
                                                   [this](const ui::Form& f) { return minimized(f); })) {
            guarded([&] { app_.activate(*next); });
        }
    }
    sync();
}

void WebHost::windowButtonClicked(std::uint64_t formId)
{
    PageWindow* page = sizableWindow(formId);
    if (page == nullptr) {
        return;
    }
    page->minimized = false;
    ui::Form& form = *app_.openForm(formId);
    if (app_.activeForm() != &form) {
        guarded([&] { app_.activate(form); });
    }
    sync();
}

// A maximised window follows the viewport; the others are brought back
// inside it when it shrinks, as a desktop does when the screen does.
void WebHost::viewportChanged()
{
    const Size viewport = page::viewportSize();
    for (ui::Form* form : app_.openForms()) {
        const auto found = windows_.find(form->instanceId());
        if (found == windows_.end() || found->second.page.maximized || found->second.page.minimized) {
            continue;
        }
        const Box frame = windowLayout(*form, found->second.page, viewport).frame;
        moveFrame(*form, frame, keptInside(frame, viewport));
    }
    sync();
}

PageWindow* WebHost::sizableWindow(std::uint64_t formId)
{
    const ui::Form* form = openForm(formId);
    const auto found = windows_.find(formId);
    if (form == nullptr || form->border() != ui::FormBorder::Sizable || found == windows_.end()) {
        return nullptr;
    }
    return &found->second.page;
}

bool WebHost::minimized(const ui::Form& form) const
{
    const auto found = windows_.find(form.instanceId());
    return found != windows_.end() && found->second.page.minimized;
}

bool WebHost::activeIsMinimized() const
{
    const ui::Form* active = app_.activeForm();
    return active != nullptr && minimized(*active);
}

// An event may arrive for a window whose form has just closed, or after an
// error, when the model must not be touched.
ui::Form* WebHost::openForm(std::uint64_t formId) const
{
    return failed_ ? nullptr : app_.openForm(formId);
}

} // namespace webhost

// ---------------------------------------------------------------- the page's calls

namespace {

std::uint64_t formIdOf(double id)
{
    return static_cast<std::uint64_t>(id);
}

template <class Action>
void withHost(Action&& action)
{
    if (webhost::theHost != nullptr) {
        action(*webhost::theHost);
    }
}

} // namespace

extern "C" {

EMSCRIPTEN_KEEPALIVE void qv_web_key_down(const char* code, const char* key, int shift, int ctrlOrMeta)
{
    withHost([&](webhost::WebHost& host) { host.keyDown(code, key, shift, ctrlOrMeta != 0); });
}

EMSCRIPTEN_KEEPALIVE void qv_web_text_committed(const char* text)
{
    withHost([&](webhost::WebHost& host) { host.textCommitted(text); });
}

EMSCRIPTEN_KEEPALIVE void qv_web_client_pressed(double id, int x, int y)
{
    withHost([&](webhost::WebHost& host) { host.clientPressed(formIdOf(id), x, y); });
}

EMSCRIPTEN_KEEPALIVE void qv_web_text_input_pressed(double id, const char* control, int index)
{
    withHost([&](webhost::WebHost& host) { host.textInputPressed(formIdOf(id), control, index); });
}

EMSCRIPTEN_KEEPALIVE void qv_web_frame_pressed(double id)
{
    withHost([&](webhost::WebHost& host) { host.framePressed(formIdOf(id)); });
}

EMSCRIPTEN_KEEPALIVE void qv_web_close_clicked(double id)
{
    withHost([&](webhost::WebHost& host) { host.closeBoxClicked(formIdOf(id)); });
}

EMSCRIPTEN_KEEPALIVE void qv_web_window_dragged(double id, int x, int y)
{
    withHost([&](webhost::WebHost& host) { host.windowDragged(formIdOf(id), x, y); });
}

EMSCRIPTEN_KEEPALIVE void qv_web_wake()
{
    withHost([](webhost::WebHost& host) { host.wake(); });
}

EMSCRIPTEN_KEEPALIVE void qv_web_drawing_ready()
{
    withHost([](webhost::WebHost& host) { host.paintingReady(); });
}

EMSCRIPTEN_KEEPALIVE void qv_web_page_shown()
{
    withHost([](webhost::WebHost& host) { host.pageShownAgain(); });
}

EMSCRIPTEN_KEEPALIVE void qv_web_scale_changed()
{
    withHost([](webhost::WebHost& host) { host.scaleChanged(); });
}

EMSCRIPTEN_KEEPALIVE void qv_web_window_resized(double id, int edges, int x, int y, int width, int height, int dx,
                                                int dy)
{
    withHost([&](webhost::WebHost& host) {
        host.windowResized(formIdOf(id), edges, webhost::Box{x, y, width, height}, dx, dy);
    });
}

EMSCRIPTEN_KEEPALIVE void qv_web_maximize_clicked(double id)
{
    withHost([&](webhost::WebHost& host) { host.maximizeClicked(formIdOf(id)); });
}

EMSCRIPTEN_KEEPALIVE void qv_web_minimize_clicked(double id)
{
    withHost([&](webhost::WebHost& host) { host.minimizeClicked(formIdOf(id)); });
}

EMSCRIPTEN_KEEPALIVE void qv_web_window_button_clicked(double id)
{
    withHost([&](webhost::WebHost& host) { host.windowButtonClicked(formIdOf(id)); });
}

EMSCRIPTEN_KEEPALIVE void qv_web_keyboard_returned()
{
    withHost([](webhost::WebHost& host) { host.keyboardReturned(); });
}

EMSCRIPTEN_KEEPALIVE void qv_web_viewport_changed()
{
    withHost([](webhost::WebHost& host) { host.viewportChanged(); });
}

} // extern "C"
