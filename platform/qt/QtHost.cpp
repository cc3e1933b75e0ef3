#include "platform/qt/QtHost.h"

namespace qthost {

std::int64_t SteadyClock::nowMs() const
{
    return std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - start_).count();
}

QtHost::QtHost(ui::Application& app, const ui::Clock& clock, const AppIdentity& identity, QObject* parent)
    : QObject(parent),
      app_(app),
      guard_(identity.name),
      arbiter_(clock),
      input_(app, guard_),
      pump_(clock, [this] { runDueTimers(); }),
      mirror_(app, *this, clock, identity.icon)
{
    guard_.setOnFailure([this] { pump_.stop(); });
}

QtHost::~QtHost() = default;

QWidget* QtHost::windowFor(const ui::Form& form) const
{
    return mirror_.window(form.instanceId());
}

// ---------------------------------------------------------------- sync

void QtHost::sync()
{
    if (syncing_) {
        resyncWanted_ = true;
        return;
    }
    syncing_ = true;
    do {
        resyncWanted_ = false;
        guard_.run([this] { syncOnce(); });
    } while (resyncWanted_ && !guard_.failed());
    syncing_ = false;
    if (!guard_.failed() && afterSync_) {
        afterSync_();
    }
    if (!guard_.failed() && !guard_.exitCode() && app_.finished()) {
        guard_.finish();
    }
    armTimer();
}

void QtHost::syncOnce()
{
    const std::vector<ui::Form*> forms = app_.openForms();
    for (ui::Form* form : forms) {
        if (mirror_.window(form->instanceId()) == nullptr) {
            openWindow(*form);
        }
    }
    for (std::uint64_t id : mirror_.windowsWithoutForm()) {
        closeWindow(id);
    }
    for (ui::Form* form : forms) {
        mirror_.updateWindow(*form, form->takeDirty());
    }
    syncActivation();
}

void QtHost::openWindow(ui::Form& form)
{
    mirror_.createWindow(form);
    arbiter_.windowsChanged();
}

void QtHost::closeWindow(std::uint64_t formId)
{
    arbiter_.windowGone(formId);
    for (std::uint64_t child : mirror_.childrenOf(formId)) {
        arbiter_.ownerWentAway(child);
    }
    mirror_.destroyWindow(formId);
    arbiter_.windowsChanged();
}

void QtHost::syncActivation()
{
    const ActivationFacts facts = activationFacts();
    if (mirror_.window(facts.modelActive) != nullptr && arbiter_.shouldActivate(facts)) {
        mirror_.activate(facts.modelActive);
    }
}

ActivationFacts QtHost::activationFacts() const
{
    const ui::Form* active = app_.activeForm();
    return ActivationFacts{active != nullptr ? active->instanceId() : 0, mirror_.activeFormId(), syncing_};
}

void QtHost::armTimer()
{
    // Once the program is over, by an error or by the last form closing, nothing ticks.
    pump_.armFor(guard_.exitCode() || timersLeftAlone_ ? std::nullopt : app_.nextTimerDue());
}

// ---------------------------------------------------------------- events

void QtHost::runDueTimers()
{
    guard_.run([this] { app_.runTimersDue(); });
    sync();
}

void QtHost::keyPressed(std::uint64_t, const QKeyEvent& event)
{
    input_.keyPressed(event);
    sync();
}

void QtHost::textCommitted(std::uint64_t, const QString& text)
{
    input_.textCommitted(text);
    sync();
}

void QtHost::clicked(std::uint64_t formId, QPoint clientPos)
{
    if (ui::Form* form = openForm(formId)) {
        input_.click(*form, clientPos);
        sync();
    }
}

void QtHost::textBoxClicked(std::uint64_t formId, const std::string& name, int index)
{
    ui::Form* form = openForm(formId);
    if (form != nullptr && input_.clickTextBox(*form, name, index)) {
        sync();
    }
}

void QtHost::closeRequested(std::uint64_t formId)
{
    ui::Form* form = openForm(formId);
    if (form == nullptr || mirror_.window(formId) == nullptr || !arbiter_.closeIsPlayers(formId)) {
        return;
    }
    guard_.run([&] { app_.requestClose(*form); });
    sync();
}

void QtHost::closeEveryWindow()
{
    // The certificate brings back the title as it closes; nothing opens more.
    constexpr int kRounds = 8;
    for (int round = 0; round < kRounds && !app_.finished() && !guard_.failed(); ++round) {
        std::vector<std::uint64_t> ids;
        for (const ui::Form* form : app_.openForms()) {
            ids.push_back(form->instanceId());
        }
        for (auto id = ids.rbegin(); id != ids.rend(); ++id) {
            if (ui::Form* form = openForm(*id)) {
                guard_.run([&] { app_.requestClose(*form); });
            }
        }
    }
    sync();
}

void QtHost::windowActivated(std::uint64_t formId)
{
    ui::Form* form = openForm(formId);
    if (form == nullptr) {
        return;
    }
    const ActivationFacts facts = activationFacts();
    switch (arbiter_.judgeActivation(formId, facts)) {
    case ActivationVerdict::Ignore:
        return;
    case ActivationVerdict::Reassert:
        mirror_.activate(facts.modelActive);
        return;
    case ActivationVerdict::PlayersChoice:
        guard_.run([&] { app_.activate(*form); });
        sync();
        return;
    }
}

void QtHost::windowMoved(std::uint64_t formId, QPoint framePosition)
{
    ui::Form* form = syncing_ ? nullptr : openForm(formId);
    if (form == nullptr || !mirror_.takePlayersMove(formId, framePosition)) {
        return;
    }
    // The player dragged it: the next screen opens where this one now stands.
    guard_.run([&] {
        form->move(static_cast<double>(framePosition.x()) * ui::kTwipsPerPixel,
                   static_cast<double>(framePosition.y()) * ui::kTwipsPerPixel);
    });
}

void QtHost::repaintNeeded(std::uint64_t formId)
{
    if (const ui::Form* form = openForm(formId)) {
        guard_.run([&] { mirror_.repaint(*form); });
    }
}

void QtHost::painted(std::uint64_t formId)
{
    if (afterPaint_) {
        if (const ui::Form* form = openForm(formId)) {
            afterPaint_(*form);
        }
    }
}

// A window's event may arrive after its form closed, or after a fatal error
// when the model must not be touched.
ui::Form* QtHost::openForm(std::uint64_t formId) const
{
    return guard_.failed() ? nullptr : app_.openForm(formId);
}

} // namespace qthost
