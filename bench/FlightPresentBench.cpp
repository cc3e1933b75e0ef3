// One flight tick at High speed all the way to the screen: the model ticks,
// the host renders the stage into a new frame, and the stage's real window
// paints that frame. The canvas has already collected 200 ticks of trails.
// The window's scale is the platform's: run with QT_SCALE_FACTOR=2 for the
// 2x figure (the "dpr" counter says which one ran).

#include "app/Program.h"
#include "bench/BenchSupport.h"
#include "core/Random.h"
#include "platform/model/Application.h"
#include "platform/qt/QtHost.h"
#include "platform/qt/QtServices.h"

#include <QWidget>
#include <benchmark/benchmark.h>

#include <memory>

namespace {

constexpr int kHighSpeedTickMs = 50;
constexpr int kTicksBeforeMeasuring = 200;

class PresentedStage {
public:
    PresentedStage()
    {
        bench_support::resetProgramState(0, 1);
        Random::SetFixedSeed(2024);
        app_.run([this] {
            stage_ = &app_.form("frmStage");
            stage_->show();
        });
        host_.sync();
        window_ = host_.windowFor(*stage_);
        app_.keyPress(' ', U' ');
        program_.advance(kTicksBeforeMeasuring * kHighSpeedTickMs);
        present();
    }

    void tick()
    {
        program_.advance(kHighSpeedTickMs);
        present();
    }
    bool flying() const { return stage_->get<ui::Timer>("Timer1").running(); }
    qreal devicePixelRatio() const { return window_->devicePixelRatioF(); }

private:
    void present()
    {
        host_.sync();
        window_->repaint();
    }

    wiring::Program<ui::VirtualClock> program_;
    ui::VirtualClock& clock_ = program_.clock;
    ui::Application& app_ = program_.app;
    qthost::QtHost host_{app_, clock_, {}};
    ui::Form* stage_ = nullptr;
    QWidget* window_ = nullptr;
};

void BM_FlightTickPresented(benchmark::State& state)
{
    auto stage = std::make_unique<PresentedStage>();
    for (auto _ : state) {
        if (!stage->flying()) {
            state.PauseTiming();
            stage.reset();
            stage = std::make_unique<PresentedStage>();
            state.ResumeTiming();
        }
        stage->tick();
    }
    state.counters["dpr"] = stage->devicePixelRatio();
}

} // namespace

BENCHMARK(BM_FlightTickPresented)->Unit(benchmark::kMicrosecond);
