#include "platform/qt/QtHost.h"

#include "platform/qt/FormGeometry.h"
#include "platform/qt/QtServices.h"
#include "resources/PictureCatalog.h"

#include <QApplication>
#include <QCoreApplication>
#include <QIcon>
#include <QKeyEvent>
#include <QMessageBox>
#include <QPalette>
#include <QPixmap>
#include <QWindow>

#include <algorithm>
#include <climits>
#include <cmath>
#include <exception>

namespace qthost {
namespace {

// How long a window manager may take to frame and place a new or moved window.
constexpr int kPlacementSettleMs = 1000;

// Native Wayland has no request for a window's position.
bool platformPlacesWindows()
{
    return !QGuiApplication::platformName().startsWith(QLatin1String("wayland"));
}

Qt::WindowFlags flagsFor(ui::FormBorder border)
{
    switch (border) {
    case ui::FormBorder::FixedSingle:
        return Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint;
    case ui::FormBorder::Sizable:
        return Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowMinMaxButtonsHint |
               Qt::WindowCloseButtonHint;
    case ui::FormBorder::ToolWindow:
        return Qt::Tool | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint;
    }
    return Qt::Window;
}

QIcon applicationIcon()
{
    QIcon icon;
    icon.addPixmap(QPixmap::fromImage(loadPicture(pictures::kIcon32)));
    icon.addPixmap(QPixmap::fromImage(loadPicture(pictures::kIcon16)));
    return icon;
}

int twipsToPixels(double twips)
{
    return static_cast<int>(std::lround(twips / ui::kTwipsPerPixel));
}

QColor qtColor(ui::Color color)
{
    return QColor(color.r, color.g, color.b);
}

} // namespace

std::int64_t SteadyClock::nowMs() const
{
    return std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - start_).count();
}

QtHost::QtHost(ui::Application& app, const ui::Clock& clock, QObject* parent)
    : QObject(parent),
      app_(app),
      clock_(clock),
      arbiter_(clock),
      drawnFrames_(!platformPlacesWindows()),
      placesWindows_(platformPlacesWindows())
{
    reportFatal_ = [](const QString& message) { QMessageBox::critical(nullptr, QStringLiteral("Quorvel"), message); };
    timer_.setSingleShot(true);
    timer_.setTimerType(Qt::PreciseTimer);
    connect(&timer_, &QTimer::timeout, this, [this] {
        guarded([this] { app_.runTimersDue(); });
        afterEvent();
    });
}

QtHost::~QtHost()
{
    for (auto& [id, state] : windows_) {
        delete state.window;
    }
}

QWidget* QtHost::windowFor(const ui::Form& form) const
{
    return window(form.instanceId());
}

std::optional<int> QtHost::timerWaitMs() const
{
    if (!timer_.isActive()) {
        return std::nullopt;
    }
    return timer_.interval();
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
        guarded([this] { syncOnce(); });
    } while (resyncWanted_ && !failed_);
    syncing_ = false;
    if (!failed_ && afterSync_) {
        afterSync_();
    }
    if (!failed_ && !exitCode_ && app_.finished()) {
        exitCode_ = 0;
        QCoreApplication::exit(0);
    }
    armTimer();
}

void QtHost::syncOnce()
{
    const std::vector<ui::Form*> forms = app_.openForms();
    for (ui::Form* form : forms) {
        if (windows_.count(form->instanceId()) == 0) {
            createWindow(*form);
        }
    }
    std::vector<std::uint64_t> closed;
    for (const auto& [id, state] : windows_) {
        if (openForm(id) == nullptr) {
            closed.push_back(id);
        }
    }
    for (std::uint64_t id : closed) {
        destroyWindow(id);
    }
    for (ui::Form* form : forms) {
        updateWindow(*form, windows_.at(form->instanceId()), form->takeDirty());
    }
    syncActivation();
}

void QtHost::createWindow(ui::Form& form)
{
    auto* window = new FormWindow(*this, form.instanceId());
    window->setWindowFlags(windowFlags(form.border()));
    window->setDrawnFrame(drawnFrameFor(form.border()));
    if (form.border() != ui::FormBorder::ToolWindow) {
        window->setWindowIcon(applicationIcon());
    }
    for (const auto& control : form.controls()) {
        if (control->kind() == ui::ControlKind::TextBox) {
            window->addTextBox(control->name(), control->index());
        }
    }
    WindowState& state = windows_[form.instanceId()];
    state.window = window;
    state.border = form.border();
    // This first frame already shows every change so far.
    form.takeDirty();
    updateWindow(form, state, true);
    window->winId(); // creates the native window, so it can be given an owner
    setOwner(state, ownerFor(form));
    window->show();
    windowsChanged();
}

void QtHost::destroyWindow(std::uint64_t formId)
{
    auto found = windows_.find(formId);
    FormWindow* window = found->second.window;
    windows_.erase(found);
    renderer_.forgetForm(formId);
    arbiter_.windowGone(formId);
    handOverChildrenOf(formId);
    window->hide();
    // It may be the window whose event we are handling right now.
    window->deleteLater();
    windowsChanged();
}

void QtHost::updateWindow(ui::Form& form, WindowState& state, bool repaint)
{
    FormWindow& window = *state.window;
    if (form.caption() != state.caption) {
        state.caption = form.caption();
        window.setWindowTitle(QString::fromStdString(state.caption));
    }
    if (form.border() != state.border) {
        state.border = form.border();
        const bool shown = window.isVisible();
        window.setWindowFlags(windowFlags(state.border));
        window.setDrawnFrame(drawnFrameFor(state.border));
        state.clientSize = QSize(); // size constraints follow the border
        if (shown) {
            window.show();
        }
    }
    applyGeometry(form, state);
    syncTextBoxes(form, window);
    if (repaint || window.frame().isNull() || window.frame().devicePixelRatio() != window.devicePixelRatioF()) {
        render(form, window);
    }
}

void QtHost::applyGeometry(const ui::Form& form, WindowState& state)
{
    FormWindow& window = *state.window;
    const QPoint position(twipsToPixels(form.left()), twipsToPixels(form.top()));
    if (position != state.position || !window.isVisible()) {
        state.position = position;
        state.placing = QDeadlineTimer(kPlacementSettleMs);
        window.move(position);
    }
    const QSize clientSize(form.clientWidthTwips() / ui::kTwipsPerPixel, form.clientHeightTwips() / ui::kTwipsPerPixel);
    if (clientSize == state.clientSize) {
        return;
    }
    state.clientSize = clientSize;
    if (form.border() == ui::FormBorder::Sizable) {
        // The player may resize it; the picture stays at the top left.
        window.setMinimumSize(0, 0);
        window.setMaximumSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX);
        window.resize(window.outerSize(clientSize));
    } else {
        window.setFixedSize(window.outerSize(clientSize));
    }
}

void QtHost::syncTextBoxes(const ui::Form& form, FormWindow& window)
{
    QWidget* focusTarget = &window;
    for (TextBoxEdit* edit : window.textBoxes()) {
        const auto* box = dynamic_cast<const ui::TextBox*>(form.find(edit->controlName(), edit->controlIndex()));
        if (box == nullptr) {
            edit->hide();
            continue;
        }
        // The renderer draws the sunken border; the edit fills what is inside.
        edit->setGeometry(formRect(*box).translated(window.clientOffset()).adjusted(2, 2, -2, -2));
        edit->setVisible(isShown(*box));
        edit->setEnabled(box->enabled());
        edit->setFont(qtFont(box->font()));
        QPalette palette = edit->palette();
        palette.setColor(QPalette::Base, qtColor(box->backColor()));
        palette.setColor(QPalette::Text, qtColor(box->foreColor()));
        edit->setPalette(palette);
        const QString text = QString::fromStdString(box->text());
        if (edit->text() != text) {
            edit->setText(text);
        }
        edit->setCursorPosition(static_cast<int>(text.size()));
        if (form.focused() == box && edit->isVisible()) {
            focusTarget = edit;
        }
    }
    if (window.focusWidget() != focusTarget) {
        focusTarget->setFocus(Qt::OtherFocusReason);
    }
}

void QtHost::render(const ui::Form& form, FormWindow& window)
{
    window.setFrame(renderer_.render(form, window.devicePixelRatioF()));
}

void QtHost::syncActivation()
{
    const ActivationFacts facts = activationFacts();
    if (window(facts.modelActive) != nullptr && arbiter_.shouldActivate(facts)) {
        activate(facts.modelActive);
    }
}

void QtHost::windowsChanged()
{
    arbiter_.windowsChanged();
}

ActivationFacts QtHost::activationFacts() const
{
    const ui::Form* active = app_.activeForm();
    return ActivationFacts{active != nullptr ? active->instanceId() : 0, activeWindowsForm(), syncing_};
}

// The form whose window Qt reports active; 0 when it is none of ours.
std::uint64_t QtHost::activeWindowsForm() const
{
    const auto* active = dynamic_cast<const FormWindow*>(QApplication::activeWindow());
    return active != nullptr && window(active->formId()) == active ? active->formId() : 0;
}

void QtHost::activate(std::uint64_t formId)
{
    if (FormWindow* target = window(formId)) {
        target->raise();
        target->activateWindow();
    }
}

// A tool window is transient for the front-most open window that is not a
// tool window itself: the one it was opened over, which stays open under it.
// Another tool window would not do: a side panel replaced by its neighbour is
// closed in the same step that opens the neighbour, and on Wayland a window
// whose parent goes away is closed with it.
std::uint64_t QtHost::ownerFor(const ui::Form& form) const
{
    if (form.border() != ui::FormBorder::ToolWindow) {
        return 0;
    }
    const std::vector<ui::Form*> forms = app_.openForms();
    for (auto candidate = forms.rbegin(); candidate != forms.rend(); ++candidate) {
        ui::Form* other = *candidate;
        if (other != &form && other->border() != ui::FormBorder::ToolWindow &&
            window(other->instanceId()) != nullptr) {
            return other->instanceId();
        }
    }
    return 0;
}

void QtHost::setOwner(WindowState& state, std::uint64_t ownerId)
{
    state.ownerId = ownerId;
    QWindow* native = state.window->windowHandle();
    FormWindow* owner = transientToolWindows_ ? window(ownerId) : nullptr;
    if (native != nullptr) {
        native->setTransientParent(owner != nullptr ? owner->windowHandle() : nullptr);
    }
}

// Before a window goes, the windows transient for it get another owner, so
// that the platform has no reason to close them with it.
void QtHost::handOverChildrenOf(std::uint64_t formId)
{
    for (auto& [id, state] : windows_) {
        if (state.ownerId != formId) {
            continue;
        }
        arbiter_.ownerWentAway(id);
        const ui::Form* form = openForm(id);
        setOwner(state, form != nullptr ? ownerFor(*form) : 0);
    }
}

Qt::WindowFlags QtHost::windowFlags(ui::FormBorder border) const
{
    if (!transientToolWindows_ && border == ui::FormBorder::ToolWindow) {
        // Qt makes any tool window transient, for its leader window at least.
        return flagsFor(ui::FormBorder::FixedSingle);
    }
    if (!drawnFrames_) {
        return flagsFor(border);
    }
    // Qt drops the frameless hint of a window that asks for any box.
    const Qt::WindowFlags type = border == ui::FormBorder::ToolWindow ? Qt::Tool : Qt::Window;
    return type | Qt::FramelessWindowHint;
}

std::optional<DrawnFrame> QtHost::drawnFrameFor(ui::FormBorder border) const
{
    if (!drawnFrames_) {
        return std::nullopt;
    }
    return DrawnFrame(border);
}

// ---------------------------------------------------------------- input

void QtHost::keyPressed(std::uint64_t, const QKeyEvent& event)
{
    deliverKeys(virtualKeyCode(event), shiftState(event.modifiers()), typedKeys(event));
}

void QtHost::textCommitted(std::uint64_t, const QString& text)
{
    deliverKeys(std::nullopt, 0, typedKeysFor(text));
}

void QtHost::deliverKeys(std::optional<int> keyDown, int shift, const std::vector<TypedKey>& typed)
{
    std::vector<ui::TypedChar> characters;
    characters.reserve(typed.size());
    for (const TypedKey& key : typed) {
        characters.push_back(ui::TypedChar{key.keyAscii, key.typed});
    }
    guarded([&] { app_.keyStroke(keyDown, shift, characters); });
    afterEvent();
}

void QtHost::clicked(std::uint64_t formId, QPoint clientPos)
{
    ui::Form* form = openForm(formId);
    if (form == nullptr) {
        return;
    }
    guarded([&] {
        if (ui::Control* control = controlAt(*form, clientPos)) {
            app_.click(*control);
        } else {
            app_.click(*form);
        }
    });
    afterEvent();
}

void QtHost::textBoxClicked(std::uint64_t formId, const std::string& name, int index)
{
    ui::Form* form = openForm(formId);
    if (form == nullptr) {
        return;
    }
    if (ui::Control* control = form->find(name, index)) {
        guarded([&] { app_.click(*control); });
        afterEvent();
    }
}

void QtHost::closeRequested(std::uint64_t formId)
{
    ui::Form* form = openForm(formId);
    auto state = windows_.find(formId);
    if (form == nullptr || state == windows_.end() || !arbiter_.closeIsPlayers(formId)) {
        return;
    }
    guarded([&] { app_.requestClose(*form); });
    afterEvent();
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
        activate(facts.modelActive);
        return;
    case ActivationVerdict::PlayersChoice:
        guarded([&] { app_.activate(*form); });
        afterEvent();
        return;
    }
}

void QtHost::windowMoved(std::uint64_t formId, QPoint framePosition)
{
    if (syncing_ || !placesWindows_) {
        return; // where the platform places windows itself, a move says nothing of the player
    }
    auto found = windows_.find(formId);
    ui::Form* form = openForm(formId);
    if (found == windows_.end() || form == nullptr || found->second.position == framePosition ||
        !found->second.placing.hasExpired()) {
        return;
    }
    // The player dragged it: the next screen opens where this one now stands.
    found->second.position = framePosition;
    guarded([&] {
        form->move(static_cast<double>(framePosition.x()) * ui::kTwipsPerPixel,
                   static_cast<double>(framePosition.y()) * ui::kTwipsPerPixel);
    });
}

void QtHost::repaintNeeded(std::uint64_t formId)
{
    ui::Form* form = openForm(formId);
    FormWindow* target = window(formId);
    if (form != nullptr && target != nullptr && !failed_) {
        guarded([&] { render(*form, *target); });
    }
}

// ---------------------------------------------------------------- plumbing

ui::Form* QtHost::openForm(std::uint64_t formId) const
{
    if (failed_) {
        return nullptr;
    }
    for (ui::Form* form : app_.openForms()) {
        if (form->instanceId() == formId) {
            return form;
        }
    }
    return nullptr;
}

FormWindow* QtHost::window(std::uint64_t formId) const
{
    auto found = windows_.find(formId);
    return found == windows_.end() ? nullptr : found->second.window;
}

template <class Action>
void QtHost::guarded(Action&& action)
{
    if (failed_) {
        return;
    }
    try {
        action();
    } catch (const std::exception& error) {
        fail(QString::fromUtf8(error.what()));
    } catch (...) {
        fail(QStringLiteral("An unknown error ended the program."));
    }
}

void QtHost::fail(const QString& message)
{
    // The model may be half-way through an event: it is not touched again.
    failed_ = true;
    exitCode_ = 1;
    timer_.stop();
    reportFatal_(message);
    QCoreApplication::exit(1);
}

void QtHost::painted(std::uint64_t formId)
{
    if (afterPaint_) {
        if (const ui::Form* form = openForm(formId)) {
            afterPaint_(*form);
        }
    }
}

void QtHost::afterEvent()
{
    sync();
}

void QtHost::armTimer()
{
    if (failed_ || exitCode_) {
        timer_.stop();
        return;
    }
    const std::optional<std::int64_t> due = app_.nextTimerDue();
    if (!due) {
        timer_.stop();
        return;
    }
    const std::int64_t wait = std::clamp<std::int64_t>(*due - clock_.nowMs(), 0, INT_MAX);
    timer_.start(static_cast<int>(wait));
}

} // namespace qthost
