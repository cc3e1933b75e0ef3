#pragma once

// Keeps every stage as a play. It listens at the application's event entry,
// where every host feeds the game, and starts a log when a key starts the
// 30 seconds; the log ends at "TIME UP", and once the results have shown
// their figures the finished play is handed on. A stage closed before then
// leaves no play.

#include "plays/Play.h"
#include "platform/model/Application.h"
#include "platform/model/InputEvent.h"

#include <functional>
#include <optional>

namespace playgame {

class PlayRecorder : public ui::InputListener {
public:
    using Finished = std::function<void(const plays::Play&)>;

    // Listens to `app` until destroyed.
    PlayRecorder(ui::Application& app, Finished finished);
    ~PlayRecorder() override;
    PlayRecorder(const PlayRecorder&) = delete;
    PlayRecorder& operator=(const PlayRecorder&) = delete;

    void inputHandled(const ui::InputEvent& event) override;

    // The last play finished since this recorder started, if any.
    const std::optional<plays::Play>& lastPlay() const { return last_; }

private:
    enum class Step { Idle, Recording, AwaitingResults };

    void begin(const ui::InputEvent& event);
    void add(const ui::InputEvent& event);
    int timerLetter(const ui::InputEvent& tick);
    void endAtTimeUp(std::int64_t eventMs);
    void finish();

    ui::Application& app_;
    Finished finished_;
    Step step_ = Step::Idle;
    std::uint64_t recordedStage_ = 0; // the stage whose play was begun last
    std::int64_t originMs_ = 0;
    plays::Play play_;
    std::optional<plays::Play> last_;
};

// An event as a play writes it, `originMs` being when the play began.
plays::Event playEvent(const ui::InputEvent& event, std::int64_t originMs, int timer);

} // namespace playgame
