#pragma once

#include "platform/model/Form.h"
#include "resources/designs/Designs.h"
#include "core/FormNames.h"

#include <array>
#include <cstdint>
#include <string>

// The records panel beside the main menu: the ten best of one zone at a
// time. Left and Right change the zone; Up and Down leave the panel and carry
// the menu's cursor on, to START or into the options panel.
class frmRecord : public ui::Form {
public:
    static constexpr const char* kFormName = forms::kRecord;
    explicit frmRecord(ui::Application& app);

    void Form_Activate() override;
    void Form_KeyDown(int KeyCode, int Shift) override;
    void dumpState(ui::StateDump& out) const override;

    // Lists the zone it shows again from the shared tables, which something
    // other than a play replaced while the panel was open.
    void relist();

private:
    void showZone(std::int16_t zone);
    void listZone(std::int16_t zone);
    void leaveUp();
    void leaveDown();

    designs::Design<designs::buildRecord> design_{*this};
    ui::ControlArray<ui::Label> Label1 = array<ui::Label>("Label1"); // names by rank
    ui::ControlArray<ui::Label> Label3 = array<ui::Label>("Label3"); // scores by rank

    std::int16_t ViewZone = 0;
    std::array<std::string, 3> ZoneCaption;
};
