#include "platform/model/RasterOp.h"

namespace ui {

int rasterChannel(int pen, int screen, DrawMode mode)
{
    switch (mode) {
    case DrawMode::CopyPen:
        return pen & 0xFF;
    case DrawMode::MergePenNot:
        return (pen | ~screen) & 0xFF;
    case DrawMode::MergeNotPen:
        return (~pen | screen) & 0xFF;
    case DrawMode::MaskPenNot:
        return pen & ~screen & 0xFF;
    case DrawMode::MaskPen:
        return pen & screen & 0xFF;
    }
    return pen & 0xFF;
}

Color rasterPixel(Color pen, Color screen, DrawMode mode)
{
    return rgb(rasterChannel(pen.r, screen.r, mode), rasterChannel(pen.g, screen.g, mode),
               rasterChannel(pen.b, screen.b, mode));
}

} // namespace ui
