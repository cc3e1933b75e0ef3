#include "platform/qt/InputRouter.h"

#include "platform/qt/FormGeometry.h"

#include <QKeyEvent>

namespace qthost {

void InputRouter::keyPressed(const QKeyEvent& event)
{
    ++keyPresses_;
    deliverKeys(virtualKeyCode(event), shiftState(event.modifiers()), typedKeys(event));
}

void InputRouter::textCommitted(const QString& text)
{
    deliverKeys(std::nullopt, 0, typedKeysFor(text));
}

void InputRouter::deliverKeys(std::optional<int> keyDown, int shift, const std::vector<TypedKey>& typed)
{
    std::vector<ui::TypedChar> characters;
    characters.reserve(typed.size());
    for (const TypedKey& key : typed) {
        characters.push_back(ui::TypedChar{key.keyAscii, key.typed});
    }
    guard_.run([&] { app_.keyStroke(keyDown, shift, characters); });
}

void InputRouter::click(ui::Form& form, QPoint clientPos)
{
    guard_.run([&] {
        if (ui::Control* control = controlAt(form, clientPos)) {
            app_.click(*control);
        } else {
            app_.click(form);
        }
    });
}

bool InputRouter::clickTextBox(ui::Form& form, const std::string& name, int index)
{
    ui::Control* control = form.find(name, index);
    if (control == nullptr) {
        return false;
    }
    guard_.run([&] { app_.click(*control); });
    return true;
}

} // namespace qthost
