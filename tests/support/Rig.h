#pragma once

// A whole program under virtual time: the window model with every screen
// registered, a clock that moves only when told, and simple text metrics.

#include "app/Wiring.h"
#include "core/Module1.h"
#include "platform/model/Application.h"
#include "resources/PictureCatalog.h"

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

struct Rig {
    Rig()
    {
        Module1::ResetSharedState();
        wiring::registerAllForms(app);
    }
    void advance(std::int64_t ms) { ui::advanceVirtualTime(app, clock, ms); }

    ui::VirtualClock clock;
    FixedMetrics metrics;
    pictures::Catalog catalog;
    ui::Application app{clock, metrics, catalog};
};

} // namespace testing_support
