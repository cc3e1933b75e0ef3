#include "app/plays/PlayWatch.h"

#include "app/plays/PlayCheck.h"
#include "core/FormNames.h"

namespace playgame {

std::variant<std::unique_ptr<PlayWatch>, std::string> PlayWatch::open(std::string_view text)
{
    const Verdict verdict = verifyPlay(text);
    if (!verdict.valid) {
        return verdict.reason;
    }
    return std::make_unique<PlayWatch>(*verdict.play);
}

PlayWatch::PlayWatch(const plays::Play& play) : replay_(play)
{
    // A watch is never mistaken for a game: its window says so.
    ui::Form& stage = replay_.app().form(forms::kStage);
    stage.setCaption(kWatchCaptionPrefix + stage.caption());
}

void PlayWatch::showAt(std::int64_t hostMs)
{
    if (!startedAt_) {
        startedAt_ = hostMs;
    }
    if (paused()) {
        return;
    }
    playMs_ = std::max<std::int64_t>(playMs_, hostMs - *startedAt_ - pausedFor_);
    replay_.playTo(playMs_);
}

void PlayWatch::togglePause(std::int64_t hostMs)
{
    if (pausedAt_) {
        pausedFor_ += hostMs - *pausedAt_;
        pausedAt_.reset();
    } else {
        showAt(hostMs);
        pausedAt_ = hostMs;
    }
}

} // namespace playgame
