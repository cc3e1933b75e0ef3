#pragma once

// Plays a play again on a fresh program under virtual time and checks it:
// the seed, zone and options, the stage opened, every event at its own
// time, then Space to the results. A play is valid when every event is one
// the game could have received at that moment (a tick may come late, as a
// busy host delivers it, but never early and never more than 1 s late) and
// the figures it plays to are the figures it carries. The running game's
// shared state is put back afterwards; only one play is checked at a time
// in a process, since that state is the process's.

#include "plays/Play.h"

#include <optional>
#include <string>
#include <string_view>

namespace playgame {

struct Verdict {
    bool valid = false;
    // Why it was refused, starting "line N: " where a line is to blame.
    std::string reason;
    std::optional<plays::Play> play; // as read, when it could be read
    plays::Figures figures;          // what the play played to, so far as it went
};

Verdict verifyPlay(std::string_view text);
Verdict verifyPlay(const plays::Play& play);

// The words for a timer of the game in a refusal: "the flight tick".
std::string tickName(const plays::TimerName& timer);

} // namespace playgame
