#pragma once

// Every picture the designs name, with its size and colour depth. The PNG of
// a picture is resources/pictures/NAME.png, embedded as ":/pictures/NAME.png".

#include "platform/model/Services.h"

#include <string_view>
#include <vector>

namespace pictures {

// Picture names, as the designs and screens use them.
inline constexpr const char* kTitle = "title";              // 320x240 true colour
inline constexpr const char* kTitleBanner = "title_banner"; // 208x41 true colour
inline constexpr const char* kMenu = "menu";                // 320x240, 256 colours
inline constexpr const char* kMenuArrow = "menu_arrow";     // 32x32, transparent around it
inline constexpr const char* kZone = "zone";                // 320x240 true colour
inline constexpr const char* kStageCastle = "stage_castle"; // 320x240 true colour, zone 0
inline constexpr const char* kStageLake = "stage_lake";     // 320x240 true colour, zone 1
inline constexpr const char* kStageStream = "stage_stream"; // 320x240, 256 colours, zone 2
inline constexpr const char* kResults = "results";          // 320x240 true colour
inline constexpr const char* kNentry = "nentry";            // 320x240 true colour
inline constexpr const char* kCertifPale = "certif_pale";   // 200x150, 256 colours
inline constexpr const char* kCertifExpert = "certif_expert"; // 200x150, 256 colours
inline constexpr const char* kCertifGreen = "certif_green"; // 200x150 true colour
inline constexpr const char* kIcon32 = "icon32";            // 32x32, 16 colours
inline constexpr const char* kIcon16 = "icon16";            // 16x16, 16 colours

struct Entry {
    const char* name;
    ui::PictureInfo info;
};

const std::vector<Entry>& all();

// The catalogue the window model asks for picture sizes.
class Catalog : public ui::PictureCatalog {
public:
    std::optional<ui::PictureInfo> find(std::string_view name) const override;
};

} // namespace pictures
