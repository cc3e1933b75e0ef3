#include "resources/designs/DesignKit.h"
#include "resources/designs/Designs.h"

#include <string>

namespace designs {

namespace {

constexpr int kRows = 10;
constexpr int kRowHeight = 240;
constexpr const char* kKeyHelp = "R , L: Zone select  /  U , D: Exit";

void scoreCell(ui::Form& form, int row)
{
    auto& cell = label(form, form, "Label3", {2160, kRowHeight * row, 555, 225}, "", ui::colors::darkNavy,
                       font(kGothic, 8.25), row);
    cell.setAlignment(ui::Alignment::Right);
    cell.setSingleBorder(true);
}

void nameCell(ui::Form& form, int row)
{
    auto& cell = label(form, form, "Label1", {300, kRowHeight * row, 1830, 225}, "", ui::colors::darkNavy,
                       ui::defaultFont(), row);
    cell.setSingleBorder(true);
}

void rankText(ui::Form& form, int row)
{
    // "10." is wider than the other ranks and reaches further left.
    const ui::TwipRect rect = row == 9 ? ui::TwipRect{-60, kRowHeight * row, 315, 255}
                                       : ui::TwipRect{0, kRowHeight * row, 255, 255};
    const std::string caption = std::to_string(row + 1) + ".";
    auto& rank = label(form, form, "Label2", rect, caption.c_str(), ui::colors::darkNavy,
                       font(kTimes, 9.75, true), row);
    rank.setAlignment(ui::Alignment::Right);
}

} // namespace

void buildRecord(ui::Form& form)
{
    form.setCaption("  Alphabetic Characters Zone");
    form.setBorder(ui::FormBorder::ToolWindow);
    form.setClientSize(2745, 2625);

    label(form, form, "Label5", {120, 2400, 2535, 255}, kKeyHelp, ui::colors::lightGrey, font(kTimes, 9, true), 1);
    label(form, form, "Label5", {130, 2415, 2535, 255}, kKeyHelp, ui::colors::navy, font(kTimes, 9, true), 0);
    for (int row = 0; row < kRows; ++row) {
        scoreCell(form, row);
    }
    for (int row = 0; row < kRows; ++row) {
        nameCell(form, row);
    }
    for (int row = 0; row < kRows; ++row) {
        rankText(form, row);
    }
}

} // namespace designs
