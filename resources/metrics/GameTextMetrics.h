#pragma once

// Text measured the same on every host: the advance widths of the fonts the
// designs' labels use, taken once from the font files the desktop draws with
// (IPA P Gothic for "ＭＳ Ｐゴシック", Liberation Serif, Sans and Mono for Times
// New Roman, Arial and Courier New; pixel size from points at 96 dpi, full
// hinting, no kerning) and kept in a generated table.
//
// A caption is as wide as the sum of its characters' advances, rounded to
// the nearest pixel at the end. Printable ASCII and the half-width katakana
// have their own advance in each font. Every other character takes the
// advance of a reference glyph of that font: an East Asian wide or
// full-width character that of "一" (U+4E00), anything else that of "?".
// A font the table lacks is measured as the table's font of the same face
// (same style if it has one) nearest in pixel size, scaled to the size
// asked; a face the table lacks, as the table's first font.

#include "platform/model/Services.h"

#include <string_view>

namespace fontmetrics {

class GameTextMetrics : public ui::TextMetrics {
public:
    int textWidthPx(const ui::Font& font, std::string_view utf8) const override;
};

// Pixel size of a designed font on the desktop host: points at 96 dpi; a
// font without a face is the 8.25-point dialog font whatever its points.
int pixelSizeOf(const ui::Font& font);

// True for the characters East Asian text sets in a full cell (East Asian
// Width W or F).
bool isWideCharacter(char32_t ch);

} // namespace fontmetrics
