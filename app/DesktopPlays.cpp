#include "app/DesktopPlays.h"

#include "app/plays/PlayShelf.h"
#include "core/Module1.h"

#include <chrono>
#include <stdexcept>

namespace desktopplays {

DesktopPlays::DesktopPlays(ui::Application& app, std::ostream& report)
    : report_(report), recorder_(app, [this](const plays::Play& play) { keep(play); })
{
}

std::filesystem::path DesktopPlays::folder()
{
    return std::filesystem::path(Module1::RecordFilePath()).parent_path() / "plays";
}

void DesktopPlays::keep(const plays::Play& play)
{
    const auto now = std::chrono::system_clock::now().time_since_epoch();
    playgame::FilePlayStore files(folder());
    try {
        playgame::PlayShelf(files).keep(play, std::chrono::duration_cast<std::chrono::milliseconds>(now).count());
    } catch (const std::exception& error) {
        if (!reported_) {
            reported_ = true;
            report_ << "quorvel: the play is not kept: " << error.what() << std::endl;
        }
    }
}

} // namespace desktopplays
