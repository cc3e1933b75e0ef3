#pragma once

// A whole program under virtual time, as a fresh start would leave the
// shared state: every screen registered, a clock that moves only when told,
// and the game's own text metrics.

#include "app/Program.h"
#include "core/Module1.h"

namespace testing_support {

struct Rig : wiring::Program<ui::VirtualClock> {
    Rig() { Module1::ResetSharedState(); }
};

} // namespace testing_support
