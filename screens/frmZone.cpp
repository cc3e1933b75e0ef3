#include "screens/frmZone.h"

#include "core/Module1.h"
#include "platform/model/Application.h"
#include "resources/PictureCatalog.h"

namespace {

constexpr std::int16_t kLastZone = Module1::kZones - 1;
constexpr double kBoxSpacing = 1440;
constexpr double kFrameLeft = 300;
constexpr double kFrameRightBarLeft = 1560;

} // namespace

frmZone::frmZone(ui::Application& app) : Form(app, kFormName)
{
    Picture1.onKeyDown = [this](int keyCode, int shift) { Picture1_KeyDown(keyCode, shift); };
}

// Each thumbnail shows its zone's own stage background; the image takes the
// picture's full size and keeps its place up and left of the box's corner.
void frmZone::Form_Load()
{
    ZoneCursor = 0;
    Image1.setPicture(pictures::kStageCastle);
    Image2.setPicture(pictures::kStageLake);
    Image3.setPicture(pictures::kStageStream);
}

void frmZone::Picture1_KeyDown(int KeyCode, int /*Shift*/)
{
    switch (KeyCode) {
    case ui::vk::Left:
    case ui::vk::F:
        if (ZoneCursor > 0) {
            --ZoneCursor;
            moveFrame();
        }
        break;
    case ui::vk::Right:
    case ui::vk::J:
        if (ZoneCursor < kLastZone) {
            ++ZoneCursor;
            moveFrame();
        }
        break;
    case ui::vk::Space:
    case ui::vk::Enter:
        confirmZone();
        break;
    default:
        break;
    }
}

void frmZone::moveFrame()
{
    const double shift = kBoxSpacing * ZoneCursor;
    Shape1.setLeft(kFrameLeft + shift);
    Shape2.setLeft(kFrameLeft + shift);
    Shape3.setLeft(kFrameLeft + shift);
    Shape4.setLeft(kFrameRightBarLeft + shift);
}

void frmZone::confirmZone()
{
    Module1::CurrentZone = ZoneCursor;
    openHere(forms::kStage);
    unload();
}

void frmZone::dumpState(ui::StateDump& out) const
{
    out.add(std::string(kFormName) + ".ZoneCursor", ZoneCursor);
}
