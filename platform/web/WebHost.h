#pragma once

// Runs the window model in a web page, as the Qt host runs it on a desktop.
// The model is the truth: after every event it is fed, sync() makes the
// page's window elements match it (which forms are open, their captions,
// places, sizes, stacking, text boxes, which one is active) and has the
// renderer paint the forms that changed. The page is the window manager:
// a press on a window activates it, its title bar drags it, its close box
// closes it; a sizable window is resized by its edges, maximised to the
// viewport and minimised to the page's strip of window buttons. A handler
// that throws stops the program with a message in the page.
//
// One host per page: the page's script reaches it through the functions
// declared extern "C" in WebHost.cpp.

#include "platform/model/Application.h"
#include "platform/web/CanvasRenderer.h"
#include "platform/web/WebClock.h"
#include "platform/web/WindowLayout.h"

#include <cstdint>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <string_view>

namespace webhost {

class WebHost {
public:
    WebHost(ui::Application& app, const WebClock& clock, CanvasRenderer& renderer);
    ~WebHost();
    WebHost(const WebHost&) = delete;
    WebHost& operator=(const WebHost&) = delete;

    void sync();
    // Until the page has what it draws with, windows open and change but
    // are not painted; once it has, every open window is.
    void holdPainting() { paintingHeld_ = true; }
    void paintingReady();
    // For a program whose time its owner moves on (a replay follows its
    // log's times): the host then arms no timeout of its own.
    void leaveTimersToOwner() { timersLeftToOwner_ = true; }

    // After a form's canvas has been painted.
    void setAfterPaint(std::function<void(const ui::Form&)> observer) { afterPaint_ = std::move(observer); }
    // After every sync: the page's own state may follow the model's.
    void setAfterSync(std::function<void()> observer) { afterSync_ = std::move(observer); }
    // Asked once the last form has closed; the page says what it returns,
    // if anything, with the end of the program.
    void setEndNote(std::function<std::string()> note) { endNote_ = std::move(note); }
    bool failed() const { return failed_; }

    // What the page reports; forms by instance id, positions in CSS pixels.
    void keyDown(std::string_view code, std::string_view key, int shift, bool ctrlOrMeta);
    void textCommitted(std::string_view utf8);
    void clientPressed(std::uint64_t formId, int x, int y);
    void textInputPressed(std::uint64_t formId, const std::string& control, int index);
    void framePressed(std::uint64_t formId);
    void closeBoxClicked(std::uint64_t formId);
    void windowDragged(std::uint64_t formId, int frameX, int frameY);
    // EDGES (webhost::Edge bits) of the frame that stood at START were dragged by DX, DY.
    void windowResized(std::uint64_t formId, int edges, const Box& start, int dx, int dy);
    void maximizeClicked(std::uint64_t formId);
    void minimizeClicked(std::uint64_t formId);
    // The window's button in the page's strip: the minimised window comes back.
    void windowButtonClicked(std::uint64_t formId);
    void viewportChanged();
    void timerDue();
    void wake();
    void pageShownAgain();
    void scaleChanged();
    // The page gave the keyboard back to the game.
    void keyboardReturned();

private:
    struct WindowState {
        std::string shownJson; // what the element was last told
        std::map<std::string, std::string> textInputJson;
        PageWindow page;
    };

    // Runs a model entry point; an exception stops the program.
    template <class Action>
    void guarded(Action&& action);
    void fail(std::string_view what);
    void syncOnce();
    void openWindow(ui::Form& form);
    void closeWindow(std::uint64_t formId);
    void moveFrame(ui::Form& form, const Box& from, const Box& to);
    void updateWindow(ui::Form& form, int stackIndex);
    void syncTextInputs(const ui::Form& form, WindowState& state);
    void syncKeyboardFocus();
    void render(const ui::Form& form);
    void armTimer();
    void runDueTimers();
    ui::Form* openForm(std::uint64_t formId) const;
    // The page's state of an open sizable form's window, or nullptr.
    PageWindow* sizableWindow(std::uint64_t formId);
    bool minimized(const ui::Form& form) const;
    bool activeIsMinimized() const;

    ui::Application& app_;
    const WebClock& clock_;
    CanvasRenderer& renderer_;
    std::map<std::uint64_t, WindowState> windows_;
    std::function<void(const ui::Form&)> afterPaint_;
    std::function<std::string()> endNote_;
    std::function<void()> afterSync_;
    std::optional<long> timeout_;
    bool wakePosted_ = false;
    bool syncing_ = false;
    bool resyncWanted_ = false;
    bool failed_ = false;
    bool ended_ = false;
    bool repaintAll_ = false; // the next sync paints every open window
    bool paintingHeld_ = false;
    bool timersLeftToOwner_ = false;
};

} // namespace webhost
