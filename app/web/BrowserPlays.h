#pragma once

// Every finished stage of the game in a web page kept as a play in the
// page's storage, beside the records: one entry per play, under "quorvel:"
// and "plays/" and the play's name, holding the play's text. The shelf
// keeps the best play of each zone and the last 20. The page's "Plays"
// panel (site/plays.js) lists them, saves them and has them watched.

#include "platform/model/Application.h"

namespace webplays {

inline constexpr char kStoragePrefix[] = "quorvel:plays/";

// Keeps every play APP finishes from now on and gives the page's panel
// its button. A storage that refuses a play is told in the page once; the
// game goes on. Call once, after the records have put their buttons in.
void InstallBrowserPlays(ui::Application& app);

} // namespace webplays
