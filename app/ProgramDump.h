#pragma once

// What a player would see, as `key=value` lines: the open windows, the
// active one, every control's visible properties, each screen's private
// values and the shared state.

#include "platform/model/Application.h"
#include "platform/model/StateDump.h"

namespace wiring {

ui::StateDump dumpProgram(const ui::Application& app);
void dumpForm(const ui::Form& form, ui::StateDump& out);

} // namespace wiring
