#pragma once

// Hooks for tools that watch the real game from outside, switched on by
// environment variables and otherwise inert:
// - QUORVEL_STATE_FILE=PATH: after every event the program's dump (the
//   replay driver's format) is written to PATH, so an end-to-end test driving
//   real windows can read what the game judged and shows. The host's lines
//   follow the dump: `host.platform=` (the Qt platform), `host.focus=` (the
//   form whose window has the keyboard focus), `host.keys=` (key presses
//   that reached the game's windows so far) and, for each window with a
//   frame the game draws, `host.titleBar.FORM=` (the caption its title bar
//   shows).
// - QUORVEL_EXIT_AFTER_FIRST_FRAME=1: when the first window has painted, print
//   "first-frame-ms N" (milliseconds since the process started) and quit; the
//   start-up benchmark uses it.

namespace ui {
class Application;
}
namespace qthost {
class QtHost;
}

namespace probes {
void install(qthost::QtHost& host, const ui::Application& app);
} // namespace probes
