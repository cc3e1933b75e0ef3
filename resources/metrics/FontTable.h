#pragma once

// The shape of the generated table of advance widths (FontTable.inc, written
// by quorvel-fontmetrics): one entry per font the designs' labels use, as
// the desktop host sets it (face, pixel size, bold, italic).

#include <cstdint>

namespace fontmetrics {

// Characters with an advance of their own in every entry, in ranges.
struct CharacterRange {
    char32_t first;
    char32_t last;
};

struct FontEntry {
    const char* face; // as the designs name it; "" for the default font
    int pixelSize;
    bool bold;
    bool italic;
    // In 1/64 pixel: the reference glyphs of the rule for characters
    // outside the table, then every character of kCharacterRanges in order.
    std::uint32_t wideAdvance;
    std::uint32_t otherAdvance;
    const std::uint16_t* advances;
};

} // namespace fontmetrics
