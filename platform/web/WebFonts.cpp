#include "platform/web/WebFonts.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace webhost {
namespace {

constexpr double kDefaultFontPoints = 8.25;
constexpr const char* kGothicFace = "ＭＳ Ｐゴシック";

std::vector<std::string> familiesFor(const std::string& face)
{
    std::vector<std::string> families;
    if (face == "Times New Roman") {
        families.push_back("Web Serif");
    } else if (face == "Arial" || face.empty()) {
        families.push_back("Web Sans");
    } else if (face == "Courier New") {
        families.push_back("Web Mono");
    } else if (face != kGothicFace) {
        families.push_back(face);
    }
    for (const char* fallback : {"Web Gothic", "IPAPGothic", "Noto Sans CJK JP"}) {
        families.push_back(fallback);
    }
    return families;
}

} // namespace

PageFont pageFont(const ui::Font& font)
{
    const double points = font.face.empty() ? kDefaultFontPoints : font.points;
    return PageFont{familiesFor(font.face), std::max(1, static_cast<int>(std::lround(points * 96.0 / 72.0))), font.bold,
                    font.italic};
}

std::string cssFont(const ui::Font& font, double devicePixelRatio)
{
    const PageFont page = pageFont(font);
    char size[32];
    std::snprintf(size, sizeof size, "%.6gpx", page.pixelSize * devicePixelRatio);
    std::string css = page.italic ? "italic " : "";
    css += page.bold ? "bold " : "";
    css += size;
    for (const std::string& family : page.families) {
        css += " \"" + family + "\",";
    }
    return css + " sans-serif";
}

} // namespace webhost
