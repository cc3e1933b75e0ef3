#pragma once

// The Qt window of one form: it shows the image the host rendered and passes
// everything the player does to the host, which feeds it into the model.
// Text boxes are real line edits over the text box's place, so an input method
// can compose into them; what they show always comes from the model.

#include "platform/qt/DrawnFrame.h"

#include <QImage>
#include <QLineEdit>
#include <QWidget>

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace qthost {

// What a form's window reports to the host. Windows name their form by its
// instance id only: the form may already be gone when an event arrives.
class WindowEvents {
public:
    virtual ~WindowEvents() = default;
    virtual void keyPressed(std::uint64_t formId, const QKeyEvent& event) = 0;
    virtual void textCommitted(std::uint64_t formId, const QString& text) = 0;
    virtual void clicked(std::uint64_t formId, QPoint clientPos) = 0;
    virtual void textBoxClicked(std::uint64_t formId, const std::string& name, int index) = 0;
    virtual void closeRequested(std::uint64_t formId) = 0;
    virtual void windowActivated(std::uint64_t formId) = 0;
    virtual void windowMoved(std::uint64_t formId, QPoint framePosition) = 0;
    virtual void repaintNeeded(std::uint64_t formId) = 0;
    // The window has just put its frame on the screen.
    virtual void painted(std::uint64_t formId) { (void)formId; }
};

class TextBoxEdit : public QLineEdit {
public:
    TextBoxEdit(WindowEvents& events, std::uint64_t formId, std::string name, int index, QWidget* parent);
    const std::string& controlName() const { return name_; }
    int controlIndex() const { return index_; }

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void inputMethodEvent(QInputMethodEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    bool focusNextPrevChild(bool next) override;

private:
    WindowEvents& events_;
    std::uint64_t formId_;
    std::string name_;
    int index_;
};

class FormWindow : public QWidget {
public:
    FormWindow(WindowEvents& events, std::uint64_t formId);

    std::uint64_t formId() const { return formId_; }
    void setFrame(QImage frame);
    const QImage& frame() const { return frame_; }

    TextBoxEdit& addTextBox(const std::string& name, int index);
    const std::vector<TextBoxEdit*>& textBoxes() const { return textBoxes_; }

    // With a drawn frame the form's client area starts inside it; without
    // one (the window manager frames the window) at the window's corner.
    void setDrawnFrame(std::optional<DrawnFrame> frame);
    const std::optional<DrawnFrame>& drawnFrame() const { return drawnFrame_; }
    QPoint clientOffset() const;
    // The caption as its drawn frame shows it; empty without a drawn frame.
    QString shownCaption() const;
    QSize outerSize(QSize clientSize) const;

protected:
    bool event(QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void moveEvent(QMoveEvent* event) override;
    bool focusNextPrevChild(bool next) override;

private:
    void pressOnFrame(FramePart part, QPoint point);
    void releaseOnFrame(FramePart part);

    WindowEvents& events_;
    std::uint64_t formId_;
    QImage frame_;
    std::vector<TextBoxEdit*> textBoxes_;
    std::optional<DrawnFrame> drawnFrame_;
    // The box a press went down on: it acts when the button comes up on it.
    FramePart pressedBox_ = FramePart::Client;
};

} // namespace qthost
