#include "screens/frmMenu.h"

#include "core/Module1.h"
#include "platform/model/Application.h"
#include "screens/MenuLayout.h"

#include <cstdint>

namespace {

constexpr std::int16_t kStartRow = 0;
constexpr std::int16_t kRecordsRow = 1;
constexpr std::int16_t kOptionRow = 2;

void unloadIfOpen(ui::Application& app, const char* formName)
{
    if (ui::Form* panel = app.loaded(formName)) {
        panel->unload();
    }
}

} // namespace

frmMenu::frmMenu(ui::Application& app) : Form(app, kFormName)
{
    Picture1.onKeyDown = [this](int keyCode, int shift) { Picture1_KeyDown(keyCode, shift); };
}

void frmMenu::Form_Activate()
{
    if (Module1::KeepCursor == 0) {
        Module1::MenuCursor = kStartRow;
    }
    placeArrow();
    closeSidePanel();
}

void frmMenu::closeSidePanel()
{
    if (Module1::SidePanel == 1) {
        unloadIfOpen(app(), forms::kRecord);
    } else if (Module1::SidePanel == 2) {
        unloadIfOpen(app(), forms::kOption);
    }
}

void frmMenu::Picture1_KeyDown(int KeyCode, int /*Shift*/)
{
    switch (KeyCode) {
    case ui::vk::Up:
        moveCursorUp();
        break;
    case ui::vk::Down:
        moveCursorDown();
        break;
    case ui::vk::Space:
    case ui::vk::Enter:
        if (Module1::MenuCursor == kStartRow) {
            openZoneSelect();
        }
        break;
    default:
        break;
    }
}

void frmMenu::moveCursorUp()
{
    if (Module1::MenuCursor > kStartRow) {
        --Module1::MenuCursor;
        placeArrow();
        openRecordsIfOnRecords();
    }
}

void frmMenu::moveCursorDown()
{
    if (Module1::MenuCursor < kOptionRow) {
        ++Module1::MenuCursor;
        placeArrow();
        openRecordsIfOnRecords();
    }
}

void frmMenu::placeArrow()
{
    Image1.setTop(menu_layout::arrowTop(Module1::MenuCursor));
}

// Landing on RECORDS opens the records panel without a confirming key.
void frmMenu::openRecordsIfOnRecords()
{
    if (Module1::MenuCursor != kRecordsRow) {
        return;
    }
    openHere(forms::kRecord, menu_layout::kRecordsTopOffset, menu_layout::kPanelLeftOffset);
}

void frmMenu::openZoneSelect()
{
    openHere(forms::kZone);
    unload();
}

namespace menu_layout {

void switchSidePanel(ui::Form& from, double fromTopOffset, const char* to, double toTopOffset)
{
    ui::Application& app = from.app();
    frmMenu* menu = app.loaded<frmMenu>();
    if (menu != nullptr) {
        menu->placeArrow();
    }
    const double menuTop = menu != nullptr ? menu->top() : from.top() - fromTopOffset;
    const double menuLeft = menu != nullptr ? menu->left() : from.left() - kPanelLeftOffset;
    from.unload();
    ui::Form& next = app.form(to);
    next.setTop(menuTop + toTopOffset);
    next.setLeft(menuLeft + kPanelLeftOffset);
    next.show();
}

} // namespace menu_layout
