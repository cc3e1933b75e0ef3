// From a key press entering the host to the new score painted in the
// stage's window, on the real clock and the real event loop: the stage is in
// play at High speed with its timers running, a QKeyEvent that hits the
// target is posted to its window, and the moment the window paints a frame
// with the new score ends the measurement. Between hits the loop runs on for
// 10 to 60 ms, so the hits land at every phase of the flight ticks.

#include "app/Program.h"
#include "bench/BenchSupport.h"
#include "platform/model/Application.h"
#include "platform/qt/QtHost.h"
#include "platform/qt/QtServices.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QTimer>
#include <QWidget>
#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace {

using SteadyTime = std::chrono::steady_clock::time_point;

constexpr int kGiveUpMs = 500;

void runEventLoopFor(int milliseconds)
{
    QEventLoop loop;
    QTimer::singleShot(milliseconds, Qt::PreciseTimer, &loop, &QEventLoop::quit);
    loop.exec();
}

class LiveStage {
public:
    LiveStage()
    {
        bench_support::resetProgramState(0, 1);
        app_.run([this] {
            stage_ = &app_.form("frmStage");
            stage_->show();
        });
        host_.setAfterPaint([this](const ui::Form& form) { notePaint(form); });
        host_.sync();
        window_ = host_.windowFor(*stage_);
        runEventLoopFor(50);
        pressAndWaitForPaint(U' ');
        for (int waited = 0; !playing() && waited < kGiveUpMs; waited += 5) {
            runEventLoopFor(5);
        }
    }

    bool playing() const { return app_.loaded("frmStage") != nullptr && stage_->get<ui::Timer>("Timer1").running(); }

    // Milliseconds from posting a hit to the paint that shows its score;
    // nullopt when the target flew off before the key arrived.
    std::optional<double> hitLatencyMs()
    {
        const auto letter = bench_support::targetLetter(*stage_);
        if (!letter) {
            return std::nullopt;
        }
        const std::string scoreBefore = scoreLabel().caption();
        const SteadyTime posted = std::chrono::steady_clock::now();
        const bool painted = pressAndWaitForPaint(*letter, scoreBefore);
        if (!painted) {
            return std::nullopt;
        }
        return std::chrono::duration<double, std::milli>(paintedAt_ - posted).count();
    }

private:
    const ui::Label& scoreLabel() const { return stage_->get<ui::Label>("Label1"); }

    bool pressAndWaitForPaint(char32_t key, std::optional<std::string> scoreBefore = std::nullopt)
    {
        scoreBefore_ = std::move(scoreBefore);
        waiting_ = true;
        QEventLoop loop;
        loop_ = &loop;
        QTimer::singleShot(kGiveUpMs, &loop, &QEventLoop::quit);
        QCoreApplication::postEvent(window_, bench_support::letterKeyEvent(key).release());
        loop.exec();
        loop_ = nullptr;
        const bool painted = !waiting_;
        waiting_ = false;
        return painted;
    }

    void notePaint(const ui::Form& form)
    {
        if (!waiting_ || &form != stage_ || (scoreBefore_ && scoreLabel().caption() == *scoreBefore_)) {
            return;
        }
        paintedAt_ = std::chrono::steady_clock::now();
        waiting_ = false;
        loop_->quit();
    }

    wiring::Program<qthost::SteadyClock> program_;
    qthost::SteadyClock& clock_ = program_.clock;
    ui::Application& app_ = program_.app;
    qthost::QtHost host_{app_, clock_, {}};
    ui::Form* stage_ = nullptr;
    QWidget* window_ = nullptr;
    QEventLoop* loop_ = nullptr;
    bool waiting_ = false;
    std::optional<std::string> scoreBefore_;
    SteadyTime paintedAt_;
};

double percentile(std::vector<double> values, double fraction)
{
    std::sort(values.begin(), values.end());
    const auto index = static_cast<std::size_t>(fraction * static_cast<double>(values.size() - 1) + 0.5);
    return values[index];
}

void BM_KeyToScreen(benchmark::State& state)
{
    auto stage = std::make_unique<LiveStage>();
    std::vector<double> latencies;
    int pause = 10;
    for (auto _ : state) {
        std::optional<double> latency;
        while (!latency) {
            if (!stage->playing()) {
                stage.reset();
                stage = std::make_unique<LiveStage>();
            }
            latency = stage->hitLatencyMs();
        }
        state.SetIterationTime(*latency / 1000.0);
        latencies.push_back(*latency);
        pause = 10 + (pause * 37 + 11) % 51;
        runEventLoopFor(pause);
    }
    state.counters["p50_ms"] = percentile(latencies, 0.5);
    state.counters["p95_ms"] = percentile(latencies, 0.95);
    state.counters["max_ms"] = percentile(latencies, 1.0);
}

} // namespace

BENCHMARK(BM_KeyToScreen)->UseManualTime()->Iterations(300)->Unit(benchmark::kMicrosecond);
