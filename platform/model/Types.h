#pragma once

// Value types shared by every part of the window model. Nothing here knows
// about Qt: the model is plain C++ so that screens run headless under a
// virtual clock.

#include <cstdint>
#include <string>
#include <utility>

namespace ui {

// Window and control geometry is designed in twips; the screen has 15 twips
// to a pixel. The model keeps whole pixels, as a real window would.
inline constexpr int kTwipsPerPixel = 15;

struct Color {
    std::uint8_t r = 0;
    std::uint8_t g = 0;
    std::uint8_t b = 0;
    friend bool operator==(const Color&, const Color&) = default;
};

constexpr Color rgb(int r, int g, int b)
{
    return Color{static_cast<std::uint8_t>(r), static_cast<std::uint8_t>(g), static_cast<std::uint8_t>(b)};
}

namespace colors {
inline constexpr Color black = rgb(0, 0, 0);
inline constexpr Color white = rgb(255, 255, 255);
inline constexpr Color silver = rgb(192, 192, 192);
inline constexpr Color navy = rgb(0, 0, 128);
inline constexpr Color darkNavy = rgb(0, 0, 64);
inline constexpr Color darkGrey = rgb(64, 64, 64);
inline constexpr Color lightGrey = rgb(224, 224, 224);
inline constexpr Color red = rgb(255, 0, 0);
// The desktop's "button face" and "button text": the defaults of controls.
inline constexpr Color controlFace = rgb(212, 208, 200);
inline constexpr Color controlText = rgb(0, 0, 0);
} // namespace colors

// A font as the designs name it. `face` is the designed face name
// ("Times New Roman", "ＭＳ Ｐゴシック", ...); an empty face means the
// desktop's default user-interface font. The host maps faces to installed
// fonts.
struct Font {
    std::string face;
    double points = 9.0;
    bool bold = false;
    bool italic = false;
    friend bool operator==(const Font&, const Font&) = default;
};

inline Font defaultFont() { return Font{}; }

enum class Alignment { Left, Right, Center };

enum class ScaleMode { Twips, Pixels };

enum class FormBorder {
    FixedSingle, // close box only
    Sizable,     // minimize and maximize boxes
    ToolWindow,  // small caption, not in the taskbar
};

enum class ShapeKind { Rectangle, RoundedRectangle, Circle };

// How a solid shape fill is combined with what lies underneath
// ("pen" is the fill colour, "screen" the pixels below).
enum class DrawMode {
    CopyPen,       // pen
    MergePenNot,   // pen OR NOT screen
    MergeNotPen,   // NOT pen OR screen
    MaskPenNot,    // pen AND NOT screen
    MaskPen,       // pen AND screen
};

// Numbered as the screens use them: 0 solid, 1 transparent.
enum class FillStyle { Solid = 0, Transparent = 1 };

enum class ControlKind { PictureBox, Label, Shape, Image, Frame, TextBox, Timer };

// Virtual-key codes delivered to KeyDown handlers.
namespace vk {
inline constexpr int Backspace = 8;
inline constexpr int Tab = 9;
inline constexpr int Enter = 13;
inline constexpr int Escape = 27;
inline constexpr int Space = 32;
inline constexpr int Left = 37;
inline constexpr int Up = 38;
inline constexpr int Right = 39;
inline constexpr int Down = 40;
inline constexpr int Digit0 = 48; // '0'..'9' are 48..57
inline constexpr int A = 65;      // 'A'..'Z' are 65..90
inline constexpr int F = 70;
inline constexpr int J = 74;
} // namespace vk

// Stores `value` in `field` when it differs; returns whether it did. Forms
// and controls set through this, so they repaint only on a real change.
template <class T, class V>
bool assignIfChanged(T& field, V&& value)
{
    if (field == value) {
        return false;
    }
    field = std::forward<V>(value);
    return true;
}

} // namespace ui
