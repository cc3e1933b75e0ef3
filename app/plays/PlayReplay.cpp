#include "app/plays/PlayReplay.h"

#include "app/plays/PlayCheck.h"
#include "core/FormNames.h"
#include "platform/model/Text.h"
#include "platform/model/Types.h"
#include "stage/frmStage.h"

namespace playgame {

namespace {

using Kind = ui::InputEvent::Kind;

constexpr std::int64_t kMostLateMs = 1000;

std::string ms(std::int64_t value)
{
    return std::to_string(value) + " ms";
}

} // namespace

PlayReplay::PlayReplay(const plays::Play& play) : play_(play)
{
    Module1::FillCharTables();
    Module1::CurrentZone = static_cast<std::int16_t>(play_.zone);
    Module1::OptSpeed = static_cast<std::int16_t>(play_.speed);
    Module1::OptCase = static_cast<std::int16_t>(play_.letterCase);
    Module1::OptKana = static_cast<std::int16_t>(play_.kana);
    Random::SetFixedSeed(play_.seed);
    program_.app.form(forms::kStage).show();
}

frmStage* PlayReplay::stage() const
{
    return program_.app.loaded<frmStage>();
}

void PlayReplay::playTo(std::int64_t ms)
{
    while (next_ < play_.events.size() && play_.events[next_].timeMs <= ms) {
        feed(play_.events[next_]);
        ++next_;
    }
    if (ended() && ms > program_.clock.nowMs()) {
        program_.advance(ms - program_.clock.nowMs());
    }
}

void PlayReplay::refuse(const plays::Event& event, const std::string& reason) const
{
    throw plays::PlayError(event.line, reason);
}

void PlayReplay::feed(const plays::Event& event)
{
    program_.clock.set(event.timeMs);
    checkNoTickOverdue(event);
    ui::Application& app = program_.app;
    switch (event.kind) {
    case Kind::Tick:
        tick(event);
        break;
    case Kind::KeyStroke:
        app.keyStroke(event.keyCode, event.shift, event.typed);
        break;
    case Kind::KeyDown:
        app.keyDown(*event.keyCode, event.shift);
        break;
    case Kind::KeyPress:
        app.keyPress(event.typed.at(0).keyAscii, event.typed.at(0).ch);
        break;
    case Kind::Click: {
        ui::Form& form = openForm(event);
        if (event.control.empty()) {
            app.click(form);
        } else if (ui::Control* control = form.find(event.control, event.index)) {
            app.click(*control);
        } else {
            refuse(event, "a click on " + event.form + "." + event.control + ", which that window does not have");
        }
        break;
    }
    case Kind::Activate:
        app.activate(openForm(event));
        break;
    case Kind::Close:
        app.requestClose(openForm(event));
        break;
    }
    checkAfter(event);
}

// Every tick that fell due has come by now, at most a second late.
void PlayReplay::checkNoTickOverdue(const plays::Event& event) const
{
    const ui::Timer* timer = program_.app.nextTimer();
    if (timer == nullptr || timer->dueMs() + kMostLateMs >= event.timeMs) {
        return;
    }
    const plays::TimerName name{timer->form().name(), timer->name(), timer->index()};
    refuse(event, tickName(name) + " due at " + ms(timer->dueMs()) + " has not come by " + ms(event.timeMs) +
                      "; a tick comes at most 1 s late");
}

void PlayReplay::tick(const plays::Event& event)
{
    const plays::TimerName& name = play_.timers.at(static_cast<std::size_t>(event.timer));
    ui::Timer* timer = program_.app.runningTimer(name.form, name.control, name.index);
    if (timer == nullptr) {
        refuse(event, tickName(name) + " at " + ms(event.timeMs) + ", when its timer is not running");
    }
    const std::int64_t due = timer->dueMs();
    const std::int64_t claimedDue = event.timeMs - event.lateMs;
    if (event.timeMs < due) {
        refuse(event, tickName(name) + " at " + ms(event.timeMs) + " is due at " + ms(due) + " at the earliest");
    }
    if (claimedDue != due) {
        refuse(event, tickName(name) + " at " + ms(event.timeMs) + " is the one due at " + ms(claimedDue) +
                          ", but the one due at " + ms(due) + " has not come");
    }
    program_.app.tick(*timer);
}

ui::Form& PlayReplay::openForm(const plays::Event& event)
{
    ui::Form* form = program_.app.loaded(event.form);
    if (form == nullptr || !form->visible()) {
        refuse(event, "an event for " + event.form + ", which is not open");
    }
    return *form;
}

void PlayReplay::checkAfter(const plays::Event& event) const
{
    const frmStage* played = stage();
    if (played == nullptr) {
        refuse(event, "the stage closes at " + ms(event.timeMs) + ", before \"TIME UP\"");
    }
    const bool first = &event == &play_.events.front();
    if (first && played->state() != frmStage::State::Playing) {
        refuse(event, "the first event must be the key that starts the 30 seconds");
    }
    const bool last = &event == &play_.events.back();
    if (!last && played->state() == frmStage::State::TimeUp) {
        refuse(*(&event + 1), "an event after \"TIME UP\", which came at " + ms(event.timeMs));
    }
    if (last && played->state() != frmStage::State::TimeUp) {
        throw plays::PlayError(play_.endLine, "the play ends at " + ms(play_.endMs) + ", before \"TIME UP\"");
    }
}

plays::Figures PlayReplay::finish()
{
    const frmStage::Figures shown = stage()->figures();
    plays::Figures figures{shown.score, shown.hits, shown.strokes, shown.response, shown.hitRate, 0};
    program_.app.keyStroke(ui::vk::Space, 0, {ui::TypedChar{ui::vk::Space, U' '}});
    figures.total = Module1::LastScore;
    return figures;
}

void PlayReplay::compareFigures(const plays::Figures& replayed) const
{
    const plays::Figures& carried = play_.figures;
    const auto compare = [&](int offset, const char* name, double says, double is) {
        if (says != is) {
            throw plays::PlayError(play_.endLine + offset, std::string("the play says ") + name + " " +
                                                               ui::numberText(says) + ", but it plays to " +
                                                               ui::numberText(is));
        }
    };
    compare(1, "score", carried.score, replayed.score);
    compare(2, "hits", carried.hits, replayed.hits);
    compare(3, "strokes", carried.strokes, replayed.strokes);
    compare(4, "response", carried.response, replayed.response);
    compare(5, "hitrate", carried.hitRate, replayed.hitRate);
    compare(6, "total", carried.total, replayed.total);
}

} // namespace playgame
