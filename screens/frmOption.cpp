#include "screens/frmOption.h"

#include "core/Module1.h"
#include "platform/model/Application.h"
#include "screens/MenuLayout.h"

namespace {

constexpr std::int16_t kLastRow = 2;
constexpr int kGroups = 3;

} // namespace

frmOption::frmOption(ui::Application& app) : Form(app, kFormName) {}

void frmOption::Form_Activate()
{
    Module1::SidePanel = 2;
    Module1::KeepCursor = 1;
    OptionRow = 0;
    Shape2(0).setVisible(true);
    Shape2(1).setVisible(false);
    Shape2(2).setVisible(false);
    for (int row = 0; row < kGroups; ++row) {
        showChoice(row, optionOfRow(row));
    }
}

void frmOption::Form_KeyDown(int KeyCode, int /*Shift*/)
{
    if (KeyCode == ui::vk::Up && OptionRow > 0) {
        moveBarTo(static_cast<std::int16_t>(OptionRow - 1));
    } else if (KeyCode == ui::vk::Down && OptionRow < kLastRow) {
        moveBarTo(static_cast<std::int16_t>(OptionRow + 1));
    } else if (KeyCode == ui::vk::Up && OptionRow == 0) {
        returnToRecords();
    } else if (KeyCode == ui::vk::Right) {
        chooseForCurrentRow(1);
    }
    if (KeyCode == ui::vk::Left) {
        chooseForCurrentRow(0);
    }
}

void frmOption::moveBarTo(std::int16_t row)
{
    Shape2(OptionRow).setVisible(false);
    OptionRow = row;
    Shape2(OptionRow).setVisible(true);
}

void frmOption::chooseForCurrentRow(std::int16_t value)
{
    optionOfRow(OptionRow) = value;
    showChoice(OptionRow, value);
}

// Fill style 0 is solid: the marker of the chosen side is filled, the other
// hollow.
void frmOption::showChoice(int row, std::int16_t value)
{
    groups_[row].leftMarker.setFillStyle(value);
    groups_[row].rightMarker.setFillStyle(1 - value);
}

std::int16_t& frmOption::optionOfRow(int row) const
{
    if (row == 0) {
        return Module1::OptSpeed;
    }
    if (row == 1) {
        return Module1::OptCase;
    }
    return Module1::OptKana;
}

void frmOption::returnToRecords()
{
    Module1::SidePanel = 0;
    --Module1::MenuCursor;
    menu_layout::switchSidePanel(*this, menu_layout::kOptionsTopOffset, forms::kRecord, menu_layout::kRecordsTopOffset);
}

void frmOption::dumpState(ui::StateDump& out) const
{
    out.add(std::string(kFormName) + ".OptionRow", OptionRow);
}
