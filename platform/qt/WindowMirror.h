#pragma once

// Keeps one Qt window for each open form and makes it match the form: its
// caption, border, place, size, text boxes and picture, and for a tool window
// the window it stays over.

#include "platform/model/Application.h"
#include "platform/qt/Deadline.h"
#include "platform/qt/FormRenderer.h"
#include "platform/qt/FormWindow.h"

#include <QIcon>
#include <QPoint>
#include <QSize>

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <vector>

namespace qthost {

class WindowMirror {
public:
    // Windows report to `events`; `clock` times the placing of windows.
    // Windows that are no tool windows show `icon`.
    WindowMirror(const ui::Application& app, WindowEvents& events, const ui::Clock& clock, QIcon icon);
    ~WindowMirror();
    WindowMirror(const WindowMirror&) = delete;
    WindowMirror& operator=(const WindowMirror&) = delete;

    // See QtHost.
    void setDrawnFrames(DrawnFrames drawn) { drawnFrames_ = drawn; }
    void setTransientToolWindows(bool transient) { transientToolWindows_ = transient; }

    FormWindow* window(std::uint64_t formId) const;
    std::size_t windowCount() const { return windows_.size(); }
    // Windows whose form is no longer open.
    std::vector<std::uint64_t> windowsWithoutForm() const;
    // The windows that are transient for that form's window.
    std::vector<std::uint64_t> childrenOf(std::uint64_t formId) const;

    void createWindow(ui::Form& form);
    // Hands the windows transient for it to another owner first.
    void destroyWindow(std::uint64_t formId);
    void updateWindow(ui::Form& form, bool repaint);
    void repaint(const ui::Form& form);

    void activate(std::uint64_t formId);
    // The form whose window Qt reports active; 0 when it is none of ours.
    std::uint64_t activeFormId() const;
    // Whether a move Qt reports is the player dragging the window; if so it
    // is remembered as where the window stands.
    bool takePlayersMove(std::uint64_t formId, QPoint framePosition);

private:
    struct WindowState {
        FormWindow* window = nullptr;
        QPoint position; // what we last placed it at, in pixels
        QSize clientSize;
        std::string caption;
        ui::FormBorder border = ui::FormBorder::FixedSingle;
        // Moves reported before this are the window manager settling the
        // window where we put it, not the player dragging it.
        Deadline placing;
        // The window this one is transient for, 0 for none.
        std::uint64_t ownerId = 0;
    };

    void applyBorder(WindowState& state);
    void applyGeometry(const ui::Form& form, WindowState& state);
    void syncTextBoxes(const ui::Form& form, FormWindow& window);
    void render(const ui::Form& form, FormWindow& window);
    std::uint64_t ownerFor(const ui::Form& form) const;
    void setOwner(WindowState& state, std::uint64_t ownerId);
    void handOverChildrenOf(std::uint64_t formId);
    Qt::WindowFlags windowFlags(ui::FormBorder border) const;
    bool drawsFrame(ui::FormBorder border) const;
    std::optional<DrawnFrame> drawnFrameFor(ui::FormBorder border) const;

    const ui::Application& app_;
    WindowEvents& events_;
    const ui::Clock& clock_;
    QIcon icon_;
    FormRenderer renderer_;
    std::map<std::uint64_t, WindowState> windows_;
    DrawnFrames drawnFrames_;
    bool placesWindows_;
    bool transientToolWindows_ = true;
};

} // namespace qthost
