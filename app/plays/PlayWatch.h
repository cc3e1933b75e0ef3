#pragma once

// Watching a play: the stage as it was played, at real speed, on a program
// of its own. The host shows that program's windows and hands it the time
// of its own clock; Space pauses and resumes, and the host closes the watch
// on Escape or the close box. Nothing the player types reaches the replayed
// game. A play that does not verify is never watched.

#include "app/plays/PlayReplay.h"

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <variant>

namespace playgame {

inline constexpr char kWatchCaptionPrefix[] = "Replay - ";

class PlayWatch {
public:
    // The watch of a play that verifies, or the reason it does not.
    static std::variant<std::unique_ptr<PlayWatch>, std::string> open(std::string_view text);

    explicit PlayWatch(const plays::Play& play);

    ui::Application& app() { return replay_.app(); }

    // The host's clock, in ms; the play starts at the first call.
    void showAt(std::int64_t hostMs);
    void togglePause(std::int64_t hostMs);
    bool paused() const { return pausedAt_.has_value(); }
    // Where the play stands, in ms since it began.
    std::int64_t playMs() const { return playMs_; }
    bool ended() const { return replay_.ended(); }
    std::int64_t lengthMs() const { return replay_.play().endMs; }

private:
    PlayReplay replay_;
    std::optional<std::int64_t> startedAt_;
    std::optional<std::int64_t> pausedAt_;
    std::int64_t pausedFor_ = 0;
    std::int64_t playMs_ = 0;
};

} // namespace playgame
