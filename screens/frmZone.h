#pragma once

#include "platform/model/Form.h"
#include "resources/designs/Designs.h"
#include "core/FormNames.h"

#include <cstdint>

// The zone select: three thumbnails of the stage backgrounds with a green
// frame around the chosen one; confirming stores the zone and opens the stage.
class frmZone : public ui::Form {
public:
    static constexpr const char* kFormName = forms::kZone;
    explicit frmZone(ui::Application& app);

    void Form_Load() override;
    void dumpState(ui::StateDump& out) const override;

private:
    void Picture1_KeyDown(int KeyCode, int Shift);

    void moveFrame();
    void confirmZone();

    designs::Design<designs::buildZone> design_{*this};
    ui::PictureBox& Picture1 = get<ui::PictureBox>("Picture1"); // the zone select picture, which takes the keys
    ui::Image& Image1 = get<ui::Image>("Image1"); // Alphabetic thumbnail
    ui::Image& Image2 = get<ui::Image>("Image2"); // Kana thumbnail
    ui::Image& Image3 = get<ui::Image>("Image3"); // All kinds thumbnail
    ui::Shape& Shape1 = get<ui::Shape>("Shape1"); // the frame's top bar
    ui::Shape& Shape2 = get<ui::Shape>("Shape2"); // the frame's bottom bar
    ui::Shape& Shape3 = get<ui::Shape>("Shape3"); // the frame's left bar
    ui::Shape& Shape4 = get<ui::Shape>("Shape4"); // the frame's right bar

    std::int16_t ZoneCursor = 0;
};
