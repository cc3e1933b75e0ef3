#pragma once

// The desktop game keeps the play of every finished stage in `plays/`
// beside its records file, wherever the records live: the best play of each
// zone and the last 20. A play that cannot be written is reported on stderr
// once, and the game goes on.

#include "app/plays/FilePlayStore.h"
#include "app/plays/PlayRecorder.h"

#include <filesystem>
#include <ostream>

namespace desktopplays {

class DesktopPlays {
public:
    DesktopPlays(ui::Application& app, std::ostream& report);

    // The folder of the plays: `plays/` beside the records file.
    static std::filesystem::path folder();

private:
    void keep(const plays::Play& play);

    std::ostream& report_;
    bool reported_ = false;
    playgame::PlayRecorder recorder_;
};

} // namespace desktopplays
