#pragma once

// A play being played again on a program of its own under virtual time:
// what checking a play and watching one share. Every event is checked as
// it is fed; a play the game could not have received stops with a
// PlayError naming the line. While it lives, the process's shared state is
// the replay's; it is put back when the replay goes.

#include "app/Program.h"
#include "core/Module1.h"
#include "core/Random.h"
#include "plays/Play.h"

#include <cstdint>

class frmStage;

namespace playgame {

class PlayReplay {
public:
    // Sets the zone, the options and the seed and opens the stage, which
    // waits for the key that starts the play.
    explicit PlayReplay(const plays::Play& play);
    PlayReplay(const PlayReplay&) = delete;
    PlayReplay& operator=(const PlayReplay&) = delete;

    // Feeds every event due by `ms` since the play began, at its own time;
    // past the end, time runs on as the game's own timers say.
    void playTo(std::int64_t ms);
    bool ended() const { return next_ == play_.events.size(); }
    // At the end: the stage's figures, then Space and the results' total.
    plays::Figures finish();
    // Throws PlayError for the first figure the play carries that differs.
    void compareFigures(const plays::Figures& replayed) const;

    ui::Application& app() { return program_.app; }
    const plays::Play& play() const { return play_; }

private:
    void feed(const plays::Event& event);
    void checkNoTickOverdue(const plays::Event& event) const;
    void tick(const plays::Event& event);
    ui::Form& openForm(const plays::Event& event);
    void checkAfter(const plays::Event& event) const;
    frmStage* stage() const;
    [[noreturn]] void refuse(const plays::Event& event, const std::string& reason) const;

    Module1::SavedState savedState_;
    Random::SavedState savedRandom_;
    plays::Play play_;
    wiring::Program<ui::VirtualClock> program_;
    std::size_t next_ = 0;
};

} // namespace playgame
