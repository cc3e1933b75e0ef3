#include "resources/PictureCatalog.h"

namespace pictures {

const std::vector<Entry>& all()
{
    static const std::vector<Entry> entries = {
        {kTitle, {320, 240, 0}},       {kTitleBanner, {208, 41, 0}}, {kMenu, {320, 240, 256}},
        {kMenuArrow, {32, 32, 16}},    {kZone, {320, 240, 0}},       {kStageCastle, {320, 240, 0}},
        {kStageLake, {320, 240, 0}},   {kStageStream, {320, 240, 256}}, {kResults, {320, 240, 0}},
        {kNentry, {320, 240, 0}},      {kCertifPale, {200, 150, 256}}, {kCertifExpert, {200, 150, 256}},
        {kCertifGreen, {200, 150, 0}}, {kIcon32, {32, 32, 16}},      {kIcon16, {16, 16, 16}},
    };
    return entries;
}

std::optional<ui::PictureInfo> Catalog::find(std::string_view name) const
{
    for (const Entry& entry : all()) {
        if (name == entry.name) {
            return entry.info;
        }
    }
    return std::nullopt;
}

} // namespace pictures
