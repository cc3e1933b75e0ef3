#pragma once

#include "platform/model/Form.h"
#include "resources/designs/Designs.h"
#include "core/FormNames.h"

#include <cstdint>

// The options panel beside the main menu: speed, letter case and kana type,
// two choices each. Every choice takes effect at once in the shared state;
// Up from the first group hands back to the records panel.
class frmOption : public ui::Form {
public:
    static constexpr const char* kFormName = forms::kOption;
    explicit frmOption(ui::Application& app);

    void Form_Activate() override;
    void Form_KeyDown(int KeyCode, int Shift) override;
    void dumpState(ui::StateDump& out) const override;

private:
    struct Group {
        ui::Shape& leftMarker;
        ui::Shape& rightMarker;
    };

    void moveBarTo(std::int16_t row);
    void chooseForCurrentRow(std::int16_t value);
    void showChoice(int row, std::int16_t value);
    std::int16_t& optionOfRow(int row) const;
    void returnToRecords();

    designs::Design<designs::buildOption> design_{*this};
    ui::ControlArray<ui::Shape> Shape2 = array<ui::Shape>("Shape2"); // the cursor bar of each row, one shown
    Group groups_[3] = { // each row's markers: Low/High, Capital/Minuscule, Hira/Kata
        {get<ui::Shape>("Shape3"), get<ui::Shape>("Shape7")},
        {get<ui::Shape>("Shape8"), get<ui::Shape>("Shape9")},
        {get<ui::Shape>("Shape10"), get<ui::Shape>("Shape11")},
    };

    std::int16_t OptionRow = 0;
};
