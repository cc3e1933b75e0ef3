#pragma once

// Small forms that record what happens to them, for testing the window model
// without any real screen.

#include "platform/model/Application.h"
#include "tests/support/ModelDoubles.h"

#include <memory>
#include <string>

namespace testing_support {

class ProbeForm : public ui::Form {
public:
    ProbeForm(ui::Application& app, std::string name, std::string& log, bool withPicture, bool withText = false)
        : Form(app, name), log_(log), tag_(name.substr(3)),
          Picture1(withPicture ? add<ui::PictureBox>(*this, "Picture1", {0, 0, 4860, 3660})
                               : add<ui::PictureBox>(*this, "Hidden", {0, 0, 0, 0})),
          Label1(add<ui::Label>(Picture1, "Label1", {120, 120, 900, 240})),
          Timer1(add<ui::Timer>(*this, "Timer1", {})),
          Timer2(add<ui::Timer>(*this, "Timer2", {}))
    {
        Picture1.setVisible(withPicture);
        Label1.setCaption("design");
        if (withText) {
            add<ui::TextBox>(Picture1, "Text1", {300, 3120, 1875, 270}).setTabIndex(-1);
        }
        Timer1.onTimer = [this] { log_ += tag_ + ".Timer1@" + std::to_string(this->app().clock().nowMs()) + ";"; };
        Timer2.onTimer = [this] { log_ += tag_ + ".Timer2@" + std::to_string(this->app().clock().nowMs()) + ";"; };
    }

    void Form_Load() override { log_ += tag_ + ".Load;"; }
    void Form_Activate() override { log_ += tag_ + ".Activate;"; }
    void Form_Deactivate() override
    {
        log_ += tag_ + ".Deactivate;";
        if (closeOnDeactivate) {
            unload();
        }
    }
    void Form_Unload(int& cancel) override
    {
        log_ += tag_ + ".Unload;";
        cancel = refuseUnload ? 1 : 0;
    }
    void Form_KeyDown(int keyCode, int) override { log_ += tag_ + ".KeyDown(" + std::to_string(keyCode) + ");"; }

    bool closeOnDeactivate = false;
    bool refuseUnload = false;

private:
    std::string& log_;
    std::string tag_;

public:
    ui::PictureBox& Picture1;
    ui::Label& Label1;
    ui::Timer& Timer1;
    ui::Timer& Timer2;
};

// A rig whose registry holds probe forms: frmA, frmB, frmC with a picture box
// that takes the keys, frmPanel without one, frmEntry with a text box.
struct ProbeRig {
    ProbeRig()
    {
        for (const char* name : {"frmA", "frmB", "frmC"}) {
            app.registerForm(name, [this, name](ui::Application& a) {
                return std::make_unique<ProbeForm>(a, name, events, true);
            });
        }
        app.registerForm("frmPanel", [this](ui::Application& a) {
            return std::make_unique<ProbeForm>(a, "frmPanel", events, false);
        });
        app.registerForm("frmEntry", [this](ui::Application& a) {
            return std::make_unique<ProbeForm>(a, "frmEntry", events, true, true);
        });
    }
    std::string log() const { return events; }
    void clearLog() { events.clear(); }
    void advance(std::int64_t ms) { ui::advanceVirtualTime(app, clock, ms); }

    std::string events;
    ui::VirtualClock clock;
    FixedMetrics metrics;
    SketchPictures catalog;
    ui::Application app{clock, metrics, catalog};
};

} // namespace testing_support
