#pragma once

// Runs the window model on real Qt windows. The model is the truth: after
// every event it is fed, sync() makes the windows match it (which forms are
// open, their captions, places, sizes, pictures and which one is active).
// A handler that throws ends the program: the error is shown and the event
// loop exits with status 1.
//
// The host only coordinates: WindowMirror keeps the windows, the
// ActivationArbiter says whose an activation or a close is, the InputRouter
// feeds keys and clicks to the model, the TimerPump runs its timers and the
// FatalGuard ends the program when a handler throws.

#include "platform/model/Application.h"
#include "platform/qt/ActivationArbiter.h"
#include "platform/qt/FatalGuard.h"
#include "platform/qt/FormWindow.h"
#include "platform/qt/InputRouter.h"
#include "platform/qt/TimerPump.h"
#include "platform/qt/WindowMirror.h"

#include <QIcon>
#include <QObject>
#include <QPoint>
#include <QString>

#include <chrono>
#include <cstdint>
#include <functional>
#include <optional>

namespace qthost {

class SteadyClock : public ui::Clock {
public:
    std::int64_t nowMs() const override;

private:
    std::chrono::steady_clock::time_point start_ = std::chrono::steady_clock::now();
};

// What the host shows of the program that runs it: the name heading its
// error messages and the icon of its windows.
struct AppIdentity {
    QString name;
    QIcon icon;
};

class QtHost : public QObject, private WindowEvents {
public:
    using FatalReporter = FatalGuard::Reporter;

    // Pictures come from the catalogue `app` was given.
    QtHost(ui::Application& app, const ui::Clock& clock, const AppIdentity& identity, QObject* parent = nullptr);
    ~QtHost() override;

    void sync();

    // Closes every window as the player would by its close box, front to
    // back, again while closing one opens another, so that each screen's
    // own unload runs (the name entry's saves the records): the end of the
    // session ends the game as the player would have.
    void closeEveryWindow();

    QWidget* windowFor(const ui::Form& form) const;
    std::size_t windowCount() const { return mirror_.windowCount(); }
    std::uint64_t keyPressesReceived() const { return input_.keyPresses(); }

    // How a fatal error is shown; a message box unless replaced.
    void setFatalReporter(FatalReporter reporter) { guard_.setReporter(std::move(reporter)); }
    bool failed() const { return guard_.failed(); }
    // Set once the program is over: 0 when the last form closed, 1 on a fatal
    // error.
    std::optional<int> exitCode() const { return guard_.exitCode(); }
    // Observers for tools that watch the running game (the state file of the
    // end-to-end tests, the start-up benchmark): after every sync, and after
    // a window has painted.
    void setAfterSync(std::function<void()> observer) { afterSync_ = std::move(observer); }
    void setAfterPaint(std::function<void(const ui::Form&)> observer) { afterPaint_ = std::move(observer); }

    // The wait until the next timer tick, while one is due.
    std::optional<int> timerWaitMs() const { return pump_.waitMs(); }
    // How long after a change of windows an activation is taken for the window
    // manager's rather than the player's.
    void setActivationGraceMs(int milliseconds) { arbiter_.setGraceMs(milliseconds); }

    // Which windows get the frame the host draws itself (see DrawnFrame).
    // It follows the platform (native Wayland: all windows, which it cannot
    // place either; elsewhere the tool windows); set before the first sync
    // to try another way.
    void setDrawnFrames(DrawnFrames drawn) { mirror_.setDrawnFrames(drawn); }
    // Whether tool windows are made transient for their owner. An X window
    // manager of a Wayland compositor (weston's) places a transient window
    // itself, wherever it likes, and ignores the position it was given.
    void setTransientToolWindows(bool transient) { mirror_.setTransientToolWindows(transient); }
    // The model's ticks come from elsewhere (a watched play brings its own,
    // each at its recorded moment): the host runs none of its timers.
    void leaveTimersAlone() { timersLeftAlone_ = true; }

private:
    void runDueTimers();

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
    void openWindow(ui::Form& form);
    void closeWindow(std::uint64_t formId);
    void syncActivation();
    ActivationFacts activationFacts() const;
    void armTimer();
    ui::Form* openForm(std::uint64_t formId) const;

    ui::Application& app_;
    FatalGuard guard_;
    ActivationArbiter arbiter_;
    InputRouter input_;
    TimerPump pump_;
    std::function<void()> afterSync_;
    std::function<void(const ui::Form&)> afterPaint_;
    bool timersLeftAlone_ = false;
    bool syncing_ = false;
    bool resyncWanted_ = false;
    // Last, so that its windows go first: a window being deleted may still
    // report to the host.
    WindowMirror mirror_;
};

} // namespace qthost
