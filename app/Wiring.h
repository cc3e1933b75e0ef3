#pragma once

namespace ui {
class Application;
}

namespace wiring {
// Registers every screen of the game by its form name.
void registerAllForms(ui::Application& app);
} // namespace wiring
