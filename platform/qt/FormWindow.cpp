#include "platform/qt/FormWindow.h"

#include "platform/model/Types.h"

#include <QCloseEvent>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QWindow>

namespace qthost {

TextBoxEdit::TextBoxEdit(WindowEvents& events, std::uint64_t formId, std::string name, int index, QWidget* parent)
    : QLineEdit(parent), events_(events), formId_(formId), name_(std::move(name)), index_(index)
{
    // Everything typed goes through the model; nothing may edit the text
    // behind its back.
    setContextMenuPolicy(Qt::NoContextMenu);
    setDragEnabled(false);
    setAcceptDrops(false);
    setAttribute(Qt::WA_InputMethodEnabled, true);
    setFrame(false);
}

void TextBoxEdit::keyPressEvent(QKeyEvent* event)
{
    events_.keyPressed(formId_, *event);
}

void TextBoxEdit::inputMethodEvent(QInputMethodEvent* event)
{
    const QString committed = event->commitString();
    // Let the line edit show the text being composed, but nothing committed.
    QInputMethodEvent preedit(event->preeditString(), event->attributes());
    QLineEdit::inputMethodEvent(&preedit);
    if (!committed.isEmpty()) {
        events_.textCommitted(formId_, committed);
    }
}

void TextBoxEdit::mousePressEvent(QMouseEvent* event)
{
    event->accept();
    events_.textBoxClicked(formId_, name_, index_);
}

bool TextBoxEdit::focusNextPrevChild(bool)
{
    return false; // Tab is a key like any other for the model
}

FormWindow::FormWindow(WindowEvents& events, std::uint64_t formId)
    : events_(events), formId_(formId)
{
    setFocusPolicy(Qt::StrongFocus);
    // Keys on the window itself go raw to the game: a kana input method must
    // not swallow the keystrokes of the stage.
    setAttribute(Qt::WA_InputMethodEnabled, false);
    setAttribute(Qt::WA_OpaquePaintEvent, true);
}

void FormWindow::setFrame(QImage frame)
{
    frame_ = std::move(frame);
    update();
}

TextBoxEdit& FormWindow::addTextBox(const std::string& name, int index)
{
    auto* edit = new TextBoxEdit(events_, formId_, name, index, this);
    textBoxes_.push_back(edit);
    return *edit;
}

void FormWindow::setDrawnFrame(std::optional<DrawnFrame> frame)
{
    drawnFrame_ = frame;
    update();
}

QPoint FormWindow::clientOffset() const
{
    return drawnFrame_ ? QPoint(drawnFrame_->margins().left(), drawnFrame_->margins().top()) : QPoint(0, 0);
}

QString FormWindow::shownCaption() const
{
    return drawnFrame_ ? drawnFrame_->shownCaption(size(), windowTitle()) : QString();
}

QSize FormWindow::outerSize(QSize clientSize) const
{
    return drawnFrame_ ? drawnFrame_->outerSize(clientSize) : clientSize;
}

bool FormWindow::event(QEvent* event)
{
    if (event->type() == QEvent::WindowActivate) {
        events_.windowActivated(formId_);
    }
    const bool captionChanged = event->type() == QEvent::WindowActivate ||
                                event->type() == QEvent::WindowDeactivate || event->type() == QEvent::WindowTitleChange;
    if (drawnFrame_ && captionChanged) {
        update(); // its text, and its colour that shows which window has the keyboard
    }
    return QWidget::event(event);
}

void FormWindow::paintEvent(QPaintEvent*)
{
    if (!frame_.isNull() && frame_.devicePixelRatio() != devicePixelRatioF()) {
        events_.repaintNeeded(formId_); // moved to a screen of another scale
    }
    QPainter painter(this);
    const ui::Color face = ui::colors::controlFace;
    painter.fillRect(rect(), QColor(face.r, face.g, face.b));
    if (drawnFrame_) {
        drawnFrame_->paint(painter, size(), windowTitle(), isActiveWindow());
    }
    painter.drawImage(clientOffset(), frame_);
    events_.painted(formId_);
}

void FormWindow::keyPressEvent(QKeyEvent* event)
{
    events_.keyPressed(formId_, *event);
}

void FormWindow::mousePressEvent(QMouseEvent* event)
{
    const QPoint point = event->position().toPoint();
    const FramePart part = drawnFrame_ ? drawnFrame_->partAt(point, size()) : FramePart::Client;
    if (part == FramePart::Client) {
        events_.clicked(formId_, point - clientOffset());
    } else if (event->button() == Qt::LeftButton) {
        pressOnFrame(part, point);
    }
}

void FormWindow::mouseReleaseEvent(QMouseEvent* event)
{
    if (drawnFrame_ && event->button() == Qt::LeftButton) {
        releaseOnFrame(drawnFrame_->partAt(event->position().toPoint(), size()));
    }
}

void FormWindow::pressOnFrame(FramePart part, QPoint point)
{
    pressedBox_ = FramePart::Client;
    QWindow* native = windowHandle();
    switch (part) {
    case FramePart::Caption:
        if (native != nullptr) {
            native->startSystemMove();
        }
        break;
    case FramePart::Edge:
        // The border of a window that is not sizable does nothing.
        if (const Qt::Edges edges = drawnFrame_->edgesAt(point, size()); native != nullptr && edges) {
            native->startSystemResize(edges);
        }
        break;
    default:
        pressedBox_ = part;
        break;
    }
}

void FormWindow::releaseOnFrame(FramePart part)
{
    const FramePart pressed = pressedBox_;
    pressedBox_ = FramePart::Client;
    if (part != pressed) {
        return;
    }
    switch (part) {
    case FramePart::CloseBox:
        events_.closeRequested(formId_); // the player's own close box
        break;
    case FramePart::MinimizeBox:
        showMinimized();
        break;
    case FramePart::MaximizeBox:
        isMaximized() ? showNormal() : showMaximized();
        break;
    default:
        break;
    }
}

void FormWindow::closeEvent(QCloseEvent* event)
{
    // The model decides whether the form closes; its window goes with it.
    event->ignore();
    events_.closeRequested(formId_);
}

void FormWindow::moveEvent(QMoveEvent* event)
{
    QWidget::moveEvent(event);
    if (isVisible()) {
        events_.windowMoved(formId_, pos());
    }
}

bool FormWindow::focusNextPrevChild(bool)
{
    return false;
}

} // namespace qthost
