#include "platform/qt/FormWindow.h"

#include "platform/model/Types.h"

#include <QCloseEvent>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>

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

bool FormWindow::event(QEvent* event)
{
    if (event->type() == QEvent::WindowActivate) {
        events_.windowActivated(formId_);
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
    painter.drawImage(QPoint(0, 0), frame_);
    events_.painted(formId_);
}

void FormWindow::keyPressEvent(QKeyEvent* event)
{
    events_.keyPressed(formId_, *event);
}

void FormWindow::mousePressEvent(QMouseEvent* event)
{
    events_.clicked(formId_, event->position().toPoint());
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
