#pragma once

// A play: the log of one stage, from the key that starts the 30 seconds to
// "TIME UP", with what the game showed at its end. The same seed and the
// same events in the same order give the same game, so anyone holding a
// play can play it again and check its figures. Its text form is a
// contract that other tools read: see "Plays" in the README.

#include "platform/model/Application.h"
#include "platform/model/InputEvent.h"

#include <cstdint>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace plays {

inline constexpr int kVersion = 1;
inline constexpr std::size_t kMaxBytes = 64 * 1024;
inline constexpr char kFirstLine[] = "quorvel-play";

// A timer that ticks in the play, declared once and named by a letter.
struct TimerName {
    std::string form;
    std::string control;
    int index = -1;
    bool operator==(const TimerName&) const = default;
};

struct Event {
    ui::InputEvent::Kind kind = ui::InputEvent::Kind::KeyStroke;
    std::int64_t timeMs = 0; // since the play began
    // Tick: the timer (an index into Play::timers) and how late it came.
    int timer = -1;
    std::int64_t lateMs = 0;
    // Click, Activate, Close: the window and, for a click, the control.
    std::string form;
    std::string control;
    int index = -1;
    // Keys.
    std::optional<int> keyCode;
    int shift = 0;
    std::vector<ui::TypedChar> typed;
    int line = 0; // where a reader found it; 0 when made in memory
};

// What the game showed: the stage's figures at "TIME UP" and the results'.
struct Figures {
    std::int32_t score = 0; // the stage's points
    int hits = 0;
    int strokes = 0;
    double response = 0; // average response in ms, as the results show it
    double hitRate = 0;  // percent, as the results show it
    std::int32_t total = 0; // the results' final score
    bool operator==(const Figures&) const = default;
};

struct Play {
    int zone = 0;
    int speed = 0;
    int letterCase = 0;
    int kana = 0;
    std::uint64_t seed = 0;
    std::vector<TimerName> timers;
    std::vector<Event> events;
    std::int64_t endMs = 0; // the time of the last event: "TIME UP"
    Figures figures;
    int endLine = 0; // where a reader found the end
};

// A play that cannot be read, or that the game refuses: the line of the
// text it concerns (0 for the whole text) and the reason in words.
class PlayError : public std::runtime_error {
public:
    PlayError(int line, const std::string& reason);
    int line() const { return line_; }
    const std::string& reason() const { return reason_; }

private:
    int line_;
    std::string reason_;
};

std::string writePlay(const Play& play);
// Throws PlayError for anything but a well-formed play of this version.
Play readPlay(std::string_view text);

// The timer's name as plays write it: FORM.CONTROL or FORM.CONTROL(i).
std::string timerText(const TimerName& timer);
// A valid key stroke no keyboard refuses: its code, shift state and
// characters within what a keyboard and the code page give.
bool isKeyCode(int code);
bool isTypedChar(const ui::TypedChar& typed);
// The character a code page 932 code stands for, which a typed character
// written as its code alone is.
std::optional<char32_t> ownCharacter(int keyAscii);

} // namespace plays
