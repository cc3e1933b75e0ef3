// The cost of one flight tick of the stage at High speed, on a canvas that
// has already collected the trails of 200 ticks, with and without painting
// the window afterwards. This is the busiest moment of the program: 20 ticks
// a second, each adding ten glyph drawings that are never erased until a hit.

#include "app/Program.h"
#include "app/plays/PlayRecorder.h"
#include "core/Module1.h"
#include "core/Random.h"
#include "platform/model/Application.h"
#include "platform/qt/FormRenderer.h"
#include "platform/qt/QtServices.h"

#include <benchmark/benchmark.h>

#include <memory>
#include <optional>

namespace {

constexpr int kHighSpeedTickMs = 50;
constexpr int kTicksBeforeMeasuring = 200;

// A game of the Alphabetic zone at High speed, started and flown for a while
// without a hit, so that every drawing stays on the canvas.
class FlyingStage {
public:
    // `recorded`: the game is being kept as a play, as every game is.
    explicit FlyingStage(qreal devicePixelRatio, bool recorded = false) : dpr_(devicePixelRatio)
    {
        if (recorded) {
            recorder_.emplace(app_, nullptr);
        }
        Module1::ResetSharedState();
        Module1::FillDefaultRecords();
        Module1::FillCharTables();
        Module1::OptSpeed = 1;
        Random::SetFixedSeed(2024);
        stage_ = &app_.form("frmStage");
        stage_->show();
        app_.keyPress(' ', U' ');
        program_.advance(kTicksBeforeMeasuring * kHighSpeedTickMs);
        render();
    }

    void tick() { program_.advance(kHighSpeedTickMs); }
    void render() { benchmark::DoNotOptimize(renderer_.render(*stage_, dpr_)); }
    bool flying() const { return stage_->get<ui::Timer>("Timer1").running(); }
    std::size_t drawings() const { return stage_->get<ui::PictureBox>("Picture1").drawings().size(); }

private:
    qreal dpr_;
    wiring::Program<ui::VirtualClock> program_;
    ui::Application& app_ = program_.app;
    qthost::FormRenderer renderer_{app_.pictures()};
    ui::Form* stage_ = nullptr;
    std::optional<playgame::PlayRecorder> recorder_;
};

// Runs ticks 201 to 600 of a game again and again; setting up a new game is
// not measured.
template <class Step>
void flyTicks(benchmark::State& state, qreal dpr, Step step, bool recorded = false)
{
    auto stage = std::make_unique<FlyingStage>(dpr, recorded);
    std::size_t drawings = 0;
    for (auto _ : state) {
        if (!stage->flying()) {
            state.PauseTiming();
            stage = std::make_unique<FlyingStage>(dpr, recorded);
            state.ResumeTiming();
        }
        step(*stage);
        drawings += stage->drawings();
    }
    state.counters["drawings"] = benchmark::Counter(static_cast<double>(drawings), benchmark::Counter::kAvgIterations);
}

void BM_FlightTick(benchmark::State& state)
{
    flyTicks(state, 1.0, [](FlyingStage& stage) { stage.tick(); });
}

// The same with the game kept as a play: recording must cost it nothing
// that matters.
void BM_FlightTickRecorded(benchmark::State& state)
{
    flyTicks(state, 1.0, [](FlyingStage& stage) { stage.tick(); }, true);
}

void BM_FlightTickAndRender(benchmark::State& state)
{
    const qreal dpr = static_cast<qreal>(state.range(0));
    flyTicks(state, dpr, [](FlyingStage& stage) {
        stage.tick();
        stage.render();
    });
}

} // namespace

BENCHMARK(BM_FlightTick)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_FlightTickRecorded)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_FlightTickAndRender)->Arg(1)->Arg(2)->ArgName("dpr")->Unit(benchmark::kMicrosecond);
