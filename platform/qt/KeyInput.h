#pragma once

// Turns Qt key events into what the window model's key handlers expect: a
// virtual-key code for KeyDown, and the code page 932 codes of the typed
// characters for KeyPress.

#include <QString>
#include <QtGlobal>

#include <optional>
#include <vector>

class QKeyEvent;

namespace qthost {

struct TypedKey {
    int keyAscii = 0; // what a KeyPress handler receives
    char32_t typed = 0; // the character itself, which a text box inserts
    friend bool operator==(const TypedKey&, const TypedKey&) = default;
};

// The virtual-key code of the physical key, whatever the letter case or the
// kana state; nullopt for keys the game has no code for.
std::optional<int> virtualKeyCode(const QKeyEvent& event);

// The key of an X11 keycode (evdev code + 8), for keys Qt reports by the
// kana or shifted symbol they type rather than by the key.
std::optional<int> virtualKeyForNativeScanCode(quint32 scanCode);

// Shift 1, Ctrl 2, Alt 4, as KeyDown handlers receive them.
int shiftState(Qt::KeyboardModifiers modifiers);

// The KeyPress codes of a key event. Enter, Space and Backspace type 13, 32
// and 8; other control keys type nothing.
std::vector<TypedKey> typedKeys(const QKeyEvent& event);

// The KeyPress codes of text committed by an input method, one per character.
// A character without a code page 932 form arrives as '?'.
std::vector<TypedKey> typedKeysFor(const QString& text);

} // namespace qthost
