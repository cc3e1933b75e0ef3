#pragma once

// The front screens (title, menu, zone select and the menu's two side
// panels) under virtual time, driven the way the player drives them.

#include "core/Module1.h"
#include "platform/model/Application.h"
#include "tests/support/Rig.h"
#include "tests/support/TestForms.h"

#include <cstdint>
#include <initializer_list>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

namespace front_test {

inline constexpr int kEnter = 13;
inline constexpr int kSpace = 32;
inline constexpr int kEscape = 27;

// Where the tests put the first window, well away from the screen's corner.
inline constexpr double kHomeLeft = 2400;
inline constexpr double kHomeTop = 1800;

class FrontDriver {
public:
    FrontDriver()
    {
        Module1::FillDefaultRecords();
        Module1::FillCharTables();
    }

    // Shows a screen as its opener does: positioned, then shown.
    ui::Form& open(const char* name, double left = kHomeLeft, double top = kHomeTop)
    {
        ui::Form& form = rig.app.form(name);
        form.setLeft(left);
        form.setTop(top);
        form.show();
        return form;
    }

    // A recording stand-in registered under `name` (for instance the stage,
    // so the zone select can be tested without it).
    void standIn(const std::string& name)
    {
        rig.app.registerForm(name, [this, name](ui::Application& app) {
            return std::make_unique<testing_support::ProbeForm>(app, name, events, true);
        });
    }

    ui::Form& form(const char* name) const
    {
        ui::Form* loaded = rig.app.loaded(name);
        if (loaded == nullptr) {
            throw std::logic_error(std::string(name) + " is not open");
        }
        return *loaded;
    }
    bool isOpen(const char* name) const { return rig.app.loaded(name) != nullptr; }
    std::string active() const
    {
        const ui::Form* form = rig.app.activeForm();
        return form == nullptr ? std::string() : form->name();
    }
    std::vector<std::string> openNames() const
    {
        std::vector<std::string> names;
        for (const ui::Form* form : rig.app.openForms()) {
            names.push_back(form->name());
        }
        return names;
    }

    template <class T>
    T& control(const char* formName, const char* controlName, int index = -1) const
    {
        return form(formName).get<T>(controlName, index);
    }
    ui::Label& label(const char* formName, const char* controlName, int index = -1) const
    {
        return control<ui::Label>(formName, controlName, index);
    }
    ui::Shape& shape(const char* formName, const char* controlName, int index = -1) const
    {
        return control<ui::Shape>(formName, controlName, index);
    }
    ui::Image& image(const char* formName, const char* controlName) const
    {
        return control<ui::Image>(formName, controlName);
    }

    // A private value of a screen, as the replay dump shows it.
    std::string state(const char* formName, const std::string& name) const
    {
        ui::StateDump dump;
        form(formName).dumpState(dump);
        for (const auto& [key, value] : dump.lines()) {
            if (key == std::string(formName) + "." + name) {
                return value;
            }
        }
        throw std::out_of_range(std::string("no value ") + formName + "." + name);
    }

    void key(int keyCode) { rig.app.keyDown(keyCode); }
    void keys(std::initializer_list<int> keyCodes)
    {
        for (int keyCode : keyCodes) {
            key(keyCode);
        }
    }
    void type(int keyAscii) { rig.app.keyPress(keyAscii, static_cast<char32_t>(keyAscii)); }
    void click(const char* formName) { rig.app.click(form(formName)); }
    void close(const char* formName) { rig.app.requestClose(form(formName)); }
    void advance(std::int64_t ms) { rig.advance(ms); }

    // Menu, then Down: the records panel beside the menu.
    void openRecordsFromMenu()
    {
        open("frmMenu");
        key(ui::vk::Down);
    }
    // ... and Down again: the options panel.
    void openOptionsFromMenu()
    {
        openRecordsFromMenu();
        key(ui::vk::Down);
    }

    testing_support::Rig rig;
    std::string events;
};

} // namespace front_test
