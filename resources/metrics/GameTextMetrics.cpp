#include "resources/metrics/GameTextMetrics.h"

#include "platform/model/Text.h"
#include "resources/metrics/FontTable.h"

#include "resources/metrics/FontTable.inc"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <iterator>

namespace fontmetrics {

namespace {

constexpr double kDialogFontPoints = 8.25;
constexpr int kSubpixels = 64;

struct WideRange {
    char32_t first;
    char32_t last;
};

// East Asian Width W and F, in blocks.
constexpr WideRange kWideRanges[] = {
    {0x1100, 0x115F},   {0x2E80, 0x303E},   {0x3041, 0x33FF},   {0x3400, 0x4DBF}, {0x4E00, 0x9FFF},
    {0xA000, 0xA4CF},   {0xA960, 0xA97F},   {0xAC00, 0xD7A3},   {0xF900, 0xFAFF}, {0xFE10, 0xFE19},
    {0xFE30, 0xFE6F},   {0xFF00, 0xFF60},   {0xFFE0, 0xFFE6},   {0x1F300, 0x1F64F}, {0x1F900, 0x1F9FF},
    {0x20000, 0x2FFFD}, {0x30000, 0x3FFFD},
};

// Advance of `ch` in 1/64 pixel.
std::uint32_t advanceOf(const FontEntry& entry, char32_t ch)
{
    std::size_t index = 0;
    for (const auto& range : kCharacterRanges) {
        if (ch >= range.first && ch <= range.last) {
            return entry.advances[index + (ch - range.first)];
        }
        index += range.last - range.first + 1;
    }
    return isWideCharacter(ch) ? entry.wideAdvance : entry.otherAdvance;
}

// The entry that measures `font`, and the factor its widths are scaled by.
std::pair<const FontEntry*, double> entryFor(const ui::Font& font)
{
    const int pixelSize = pixelSizeOf(font);
    const FontEntry* best = &kFonts[0];
    int bestScore = -1;
    for (const auto& entry : kFonts) {
        if (font.face != entry.face) {
            continue;
        }
        // Same style first, then the nearest size.
        const int styleMisses = (entry.bold != font.bold) + (entry.italic != font.italic);
        const int score = 1'000'000 - styleMisses * 1000 - std::abs(entry.pixelSize - pixelSize);
        if (score > bestScore) {
            best = &entry;
            bestScore = score;
        }
    }
    if (bestScore < 0 || best->pixelSize == pixelSize) {
        return {best, 1.0};
    }
    return {best, static_cast<double>(pixelSize) / best->pixelSize};
}

} // namespace

int pixelSizeOf(const ui::Font& font)
{
    const double points = font.face.empty() ? kDialogFontPoints : font.points;
    return std::max(1, static_cast<int>(std::lround(points * 96.0 / 72.0)));
}

bool isWideCharacter(char32_t ch)
{
    return std::any_of(std::begin(kWideRanges), std::end(kWideRanges),
                       [ch](const WideRange& range) { return ch >= range.first && ch <= range.last; });
}

int GameTextMetrics::textWidthPx(const ui::Font& font, std::string_view utf8) const
{
    const auto [entry, scale] = entryFor(font);
    std::uint64_t total = 0;
    for (char32_t ch : ui::toU32(utf8)) {
        total += advanceOf(*entry, ch);
    }
    if (scale != 1.0) {
        return static_cast<int>(std::lround(static_cast<double>(total) * scale / kSubpixels));
    }
    return static_cast<int>((total + kSubpixels / 2) / kSubpixels);
}

} // namespace fontmetrics
