#pragma once

// Plays made by playing the real game under virtual time, for the plays'
// tests: a seeded stage with hits and misses, its ticks on time or late.

#include "app/Program.h"
#include "app/plays/PlayRecorder.h"
#include "core/FormNames.h"
#include "core/Module1.h"
#include "core/Random.h"
#include "platform/model/Text.h"
#include "stage/frmStage.h"

#include <functional>
#include <random>

namespace playtests {

// Plays one stage of `zone` and returns its play. `lateness` says how late
// the host delivers each due tick (0: on time, as the virtual clock does);
// `keysAt` is called every ms of play, after the ticks due, and may press keys.
inline plays::Play playStage(int zone, int speed, std::uint64_t seed,
                             const std::function<int()>& lateness,
                             const std::function<void(ui::Application&, std::int64_t)>& keysAt)
{
    Module1::SavedState saved;
    Random::SavedState savedRandom;
    wiring::Program<ui::VirtualClock> program;
    playgame::PlayRecorder recorder(program.app, nullptr);
    Module1::FillCharTables();
    Module1::FillDefaultRecords();
    Module1::CurrentZone = static_cast<std::int16_t>(zone);
    Module1::OptSpeed = static_cast<std::int16_t>(speed);
    Random::SetFixedSeed(seed);
    ui::Application& app = program.app;
    app.form(forms::kStage).show();
    program.clock.set(5000); // a play's times count from its start, wherever the clock stands
    app.keyStroke(ui::vk::Space, 0, {ui::TypedChar{ui::vk::Space, U' '}});
    const std::int64_t origin = program.clock.nowMs();
    std::optional<std::int64_t> rolledFor; // the due tick whose lateness is decided
    int late = 0;
    while (app.loaded<frmStage>()->state() != frmStage::State::TimeUp) {
        const std::int64_t now = program.clock.nowMs() + 1;
        program.clock.set(now);
        const auto due = app.nextTimerDue();
        if (due && due != rolledFor) {
            rolledFor = due;
            late = lateness();
        }
        if (due && *due + late <= now) {
            app.runTimersDue();
        }
        if (app.loaded<frmStage>()->state() == frmStage::State::Playing) {
            keysAt(app, now - origin);
        }
    }
    program.clock.set(program.clock.nowMs() + 700);
    app.keyStroke(ui::vk::Space, 0, {ui::TypedChar{ui::vk::Space, U' '}});
    return *recorder.lastPlay();
}

inline void typeChar(ui::Application& app, char32_t ch)
{
    const int code = ui::keyAsciiFor(ch).value_or('?');
    app.keyStroke(std::nullopt, 0, {ui::TypedChar{code, ch}});
}

// A player who hits the target every 450 ms and misses every 2 s.
inline void steadyPlayer(ui::Application& app, std::int64_t playMs)
{
    if (playMs % 450 == 0) {
        if (const auto hit = app.loaded<frmStage>()->characterThatHits()) {
            typeChar(app, *hit);
        }
    }
    if (playMs % 2000 == 0) {
        typeChar(app, frmStage::characterThatMisses());
    }
}

inline plays::Play steadyPlay(int zone = 1, int speed = 1)
{
    return playStage(zone, speed, 42, [] { return 0; }, steadyPlayer);
}

} // namespace playtests
