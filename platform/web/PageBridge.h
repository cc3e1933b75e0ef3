#pragma once

// The host's calls into the page's script (site/windows.js and page.js): the
// window elements, their text inputs, and the page's messages. Ids are form
// instance ids; geometry is in CSS pixels.

#include "platform/web/WindowLayout.h"

#include <cstdint>
#include <string>
#include <string_view>

namespace webhost {

// How long a notice stays: until the player closes it, a few seconds, or
// until the state it tells of ends (endStateNotice).
enum class NoticeKind { Lasting, Passing, WhileStateLasts };

// A clear, visible message in the page (the element #qv-message), with a
// close box.
void showPageMessage(std::string_view text, NoticeKind kind = NoticeKind::Lasting);
// The state the notice shown told of is over: it goes.
void endStateNotice();

namespace page {

// What a window element shows besides its canvas.
struct WindowLook {
    std::string caption;
    bool active = false;
    int stackIndex = 0; // 0 at the back
    double devicePixelRatio = 1.0;
    bool maximized = false;
    bool minimized = false; // shown as a button in the page's strip instead
};

struct TextInputState {
    std::string control;
    int index = -1;
    Box box; // in the client area
    bool shown = false;
    bool enabled = true;
    std::string text;
    std::string cssFont;
    std::string backColor; // CSS colours
    std::string foreColor;
};

void openWindow(std::uint64_t id, std::string_view formName);
// The element's state as the page's script takes it; the host sends it
// only when it changed.
std::string windowJson(const WindowLayout& layout, const WindowLook& look);
std::string textInputJson(const TextInputState& state);
void updateWindow(std::uint64_t id, const std::string& json);
void updateTextInput(std::uint64_t id, const std::string& json);
// The text input that gets the keyboard (an input method composes into it),
// or none: the page itself keeps it.
void focusTextInput(std::uint64_t id, std::string_view control, int index);
void focusPage();
// Calls the host's wake() from a task of its own, as soon as the page is free.
void wakeSoon();
void closeWindow(std::uint64_t id);
// The program has ended: the page says so, with NOTE if there is one, and
// offers to start again.
void programEnded(std::string_view note);
// The program has stopped on an error: the page says so and nothing more
// reaches the program.
void programFailed(std::string_view message);
// Device pixels to a pixel of the game: the browser's devicePixelRatio
// times the page's size factor.
double devicePixelRatio();
// The size factor the page shows the game's windows at.
double pageScale();
// The page's viewport for the windows (the element #qv-desktop), in pixels
// of the game: CSS pixels divided by the size factor.
Size viewportSize();
// While on, leaving the page asks the browser's "leave this page?".
void guardLeaving(bool on);
// The page speaks Japanese (its lang, which follows the browser's choice).
bool japanesePage();

// Text for a JSON string literal, quotes included.
std::string jsonString(std::string_view text);

} // namespace page
} // namespace webhost
