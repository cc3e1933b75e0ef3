// Plays: checking a whole 30-second game at the high speed (read, played
// again on a fresh program, compared),. The play is made by the real
// game under virtual time. What recording costs the flight tick is in
// FlightTickBench.

#include "app/Program.h"
#include "app/plays/PlayCheck.h"
#include "app/plays/PlayRecorder.h"
#include "core/FormNames.h"
#include "core/Module1.h"
#include "core/Random.h"
#include "platform/model/Text.h"
#include "stage/frmStage.h"

#include <benchmark/benchmark.h>

#include <stdexcept>

namespace {

// A player who hits every 400 ms and misses every 1.7 s, recorded.
std::string highSpeedPlay()
{
    Module1::SavedState saved;
    wiring::Program<ui::VirtualClock> program;
    playgame::PlayRecorder recorder(program.app, nullptr);
    Module1::FillCharTables();
    Module1::CurrentZone = 2;
    Module1::OptSpeed = 1;
    Random::SetFixedSeed(11);
    program.app.form(forms::kStage).show();
    const auto press = [&program](char32_t ch, int code) {
        program.app.keyStroke(std::nullopt, 0, {ui::TypedChar{code, ch}});
    };
    press(U' ', ui::vk::Space);
    for (int ms = 0; ms < 30'000; ms += 100) {
        program.advance(100);
        if (ms % 400 == 0) {
            if (const auto hit = program.app.loaded<frmStage>()->characterThatHits()) {
                press(*hit, ui::keyAsciiFor(*hit).value_or('?'));
            }
        }
        if (ms % 1700 == 0) {
            press(U'!', '!');
        }
    }
    press(U' ', ui::vk::Space);
    Random::SetFixedSeed(std::nullopt);
    if (!recorder.lastPlay()) {
        throw std::logic_error("the benchmark's game made no play");
    }
    return plays::writePlay(*recorder.lastPlay());
}

void BM_VerifyHighSpeedPlay(benchmark::State& state)
{
    const std::string text = highSpeedPlay();
    for (auto _ : state) {
        const playgame::Verdict verdict = playgame::verifyPlay(text);
        if (!verdict.valid) {
            state.SkipWithError(verdict.reason.c_str());
            break;
        }
        benchmark::DoNotOptimize(verdict.figures.total);
    }
    state.counters["play_bytes"] = static_cast<double>(text.size());
}
BENCHMARK(BM_VerifyHighSpeedPlay)->Unit(benchmark::kMillisecond);

} // namespace
