#pragma once

#include "platform/model/Form.h"
#include "resources/designs/Designs.h"
#include "core/FormNames.h"

// The main menu: START, RECORDS and OPTION with a cursor arrow. The cursor
// row lives in Module1::MenuCursor because the two side panels beside the
// menu move it too.
class frmMenu : public ui::Form {
public:
    static constexpr const char* kFormName = forms::kMenu;
    explicit frmMenu(ui::Application& app);

    void Form_Activate() override;
    // The arrow goes to the row of Module1::MenuCursor; the side panels call
    // this when they move the cursor.
    void placeArrow();

private:
    void Picture1_KeyDown(int KeyCode, int Shift);

    void moveCursorUp();
    void moveCursorDown();
    void openRecordsIfOnRecords();
    void closeSidePanel();
    void openZoneSelect();

    designs::Design<designs::buildMenu> design_{*this};
    ui::PictureBox& Picture1 = get<ui::PictureBox>("Picture1"); // the menu picture, which takes the keys
    ui::Image& Image1 = get<ui::Image>("Image1"); // the cursor arrow
};
