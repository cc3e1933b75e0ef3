// Repainting a whole window of each screen from scratch: every canvas built
// again from its picture and every drawing on it replayed, as when a window
// moves to a screen of another scale. Between two measured frames the same
// renderer paints the form once at the other of the scales 1 and 2 (not
// measured), which makes every canvas stale; the pictures the form shows stay decoded, as
// they do while its window is open. The first frame of a newly opened window,
// which also decodes its pictures, is measured on its own.
// Each screen is shown on its own and left to settle for ten seconds (the
// title's intro is over, the results' bars are drawn) before it is measured.

#include "app/Program.h"
#include "bench/BenchSupport.h"
#include "core/Random.h"
#include "platform/model/Application.h"
#include "platform/qt/FormRenderer.h"
#include "platform/qt/QtServices.h"

#include <QTemporaryDir>
#include <benchmark/benchmark.h>

#include <string>

namespace {

constexpr int kSettleMs = 10'000;

// A finished game good enough for the table, so the after-game screens show
// real figures.
void handOverAGoodGame()
{
    Module1::RecordScore[0][10] = 4321;
    Module1::LastScore = 4321;
    Module1::AvgResponse = 6.4;
    Module1::HitRate = 96.5;
}

class SettledScreen {
public:
    SettledScreen(const std::string& formName, int flightTicks) : formName_(formName)
    {
        Module1::AppDirOverride = scratch_.path().toStdString();
        bench_support::resetProgramState(0, 1);
        handOverAGoodGame();
        Random::SetFixedSeed(7);
        app_.run([&] { app_.form(formName).show(); });
        program_.advance(kSettleMs);
        if (flightTicks > 0) {
            app_.keyPress(' ', U' ');
            program_.advance(static_cast<std::int64_t>(flightTicks) * 50);
        }
    }
    ~SettledScreen() { Module1::AppDirOverride.clear(); }

    // Null when the screen closed itself while settling.
    const ui::Form* form() const { return app_.loaded(formName_); }

private:
    std::string formName_;
    QTemporaryDir scratch_;
    wiring::Program<ui::VirtualClock> program_;
    ui::Application& app_ = program_.app;
};

const ui::Form* settledForm(benchmark::State& state, const SettledScreen& screen)
{
    const ui::Form* form = screen.form();
    if (form == nullptr || !form->visible()) {
        state.SkipWithError("the screen closed itself while settling");
        return nullptr;
    }
    return form;
}

void repaintFromScratch(benchmark::State& state, const std::string& formName, int flightTicks)
{
    const qreal dpr = static_cast<qreal>(state.range(0));
    const qreal otherDpr = dpr == 1 ? 2 : 1;
    SettledScreen screen(formName, flightTicks);
    const ui::Form* form = settledForm(state, screen);
    if (form == nullptr) {
        return;
    }
    qthost::FormRenderer renderer(form->app().pictures());
    for (auto _ : state) {
        state.PauseTiming();
        benchmark::DoNotOptimize(renderer.render(*form, otherDpr));
        state.ResumeTiming();
        benchmark::DoNotOptimize(renderer.render(*form, dpr));
    }
}

void BM_Repaint(benchmark::State& state, const char* formName)
{
    repaintFromScratch(state, formName, 0);
}

// The stage in play after 200 High-speed ticks without a hit: about 2000
// glyph drawings on the canvas, the most a window ever has to replay.
void BM_RepaintStageWithTrails(benchmark::State& state)
{
    repaintFromScratch(state, "frmStage", 200);
}

// A new renderer for every frame: the pictures are decoded too.
void BM_FirstFrame(benchmark::State& state, const char* formName)
{
    SettledScreen screen(formName, 0);
    const ui::Form* form = settledForm(state, screen);
    if (form == nullptr) {
        return;
    }
    for (auto _ : state) {
        qthost::FormRenderer renderer(form->app().pictures());
        benchmark::DoNotOptimize(renderer.render(*form, 1.0));
    }
}

} // namespace

// The painting at the other scale between two frames does not count, but it
// takes time: a fixed number of frames keeps the run short.
constexpr auto kMicros = benchmark::kMicrosecond;
#define QV_REPAINT(form)                                                                                               \
    BENCHMARK_CAPTURE(BM_Repaint, form, #form)->Arg(1)->Arg(2)->ArgName("dpr")->Iterations(100)->Unit(kMicros);         \
    BENCHMARK_CAPTURE(BM_FirstFrame, form, #form)->Unit(kMicros)
QV_REPAINT(frmTitle);
QV_REPAINT(frmMenu);
QV_REPAINT(frmZone);
QV_REPAINT(frmOption);
QV_REPAINT(frmStage);
QV_REPAINT(frmResults);
QV_REPAINT(frmNentry);
QV_REPAINT(frmRecord);
QV_REPAINT(frmCertif);
BENCHMARK(BM_RepaintStageWithTrails)->Arg(1)->Arg(2)->ArgName("dpr")->Iterations(100)->Unit(kMicros);
