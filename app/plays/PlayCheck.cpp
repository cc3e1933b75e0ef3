#include "app/plays/PlayCheck.h"

#include "app/plays/PlayReplay.h"

namespace playgame {

Verdict verifyPlay(std::string_view text)
{
    try {
        return verifyPlay(plays::readPlay(text));
    } catch (const plays::PlayError& error) {
        Verdict verdict;
        verdict.reason = error.what();
        return verdict;
    }
}

Verdict verifyPlay(const plays::Play& play)
{
    Verdict verdict;
    verdict.play = play;
    try {
        PlayReplay replay(play);
        replay.playTo(play.endMs);
        verdict.figures = replay.finish();
        replay.compareFigures(verdict.figures);
        verdict.valid = true;
    } catch (const plays::PlayError& error) {
        verdict.reason = error.what();
    } catch (const std::exception& error) {
        verdict.reason = std::string("the game failed on this play: ") + error.what();
    }
    return verdict;
}

std::string tickName(const plays::TimerName& timer)
{
    if (timer.form == "frmStage" && timer.index < 0) {
        if (timer.control == "Timer1") {
            return "the flight tick";
        }
        if (timer.control == "Timer2") {
            return "the prompt's blink";
        }
        if (timer.control == "Timer3") {
            return "the countdown tick";
        }
        if (timer.control == "Timer4") {
            return "the response tick";
        }
    }
    return "the tick of " + plays::timerText(timer);
}

} // namespace playgame
