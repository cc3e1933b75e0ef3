#pragma once

// Runs the window model on real Qt windows. The model is the truth: after
// every event it is fed, sync() makes the windows match it (which forms are
// open, their captions, places, sizes, pictures and which one is active).
// A handler that throws ends the program: the error is shown and the event
// loop exits with status 1.

#include "platform/model/Application.h"
#include "platform/qt/ActivationArbiter.h"
#include "platform/qt/FormRenderer.h"
#include "platform/qt/FormWindow.h"
#include "platform/qt/KeyInput.h"

#include <QDeadlineTimer>
#include <QObject>
#include <QPoint>
#include <QTimer>

#include <chrono>
#include <cstdint>
#include <functional>
#include <map>
#include <optional>
#include <vector>

namespace qthost {

class SteadyClock : public ui::Clock {
public:
    std::int64_t nowMs() const override;

private:
    std::chrono::steady_clock::time_point start_ = std::chrono::steady_clock::now();
};

class QtHost : public QObject, private WindowEvents {
public:
    using FatalReporter = std::function<void(const QString& message)>;

    QtHost(ui::Application& app, const ui::Clock& clock, QObject* parent = nullptr);
    ~QtHost() override;

    void sync();

    QWidget* windowFor(const ui::Form& form) const;
    std::size_t windowCount() const { return windows_.size(); }

    // How a fatal error is shown; a message box unless replaced.
    void setFatalReporter(FatalReporter reporter) { reportFatal_ = std::move(reporter); }
    bool failed() const { return failed_; }
    // Set once the program is over: 0 when the last form closed, 1 on a fatal
    // error.
    std::optional<int> exitCode() const { return exitCode_; }
    // Observers for tools that watch the running game (the state file of the
    // end-to-end tests, the start-up benchmark): after every sync, and after
    // a window has painted.
    void setAfterSync(std::function<void()> observer) { afterSync_ = std::move(observer); }
    void setAfterPaint(std::function<void(const ui::Form&)> observer) { afterPaint_ = std::move(observer); }

    // The wait until the next timer tick, while one is due.
    std::optional<int> timerWaitMs() const;
    // How long after a change of windows an activation is taken for the window
    // manager's rather than the player's.
    void setActivationGraceMs(int milliseconds) { arbiter_.setGraceMs(milliseconds); }

    // Whether windows get the frame the host draws itself (see DrawnFrame)
    // and whether the platform puts windows where they are asked to be. Both
    // follow the platform (native Wayland: drawn frames, no placement); set
    // before the first sync to try the other way.
    void setDrawnFrames(bool drawn) { drawnFrames_ = drawn; }
    // Whether tool windows are made transient for their owner. An X window
    // manager of a Wayland compositor (weston's) places a transient window
    // itself, wherever it likes, and ignores the position it was given.
    void setTransientToolWindows(bool transient) { transientToolWindows_ = transient; }

private:
    struct WindowState {
        FormWindow* window = nullptr;
        QPoint position;      // what we last placed it at, in pixels
        QSize clientSize;
        std::string caption;
        ui::FormBorder border = ui::FormBorder::FixedSingle;
        // Moves reported before this are the window manager settling the
        // window where we put it, not the player dragging it.
        QDeadlineTimer placing;
        // The window this one is transient for, 0 for none.
        std::uint64_t ownerId = 0;
    };

    // WindowEvents
    void keyPressed(std::uint64_t formId, const QKeyEvent& event) override;
    void textCommitted(std::uint64_t formId, const QString& text) override;
    void clicked(std::uint64_t formId, QPoint clientPos) override;
    void textBoxClicked(std::uint64_t formId, const std::string& name, int index) override;
    void closeRequested(std::uint64_t formId) override;
    void windowActivated(std::uint64_t formId) override;
    void windowMoved(std::uint64_t formId, QPoint framePosition) override;
    void repaintNeeded(std::uint64_t formId) override;
    void painted(std::uint64_t formId) override;

    void syncOnce();
    void createWindow(ui::Form& form);
    void destroyWindow(std::uint64_t formId);
    void updateWindow(ui::Form& form, WindowState& state, bool repaint);
    void applyGeometry(const ui::Form& form, WindowState& state);
    void syncTextBoxes(const ui::Form& form, FormWindow& window);
    void syncActivation();
    void windowsChanged();
    ActivationFacts activationFacts() const;
    std::uint64_t activeWindowsForm() const;
    void activate(std::uint64_t formId);
    void render(const ui::Form& form, FormWindow& window);
    std::uint64_t ownerFor(const ui::Form& form) const;
    void setOwner(WindowState& state, std::uint64_t ownerId);
    void handOverChildrenOf(std::uint64_t formId);
    Qt::WindowFlags windowFlags(ui::FormBorder border) const;
    std::optional<DrawnFrame> drawnFrameFor(ui::FormBorder border) const;
    void deliverKeys(std::optional<int> keyDown, int shift, const std::vector<TypedKey>& typed);

    ui::Form* openForm(std::uint64_t formId) const;
    FormWindow* window(std::uint64_t formId) const;

    // Runs one call into the model; an exception ends the program.
    template <class Action>
    void guarded(Action&& action);
    void fail(const QString& message);
    void afterEvent();
    void armTimer();

    ui::Application& app_;
    const ui::Clock& clock_;
    FormRenderer renderer_;
    std::map<std::uint64_t, WindowState> windows_;
    QTimer timer_;
    FatalReporter reportFatal_;
    std::function<void()> afterSync_;
    std::function<void(const ui::Form&)> afterPaint_;
    ActivationArbiter arbiter_;
    bool drawnFrames_;
    bool placesWindows_;
    bool transientToolWindows_ = true;
    bool syncing_ = false;
    bool resyncWanted_ = false;
    bool failed_ = false;
    std::optional<int> exitCode_;
};

} // namespace qthost
