#pragma once

// One event a host fed the application, as it arrived: what kind, when, to
// which window or control, and the key's data. A listener given to the
// application sees every event once it has been handled, so a log of them
// can play the program again.

#include "platform/model/Application.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace ui {

struct InputEvent {
    enum class Kind { KeyStroke, KeyDown, KeyPress, Click, Activate, Close, Tick };

    Kind kind = Kind::KeyStroke;
    std::int64_t timeMs = 0;   // the application's time of the event
    std::string form;          // the window it went to; a tick's timer's window
    std::string control;       // a clicked control or the ticking timer; empty for a window
    int index = -1;            // the control's index in its array, -1 for none
    std::optional<int> keyCode; // KeyStroke and KeyDown
    int shift = 0;
    std::vector<TypedChar> typed; // KeyStroke: every character; KeyPress: one
    std::int64_t dueMs = 0;       // Tick: when the tick fell due
};

class InputListener {
public:
    virtual ~InputListener() = default;
    // Called after the event ran to completion and activation settled.
    virtual void inputHandled(const InputEvent& event) = 0;
};

} // namespace ui
