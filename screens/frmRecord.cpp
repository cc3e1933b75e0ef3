#include "screens/frmRecord.h"

#include "core/Module1.h"
#include "platform/model/Application.h"
#include "platform/model/Text.h"

namespace {

constexpr std::int16_t kLastZone = 2;
constexpr int kRanks = 10;
constexpr double kMenuFirstRowTop = 660;
constexpr double kMenuRowStep = 420;

// Both side panels stand at fixed offsets from the menu window.
constexpr double kRecordsTopOffset = 930;
constexpr double kOptionsTopOffset = 1890;
constexpr double kPanelLeftOffset = 3540;

} // namespace

frmRecord::frmRecord(ui::Application& app) : Form(app, kFormName) {}

void frmRecord::Form_Activate()
{
    ViewZone = 0;
    Module1::SidePanel = 1;
    Module1::KeepCursor = 1;
    listZone(0);
    ZoneCaption = {"  Alphabetic Characters Zone", "  Kana Characters Zone", "  All kinds Characters Zone"};
}

void frmRecord::Form_KeyDown(int KeyCode, int /*Shift*/)
{
    switch (KeyCode) {
    case ui::vk::Left:
        if (ViewZone > 0) {
            showZone(static_cast<std::int16_t>(ViewZone - 1));
        }
        break;
    case ui::vk::Right:
        if (ViewZone < kLastZone) {
            showZone(static_cast<std::int16_t>(ViewZone + 1));
        }
        break;
    case ui::vk::Up:
        leaveUp();
        break;
    case ui::vk::Down:
        leaveDown();
        break;
    default:
        break;
    }
}

void frmRecord::showZone(std::int16_t zone)
{
    ViewZone = zone;
    setCaption(ZoneCaption[static_cast<std::size_t>(ViewZone)]);
    listZone(ViewZone);
}

void frmRecord::listZone(std::int16_t zone)
{
    for (int rank = 0; rank < kRanks; ++rank) {
        Label1(rank).setCaption(Module1::RecordName[zone][rank]);
        Label3(rank).setCaption(ui::numberText(static_cast<std::int64_t>(Module1::RecordScore[zone][rank])));
    }
}

void frmRecord::leaveUp()
{
    --Module1::MenuCursor;
    Module1::SidePanel = 0;
    unload();
}

// The options panel's own activation, which follows this handler, sets
// SidePanel to 2; so while it is open a click on the menu closes it.
void frmRecord::leaveDown()
{
    ++Module1::MenuCursor;
    ui::Form* menu = app().loaded("frmMenu");
    if (menu != nullptr) {
        menu->get<ui::Image>("Image1").setTop(kMenuRowStep * Module1::MenuCursor + kMenuFirstRowTop);
    }
    unload();

    // Without the menu (its window was closed) the options panel goes where
    // it would have stood relative to this panel.
    const double menuTop = menu != nullptr ? menu->top() : top() - kRecordsTopOffset;
    const double menuLeft = menu != nullptr ? menu->left() : left() - kPanelLeftOffset;
    ui::Form& options = app().form("frmOption");
    options.setTop(menuTop + kOptionsTopOffset);
    options.setLeft(menuLeft + kPanelLeftOffset);
    options.show();
    Module1::SidePanel = 0;
}

void frmRecord::dumpState(ui::StateDump& out) const
{
    out.add("frmRecord.ViewZone", ViewZone);
    for (std::size_t zone = 0; zone < ZoneCaption.size(); ++zone) {
        out.add("frmRecord.ZoneCaption(" + std::to_string(zone) + ")", ZoneCaption[zone]);
    }
}
