#pragma once

// The results of a play: four figures with their bars, the final score, and
// the way on to the title, the name entry or the certificate.

#include "platform/model/Form.h"
#include "resources/designs/Designs.h"
#include "core/FormNames.h"

class frmResults : public ui::Form {
public:
    static constexpr const char* kFormName = forms::kResults;
    explicit frmResults(ui::Application& app);

    void Form_Activate() override;
    void dumpState(ui::StateDump& out) const override;

private:
    void Picture1_KeyPress(int& KeyAscii);
    void Timer1_Timer();

    void showMeasurements();
    void turnAverageIntoResponsePoints();
    void showResponseBar();
    void storeFinalScore();

    designs::Design<designs::buildResults> design_{*this};

    ui::PictureBox& Picture1 = get<ui::PictureBox>("Picture1"); // the results picture, which takes the keys
    ui::ControlArray<ui::Label> Label2 = array<ui::Label>("Label2"); // figures: score, response, hit rate, total
    ui::ControlArray<ui::Shape> Shape2 = array<ui::Shape>("Shape2"); // the figures' bars
    ui::Label& Label4 = get<ui::Label>("Label4"); // the blinking prompt
    ui::Timer& Timer1 = get<ui::Timer>("Timer1"); // prompt blink

    double BarRatio = 0;
    // The activation turns the stage's figures into the final score in
    // place; a second activation must not score the score again.
    bool scored_ = false;
};
