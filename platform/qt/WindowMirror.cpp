#include "platform/qt/WindowMirror.h"

#include "platform/qt/FormGeometry.h"
#include "platform/qt/QtServices.h"

#include <QApplication>
#include <QPalette>
#include <QWindow>

#include <cmath>

namespace qthost {
namespace {

// How long a window manager may take to frame and place a new or moved window.
constexpr int kPlacementSettleMs = 1000;

// Native Wayland has no request for a window's position.
bool platformPlacesWindows()
{
    return !QGuiApplication::platformName().startsWith(QLatin1String("wayland"));
}

// Native Wayland frames no window the way its design asks; X window managers
// frame the main windows well, but leave a tool window's caption a few
// letters between their icon and buttons.
DrawnFrames platformDrawnFrames()
{
    return platformPlacesWindows() ? DrawnFrames::ToolWindows : DrawnFrames::All;
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

int twipsToPixels(double twips)
{
    return static_cast<int>(std::lround(twips / ui::kTwipsPerPixel));
}

// Shows the model's text box in its line edit, inside the sunken border the
// renderer draws.
void showTextBox(TextBoxEdit& edit, const ui::TextBox& box, QPoint clientOffset)
{
    edit.setGeometry(formRect(box).translated(clientOffset).adjusted(2, 2, -2, -2));
    edit.setVisible(isShown(box));
    edit.setEnabled(box.enabled());
    edit.setFont(qtFont(box.font()));
    QPalette palette = edit.palette();
    palette.setColor(QPalette::Base, qtColor(box.backColor()));
    palette.setColor(QPalette::Text, qtColor(box.foreColor()));
    edit.setPalette(palette);
    const QString text = QString::fromStdString(box.text());
    if (edit.text() != text) {
        edit.setText(text);
    }
    edit.setCursorPosition(static_cast<int>(text.size()));
}

} // namespace

WindowMirror::WindowMirror(const ui::Application& app, WindowEvents& events, const ui::Clock& clock, QIcon icon)
    : app_(app),
      events_(events),
      clock_(clock),
      icon_(std::move(icon)),
      renderer_(app.pictures()),
      drawnFrames_(platformDrawnFrames()),
      placesWindows_(platformPlacesWindows())
{
}

WindowMirror::~WindowMirror()
{
    for (auto& [id, state] : windows_) {
        delete state.window;
    }
}

FormWindow* WindowMirror::window(std::uint64_t formId) const
{
    auto found = windows_.find(formId);
    return found == windows_.end() ? nullptr : found->second.window;
}

std::vector<std::uint64_t> WindowMirror::windowsWithoutForm() const
{
    std::vector<std::uint64_t> closed;
    for (const auto& [id, state] : windows_) {
        if (app_.openForm(id) == nullptr) {
            closed.push_back(id);
        }
    }
    return closed;
}

std::vector<std::uint64_t> WindowMirror::childrenOf(std::uint64_t formId) const
{
    std::vector<std::uint64_t> children;
    for (const auto& [id, state] : windows_) {
        if (state.ownerId == formId) {
            children.push_back(id);
        }
    }
    return children;
}

void WindowMirror::createWindow(ui::Form& form)
{
    auto* window = new FormWindow(events_, form.instanceId());
    window->setWindowFlags(windowFlags(form.border()));
    window->setDrawnFrame(drawnFrameFor(form.border()));
    if (form.border() != ui::FormBorder::ToolWindow) {
        window->setWindowIcon(icon_);
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
    updateWindow(form, true);
    window->winId(); // creates the native window, so it can be given an owner
    setOwner(state, ownerFor(form));
    window->show();
}

void WindowMirror::destroyWindow(std::uint64_t formId)
{
    auto found = windows_.find(formId);
    FormWindow* window = found->second.window;
    windows_.erase(found);
    renderer_.forgetForm(formId);
    handOverChildrenOf(formId);
    window->hide();
    // It may be the window whose event we are handling right now.
    window->deleteLater();
}

void WindowMirror::updateWindow(ui::Form& form, bool repaint)
{
    WindowState& state = windows_.at(form.instanceId());
    FormWindow& window = *state.window;
    if (form.caption() != state.caption) {
        state.caption = form.caption();
        window.setWindowTitle(QString::fromStdString(state.caption));
    }
    if (form.border() != state.border) {
        state.border = form.border();
        applyBorder(state);
    }
    applyGeometry(form, state);
    syncTextBoxes(form, window);
    if (repaint || window.frame().isNull() || window.frame().devicePixelRatio() != window.devicePixelRatioF()) {
        render(form, window);
    }
}

void WindowMirror::applyBorder(WindowState& state)
{
    FormWindow& window = *state.window;
    const bool shown = window.isVisible();
    window.setWindowFlags(windowFlags(state.border));
    window.setDrawnFrame(drawnFrameFor(state.border));
    state.clientSize = QSize(); // size constraints follow the border
    if (shown) {
        window.show();
    }
}

void WindowMirror::applyGeometry(const ui::Form& form, WindowState& state)
{
    FormWindow& window = *state.window;
    const QPoint position(twipsToPixels(form.left()), twipsToPixels(form.top()));
    if (position != state.position || !window.isVisible()) {
        state.position = position;
        state.placing = Deadline(clock_, kPlacementSettleMs);
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

void WindowMirror::syncTextBoxes(const ui::Form& form, FormWindow& window)
{
    QWidget* focusTarget = &window;
    for (TextBoxEdit* edit : window.textBoxes()) {
        const auto* box = dynamic_cast<const ui::TextBox*>(form.find(edit->controlName(), edit->controlIndex()));
        if (box == nullptr) {
            edit->hide();
            continue;
        }
        showTextBox(*edit, *box, window.clientOffset());
        if (form.focused() == box && edit->isVisible()) {
            focusTarget = edit;
        }
    }
    if (window.focusWidget() != focusTarget) {
        focusTarget->setFocus(Qt::OtherFocusReason);
    }
}

void WindowMirror::repaint(const ui::Form& form)
{
    if (FormWindow* target = window(form.instanceId())) {
        render(form, *target);
    }
}

void WindowMirror::render(const ui::Form& form, FormWindow& window)
{
    window.setFrame(renderer_.render(form, window.devicePixelRatioF()));
}

void WindowMirror::activate(std::uint64_t formId)
{
    if (FormWindow* target = window(formId)) {
        target->raise();
        target->activateWindow();
    }
}

std::uint64_t WindowMirror::activeFormId() const
{
    const auto* active = dynamic_cast<const FormWindow*>(QApplication::activeWindow());
    // A window on its way out may still be active; it stands for no form.
    return active != nullptr && window(active->formId()) == active ? active->formId() : 0;
}

bool WindowMirror::takePlayersMove(std::uint64_t formId, QPoint framePosition)
{
    auto found = windows_.find(formId);
    // Where the platform places windows itself, a move says nothing of the player.
    if (!placesWindows_ || found == windows_.end() || found->second.position == framePosition ||
        !found->second.placing.passed(clock_)) {
        return false;
    }
    found->second.position = framePosition;
    return true;
}

// A tool window is transient for the front-most open window that is not a
// tool window itself: the one it was opened over, which stays open under it.
// Another tool window would not do: a side panel replaced by its neighbour is
// closed in the same step that opens the neighbour, and on Wayland a window
// whose parent goes away is closed with it.
std::uint64_t WindowMirror::ownerFor(const ui::Form& form) const
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

void WindowMirror::setOwner(WindowState& state, std::uint64_t ownerId)
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
void WindowMirror::handOverChildrenOf(std::uint64_t formId)
{
    for (auto& [id, state] : windows_) {
        if (state.ownerId == formId) {
            const ui::Form* form = app_.openForm(id);
            setOwner(state, form != nullptr ? ownerFor(*form) : 0);
        }
    }
}

Qt::WindowFlags WindowMirror::windowFlags(ui::FormBorder border) const
{
    const bool tool = border == ui::FormBorder::ToolWindow;
    // Qt makes any tool window transient, for its leader window at least.
    const bool plainTool = tool && !transientToolWindows_;
    if (!drawsFrame(border)) {
        return flagsFor(plainTool ? ui::FormBorder::FixedSingle : border);
    }
    // Qt drops the frameless hint of a window that asks for any box.
    const Qt::WindowFlags type = tool && !plainTool ? Qt::Tool : Qt::Window;
    return type | Qt::FramelessWindowHint;
}

bool WindowMirror::drawsFrame(ui::FormBorder border) const
{
    switch (drawnFrames_) {
    case DrawnFrames::None:
        return false;
    case DrawnFrames::ToolWindows:
        return border == ui::FormBorder::ToolWindow;
    case DrawnFrames::All:
        return true;
    }
    return false;
}

std::optional<DrawnFrame> WindowMirror::drawnFrameFor(ui::FormBorder border) const
{
    if (!drawsFrame(border)) {
        return std::nullopt;
    }
    return DrawnFrame(border);
}

} // namespace qthost
