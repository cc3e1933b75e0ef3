// quorvel-timing-run [GAMES]: plays GAMES (default 10) games of 30 seconds on
// the real clock and the real Qt event loop, and reports how long each game
// really lasted from the start key to "TIME UP" and how regularly the
// High-speed flight tick (50 ms), the response clock (100 ms) and the
// countdown (1000 ms) ticked. A hit is typed every 200 to 450 ms, as a
// player would, so the ticks compete with key handling and painting.
//
// The stage is watched from outside: its timer handlers and its key handler
// are wrapped with a stamp of the steady clock. Every figure is wall time.
// The last lines, "timing NAME VALUE", are read by scripts/perf.sh.

#include "app/Program.h"
#include "app/QtRecordStorage.h"
#include "bench/BenchSupport.h"
#include "platform/model/Application.h"
#include "platform/qt/QtHost.h"
#include "platform/qt/QtServices.h"

#include <QApplication>
#include <QTemporaryDir>
#include <QTimer>
#include <QWidget>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <iterator>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

constexpr double kGameMs = 30'000;
constexpr int kSettleBeforeStartMs = 500;
constexpr int kPauseAfterTimeUpMs = 300;

double msBetween(Clock::time_point from, Clock::time_point to)
{
    return std::chrono::duration<double, std::milli>(to - from).count();
}

struct TimerTrace {
    int intervalMs = 0;
    std::int64_t firstDueMs = 0; // on the game's clock
    std::vector<Clock::time_point> ticks;
};

struct GameTrace {
    std::optional<Clock::time_point> started;
    std::optional<Clock::time_point> timeUp;
    std::map<std::string, TimerTrace> timers;
    int hits = 0;
};

// Wraps the stage's handlers so that every tick and the start key leave a
// time stamp in `trace`; the handlers themselves run unchanged.
void watchStage(ui::Form& stage, GameTrace& trace)
{
    for (const char* name : {"Timer1", "Timer3", "Timer4"}) {
        auto& timer = stage.get<ui::Timer>(name);
        TimerTrace& timerTrace = trace.timers[name];
        auto handler = timer.onTimer;
        timer.onTimer = [handler, &timer, &timerTrace] {
            timerTrace.ticks.push_back(Clock::now());
            timerTrace.intervalMs = timer.interval();
            handler();
        };
    }
    auto& countdown = stage.get<ui::Timer>("Timer3");
    auto& timeUpLabel = stage.get<ui::Label>("Label10", 0);
    auto countdownHandler = countdown.onTimer;
    countdown.onTimer = [countdownHandler, &timeUpLabel, &trace] {
        const auto tick = Clock::now();
        countdownHandler();
        if (timeUpLabel.visible() && !trace.timeUp) {
            trace.timeUp = tick;
        }
    };
    auto& picture = stage.get<ui::PictureBox>("Picture1");
    auto keyHandler = picture.onKeyPress;
    picture.onKeyPress = [keyHandler, &stage, &countdown, &trace](int& keyAscii) {
        const auto pressed = Clock::now();
        const bool wasCounting = countdown.running();
        keyHandler(keyAscii);
        if (!wasCounting && countdown.running()) {
            trace.started = pressed;
            for (auto& [name, timerTrace] : trace.timers) {
                timerTrace.firstDueMs = stage.get<ui::Timer>(name).dueMs();
            }
        }
    };
}

double percentile(std::vector<double> values, double fraction)
{
    if (values.empty()) {
        return 0;
    }
    std::sort(values.begin(), values.end());
    return values[static_cast<std::size_t>(fraction * static_cast<double>(values.size() - 1) + 0.5)];
}

// Least-squares slope of `lateness` against `at`, both in milliseconds.
double slope(const std::vector<double>& at, const std::vector<double>& lateness)
{
    const double n = static_cast<double>(at.size());
    double sumX = 0, sumY = 0, sumXX = 0, sumXY = 0;
    for (std::size_t i = 0; i < at.size(); ++i) {
        sumX += at[i];
        sumY += lateness[i];
        sumXX += at[i] * at[i];
        sumXY += at[i] * lateness[i];
    }
    const double denominator = n * sumXX - sumX * sumX;
    return denominator == 0 ? 0 : (n * sumXY - sumX * sumY) / denominator;
}

struct TimerFigures {
    std::vector<double> jitter;    // |interval between ticks - nominal|, ms
    std::vector<double> lateness;  // tick - the moment it was due, ms
    double worstDriftPerGame = 0;  // lateness growth over 30 s, ms
    int skipped = 0;               // slots a late timer gave up
};

class Report {
public:
    // `clockBase` is the moment the game's clock read 0.
    explicit Report(Clock::time_point clockBase) : clockBase_(clockBase) {}

    void add(const GameTrace& game)
    {
        ++games_;
        if (!game.started || !game.timeUp) {
            ++incomplete_;
            return;
        }
        const double length = msBetween(*game.started, *game.timeUp);
        lengthErrors_.push_back(std::abs(length - kGameMs));
        std::printf("game %d: %.3f s, %d hits;", games_, length / 1000.0, game.hits);
        for (const auto& [name, trace] : game.timers) {
            addTimer(name, trace);
        }
        std::printf("\n");
    }

    int print() const
    {
        std::printf("\n%d games, %d incomplete\n", games_, incomplete_);
        std::printf("timing game-length-max-error-ms %.3f\n", percentile(lengthErrors_, 1.0));
        for (const auto& [interval, figures] : figures_) {
            std::printf("timing tick-%dms-jitter-p95-ms %.3f\n", interval, percentile(figures.jitter, 0.95));
            std::printf("timing tick-%dms-jitter-max-ms %.3f\n", interval, percentile(figures.jitter, 1.0));
            std::printf("timing tick-%dms-lateness-p95-ms %.3f\n", interval, percentile(figures.lateness, 0.95));
            std::printf("timing tick-%dms-drift-ms-per-game %.3f\n", interval, figures.worstDriftPerGame);
            std::printf("timing tick-%dms-skipped %d\n", interval, figures.skipped);
            printHistogram(interval, figures.lateness);
        }
        return incomplete_ == 0 && games_ > 0 ? EXIT_SUCCESS : EXIT_FAILURE;
    }

private:
    static void printHistogram(int interval, const std::vector<double>& lateness)
    {
        const double bounds[] = {0.5, 1, 2, 4, 8, 16};
        int counts[std::size(bounds) + 1] = {};
        for (double late : lateness) {
            std::size_t bucket = 0;
            while (bucket < std::size(bounds) && late >= bounds[bucket]) {
                ++bucket;
            }
            ++counts[bucket];
        }
        std::printf("%d ms ticks late by: <0.5 ms %d, <1 ms %d, <2 ms %d, <4 ms %d, <8 ms %d, <16 ms %d, more %d\n",
                    interval, counts[0], counts[1], counts[2], counts[3], counts[4], counts[5], counts[6]);
    }

    // Lateness is measured from the moment a tick was due on the game's
    // clock. A late timer gives up the slots it missed and keeps its phase,
    // so a tick belongs to the last slot that had begun when it came.
    void addTimer(const std::string& name, const TimerTrace& trace)
    {
        TimerFigures& figures = figures_[trace.intervalMs];
        const double interval = trace.intervalMs;
        const auto firstDue = static_cast<double>(trace.firstDueMs);
        std::vector<double> at;
        std::vector<double> lateness;
        long long lastSlot = -1;
        for (std::size_t k = 0; k < trace.ticks.size(); ++k) {
            const double now = msBetween(clockBase_, trace.ticks[k]);
            const long long slot = std::max(lastSlot + 1, static_cast<long long>(std::floor((now - firstDue) / interval)));
            figures.skipped += static_cast<int>(slot - lastSlot - 1);
            lastSlot = slot;
            at.push_back(now);
            lateness.push_back(now - (firstDue + static_cast<double>(slot) * interval));
            if (k > 0) {
                figures.jitter.push_back(std::abs(msBetween(trace.ticks[k - 1], trace.ticks[k]) - interval));
            }
        }
        figures.lateness.insert(figures.lateness.end(), lateness.begin(), lateness.end());
        const double drift = slope(at, lateness) * kGameMs;
        figures.worstDriftPerGame = std::max(figures.worstDriftPerGame, std::abs(drift));
        std::printf(" %s %zu ticks (drift %+.3f ms)", name.c_str(), trace.ticks.size(), drift);
    }

    Clock::time_point clockBase_;
    int games_ = 0;
    int incomplete_ = 0;
    std::vector<double> lengthErrors_;
    std::map<int, TimerFigures> figures_;
};

class TimingRun {
public:
    explicit TimingRun(int games) : gamesWanted_(games)
    {
        Module1::AppDirOverride = scratch_.path().toStdString();
        bench_support::resetProgramState(0, 1);
        host_.setFatalReporter([](const QString& message) { std::fprintf(stderr, "%s\n", qPrintable(message)); });
        model_.run([this] { model_.form("frmStage").show(); });
        host_.sync();
        beginGame();
    }

    int exitCode() const { return report_.print(); }

private:
    ui::Form& stage() { return model_.form("frmStage"); }

    void beginGame()
    {
        traces_.push_back(std::make_unique<GameTrace>());
        watchStage(stage(), *traces_.back());
        after(kSettleBeforeStartMs, [this] { press(U' '); typeNextHit(); });
    }

    void typeNextHit()
    {
        GameTrace& trace = *traces_.back();
        if (trace.timeUp) {
            after(kPauseAfterTimeUpMs, [this] { finishGame(); });
            return;
        }
        if (trace.started) {
            if (auto letter = bench_support::targetLetter(stage())) {
                press(*letter);
                ++trace.hits;
            }
        }
        pause_ = 200 + (pause_ * 37 + 11) % 251;
        after(pause_, [this] { typeNextHit(); });
    }

    void finishGame()
    {
        press(U'\r');
        report_.add(*traces_.back());
        after(kPauseAfterTimeUpMs, [this] {
            if (static_cast<int>(traces_.size()) >= gamesWanted_) {
                QCoreApplication::exit(0);
                return;
            }
            model_.run([this] {
                stage().show();
                if (ui::Form* results = model_.loaded("frmResults")) {
                    results->unload();
                }
            });
            host_.sync();
            beginGame();
        });
    }

    void press(char32_t key)
    {
        if (QWidget* window = host_.windowFor(stage())) {
            QCoreApplication::postEvent(window, bench_support::letterKeyEvent(key).release());
        }
    }

    template <class Action>
    void after(int milliseconds, Action action)
    {
        QTimer::singleShot(milliseconds, Qt::PreciseTimer, &context_, action);
    }

    int gamesWanted_;
    int pause_ = 0;
    QTemporaryDir scratch_;
    // Taken just before the game's clock starts counting from 0.
    Clock::time_point clockBase_ = Clock::now();
    wiring::Program<qthost::SteadyClock> program_;
    qthost::SteadyClock& clock_ = program_.clock;
    ui::Application& model_ = program_.app;
    qthost::QtHost host_{model_, clock_, {}};
    QObject context_;
    std::vector<std::unique_ptr<GameTrace>> traces_;
    Report report_{clockBase_};
};

} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    QApplication application(argc, argv);
    qtrecords::QtRecordStorage records;
    Module1::UseRecordStorage(records);
    const int games = argc > 1 ? std::max(1, std::atoi(argv[1])) : 10;
    TimingRun run(games);
    QApplication::exec();
    return run.exitCode();
}
