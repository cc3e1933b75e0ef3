#pragma once

// Turns what the player types and clicks in our windows into the model's
// key strokes and clicks.

#include "platform/model/Application.h"
#include "platform/qt/FatalGuard.h"
#include "platform/qt/KeyInput.h"

#include <QPoint>
#include <QString>

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

class QKeyEvent;

namespace qthost {

class InputRouter {
public:
    InputRouter(ui::Application& app, FatalGuard& guard) : app_(app), guard_(guard) {}

    void keyPressed(const QKeyEvent& event);
    // Text an input method committed: characters without a key going down.
    void textCommitted(const QString& text);
    // A click on the form's client area: on the control there, else on the form.
    void click(ui::Form& form, QPoint clientPos);
    // False when the form has no such text box any more.
    bool clickTextBox(ui::Form& form, const std::string& name, int index);

    // Key presses that reached our windows, handled or not: tells a watcher
    // whether a key it sent got to the game at all.
    std::uint64_t keyPresses() const { return keyPresses_; }

private:
    void deliverKeys(std::optional<int> keyDown, int shift, const std::vector<TypedKey>& typed);

    ui::Application& app_;
    FatalGuard& guard_;
    std::uint64_t keyPresses_ = 0;
};

} // namespace qthost
