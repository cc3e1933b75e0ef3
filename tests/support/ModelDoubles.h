#pragma once

// Stand-ins for what a host gives the window model, for tests that run it
// without Qt: text of a fixed width and a catalogue of a few pictures.

#include "platform/model/Services.h"

#include <optional>
#include <string_view>

namespace testing_support {

// Every character is 7 pixels wide: enough for labels that fit their caption.
class FixedMetrics : public ui::TextMetrics {
public:
    int textWidthPx(const ui::Font&, std::string_view utf8) const override
    {
        int characters = 0;
        for (unsigned char c : utf8) {
            characters += (c & 0xC0) != 0x80 ? 1 : 0;
        }
        return characters * 7;
    }
};

// A whole picture of the stage's size and a banner; nothing else exists.
class SketchPictures : public ui::PictureCatalog {
public:
    std::optional<ui::PictureInfo> find(std::string_view name) const override
    {
        if (name == "stage_lake") {
            return ui::PictureInfo{320, 240, 0};
        }
        if (name == "title_banner") {
            return ui::PictureInfo{208, 41, 0};
        }
        return std::nullopt;
    }
};

} // namespace testing_support
