#pragma once

// How a solid shape fill meets the pixels underneath it, one pixel at a time.
// Every host combines through this, so the results bars look the same on any
// screen.

#include "platform/model/Types.h"

namespace ui {

// One 8-bit channel of the pen combined with the same channel of the screen.
int rasterChannel(int pen, int screen, DrawMode mode);

// The pixel that replaces `screen` where a fill of colour `pen` lies.
Color rasterPixel(Color pen, Color screen, DrawMode mode);

} // namespace ui
