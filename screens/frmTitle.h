#pragma once

#include "platform/model/Form.h"
#include "resources/designs/Designs.h"
#include "core/FormNames.h"

#include <cstdint>

// The first screen of every game: a banner grows from a line, rests, then
// stretches away sideways; the title picture follows with a blinking prompt.
// Space or Enter, at any moment, opens the main menu in its place.
class frmTitle : public ui::Form {
public:
    static constexpr const char* kFormName = forms::kTitle;
    explicit frmTitle(ui::Application& app);

    void Form_Activate() override;
    void dumpState(ui::StateDump& out) const override;

private:
    void Timer1_Timer();
    void Timer2_Timer();
    void Picture1_KeyPress(int& KeyAscii);

    void growBanner();
    void widenBanner();
    void endIntro();
    void openMenu();

    designs::Design<designs::buildTitle> design_{*this};
    ui::PictureBox& Picture1 = get<ui::PictureBox>("Picture1"); // takes the keys; the title picture once the intro ends
    ui::Label& Label6 = get<ui::Label>("Label6"); // the blinking prompt
    ui::Image& Image1 = get<ui::Image>("Image1"); // the banner of the intro
    ui::Image& Image2 = get<ui::Image>("Image2"); // parked: the title picture
    ui::Timer& Timer1 = get<ui::Timer>("Timer1"); // intro steps
    ui::Timer& Timer2 = get<ui::Timer>("Timer2"); // prompt blink

    std::int16_t IntroStep = 0;
    std::int16_t IntroDir = 1;
};
