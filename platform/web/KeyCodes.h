#pragma once

// Turns a browser's KeyboardEvent into what the window model's key handlers
// expect: the virtual-key code of the physical key (KeyboardEvent.code), and
// the code page 932 codes of the characters it typed (KeyboardEvent.key).
// Plain C++, so it is tested without a browser.

#include "platform/model/Application.h"

#include <optional>
#include <string_view>
#include <vector>

namespace webhost {

// The virtual-key code of the key at that place of the keyboard, whatever
// the layout, the letter case or the kana state; nullopt for keys the game
// has no code for.
std::optional<int> virtualKeyForCode(std::string_view code);

// Shift 1, Ctrl 2, Alt 4, as KeyDown handlers receive them.
int shiftState(bool shift, bool ctrl, bool alt);

// The KeyPress characters of a key, from KeyboardEvent.key (UTF-8): Enter,
// Space and Backspace type 13, 32 and 8; other named keys ("Shift",
// "ArrowUp", "Process", "Dead") type nothing, nor does a key held with Ctrl
// or the command key.
std::vector<ui::TypedChar> typedCharsForKey(std::string_view key, bool ctrlOrMeta);

// The KeyPress characters of text an input method committed, one per
// character; control characters are dropped and a character without a code
// page 932 form arrives as '?'.
std::vector<ui::TypedChar> typedCharsForText(std::string_view utf8);

} // namespace webhost
