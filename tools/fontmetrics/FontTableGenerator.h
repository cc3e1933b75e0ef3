#pragma once

// What quorvel-fontmetrics measures and writes: the fonts of the designs'
// labels, their advance widths as the desktop host draws them (Qt, through
// qthost::qtFont), and resources/metrics/FontTable.inc. Needs a Qt GUI
// application.

#include "platform/model/Types.h"

#include <string>
#include <vector>

namespace fontmetricsgen {

struct LabelText {
    ui::Font font;
    std::string caption;
};

// Every label of every design, with its font and designed caption.
std::vector<LabelText> labelsOfDesigns(bool fittedOnly);

// The fonts of `labels`, one per face, pixel size and style, in a stable order.
std::vector<ui::Font> distinctFonts(const std::vector<LabelText>& labels);

// The text of FontTable.inc for these fonts, measured with the installed fonts.
std::string renderTable(const std::vector<ui::Font>& fonts);

} // namespace fontmetricsgen
