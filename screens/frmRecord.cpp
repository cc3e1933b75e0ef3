#include "screens/frmRecord.h"

#include "core/Module1.h"
#include "platform/model/Application.h"
#include "platform/model/Text.h"
#include "screens/MenuLayout.h"

namespace {

constexpr std::int16_t kLastZone = Module1::kZones - 1;

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
    for (int rank = 0; rank < Module1::kRanks; ++rank) {
        Label1(rank).setCaption(Module1::RecordName[zone][rank]);
        Label3(rank).setCaption(ui::numberText(static_cast<std::int64_t>(Module1::RecordScore[zone][rank])));
    }
}

void frmRecord::relist()
{
    listZone(ViewZone);
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
    menu_layout::switchSidePanel(*this, menu_layout::kRecordsTopOffset, forms::kOption, menu_layout::kOptionsTopOffset);
    Module1::SidePanel = 0;
}

void frmRecord::dumpState(ui::StateDump& out) const
{
    const std::string prefix = name() + ".";
    out.add(prefix + "ViewZone", ViewZone);
    for (std::size_t zone = 0; zone < ZoneCaption.size(); ++zone) {
        out.add(prefix + "ZoneCaption(" + std::to_string(zone) + ")", ZoneCaption[zone]);
    }
}
