#include "tools/artgen/StagePanels.h"

namespace artgen {

namespace {

// Inclusive pixel ranges of the three panels the stage labels sit on.
struct PanelBox {
    int left;
    int top;
    int right;
    int bottom;
};
constexpr PanelBox kPanels[] = {{12, 14, 48, 50}, {252, 14, 308, 78}, {12, 205, 127, 226}};

} // namespace

// Tinted glass: the scene shows through, but dark enough that white labels
// on it stay readable everywhere (with some margin over the usual 4.5:1).
void paintStagePanels(Canvas& canvas)
{
    const Rgb glass = rgb255(24, 48, 128);
    const Rgb deep = rgb255(6, 14, 58);
    const Rgb rim = rgb255(150, 180, 255);
    for (const PanelBox& p : kPanels) {
        for (int y = p.top - 1; y <= p.bottom + 1; ++y) {
            for (int x = p.left - 1; x <= p.right + 1; ++x) {
                const bool inside = x >= p.left && x <= p.right && y >= p.top && y <= p.bottom;
                const Rgb under = canvas.at(x, y);
                if (!inside) {
                    canvas.set(x, y, mix(under, rim, 0.35));
                    continue;
                }
                // A faint sheen across the top, as on a glass pane.
                const double sheen = 0.12 * (1.0 - smoothstep(0.0, 0.45, double(y - p.top) / (p.bottom - p.top)));
                Rgb c = mix(under * 0.75, glass, 0.55) + Rgb{sheen, sheen, sheen * 1.2};
                canvas.set(x, y, darkenForWhiteText(clamp01(c), deep, 5.2));
            }
        }
    }
}

} // namespace artgen
