#pragma once

// The whole game as one object: the clock its runner picks (the system clock
// for the game; a virtual clock for the replay driver, the tests and the
// benchmarks), the game's own text metrics, so fitted labels get the same
// widths on every host, the picture catalogue, and the window model with
// every screen registered.

#include "app/Wiring.h"
#include "platform/model/Application.h"
#include "platform/model/Services.h"
#include "resources/PictureCatalog.h"
#include "resources/metrics/GameTextMetrics.h"

#include <concepts>
#include <cstdint>

namespace wiring {

template <std::derived_from<ui::Clock> ClockType>
struct Program {
    Program() { registerAllForms(app); }
    Program(const Program&) = delete;
    Program& operator=(const Program&) = delete;

    // Fires, in order, every timer tick due in the next `ms` of virtual time.
    void advance(std::int64_t ms)
        requires std::same_as<ClockType, ui::VirtualClock>
    {
        ui::advanceVirtualTime(app, clock, ms);
    }

    ClockType clock;
    fontmetrics::GameTextMetrics metrics;
    pictures::Catalog catalog;
    ui::Application app{clock, metrics, catalog};
};

} // namespace wiring
