#include "app/plays/PlayRecorder.h"

#include "core/FormNames.h"
#include "core/Module1.h"
#include "core/Random.h"
#include "stage/frmStage.h"

namespace playgame {

PlayRecorder::PlayRecorder(ui::Application& app, Finished finished) : app_(app), finished_(std::move(finished))
{
    app_.setInputListener(this);
}

PlayRecorder::~PlayRecorder()
{
    app_.setInputListener(nullptr);
}

void PlayRecorder::inputHandled(const ui::InputEvent& event)
{
    const auto* stage = app_.loaded<frmStage>();
    switch (step_) {
    case Step::Idle:
        // Only the key that starts the 30 seconds brings a stage to Playing.
        if (stage != nullptr && stage->state() == frmStage::State::Playing &&
            stage->instanceId() != recordedStage_) {
            recordedStage_ = stage->instanceId();
            begin(event);
        }
        break;
    case Step::Recording:
        add(event);
        if (stage == nullptr) {
            step_ = Step::Idle; // closed before "TIME UP": no play
        } else if (stage->state() == frmStage::State::TimeUp) {
            endAtTimeUp(event.timeMs);
        }
        break;
    case Step::AwaitingResults:
        if (stage == nullptr) {
            finish();
        }
        break;
    }
}

void PlayRecorder::begin(const ui::InputEvent& event)
{
    play_ = plays::Play{};
    play_.zone = Module1::CurrentZone;
    play_.speed = Module1::OptSpeed;
    play_.letterCase = Module1::OptCase;
    play_.kana = Module1::OptKana;
    play_.seed = Random::LastSeed();
    originMs_ = event.timeMs;
    step_ = Step::Recording;
    add(event);
}

void PlayRecorder::add(const ui::InputEvent& event)
{
    const int timer = event.kind == ui::InputEvent::Kind::Tick ? timerLetter(event) : -1;
    play_.events.push_back(playEvent(event, originMs_, timer));
}

int PlayRecorder::timerLetter(const ui::InputEvent& tick)
{
    const plays::TimerName name{tick.form, tick.control, tick.index};
    for (std::size_t i = 0; i < play_.timers.size(); ++i) {
        if (play_.timers[i] == name) {
            return static_cast<int>(i);
        }
    }
    play_.timers.push_back(name);
    return static_cast<int>(play_.timers.size()) - 1;
}

void PlayRecorder::endAtTimeUp(std::int64_t eventMs)
{
    play_.endMs = eventMs - originMs_;
    const frmStage::Figures figures = app_.loaded<frmStage>()->figures();
    play_.figures.score = figures.score;
    play_.figures.hits = figures.hits;
    play_.figures.strokes = figures.strokes;
    play_.figures.response = figures.response;
    play_.figures.hitRate = figures.hitRate;
    step_ = Step::AwaitingResults;
}

// The stage has gone: finished into the results, or closed at "TIME UP".
void PlayRecorder::finish()
{
    step_ = Step::Idle;
    if (app_.loaded(forms::kResults) == nullptr) {
        return;
    }
    play_.figures.total = Module1::LastScore;
    last_ = play_;
    if (finished_) {
        finished_(*last_);
    }
}

plays::Event playEvent(const ui::InputEvent& event, std::int64_t originMs, int timer)
{
    plays::Event played;
    played.kind = event.kind;
    played.timeMs = event.timeMs - originMs;
    if (event.kind == ui::InputEvent::Kind::Tick) {
        played.timer = timer;
        played.lateMs = event.timeMs - event.dueMs;
        return played;
    }
    played.form = event.form;
    played.control = event.control;
    played.index = event.index;
    played.keyCode = event.keyCode;
    played.shift = event.shift;
    played.typed = event.typed;
    return played;
}

} // namespace playgame
