#pragma once

// What the three stage backgrounds share: their size and the panels the
// stage's labels sit on.

#include "tools/artgen/Canvas.h"

namespace artgen {

inline constexpr int kStageWidth = 320;
inline constexpr int kStageHeight = 240;

// Tinted glass panels under the time, score and hit-rate labels, painted
// over the finished scene.
void paintStagePanels(Canvas& canvas);

} // namespace artgen
