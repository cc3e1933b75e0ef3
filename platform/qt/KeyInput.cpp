#include "platform/qt/KeyInput.h"

#include "platform/model/Text.h"
#include "platform/model/Types.h"

#include <QKeyEvent>

#include <utility>

namespace qthost {
namespace {

// X11 keycodes are evdev codes plus 8.
constexpr quint32 kEvdevOffset = 8;

// Physical keys of the JIS keyboard by evdev code, with the virtual-key code
// the key has whatever it types.
constexpr std::pair<quint32, int> kEvdevKeys[] = {
    {1, ui::vk::Escape}, {2, '1'}, {3, '2'}, {4, '3'}, {5, '4'}, {6, '5'}, {7, '6'}, {8, '7'}, {9, '8'},
    {10, '9'}, {11, '0'}, {12, 0xBD}, {13, 0xDE}, {14, ui::vk::Backspace}, {15, ui::vk::Tab},
    {16, 'Q'}, {17, 'W'}, {18, 'E'}, {19, 'R'}, {20, 'T'}, {21, 'Y'}, {22, 'U'}, {23, 'I'}, {24, 'O'},
    {25, 'P'}, {26, 0xC0}, {27, 0xDB}, {28, ui::vk::Enter},
    {30, 'A'}, {31, 'S'}, {32, 'D'}, {33, 'F'}, {34, 'G'}, {35, 'H'}, {36, 'J'}, {37, 'K'}, {38, 'L'},
    {39, 0xBB}, {40, 0xBA}, {43, 0xDD},
    {44, 'Z'}, {45, 'X'}, {46, 'C'}, {47, 'V'}, {48, 'B'}, {49, 'N'}, {50, 'M'}, {51, 0xBC}, {52, 0xBE},
    {53, 0xBF}, {57, ui::vk::Space}, {89, 0xE2}, {96, ui::vk::Enter}, {103, ui::vk::Up}, {105, ui::vk::Left},
    {106, ui::vk::Right}, {108, ui::vk::Down}, {124, 0xDC},
};

std::optional<int> namedKey(int key)
{
    if (key >= Qt::Key_A && key <= Qt::Key_Z) {
        return ui::vk::A + (key - Qt::Key_A);
    }
    if (key >= Qt::Key_0 && key <= Qt::Key_9) {
        return ui::vk::Digit0 + (key - Qt::Key_0);
    }
    switch (key) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
        return ui::vk::Enter;
    case Qt::Key_Space:
        return ui::vk::Space;
    case Qt::Key_Escape:
        return ui::vk::Escape;
    case Qt::Key_Backspace:
        return ui::vk::Backspace;
    case Qt::Key_Tab:
        return ui::vk::Tab;
    case Qt::Key_Left:
        return ui::vk::Left;
    case Qt::Key_Up:
        return ui::vk::Up;
    case Qt::Key_Right:
        return ui::vk::Right;
    case Qt::Key_Down:
        return ui::vk::Down;
    default:
        return std::nullopt;
    }
}

bool isControlCharacter(char32_t ch)
{
    return ch < 0x20 || ch == 0x7F;
}

} // namespace

std::optional<int> virtualKeyForNativeScanCode(quint32 scanCode)
{
    if (scanCode <= kEvdevOffset) {
        return std::nullopt;
    }
    const quint32 evdev = scanCode - kEvdevOffset;
    for (const auto& [code, key] : kEvdevKeys) {
        if (code == evdev) {
            return key;
        }
    }
    return std::nullopt;
}

std::optional<int> virtualKeyCode(const QKeyEvent& event)
{
    if (auto key = namedKey(event.key())) {
        return key;
    }
    // A kana or shifted symbol: tell the key by where it sits.
    return virtualKeyForNativeScanCode(event.nativeScanCode());
}

int shiftState(Qt::KeyboardModifiers modifiers)
{
    int state = 0;
    if (modifiers & Qt::ShiftModifier) {
        state |= 1;
    }
    if (modifiers & Qt::ControlModifier) {
        state |= 2;
    }
    if (modifiers & Qt::AltModifier) {
        state |= 4;
    }
    return state;
}

std::vector<TypedKey> typedKeys(const QKeyEvent& event)
{
    switch (event.key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
        return {TypedKey{ui::vk::Enter, U'\r'}};
    case Qt::Key_Backspace:
        return {TypedKey{ui::vk::Backspace, U'\b'}};
    case Qt::Key_Space:
        return {TypedKey{ui::vk::Space, U' '}};
    default:
        return typedKeysFor(event.text());
    }
}

std::vector<TypedKey> typedKeysFor(const QString& text)
{
    std::vector<TypedKey> keys;
    for (char32_t ch : text.toUcs4()) {
        if (isControlCharacter(ch)) {
            continue;
        }
        keys.push_back(TypedKey{ui::keyAsciiFor(ch).value_or('?'), ch});
    }
    return keys;
}

} // namespace qthost
